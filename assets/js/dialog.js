// Modal layers: the questions before deleting and before leaving unsaved input, and the shortcut list. While
// one is open the focus stays in it, Escape closes it, and the focus returns where it was.
var Dialog = (function() {
    'use strict';

    function focusable(objectRoot) {
        var listElements = objectRoot.querySelectorAll('button, input, select, textarea, [tabindex]');
        var arrayResult = [];
        for (var i = 0; i < listElements.length; i += 1) {
            if (!listElements[i].disabled && listElements[i].offsetParent !== null &&
                listElements[i].getAttribute('tabindex') !== '-1') {
                arrayResult.push(listElements[i]);
            }
        }
        return arrayResult;
    }

    // Opens a backdrop element as a layer; returns the function that closes it. functionClosed, if given,
    // runs whenever it closes, by a button or by Escape.
    function open(objectBackdrop, objectFirst, functionClosed) {
        var objectBefore = document.activeElement;
        var functionClose = null;
        var boolClosed = false;

        function trap(objectEvent) {
            if (Keys.name(objectEvent) !== 'Tab') {
                return;
            }
            var arrayFocusable = focusable(objectBackdrop);
            if (arrayFocusable.length === 0) {
                return;
            }
            var objectFirstItem = arrayFocusable[0];
            var objectLastItem = arrayFocusable[arrayFocusable.length - 1];
            if (objectEvent.shiftKey && document.activeElement === objectFirstItem) {
                objectEvent.preventDefault();
                objectLastItem.focus();
            } else if (!objectEvent.shiftKey && document.activeElement === objectLastItem) {
                objectEvent.preventDefault();
                objectFirstItem.focus();
            } else if (!objectBackdrop.contains(document.activeElement)) {
                objectEvent.preventDefault();
                objectFirstItem.focus();
            }
        }

        functionClose = function() {
            if (boolClosed) {
                return;
            }
            boolClosed = true;
            objectBackdrop.hidden = true;
            document.removeEventListener('keydown', trap, true);
            Dom.element('main').removeAttribute('aria-hidden');
            Navigation.closeLayer(functionClose);
            if (functionClosed) {
                functionClosed();
            }
            if (objectBefore && objectBefore.focus && document.body.contains(objectBefore) && objectBefore.offsetParent !== null) {
                objectBefore.focus();
            }
        };

        objectBackdrop.hidden = false;
        Dom.element('main').setAttribute('aria-hidden', 'true');
        document.addEventListener('keydown', trap, true);
        Navigation.openLayer(functionClose);
        (objectFirst || focusable(objectBackdrop)[0]).focus();
        return functionClose;
    }

    // Opens the dialog strId with the focus on the button strFocus. A click on a button named in mapAnswers
    // closes the dialog and then runs its answer; any other button, Escape or a click beside the dialog only
    // closes it.
    function ask(strId, mapAnswers, strFocus) {
        var objectBackdrop = Dom.element(strId);
        var functionClose = null;

        function onClick(objectEvent) {
            var objectTarget = objectEvent.target;
            while (objectTarget !== objectBackdrop && objectTarget.tagName !== 'BUTTON') {
                objectTarget = objectTarget.parentNode;
            }
            if (objectTarget === objectBackdrop && objectEvent.target !== objectBackdrop) {
                return;
            }
            functionClose();
            if (Object.prototype.hasOwnProperty.call(mapAnswers, objectTarget.id)) {
                mapAnswers[objectTarget.id]();
            }
        }

        objectBackdrop.addEventListener('click', onClick);
        functionClose = open(objectBackdrop, Dom.element(strFocus), function() {
            objectBackdrop.removeEventListener('click', onClick);
        });
    }

    // Asks before an account is deleted; the safe answer has the focus.
    function confirmDelete(objectAccount, functionConfirm) {
        Catalogue.set(Dom.element('dialog-delete-text'), 'delete_confirm_text', {
            website: objectAccount.strWebsite === '' ? Catalogue.get('list_no_website') : objectAccount.strWebsite
        });
        ask('dialog-delete', {'dialog-delete-confirm': functionConfirm}, 'dialog-delete-cancel');
    }

    function isOpen(strId) {
        return !Dom.element(strId).hidden;
    }

    return {
        open: open,
        ask: ask,
        confirmDelete: confirmDelete,
        isOpen: isOpen
    };
}());
