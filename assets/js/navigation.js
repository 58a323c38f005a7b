// Screens and layers. One screen is shown at a time; layers (a dialog, the shortcut list) lie above it.
// Escape, from the page or from the window, goes back one step through updateBackward().
var Navigation = (function() {
    'use strict';

    var mapScreens = {};
    var strCurrent = 'list';
    var arrayHistory = [];
    var arrayLayers = [];

    // objectHandlers: show(objectOptions) when the screen appears, focus() to place the focus, and
    // backward() that may consume one Escape (returns true) before the screen itself is left.
    function register(strName, objectHandlers) {
        mapScreens[strName] = objectHandlers;
    }

    function current() {
        return strCurrent;
    }

    function updateTabs() {
        var mapTabs = {list: 'nav-accounts', account: 'nav-accounts', edit: 'nav-accounts',
            transfer: 'nav-transfer', settings: 'nav-settings'};
        ['nav-accounts', 'nav-transfer', 'nav-settings'].forEach(function(strId) {
            var objectTab = document.getElementById(strId);
            if (mapTabs[strCurrent] === strId) {
                objectTab.setAttribute('aria-current', 'page');
            } else {
                objectTab.removeAttribute('aria-current');
            }
        });
    }

    // The document's title names the screen, for assistive technology and the window list alike.
    function retitle() {
        var objectHeading = document.querySelector('.screen:not([hidden]) .screen-title');
        var strScreen = objectHeading && objectHeading.textContent !== '' ? objectHeading.textContent :
            Catalogue.get('nav_accounts');
        document.title = strScreen + ' \u2013 ' + document.getElementById('app-name').textContent;
    }

    function display(strName, objectOptions) {
        var listScreens = document.querySelectorAll('.screen');
        for (var i = 0; i < listScreens.length; i += 1) {
            listScreens[i].hidden = listScreens[i].getAttribute('data-screen') !== strName;
        }
        strCurrent = strName;
        updateTabs();
        document.getElementById('main').scrollTop = 0;
        var objectScreen = mapScreens[strName];
        if (objectScreen && objectScreen.show) {
            objectScreen.show(objectOptions || {});
        }
        retitle();
        if (objectScreen && objectScreen.focus && arrayLayers.length === 0) {
            objectScreen.focus();
        }
    }

    // Shows a screen; the one left is remembered for going back unless it is the same screen.
    function show(strName, objectOptions) {
        if (strName !== strCurrent) {
            arrayHistory.push(strCurrent);
        }
        display(strName, objectOptions);
    }

    // Shows a screen in place of the current one (after saving, the editor gives way to the account).
    function replace(strName, objectOptions) {
        display(strName, objectOptions);
    }

    // Shows a screen with nothing to go back to but the account list.
    function reset(strName, objectOptions) {
        arrayHistory = [];
        if (strName !== 'list') {
            arrayHistory.push('list');
        }
        display(strName, objectOptions);
    }

    function back() {
        var strTarget = arrayHistory.length > 0 ? arrayHistory.pop() : 'list';
        display(strTarget, {boolBack: true});
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

    return {
        register: register,
        current: current,
        show: show,
        replace: replace,
        reset: reset,
        back: back,
        openLayer: openLayer,
        closeLayer: closeLayer,
        hasLayer: hasLayer,
        retitle: retitle,
        updateBackward: updateBackward
    };
}());
