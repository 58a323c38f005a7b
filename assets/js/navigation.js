// Screens and layers. One screen is shown at a time; layers (a dialog, the shortcut list) lie above it.
// Escape, from the page or from the window, goes back one step through updateBackward().
var Navigation = (function() {
    'use strict';

    var mapScreens = {};
    var strCurrent = 'list';
    var arrayHistory = [];
    var arrayLayers = [];

    // objectHandlers: show(objectOptions) when the screen appears, focus(objectOptions) to place the focus,
    // backward() that may consume one Escape (returns true) before the screen itself is left,
    // leave(functionMove) that decides whether the screen may be left now, and control(strLetter) that may act
    // on a Ctrl combination (returns true when it did).
    function register(strName, objectHandlers) {
        mapScreens[strName] = objectHandlers;
    }

    function current() {
        return strCurrent;
    }

    // A function that runs functionAction while the screen strName is shown, and does nothing otherwise: what a
    // screen does when something changes while it is not shown, it does when it is shown again.
    function whileShown(strName, functionAction) {
        return function() {
            if (strCurrent === strName) {
                functionAction();
            }
        };
    }

    function updateTabs() {
        var mapTabs = {list: 'nav-accounts', account: 'nav-accounts', edit: 'nav-accounts',
            transfer: 'nav-transfer', settings: 'nav-settings'};
        ['nav-accounts', 'nav-transfer', 'nav-settings'].forEach(function(strId) {
            var objectTab = Dom.element(strId);
            if (mapTabs[strCurrent] === strId) {
                objectTab.setAttribute('aria-current', 'page');
            } else {
                objectTab.removeAttribute('aria-current');
            }
        });
    }

    // The document's title names the screen, for assistive technology and the window list alike.
    function retitle() {
        var objectHeading = document.querySelector('.screen:not([inert]) .screen-title');
        var strScreen = objectHeading && objectHeading.textContent !== '' ? objectHeading.textContent :
            Catalogue.get('nav_accounts');
        document.title = strScreen + ' \u2013 ' + Dom.element('app-name').textContent;
    }

    // The screens not shown are inert and invisible, not removed: their elements keep their objects for assistive
    // technology, which the hidden attribute would have the engine drop and make anew, so that a reader could
    // hold a stale one. Invisible, they are out of the tab order, of what a reader can reach and of find.
    function display(strName, objectOptions) {
        var listScreens = document.querySelectorAll('.screen');
        for (var i = 0; i < listScreens.length; i += 1) {
            if (listScreens[i].getAttribute('data-screen') === strName) {
                listScreens[i].removeAttribute('inert');
            } else {
                listScreens[i].setAttribute('inert', '');
            }
        }
        strCurrent = strName;
        updateTabs();
        Dom.element('main').scrollTop = 0;
        var objectScreen = mapScreens[strName];
        if (objectScreen && objectScreen.show) {
            objectScreen.show(objectOptions || {});
        }
        retitle();
        if (objectScreen && objectScreen.focus && arrayLayers.length === 0) {
            objectScreen.focus(objectOptions || {});
        }
    }

    // Transfer and settings are places of their own beside the list: going from one to the other replaces it,
    // so that the way back leaves both at once.
    function tab(strName) {
        return strName === 'transfer' || strName === 'settings';
    }

    // The trail back never holds the screen shown, nor any screen twice: going to a screen already on it goes
    // back to that point. Otherwise the screen left is remembered, unless it is only giving way.
    function move(strName, objectOptions, boolGiveWay) {
        var intIndex = arrayHistory.lastIndexOf(strName);
        if (intIndex !== -1) {
            arrayHistory.length = intIndex;
        } else if (strName !== strCurrent && !boolGiveWay && !(tab(strName) && tab(strCurrent))) {
            arrayHistory.push(strCurrent);
        }
        display(strName, objectOptions);
    }

    // The screen shown may hold input not yet saved: its leave(functionMove) moves on at once, later, or not.
    function leave(functionMove) {
        var objectScreen = mapScreens[strCurrent];
        if (objectScreen && objectScreen.leave) {
            objectScreen.leave(functionMove);
        } else {
            functionMove();
        }
    }

    function show(strName, objectOptions) {
        leave(function() {
            move(strName, objectOptions, false);
        });
    }

    // The current screen gives way to another and is not remembered (after saving, the editor gives way to
    // the account). It is the screen's own step, so nothing is asked.
    function replace(strName, objectOptions) {
        move(strName, objectOptions, true);
    }

    // Shows a screen with nothing to go back to but the account list.
    function reset(strName, objectOptions) {
        leave(function() {
            arrayHistory = [];
            if (strName !== 'list') {
                arrayHistory.push('list');
            }
            display(strName, objectOptions);
        });
    }

    function back() {
        var strTarget = arrayHistory.length > 0 ? arrayHistory[arrayHistory.length - 1] : 'list';
        leave(function() {
            // Saving on the way may already have led there.
            if (strTarget !== strCurrent) {
                move(strTarget, {boolBack: true}, true);
            }
        });
    }

    // A layer is closed by its own function; the topmost one takes the next Escape.
    function openLayer(functionClose) {
        arrayLayers.push(functionClose);
    }

    function closeLayer(functionClose) {
        var intIndex = arrayLayers.lastIndexOf(functionClose);
        if (intIndex !== -1) {
            arrayLayers.splice(intIndex, 1);
        }
    }

    function hasLayer() {
        return arrayLayers.length > 0;
    }

    function updateBackward() {
        if (arrayLayers.length > 0) {
            arrayLayers[arrayLayers.length - 1]();
            return;
        }
        var objectScreen = mapScreens[strCurrent];
        if (objectScreen && objectScreen.backward && objectScreen.backward()) {
            return;
        }
        if (strCurrent !== 'list') {
            back();
        }
    }

    // Puts the focus where the screen shown puts it, away from wherever no key should go.
    function refocus() {
        var objectScreen = mapScreens[strCurrent];
        if (objectScreen && objectScreen.focus && arrayLayers.length === 0) {
            objectScreen.focus({});
        }
    }

    // The window is being closed: the screen shown may keep it open, and unsaved input asks what Escape asks.
    // Once it may close, the page closes its own window, which the program then lets go.
    function updateClose() {
        if (Dialog.isOpen('dialog-unsaved')) {
            return;
        }
        leave(function() {
            window.close();
        });
    }

    function control(strLetter) {
        var objectScreen = mapScreens[strCurrent];
        return Boolean(objectScreen && objectScreen.control && objectScreen.control(strLetter));
    }

    return {
        register: register,
        current: current,
        whileShown: whileShown,
        show: show,
        replace: replace,
        reset: reset,
        back: back,
        openLayer: openLayer,
        closeLayer: closeLayer,
        hasLayer: hasLayer,
        retitle: retitle,
        updateBackward: updateBackward,
        refocus: refocus,
        updateClose: updateClose,
        control: control
    };
}());
