// Export and import of the account list as JSON text through the clipboard. Passwords are never part of
// it. An import is read and checked in full first, shown, and only then added; invalid text changes nothing.
var TransferScreen = (function() {
    'use strict';

    var intPreviewRows = 50;
    var arrayPending = [];

    function exportList() {
        Accounts.refresh();
        var arrayAccounts = Accounts.all().map(Record.fields);
        Copying.copyQuiet(JSON.stringify(arrayAccounts, null, 2));
        Catalogue.set(Dom.element('export-result'), 'export_done', {count: arrayAccounts.length});
    }

    // Two records are the same account when all six stored texts agree.
    function key(objectAccount) {
        return Record.texts(objectAccount).join('\u0000');
    }

    // Reads and checks the clipboard text: {arrayAccounts} or {strReason, objectValues}. One unsound entry
    // refuses the whole text, so that nothing is added in part.
    function parse(strText) {
        if (typeof strText !== 'string' || strText.trim() === '') {
            return {strReason: 'import_reason_empty'};
        }
        var valueParsed;
        try {
            valueParsed = JSON.parse(strText);
        } catch (objectError) {
            return {strReason: 'import_reason_json'};
        }
        if (!Array.isArray(valueParsed)) {
            return {strReason: 'import_reason_list'};
        }
        var arrayAccounts = [];
        for (var i = 0; i < valueParsed.length; i += 1) {
            var objectEntry = valueParsed[i];
            var arrayWrong = check(objectEntry);
            if (arrayWrong !== null) {
                return {strReason: arrayWrong[0], objectValues: {index: i + 1, field: arrayWrong[1]}};
            }
            arrayAccounts.push({
                intIdent: 0,
                strWebsite: objectEntry.strWebsite,
                strMail: objectEntry.strMail,
                strUser: objectEntry.strUser === undefined ? '' : objectEntry.strUser,
                strNote: objectEntry.strNote === undefined ? '' : objectEntry.strNote,
                intLength: objectEntry.intLength === undefined ? Rules.intLengthNew : objectEntry.intLength,
                strSpecial: objectEntry.strSpecial === undefined ? '' : objectEntry.strSpecial
            });
        }
        return {arrayAccounts: arrayAccounts};
    }

    // What is wrong with an entry, as [reason, field], or null when the form would take it as it is: first
    // the kind of each field, then broken characters, the website, the length and the special characters.
    function check(objectEntry) {
        if (objectEntry === null || typeof objectEntry !== 'object' || Array.isArray(objectEntry)) {
            return ['import_reason_entry', 'strWebsite'];
        }
        var arrayTexts = ['strWebsite', 'strMail', 'strUser', 'strNote', 'strSpecial'];
        for (var i = 0; i < arrayTexts.length; i += 1) {
            var valueField = objectEntry[arrayTexts[i]];
            // Website and mail are required; the others may be left out.
            if (typeof valueField !== 'string' && (i < 2 || valueField !== undefined)) {
                return ['import_reason_entry', arrayTexts[i]];
            }
        }
        for (var j = 0; j < arrayTexts.length; j += 1) {
            if (typeof objectEntry[arrayTexts[j]] === 'string' && Rules.broken(objectEntry[arrayTexts[j]])) {
                return ['import_reason_broken', arrayTexts[j]];
            }
        }
        if (Rules.blank(objectEntry.strWebsite)) {
            return ['import_reason_website', 'strWebsite'];
        }
        if (objectEntry.intLength !== undefined && !Rules.length(objectEntry.intLength)) {
            return ['import_reason_length', 'intLength'];
        }
        if (objectEntry.strSpecial !== undefined && !Rules.special(objectEntry.strSpecial)) {
            return ['import_reason_special', 'strSpecial'];
        }
        return null;
    }

    // Splits checked accounts into those to add and those already present (also twice in the text itself).
    function split(arrayAccounts) {
        var objectSeen = {};
        Accounts.all().forEach(function(objectAccount) {
            objectSeen[key(objectAccount)] = true;
        });
        var arrayAdd = [];
        var intSkip = 0;
        arrayAccounts.forEach(function(objectAccount) {
            var strKey = key(objectAccount);
            if (Object.prototype.hasOwnProperty.call(objectSeen, strKey)) {
                intSkip += 1;
            } else {
                objectSeen[strKey] = true;
                arrayAdd.push(objectAccount);
            }
        });
        return {arrayAdd: arrayAdd, intSkip: intSkip};
    }

    // A stored text in its own direction, inside a box that keeps the interface's direction for spacing.
    function part(strClass, strText) {
        var objectBox = document.createElement('span');
        objectBox.className = strClass;
        var objectText = document.createElement('span');
        objectText.setAttribute('dir', 'auto');
        Dom.text(objectText, strText);
        objectBox.appendChild(objectText);
        return objectBox;
    }

    // Against the listed account with the same website and mail that is closest to it, what an entry to add
    // changes, so that it cannot pass for one already there: [field, entry's value, listed value] each.
    function changes(objectAccount) {
        var arrayBest = [];
        Accounts.duplicates(objectAccount).forEach(function(objectListed, intIndex) {
            var arrayChanges = ['strUser', 'strNote', 'intLength', 'strSpecial'].filter(function(strField) {
                return objectAccount[strField] !== objectListed[strField];
            }).map(function(strField) {
                return [strField, objectAccount[strField], objectListed[strField]];
            });
            if (intIndex === 0 || arrayChanges.length < arrayBest.length) {
                arrayBest = arrayChanges;
            }
        });
        return arrayBest;
    }

    function describe(strField, valueField) {
        var strText = String(valueField).replace(/\s+/g, ' ');
        if (strText !== '') {
            return strText;
        }
        return Catalogue.get(strField === 'strSpecial' ? 'account_special_none' : 'derivation_empty');
    }

    function previewItem(objectAccount) {
        var mapNames = {strUser: 'field_user', strNote: 'field_note', intLength: 'field_length',
            strSpecial: 'field_special'};
        var objectItem = document.createElement('li');
        objectItem.appendChild(part('preview-site', objectAccount.strWebsite));
        objectItem.appendChild(part('preview-mail', objectAccount.strMail));
        var arrayChanges = changes(objectAccount);
        if (arrayChanges.length > 0) {
            var objectChanges = document.createElement('span');
            objectChanges.className = 'preview-changes';
            objectChanges.appendChild(part('preview-change', Catalogue.get('import_differs')));
            arrayChanges.forEach(function(arrayChange) {
                objectChanges.appendChild(part('preview-change', Catalogue.get('import_change', {
                    field: Catalogue.get(mapNames[arrayChange[0]]),
                    value: describe(arrayChange[0], arrayChange[1]),
                    listed: describe(arrayChange[0], arrayChange[2])
                })));
            });
            objectItem.appendChild(objectChanges);
        }
        return objectItem;
    }

    function hidePreview() {
        arrayPending = [];
        Dom.element('import-preview').hidden = true;
        Dom.element('import-list').textContent = '';
    }

    function readClipboard() {
        hidePreview();
        var objectResult = Dom.element('import-result');
        objectResult.classList.remove('error');
        var objectParsed = parse(Copying.get());
        if (objectParsed.strReason) {
            Catalogue.set(objectResult, 'import_invalid', {reason: Catalogue.get(objectParsed.strReason, objectParsed.objectValues)});
            objectResult.classList.add('error');
            return;
        }
        Accounts.refresh();
        var objectSplit = split(objectParsed.arrayAccounts);
        if (objectSplit.arrayAdd.length === 0 && objectSplit.intSkip > 0) {
            Catalogue.set(objectResult, 'import_nothing');
            return;
        }
        Catalogue.set(objectResult, 'import_preview', {add: objectSplit.arrayAdd.length, skip: objectSplit.intSkip});
        if (objectSplit.arrayAdd.length === 0) {
            return;
        }
        arrayPending = objectSplit.arrayAdd;
        var objectList = Dom.element('import-list');
        arrayPending.slice(0, intPreviewRows).forEach(function(objectAccount) {
            Entries.add(objectList, previewItem(objectAccount));
        });
        if (arrayPending.length > intPreviewRows) {
            var objectMore = document.createElement('li');
            objectMore.className = 'preview-more';
            objectMore.textContent = '\u2026';
            objectMore.setAttribute('aria-label',
                Catalogue.get('import_more', {count: arrayPending.length - intPreviewRows}));
            Entries.add(objectList, objectMore);
        }
        Dom.element('import-preview').hidden = false;
        // The focus goes to what will be added, not to the button that adds it: a second Enter adds nothing.
        // The summary above is spoken as a notice; the list has a name of its own, so it is not said twice.
        Entries.focus(objectList);
    }

    function confirmImport() {
        // Checked again against the list as it is now.
        var arrayAdd = split(arrayPending).arrayAdd;
        hidePreview();
        if (arrayAdd.length > 0 && !Accounts.createMany(arrayAdd)) {
            Catalogue.set(Dom.element('import-result'), 'import_failed', {folder: Accounts.folder()});
            Dom.element('import-result').classList.add('error');
            Dom.element('import-button').focus();
            return;
        }
        Catalogue.set(Dom.element('import-result'), 'import_done', {count: arrayAdd.length});
        Dom.element('import-button').focus();
    }

    function cancelImport() {
        hidePreview();
        Dom.element('import-result').textContent = '';
        Dom.element('import-button').focus();
    }

    function clearResults() {
        hidePreview();
        Dom.element('export-result').textContent = '';
        Dom.element('import-result').textContent = '';
        Dom.element('import-result').classList.remove('error');
    }

    function init() {
        Dom.element('transfer-back').addEventListener('click', Navigation.back);
        Dom.element('export-button').addEventListener('click', exportList);
        Dom.element('import-button').addEventListener('click', readClipboard);
        Dom.element('import-confirm').addEventListener('click', confirmImport);
        Dom.element('import-cancel').addEventListener('click', cancelImport);
        Entries.attach(Dom.element('import-list'));
        Navigation.register('transfer', {
            show: clearResults,
            focus: function() {
                Dom.element('export-button').focus();
            },
            backward: function() {
                if (!Dom.element('import-preview').hidden) {
                    cancelImport();
                    return true;
                }
                return false;
            }
        });
    }

    return {
        init: init,
        parse: parse
    };
}());
