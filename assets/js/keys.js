// Key names for keyboard events. The web engine may not fill in KeyboardEvent.key, so the older key codes
// are mapped to the same names.
var Keys = (function() {
    'use strict';

    var mapCodes = {
        8: 'Backspace', 9: 'Tab', 13: 'Enter', 27: 'Escape', 32: ' ', 33: 'PageUp', 34: 'PageDown', 35: 'End',
        36: 'Home', 37: 'ArrowLeft', 38: 'ArrowUp', 39: 'ArrowRight', 40: 'ArrowDown', 46: 'Delete', 112: 'F1'
    };
    var mapOld = {Esc: 'Escape', Up: 'ArrowUp', Down: 'ArrowDown', Left: 'ArrowLeft', Right: 'ArrowRight', Spacebar: ' '};

    function name(objectEvent) {
        var strKey = objectEvent.key;
        if (typeof strKey === 'string' && strKey !== '' && strKey !== 'Unidentified') {
            return Object.prototype.hasOwnProperty.call(mapOld, strKey) ? mapOld[strKey] : strKey;
        }
        var intCode = objectEvent.keyCode || objectEvent.which || 0;
        if (Object.prototype.hasOwnProperty.call(mapCodes, intCode)) {
            return mapCodes[intCode];
        }
        if (intCode >= 65 && intCode <= 90) {
            var strLetter = String.fromCharCode(intCode);
            return objectEvent.shiftKey ? strLetter : strLetter.toLowerCase();
        }
        if (intCode === 191 && objectEvent.shiftKey) {
            return '?';
        }
        return '';
    }

    // The letter of a Ctrl combination, in lower case, or '' when Ctrl is not held alone.
    function control(objectEvent) {
        if (!objectEvent.ctrlKey || objectEvent.altKey || objectEvent.metaKey) {
            return '';
        }
        var intCode = objectEvent.keyCode || objectEvent.which || 0;
        if (intCode >= 65 && intCode <= 90) {
            return String.fromCharCode(intCode).toLowerCase();
        }
        var strKey = name(objectEvent);
        return strKey.length === 1 ? strKey.toLowerCase() : '';
    }

    return {
        name: name,
        control: control
    };
}());
