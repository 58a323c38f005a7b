// The account list as the page knows it: loaded in one query, kept in memory for sorting and filtering,
// and written back one record at a time through the account store.
var Accounts = (function() {
    'use strict';

    var strColumns = 'SELECT intIdent, strWebsite, strMail, strUser, strNote, intLength, strSpecial FROM PreferenceAccount';
    // Rows that hold exactly an account's six fields. A text field without a value holds the empty text for the
    // page; the length is compared with the column itself, which takes the text of a number as that number.
    var strMatching = strColumns + ' WHERE IFNULL(strWebsite, \'\') = ? AND IFNULL(strMail, \'\') = ?' +
        ' AND IFNULL(strUser, \'\') = ? AND IFNULL(strNote, \'\') = ? AND intLength = ? AND IFNULL(strSpecial, \'\') = ?';
    var arrayAll = [];
    var mapIdent = {};
    var mapExact = {};
    var mapLoose = {};
    var mapShown = {};
    var mapFields = {};
    var objectChanged = Listeners.create();

    // The two texts that enter the derivation, exactly and loosely: loosely ignores case, surrounding spaces
    // and a leading "www.", the differences people overlook.
    function exactKey(objectAccount) {
        return objectAccount.strWebsite + '\n' + objectAccount.strMail;
    }

    // What a row of the list shows, and every field the user gives.
    function shownKey(objectAccount) {
        return [objectAccount.strWebsite, objectAccount.strMail, objectAccount.strUser].join('\n');
    }

    function fieldsKey(objectAccount) {
        return Record.texts(objectAccount).join('\u0000');
    }

    function looseKey(objectAccount) {
        var strWebsite = objectAccount.strWebsite.trim().toLowerCase().replace(/^www\./, '');
        return strWebsite + '\n' + objectAccount.strMail.trim().toLowerCase();
    }

    function record(objectRow) {
        var objectAccount = Record.read(objectRow);
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
        mapShown = {};
        mapFields = {};
        arrayAll.forEach(function(objectAccount) {
            mapIdent[objectAccount.intIdent] = objectAccount;
            [[mapShown, shownKey(objectAccount)], [mapFields, fieldsKey(objectAccount)]].forEach(function(arrayMap) {
                (arrayMap[0][arrayMap[1]] = arrayMap[0][arrayMap[1]] || []).push(objectAccount);
            });
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

    function all() {
        return arrayAll;
    }

    function byIdent(intIdent) {
        return Object.prototype.hasOwnProperty.call(mapIdent, intIdent) ? mapIdent[intIdent] : null;
    }

    // Other accounts with exactly the same website and mail, and those that differ only loosely.
    function duplicates(objectAccount) {
        return others(mapExact, exactKey(objectAccount), objectAccount);
    }

    function others(mapKeys, strKey, objectAccount) {
        return (mapKeys[strKey] || []).filter(function(objectOther) {
            return objectOther.intIdent !== objectAccount.intIdent;
        });
    }

    // Other accounts whose rows in the list show the same website, mail and user name.
    function twins(objectAccount) {
        return others(mapShown, shownKey(objectAccount), objectAccount);
    }

    // Other accounts with every field the same: one of them is all the list needs.
    function same(objectAccount) {
        return others(mapFields, fieldsKey(objectAccount), objectAccount);
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
        Record.write('jsPreferenceAccount', objectAccount);
    }

    // The store tells nothing of a write that failed (a full disk, a folder it may not write, a database
    // another program holds): every write below is read back. Stored rows with the account's fields, or only
    // the one of that identifier; none when the database could not be read.
    function matching(objectAccount, intIdent) {
        var arrayParameters = Record.texts(objectAccount);
        var strSql = strMatching;
        if (intIdent !== undefined) {
            strSql += ' AND intIdent = ?';
            arrayParameters.push(String(intIdent));
        }
        return query(strSql, arrayParameters).map(record);
    }

    function count() {
        return Bridge.call('jsPreferenceAccount', 'count', [], 0);
    }

    // Adds one account and returns it as stored, with the identifier the database gave it, or null when it was
    // not stored. It is the row with its fields that was not there before: the newest row may be another one.
    function create(objectAccount) {
        var objectNew = Record.copy(objectAccount);
        var arrayBefore = matching(objectNew).map(function(objectRow) {
            return objectRow.intIdent;
        });
        put(objectNew);
        Bridge.call('jsPreferenceAccount', 'create', []);
        var arrayAdded = matching(objectNew).filter(function(objectRow) {
            return arrayBefore.indexOf(objectRow.intIdent) === -1;
        });
        return arrayAdded.length > 0 ? arrayAdded[arrayAdded.length - 1] : null;
    }

    // Returns the account as stored, or null when the row does not hold it.
    function save(objectAccount) {
        put(objectAccount);
        Bridge.call('jsPreferenceAccount', 'save', []);
        var arrayStored = matching(objectAccount, objectAccount.intIdent);
        return arrayStored.length > 0 ? arrayStored[0] : null;
    }

    // False while the row is still there, or when that cannot be read.
    function remove(intIdent) {
        Bridge.call('jsPreferenceAccount', 'setIntIdent', [intIdent]);
        Bridge.call('jsPreferenceAccount', 'remove', []);
        var arrayRows = query('SELECT COUNT(*) AS intLength, 1 AS intIdent FROM PreferenceAccount WHERE intIdent = ?',
            [String(intIdent)]);
        return arrayRows.length === 1 && Record.integer(arrayRows[0].intLength) === 0;
    }

    // Many accounts in one transaction, with the change notices held back and the list refreshed once. The
    // store keeps all of them or none; true when all of them arrived.
    function createMany(arrayAccounts) {
        var intBefore = count();
        Bridge.call('jsPreferenceAccount', 'observerDisable', []);
        Bridge.call('jsPreferenceAccount', 'transactionOpen', []);
        try {
            arrayAccounts.forEach(function(objectAccount) {
                put(Record.copy(objectAccount));
                Bridge.call('jsPreferenceAccount', 'create', []);
            });
        } finally {
            // Closed whatever happened: a transaction left open would swallow every later change.
            Bridge.call('jsPreferenceAccount', 'transactionClose', []);
            Bridge.call('jsPreferenceAccount', 'observerEnable', []);
        }
        var boolAll = count() === intBefore + arrayAccounts.length;
        refresh();
        return boolAll;
    }

    // The folder the program keeps its data in: res beside the folder of this page.
    function folder() {
        return decodeURIComponent(window.location.pathname).replace(/\/assets\/[^\/]*$/, '') + '/res';
    }

    // Whether the database takes a change: its schema version is changed inside a transaction that is always
    // rolled back, so that the file stays as it was. A database that cannot be opened takes nothing.
    function writable() {
        var strVersion = 'SELECT user_version AS intLength, 1 AS intIdent FROM pragma_user_version';
        var boolWritten = false;
        query('BEGIN', []);
        var arrayBefore = query(strVersion, []);
        if (arrayBefore.length === 1) {
            var intProbe = Record.integer(arrayBefore[0].intLength) ^ 1;
            query('PRAGMA user_version = ' + intProbe, []);
            var arrayAfter = query(strVersion, []);
            boolWritten = arrayAfter.length === 1 && Record.integer(arrayAfter[0].intLength) === intProbe;
        }
        query('ROLLBACK', []);
        return boolWritten;
    }

    // The program's word, given before this page's scripts ran, that the database is no account list (damaged,
    // or without its table): it was opened for reading only and is left unchanged. The notice, or null.
    function damage() {
        var arrayNotices = Array.isArray(window.jsNotices) ? window.jsNotices : [];
        for (var i = 0; i < arrayNotices.length; i += 1) {
            var strKind = arrayNotices[i] && arrayNotices[i].strKind;
            if (typeof strKind === 'string' && strKind.indexOf('database-') === 0) {
                return arrayNotices[i];
            }
        }
        return null;
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
        objectChanged.call();
    }

    function fresh() {
        return intFresh > 0;
    }

    return {
        load: load,
        refresh: refresh,
        onChange: objectChanged.add,
        all: all,
        byIdent: byIdent,
        duplicates: duplicates,
        twins: twins,
        same: same,
        lookalikes: lookalikes,
        record: record,
        create: create,
        save: save,
        remove: remove,
        createMany: createMany,
        fresh: fresh,
        folder: folder,
        writable: writable,
        damage: damage
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
