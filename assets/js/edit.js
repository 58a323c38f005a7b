// Adding and editing an account.
var EditScreen = (function() {
    'use strict';

    var intLengthMin = Rules.intLengthMin;
    var intLengthMax = Rules.intLengthMax;
    var intLengthNew = Rules.intLengthNew;
    var arrayMarkers = Rules.arrayMarkers;
    var objectEditing = null;
    // The form as it was filled, to tell whether leaving it would lose input.
    var strFilled = '';

    function fillLengths(intCurrent) {
        var objectSelect = Dom.element('edit-length');
        objectSelect.textContent = '';
        var arrayLengths = [];
        for (var i = intLengthMin; i <= intLengthMax; i += 1) {
            arrayLengths.push(i);
        }
        // A stored length outside the offered range (older data, an import) stays as it is.
        if (arrayLengths.indexOf(intCurrent) === -1) {
            arrayLengths.push(intCurrent);
            arrayLengths.sort(function(intA, intB) {
                return intA - intB;
            });
        }
        arrayLengths.forEach(function(intLength) {
            var objectOption = document.createElement('option');
            objectOption.value = String(intLength);
            objectOption.textContent = String(intLength);
            objectSelect.appendChild(objectOption);
        });
        objectSelect.value = String(intCurrent);
    }

    function special() {
        return arrayMarkers.filter(function(strMarker, intIndex) {
            return Dom.element('edit-special-' + intIndex).checked;
        }).join('');
    }

    function collect() {
        return {
            intIdent: objectEditing ? objectEditing.intIdent : 0,
            strWebsite: Dom.element('edit-website').value,
            strMail: Dom.element('edit-mail').value,
            strUser: Dom.element('edit-user').value,
            strNote: Dom.element('edit-note').value,
            intLength: Number(Dom.element('edit-length').value),
            strSpecial: special()
        };
    }

    // Special characters other than the four markers do nothing in a derivation; unchanged markers keep the
    // stored text as it was.
    function sameMarkers(strA, strB) {
        return arrayMarkers.every(function(strMarker) {
            return (strA.indexOf(strMarker) !== -1) === (strB.indexOf(strMarker) !== -1);
        });
    }

    function showError(boolShown) {
        var objectError = Dom.element('edit-website-error');
        objectError.hidden = !boolShown;
        Catalogue.set(objectError, 'field_website_required');
        Dom.element('edit-website').setAttribute('aria-invalid', boolShown ? 'true' : 'false');
    }

    // A write the database did not take is said at the form, which keeps what was typed; null hides it.
    function showFailed(strName) {
        var objectFailed = Dom.element('edit-failed');
        objectFailed.hidden = strName === null;
        if (strName !== null) {
            Catalogue.set(objectFailed, strName, {folder: Accounts.folder()});
        }
    }

    // Editing an account warns as soon as a change would change its password.
    function checkChange() {
        if (objectEditing === null) {
            Dom.element('edit-warning').hidden = true;
            return;
        }
        var objectNow = collect();
        Dom.element('edit-warning').hidden = objectNow.strWebsite === objectEditing.strWebsite &&
            objectNow.strMail === objectEditing.strMail && objectNow.intLength === objectEditing.intLength &&
            sameMarkers(objectNow.strSpecial, objectEditing.strSpecial);
    }

    function retitle() {
        Catalogue.set(Dom.element('edit-title'), objectEditing ? 'edit_title_edit' : 'edit_title_new');
    }

    function fill(objectAccount) {
        objectEditing = objectAccount;
        retitle();
        Dom.element('edit-website').value = objectAccount ? objectAccount.strWebsite : '';
        Dom.element('edit-mail').value = objectAccount ? objectAccount.strMail : '';
        Dom.element('edit-user').value = objectAccount ? objectAccount.strUser : '';
        Dom.element('edit-note').value = objectAccount ? objectAccount.strNote : '';
        fillLengths(objectAccount ? objectAccount.intLength : intLengthNew);
        arrayMarkers.forEach(function(strMarker, intIndex) {
            Dom.element('edit-special-' + intIndex).checked =
                objectAccount ? objectAccount.strSpecial.indexOf(strMarker) !== -1 : false;
        });
        Dom.element('edit-delete').hidden = !objectAccount;
        showError(false);
        showFailed(null);
        checkChange();
        strFilled = JSON.stringify(collect());
    }

    // Leaving with changes asks first: save, discard, or stay. The safe answer has the focus.
    function leave(functionMove) {
        if (JSON.stringify(collect()) === strFilled) {
            functionMove();
            return;
        }
        Dialog.ask('dialog-unsaved', {
            'dialog-unsaved-save': function() {
                save();
                // Saved: the form has given way to the account, and the way goes on from there.
                if (Navigation.current() !== 'edit') {
                    functionMove();
                }
            },
            'dialog-unsaved-discard': function() {
                fill(objectEditing);
                functionMove();
            }
        }, 'dialog-unsaved-keep');
    }

    function save() {
        var objectAccount = collect();
        if (Rules.blank(objectAccount.strWebsite)) {
            showError(true);
            Dom.element('edit-website').focus();
            return;
        }
        if (objectEditing !== null && sameMarkers(objectAccount.strSpecial, objectEditing.strSpecial)) {
            objectAccount.strSpecial = objectEditing.strSpecial;
        }
        // One account is all the list needs of the same fields: the same is refused by every way in.
        if (Accounts.same(objectAccount).length > 0) {
            showFailed('edit_duplicate');
            return;
        }
        var objectStored = objectEditing === null ? Accounts.create(objectAccount) : Accounts.save(objectAccount);
        if (objectStored === null) {
            showFailed('save_failed');
            return;
        }
        Selected.store(objectStored);
        Notice.show(objectEditing === null ? 'notice_added' : 'notice_saved');
        Accounts.refresh();
        Navigation.replace('account');
    }

    function askDelete() {
        var objectAccount = objectEditing;
        if (objectAccount === null) {
            return;
        }
        Dialog.confirmDelete(objectAccount, function() {
            if (!Accounts.remove(objectAccount.intIdent)) {
                showFailed('delete_failed');
                return;
            }
            var boolSelected = Selected.ident() === objectAccount.intIdent;
            if (boolSelected) {
                Selected.clear();
            }
            Accounts.refresh();
            Navigation.replace('list');
            Undo.offer(objectAccount, boolSelected);
        });
    }

    function init() {
        Dom.element('edit-form').addEventListener('submit', function(objectEvent) {
            objectEvent.preventDefault();
            save();
        });
        Dom.element('edit-back').addEventListener('click', Navigation.back);
        Dom.element('edit-cancel').addEventListener('click', Navigation.back);
        Dom.element('edit-delete').addEventListener('click', askDelete);
        Dom.element('edit-form').addEventListener('input', checkChange);
        Dom.element('edit-form').addEventListener('change', checkChange);
        Dom.element('edit-website').addEventListener('input', function() {
            if (!Rules.blank(Dom.element('edit-website').value)) {
                showError(false);
            }
        });
        Navigation.register('edit', {
            show: function(objectOptions) {
                if (!objectOptions.boolBack) {
                    fill(objectOptions.objectAccount || null);
                }
            },
            focus: function() {
                Dom.element('edit-website').focus();
            },
            leave: leave,
            control: function(strLetter) {
                if (strLetter !== 's') {
                    return false;
                }
                save();
                return true;
            }
        });
        Catalogue.onRetext(Navigation.whileShown('edit', retitle));
    }

    return {
        init: init
    };
}());
