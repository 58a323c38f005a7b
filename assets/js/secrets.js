// The fields whose text is a secret (marked data-secret): the master password and the derived password.
// Their text leaves them only the ways the page chooses: it is never copied, cut or dragged out, and the
// program asks selected() before it lets other programs paste the page's selection.
var Secrets = (function() {
    'use strict';

    function secret(objectElement) {
        return objectElement !== null && objectElement.nodeType === 1 && objectElement.hasAttribute('data-secret');
    }

    // Whether the selection the page has just made lies in a secret field; a field's selection exists only
    // while it has the focus.
    function selected() {
        return secret(document.activeElement);
    }

    // Shows or hides the text of a secret field. Its toggle keeps its name ("Show password") and is checked while
    // the text shows: a name that changed with each press would not be read as the new state. It is a check box
    // to assistive technology, as a pressed button's state is not spoken by readers on either engine here.
    function show(objectField, objectToggle, boolShown) {
        objectField.type = boolShown ? 'text' : 'password';
        objectToggle.setAttribute('aria-checked', boolShown ? 'true' : 'false');
    }

    ['copy', 'cut', 'dragstart'].forEach(function(strType) {
        document.addEventListener(strType, function(objectEvent) {
            if (secret(objectEvent.target)) {
                objectEvent.preventDefault();
            }
        }, true);
    });

    return {
        selected: selected,
        show: show
    };
}());
