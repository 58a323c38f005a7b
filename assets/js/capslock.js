// A warning beside the master password while Caps Lock is on and the field has the focus. An engine that
// reports the key's state (getModifierState) is believed once it has reported it on; one that never does is
// read from the letters typed: a capital without Shift, or a small letter with it, means Caps Lock is on.
var CapsLock = (function() {
    'use strict';

    var boolReported = false;
    var boolOn = false;

    function show() {
        Dom.element('master-caps').hidden = !(boolOn && document.activeElement === Master.field());
    }

    function onKey(objectEvent) {
        var boolState = typeof objectEvent.getModifierState === 'function' && objectEvent.getModifierState('CapsLock');
        boolReported = boolReported || boolState;
        if (boolReported) {
            boolOn = boolState;
        } else if (Keys.name(objectEvent) === 'CapsLock' || objectEvent.keyCode === 20) {
            // The key itself, on its way down: it turns the state over.
            boolOn = objectEvent.type === 'keydown' ? !boolOn : boolOn;
        }
        show();
    }

    function onPress(objectEvent) {
        var strChar = String.fromCharCode(objectEvent.charCode || objectEvent.which || 0);
        if (!boolReported && strChar.toUpperCase() !== strChar.toLowerCase()) {
            boolOn = (strChar === strChar.toUpperCase()) !== objectEvent.shiftKey;
        }
        show();
    }

    function init() {
        var objectField = Master.field();
        objectField.addEventListener('keydown', onKey);
        objectField.addEventListener('keyup', onKey);
        objectField.addEventListener('keypress', onPress);
        objectField.addEventListener('focus', show);
        objectField.addEventListener('blur', show);
    }

    return {
        init: init
    };
}());
