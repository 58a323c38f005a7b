// The account list as the page knows it: loaded in one query, kept in memory for sorting and filtering,
// and written back one record at a time through the account store.
var Accounts = (function() {
    'use strict';

    var strColumns = 'SELECT intIdent, strWebsite, strMail, strUser, strNote, intLength, strSpecial FROM PreferenceAccount';
    var arrayAll = [];
    var mapIdent = {};
    var mapExact = {};
    var mapLoose = {};
    var arrayListeners = [];

    function text(valueField) {
        return typeof valueField === 'string' ? valueField : (valueField === undefined || valueField === null ? '' : String(valueField));
    }

    function integer(valueField) {
        var intValue = Number(valueField);
        return isFinite(intValue) ? Math.trunc(intValue) : 0;
    }

    // The two texts that enter the derivation, exactly and loosely: loosely ignores case, surrounding spaces
    // and a leading "www.", the differences people overlook.
    function exactKey(objectAccount) {
        return objectAccount.strWebsite + '\n' + objectAccount.strMail;
    }

    function looseKey(objectAccount) {
        var strWebsite = objectAccount.strWebsite.trim().toLowerCase().replace(/^www\./, '');
        return strWebsite + '\n' + objectAccount.strMail.trim().toLowerCase();
    }

    function record(objectRow) {
        var objectAccount = {
            intIdent: integer(objectRow.intIdent),
            strWebsite: text(objectRow.strWebsite),
            strMail: text(objectRow.strMail),
            strUser: text(objectRow.strUser),
            strNote: text(objectRow.strNote),
            intLength: integer(objectRow.intLength),
            strSpecial: text(objectRow.strSpecial)
        };
        // Sorted as people read: without regard to case or to spaces around the text.
        objectAccount.strSortWebsite = objectAccount.strWebsite.trim().toLowerCase();
        objectAccount.strSortMail = objectAccount.strMail.trim().toLowerCase();
        objectAccount.strSortUser = objectAccount.strUser.trim().toLowerCase();
        objectAccount.strSearch = [objectAccount.strWebsite, objectAccount.strMail, objectAccount.strUser,
            objectAccount.strNote].join('\u0000').toLowerCase();
        return objectAccount;
    }

    function query(strSql, arrayParameters) {
        Bridge.call('jsPreferenceAccount', 'selectOpen', [strSql, arrayParameters || []]);
        var arrayRows = Bridge.json(Bridge.call('jsPreferenceAccount', 'getAll', [], '[]'), []);
        Bridge.call('jsPreferenceAccount', 'selectClose', []);
        return Array.isArray(arrayRows) ? arrayRows : [];
    }

    function index() {
        mapIdent = {};
        mapExact = {};
        mapLoose = {};
        arrayAll.forEach(function(objectAccount) {
            mapIdent[objectAccount.intIdent] = objectAccount;
            var strExact = exactKey(objectAccount);
            var strLoose = looseKey(objectAccount);
            (mapExact[strExact] = mapExact[strExact] || []).push(objectAccount);
            (mapLoose[strLoose] = mapLoose[strLoose] || []).push(objectAccount);
        });
    }

    function load() {
        arrayAll = query(strColumns + ' ORDER BY intIdent', []).map(record);
        index();
    }

    function changed() {
        arrayListeners.forEach(function(functionListener) {
            functionListener();
        });
    }

    function onChange(functionListener) {
        arrayListeners.push(functionListener);
    }

    function all() {
        return arrayAll;
    }

    function byIdent(intIdent) {
        return Object.prototype.hasOwnProperty.call(mapIdent, intIdent) ? mapIdent[intIdent] : null;
    }

    // Other accounts with exactly the same website and mail, and those that differ only loosely.
    function duplicates(objectAccount) {
        return (mapExact[exactKey(objectAccount)] || []).filter(function(objectOther) {
            return objectOther.intIdent !== objectAccount.intIdent;
        });
    }

    // One per distinct website and mail text.
    function lookalikes(objectAccount) {
        var objectSeen = {};
        objectSeen[exactKey(objectAccount)] = true;
        return (mapLoose[looseKey(objectAccount)] || []).filter(function(objectOther) {
            var strKey = exactKey(objectOther);
            if (Object.prototype.hasOwnProperty.call(objectSeen, strKey)) {
                return false;
            }
            objectSeen[strKey] = true;
            return true;
        });
    }

    // The store keeps one current record shared by every caller: each write sets all of its fields first.
    function put(objectAccount) {
        Bridge.call('jsPreferenceAccount', 'setIntIdent', [objectAccount.intIdent || 0]);
        Bridge.call('jsPreferenceAccount', 'setStrWebsite', [objectAccount.strWebsite]);
        Bridge.call('jsPreferenceAccount', 'setStrMail', [objectAccount.strMail]);
        Bridge.call('jsPreferenceAccount', 'setStrUser', [objectAccount.strUser]);
        Bridge.call('jsPreferenceAccount', 'setStrNote', [objectAccount.strNote]);
        Bridge.call('jsPreferenceAccount', 'setIntLength', [objectAccount.intLength]);
        Bridge.call('jsPreferenceAccount', 'setStrSpecial', [objectAccount.strSpecial]);
    }

    // Adds one account and returns it with the identifier the database gave it (the newest row).
    function create(objectAccount) {
        put({intIdent: 0, strWebsite: objectAccount.strWebsite, strMail: objectAccount.strMail,
            strUser: objectAccount.strUser, strNote: objectAccount.strNote, intLength: objectAccount.intLength,
            strSpecial: objectAccount.strSpecial});
        Bridge.call('jsPreferenceAccount', 'create', []);
        var arrayRows = query(strColumns + ' ORDER BY intIdent DESC LIMIT 1', []);
        return arrayRows.length > 0 ? record(arrayRows[0]) : null;
    }

    function save(objectAccount) {
        put(objectAccount);
        Bridge.call('jsPreferenceAccount', 'save', []);
        return record(objectAccount);
    }

    function remove(intIdent) {
        Bridge.call('jsPreferenceAccount', 'setIntIdent', [intIdent]);
        Bridge.call('jsPreferenceAccount', 'remove', []);
    }

    // Many accounts in one transaction, with the change notices held back and the list refreshed once.
    function createMany(arrayAccounts) {
        Bridge.call('jsPreferenceAccount', 'observerDisable', []);
        try {
            Bridge.call('jsPreferenceAccount', 'transactionOpen', []);
            arrayAccounts.forEach(function(objectAccount) {
                put({intIdent: 0, strWebsite: objectAccount.strWebsite, strMail: objectAccount.strMail,
                    strUser: objectAccount.strUser, strNote: objectAccount.strNote,
                    intLength: objectAccount.intLength, strSpecial: objectAccount.strSpecial});
                Bridge.call('jsPreferenceAccount', 'create', []);
            });
            Bridge.call('jsPreferenceAccount', 'transactionClose', []);
        } finally {
            Bridge.call('jsPreferenceAccount', 'observerEnable', []);
        }
        refresh();
    }

    // Reloads whose earlier notices are still queued: the changes those notices report are in the list already.
    var intFresh = 0;

    function refresh() {
        load();
        intFresh += 1;
        // Timers of equal delay run in the order they were set, so this one runs after every notice that a
        // write before this reload has queued.
        window.setTimeout(function() {
            intFresh -= 1;
        }, 0);
        changed();
    }

    function fresh() {
        return intFresh > 0;
    }

    return {
        load: load,
        refresh: refresh,
        onChange: onChange,
        all: all,
        byIdent: byIdent,
        duplicates: duplicates,
        lookalikes: lookalikes,
        record: record,
        create: create,
        save: save,
        remove: remove,
        createMany: createMany,
        fresh: fresh
    };
}());

// Told by the program that the account table changed. Several notices in a row cost one reload, and none
// when the page reloaded the list itself after its own change.
var PreferenceAccount = (function() {
    'use strict';

    var objectListener = Bridge.listener(function() {
        Accounts.refresh();
    });
    return {
        update: function() {
            if (!Accounts.fresh()) {
                objectListener.update();
            }
        }
    };
}());
