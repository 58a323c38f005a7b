// Start-up: the texts, the screens, and the screen the page opens on.
var App = (function() {
    'use strict';

    function showMissing() {
        var arrayMissing = Bridge.missing();
        var objectAlert = Dom.element('alert');
        objectAlert.hidden = arrayMissing.length === 0;
        if (arrayMissing.length > 0) {
            Catalogue.set(objectAlert, 'bridge_missing', {name: arrayMissing.join(', ')});
        }
    }

    // A data folder that takes no change is said once, at start, and stays said.
    var boolWritable = true;

    function showFolder() {
        var objectAlert = Dom.element('folder-alert');
        // A damaged database takes no change either; its own notice says why.
        objectAlert.hidden = boolWritable || Accounts.damage() !== null;
        if (!objectAlert.hidden) {
            Catalogue.set(objectAlert, 'folder_not_writable', {folder: Accounts.folder()});
        }
    }

    // What the program found wrong with the stored data before the page loaded, and what it did about it.
    function showNotices() {
        var arrayNotices = Array.isArray(window.jsNotices) ? window.jsNotices : [];
        var arrayTexts = [];
        arrayNotices.forEach(function(objectNotice) {
            var objectValues = {file: objectNotice && typeof objectNotice.strPath === 'string' ? objectNotice.strPath : ''};
            var strKind = objectNotice && objectNotice.strKind;
            if (strKind === 'database-unreadable' || strKind === 'database-view' || strKind === 'database-missing') {
                arrayTexts.push(Catalogue.get(strKind === 'database-unreadable' ? 'notice_database_unreadable' :
                    'notice_database_table', objectValues) + ' ' + Catalogue.get('notice_database_action'));
            } else if (strKind === 'settings-removed') {
                arrayTexts.push(Catalogue.get('notice_settings_removed', objectValues));
            }
        });
        var objectAlert = Dom.element('data-alert');
        objectAlert.hidden = arrayTexts.length === 0;
        Dom.text(objectAlert, arrayTexts.join(' '));
        Dom.element('list-add').disabled = Accounts.damage() !== null;
    }

    function start() {
        var strName = Bridge.call('jsGeneral', 'getName', [], '');
        document.title = strName;
        Dom.element('app-name').textContent = strName;

        Catalogue.retext();
        showMissing();

        ListScreen.init();
        Master.init();
        CapsLock.init();
        AccountScreen.init();
        Strength.init();
        Suggest.init();
        EditScreen.init();
        TransferScreen.init();
        SettingsScreen.init();
        Shortcuts.init();
        Undo.init();
        // After the screens: the title is read from the heading of the screen shown once it has its text.
        Catalogue.onRetext(function() {
            showMissing();
            showFolder();
            showNotices();
            Navigation.retitle();
        });

        Dom.element('nav-accounts').addEventListener('click', function() {
            Navigation.reset('list');
        });
        Dom.element('nav-transfer').addEventListener('click', function() {
            Navigation.show('transfer');
        });
        Dom.element('nav-settings').addEventListener('click', function() {
            Navigation.show('settings');
        });

        // Before any password can be shown.
        Derivation.selfTest();

        Accounts.load();
        boolWritable = Accounts.writable();
        showFolder();
        showNotices();
        Selected.read();
        if (Accounts.byIdent(Selected.ident()) !== null) {
            Navigation.reset('account');
        } else {
            Navigation.reset('list');
        }
        SettingsScreen.offer();
        document.body.classList.add('ready');
    }

    return {
        start: start
    };
}());

App.start();
