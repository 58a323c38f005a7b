// What Ctrl+Z may reach, and the way back from a delete.
// The engine keeps one undo history for the whole page: left alone, Ctrl+Z on one screen undoes typing in a
// field of another screen, hidden, and puts the focus there, so that the next keys go into it unseen. Undo
// acts only in the field that took the last edit, once for that edit, and redo only right after it; every
// other Ctrl+Z undoes the delete the notice offers to undo, or nothing.
// An edit is a run of typing, for as long as only the typing moves the caret, and Ctrl+Z takes it back whole
// with every engine. Chromium ends its own undo step at every key when the page changes the document as it does
// while the user types (the list, the derived password), so that its undo takes back one character: the page
// puts a field back itself, or, in a secret field, whose text is kept nowhere else, repeats the engine's undo
// until the field is as the run found it, never more often than the run had edits.
var Undo = (function() {
    'use strict';

    var objectEdited = null;
    // The input events that the page's or the engine's own undo and redo send are no edit of the user's.
    var boolOwn = false;
    // The focused field as last seen before an edit (a secret one without its text); the last run of typing,
    // {objectBefore, objectAfter, intEdits, boolOpen}, open while the typing goes on; the run an undo took back,
    // with the engine steps that took in intSteps.
    var objectSeen = null;
    var objectRun = null;
    var objectUndone = null;
    var objectDeleted = null;
    var boolWasSelected = false;
    var intTimer = 0;

    // Whether an element lies on a screen that is not shown.
    function hidden(objectElement) {
        for (var objectNode = objectElement; objectNode && objectNode.nodeType === 1; objectNode = objectNode.parentNode) {
            if (objectNode.classList.contains('screen')) {
                return objectNode.hasAttribute('inert');
            }
        }
        return false;
    }

    function state(objectField) {
        var boolField = (objectField.tagName === 'INPUT' && /^(text|password)$/.test(objectField.type)) ||
            objectField.tagName === 'TEXTAREA';
        if (!boolField) {
            return null;
        }
        return {objectField: objectField, boolSecret: objectField.hasAttribute('data-secret'),
            strValue: objectField.hasAttribute('data-secret') ? null : objectField.value,
            intLength: objectField.value.length, intStart: objectField.selectionStart,
            intEnd: objectField.selectionEnd};
    }

    function same(objectOne, objectOther) {
        return objectOne !== null && objectOther !== null && objectOne.objectField === objectOther.objectField &&
            objectOne.strValue === objectOther.strValue && objectOne.intLength === objectOther.intLength &&
            objectOne.intStart === objectOther.intStart && objectOne.intEnd === objectOther.intEnd;
    }

    function own(functionChange) {
        boolOwn = true;
        try {
            functionChange();
        } finally {
            boolOwn = false;
        }
    }

    // Puts the field of a run as it was before it (boolRedo: after it); the number of engine steps that took.
    function replay(objectRunShown, boolRedo, intSteps) {
        var objectField = objectRunShown.objectBefore.objectField;
        var objectWanted = boolRedo ? objectRunShown.objectAfter : objectRunShown.objectBefore;
        if (!objectWanted.boolSecret) {
            own(function() {
                objectField.value = objectWanted.strValue;
                objectField.setSelectionRange(objectWanted.intStart, objectWanted.intEnd);
                objectField.dispatchEvent(new Event('input', {bubbles: true}));
            });
            return 0;
        }
        var intDone = 0;
        while (intDone < intSteps && !same(state(objectField), objectWanted) &&
            document.activeElement === objectField) {
            own(function() {
                document.execCommand(boolRedo ? 'redo' : 'undo');
            });
            intDone += 1;
        }
        return intDone;
    }

    function see(objectField) {
        objectSeen = state(objectField);
    }

    // The run can still be taken back, but the typing that follows is a run of its own.
    function close() {
        if (objectRun !== null) {
            objectRun.boolOpen = false;
        }
    }

    function onInput(objectEvent) {
        if (boolOwn) {
            return;
        }
        var objectField = objectEvent.target;
        objectEdited = objectField;
        objectUndone = null;
        var objectAfter = state(objectField);
        if (objectSeen === null || objectSeen.objectField !== objectField || objectAfter === null) {
            objectRun = null;
        } else if (objectRun === null || !objectRun.boolOpen || !same(objectRun.objectAfter, objectSeen)) {
            objectRun = {objectBefore: objectSeen, objectAfter: objectAfter, intEdits: 1, boolOpen: true};
        } else {
            objectRun.objectAfter = objectAfter;
            objectRun.intEdits += 1;
        }
        objectSeen = objectAfter;
    }

    // Takes back the last run, or gives back what an undo took, in the focused field; false when it cannot.
    function undo(boolRedo) {
        var objectActive = document.activeElement;
        if (hidden(objectActive)) {
            return false;
        }
        var objectShown = state(objectActive);
        if (!boolRedo && objectRun !== null && objectActive === objectEdited &&
            same(objectShown, objectRun.objectAfter)) {
            objectRun.intSteps = replay(objectRun, false, objectRun.intEdits);
            objectUndone = objectRun;
            objectRun = null;
            objectEdited = null;
            return true;
        }
        if (boolRedo && objectUndone !== null && same(objectShown, objectUndone.objectBefore)) {
            replay(objectUndone, true, objectUndone.intSteps);
            objectRun = objectUndone;
            objectRun.boolOpen = false;
            objectUndone = null;
            objectEdited = objectActive;
            return true;
        }
        return false;
    }

    function hide() {
        window.clearTimeout(intTimer);
        intTimer = 0;
        objectDeleted = null;
        var boolFocused = Dom.element('undo').contains(document.activeElement);
        Dom.element('undo').hidden = true;
        Dom.element('undo-text').textContent = '';
        if (boolFocused) {
            Navigation.refocus();
        }
    }

    function later() {
        window.clearTimeout(intTimer);
        intTimer = window.setTimeout(hide, Timing.intUndoMs);
    }

    // Offers to bring back an account just deleted, with every field it had.
    function offer(objectAccount, boolSelected) {
        Notice.hide();
        objectDeleted = objectAccount;
        boolWasSelected = boolSelected;
        Catalogue.set(Dom.element('undo-text'), 'notice_deleted');
        Dom.element('undo').hidden = false;
        later();
    }

    function restore() {
        var objectAccount = objectDeleted;
        var boolSelected = boolWasSelected;
        hide();
        if (objectAccount === null) {
            return;
        }
        // The store numbers it anew: identifiers are never reused.
        var objectStored = Accounts.create(objectAccount);
        if (objectStored === null) {
            Notice.show('restore_failed', {folder: Accounts.folder()});
            return;
        }
        if (boolSelected) {
            Selected.store(objectStored);
        }
        Accounts.refresh();
        Notice.show('notice_restored');
    }

    function onKey(objectEvent) {
        // No key goes to a field that is not shown, whatever put the focus there.
        if (hidden(document.activeElement)) {
            objectEvent.preventDefault();
            objectEvent.stopPropagation();
            Navigation.refocus();
            return;
        }
        var strLetter = Keys.control(objectEvent);
        if (strLetter !== 'z' && strLetter !== 'y') {
            // A key that moves the caret ends the run; any other acts on the field as it is now.
            if (/^(Arrow|Page|Home$|End$)/.test(Keys.name(objectEvent))) {
                close();
            }
            see(document.activeElement);
            return;
        }
        var boolRedo = strLetter === 'y' || objectEvent.shiftKey;
        objectEvent.preventDefault();
        objectEvent.stopPropagation();
        if (!undo(boolRedo) && !boolRedo && objectDeleted !== null && !Navigation.hasLayer()) {
            restore();
        }
    }

    function init() {
        document.addEventListener('input', onInput, true);
        document.addEventListener('keydown', onKey, true);
        document.addEventListener('focusin', function(objectEvent) {
            if (hidden(objectEvent.target)) {
                Navigation.refocus();
            }
            close();
            see(objectEvent.target);
        }, true);
        // A click places the caret elsewhere.
        document.addEventListener('mousedown', close, true);
        Dom.element('undo-button').addEventListener('click', restore);
        // The offer stays while the user is on its button.
        Dom.element('undo').addEventListener('focusin', function() {
            window.clearTimeout(intTimer);
        });
        Dom.element('undo').addEventListener('focusout', function() {
            if (objectDeleted !== null) {
                later();
            }
        });
        Catalogue.onRetext(function() {
            if (objectDeleted !== null) {
                Catalogue.set(Dom.element('undo-text'), 'notice_deleted');
            }
        });
    }

    return {
        init: init,
        offer: offer,
        hide: hide
    };
}());
