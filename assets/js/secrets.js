// The fields whose text is a secret (marked data-secret): the master password and the derived password.
// Their text leaves them only the ways the page chooses: it is never copied, cut or dragged out, and the
// program asks selected() before it lets other programs paste the page's selection.
var Secrets = (function() {
    'use strict';

    function secret(objectElement) {
        return objectElement !== null && objectElement.nodeType === 1 && objectElement.hasAttribute('data-secret');
    }

    // Whether the page's selection reaches over a line that shows a secret, which the engine may take along when
    // the whole page is selected.
    function spansLine() {
        var objectSelection = window.getSelection();
        var listLine = document.querySelectorAll('.secret-shown');
        for (var i = 0; i < listLine.length; i += 1) {
            if (listLine[i].hasChildNodes() && objectSelection.rangeCount > 0 &&
                objectSelection.containsNode(listLine[i], true)) {
                return true;
            }
        }
        return false;
    }

    // Whether the selection the page has just made holds a secret: it lies in a secret field (a field's
    // selection exists only while it has the focus) or reaches over a shown one's line.
    function selected() {
        return secret(document.activeElement) || spansLine();
    }

    // The line under a secret field that shows its text while Show is on (the field's id and "-shown").
    function line(objectField) {
        return Dom.element(objectField.id + '-shown');
    }

    function shown(objectField) {
        return !line(objectField).hidden;
    }

    // Writes the field's text into its line while it is shown, and empties the line otherwise: once hidden, no
    // text node of the page holds any of it.
    function redraw(objectField) {
        var objectLine = line(objectField);
        objectLine.textContent = '';
        if (!objectLine.hidden) {
            Exact.append(objectLine, objectField.value);
        }
    }

    // Shows or hides the text of a secret field. The field stays a password field whatever Show says: Chromium
    // gives a text field's text to assistive technology, and its own style keeps a password field's text masked
    // whatever the page asks. So the text shows on the field's line, which assistive technology is not given and
    // no one can select. The toggle keeps its name ("Show password") and is checked while the text shows: a name
    // that changed with each press would not be read as the new state. It is a check box to assistive
    // technology, as a pressed button's state is not spoken by readers on either engine here.
    function show(objectField, objectToggle, boolShown) {
        line(objectField).hidden = !boolShown;
        objectToggle.setAttribute('aria-checked', boolShown ? 'true' : 'false');
        redraw(objectField);
    }

    // Gives a secret field a text of the page's own (the derived password), its line following.
    function setValue(objectField, strValue) {
        objectField.value = strValue;
        redraw(objectField);
    }

    ['copy', 'cut', 'dragstart'].forEach(function(strType) {
        document.addEventListener(strType, function(objectEvent) {
            if (secret(objectEvent.target) || spansLine()) {
                objectEvent.preventDefault();
            }
        }, true);
    });

    // Typing, pasting, undo and the page's own changes all tell the field's input first.
    document.addEventListener('input', function(objectEvent) {
        if (secret(objectEvent.target) && objectEvent.target.tagName === 'INPUT') {
            redraw(objectEvent.target);
        }
    }, true);

    return {
        selected: selected,
        shown: shown,
        show: show,
        setValue: setValue
    };
}());
