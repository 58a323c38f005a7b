// What Ctrl+Z may reach, and the way back from a delete.
// The engine keeps one undo history for the whole page: left alone, Ctrl+Z on one screen undoes typing in a
// field of another screen, hidden, and puts the focus there, so that the next keys go into it unseen. The
// engine's undo is let through only in the field that took the last edit, once for that edit, and its redo
// only right after it; every other Ctrl+Z undoes the delete the notice offers to undo, or nothing.
var Undo = (function() {
    'use strict';

    var objectEdited = null;
    var objectUndone = null;
    // The input event that the engine's own undo or redo sends is no edit of the user's.
    var boolOwn = false;
    var objectDeleted = null;
    var boolWasSelected = false;
    var intTimer = 0;

    // Whether an element lies on a screen that is not shown.
    function hidden(objectElement) {
        for (var objectNode = objectElement; objectNode && objectNode.nodeType === 1; objectNode = objectNode.parentNode) {
            if (objectNode.classList.contains('screen')) {
                return objectNode.hidden;
            }
        }
        return false;
    }

    function onInput(objectEvent) {
        if (boolOwn) {
            return;
        }
        objectEdited = objectEvent.target;
        objectUndone = null;
    }

    function letThrough(objectEvent, boolRedo) {
        var objectActive = document.activeElement;
        if (hidden(objectActive)) {
            return false;
        }
        if (boolRedo ? objectActive !== objectUndone : objectActive !== objectEdited) {
            return false;
        }
        objectUndone = boolRedo ? null : objectActive;
        objectEdited = boolRedo ? objectActive : null;
        boolOwn = true;
        window.setTimeout(function() {
            boolOwn = false;
        }, 0);
        return true;
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
            return;
        }
        var boolRedo = strLetter === 'y' || objectEvent.shiftKey;
        if (letThrough(objectEvent, boolRedo)) {
            return;
        }
        objectEvent.preventDefault();
        objectEvent.stopPropagation();
        if (!boolRedo && objectDeleted !== null && !Navigation.hasLayer()) {
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
        }, true);
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
