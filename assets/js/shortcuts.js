// Keys that work everywhere, and the overlay that lists them.
var Shortcuts = (function() {
    'use strict';

    // Each row: the keys (catalogue names for named keys, other text as it stands) and what they do.
    var arrayRows = [
        [['key_tab'], 'shortcut_next'],
        [['key_shift', '+', 'key_tab'], 'shortcut_previous'],
        [['key_ctrl', '+', 'F'], 'shortcut_filter'],
        [['\u2191', '\u2193', 'key_page_up', 'key_page_down', 'key_home', 'key_end'], 'shortcut_move'],
        [['key_enter'], 'shortcut_open'],
        [['key_ctrl', '+', 'N'], 'shortcut_new'],
        [['key_ctrl', '+', 'M'], 'shortcut_master'],
        [['key_enter'], 'shortcut_copy'],
        [['key_ctrl', '+', 'E'], 'shortcut_edit'],
        [['key_ctrl', '+', 'S'], 'shortcut_save'],
        [['key_escape'], 'shortcut_back'],
        [['F1', '?'], 'shortcut_help']
    ];
    var functionClose = null;
    // Ctrl combinations that work on every screen; the screen shown may have a use of its own for a letter.
    var mapControls = {
        f: function() {
            Navigation.reset('list', {boolSelect: true});
        },
        n: function() {
            Navigation.show('edit', {objectAccount: null});
        }
    };

    // Each row is an entry of the list, read as "Shift+Tab: Previous field": the keys side by side on the
    // screen are read with a pause between them.
    function build() {
        var objectBody = Dom.element('shortcuts-table');
        objectBody.textContent = '';
        arrayRows.forEach(function(arrayRow, intRow) {
            var objectRow = document.createElement('tr');
            objectRow.id = 'shortcut-' + intRow;
            var objectKeys = document.createElement('td');
            objectKeys.className = 'shortcut-keys';
            var strKeys = '';
            arrayRow[0].forEach(function(strKey, intKey) {
                if (strKey === '+') {
                    objectKeys.appendChild(document.createTextNode('+'));
                    strKeys += '+';
                    return;
                }
                var strText = /^key_/.test(strKey) ? Catalogue.get(strKey) : strKey;
                var objectKey = document.createElement('kbd');
                Dom.text(objectKey, strText);
                objectKeys.appendChild(objectKey);
                strKeys += (intKey > 0 && arrayRow[0][intKey - 1] !== '+' ? ', ' : '') + strText;
            });
            var objectWhat = document.createElement('td');
            Catalogue.set(objectWhat, arrayRow[1]);
            objectRow.appendChild(objectKeys);
            objectRow.appendChild(objectWhat);
            objectRow.setAttribute('aria-label', strKeys + ': ' + Catalogue.get(arrayRow[1]));
            Entries.add(objectBody, objectRow);
        });
    }

    function isOpen() {
        return functionClose !== null;
    }

    function open() {
        if (isOpen() || Navigation.hasLayer()) {
            return;
        }
        build();
        // The focus starts on the first shortcut, so that the first Tab or arrow reads the next one.
        functionClose = Dialog.open(Dom.element('shortcuts'), Dom.element('shortcut-0'), function() {
            functionClose = null;
        });
    }

    function close() {
        if (functionClose !== null) {
            functionClose();
        }
    }

    function typing(objectTarget) {
        if (!objectTarget || !objectTarget.tagName) {
            return false;
        }
        var strTag = objectTarget.tagName.toLowerCase();
        return strTag === 'textarea' || (strTag === 'input' && ['checkbox', 'radio', 'button'].indexOf(objectTarget.type) === -1);
    }

    function control(strLetter) {
        if (Navigation.control(strLetter)) {
            return true;
        }
        if (Object.prototype.hasOwnProperty.call(mapControls, strLetter)) {
            mapControls[strLetter]();
            return true;
        }
        return false;
    }

    function onKey(objectEvent) {
        var strKey = Keys.name(objectEvent);
        var strControl = Keys.control(objectEvent);
        var boolDone = true;
        if (strKey === 'Escape') {
            Navigation.updateBackward();
        } else if (Navigation.hasLayer()) {
            boolDone = false;
        } else if (strKey === 'F1' || (strKey === '?' && !typing(objectEvent.target) && !objectEvent.ctrlKey)) {
            open();
        } else if (!control(strControl)) {
            boolDone = false;
        }
        if (boolDone) {
            objectEvent.preventDefault();
            objectEvent.stopPropagation();
        }
    }

    function init() {
        Dom.element('nav-shortcuts').addEventListener('click', open);
        Dom.element('shortcuts-close').addEventListener('click', close);
        Dom.element('shortcuts').addEventListener('click', function(objectEvent) {
            if (objectEvent.target === Dom.element('shortcuts')) {
                close();
            }
        });
        document.addEventListener('keydown', onKey);
        Entries.attach(Dom.element('shortcuts-table'));
        // Written again in the new language; the focus stays on the shortcut it was on.
        Catalogue.onRetext(function() {
            if (isOpen()) {
                var objectActive = document.activeElement;
                var strFocus = objectActive && objectActive.parentNode === Dom.element('shortcuts-table') ?
                    objectActive.id : '';
                build();
                if (strFocus !== '') {
                    Dom.element(strFocus).focus();
                }
            }
        });
    }

    return {
        init: init,
        open: open,
        close: close,
        isOpen: isOpen
    };
}());
