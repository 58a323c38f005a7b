// Start-up, and the refresh of every text when the language changes.
var App = (function() {
    'use strict';

    function element(strId) {
        return document.getElementById(strId);
    }

    function showMissing() {
        var arrayMissing = Bridge.missing();
        var objectAlert = element('alert');
        objectAlert.hidden = arrayMissing.length === 0;
        if (arrayMissing.length > 0) {
            Catalogue.set(objectAlert, 'bridge_missing', {name: arrayMissing.join(', ')});
        }
    }

    // A data folder that takes no change is said once, at start, and stays said.
    var boolWritable = true;

    function showFolder() {
        var objectAlert = element('folder-alert');
        objectAlert.hidden = boolWritable;
        if (!boolWritable) {
            Catalogue.set(objectAlert, 'folder_not_writable', {folder: Accounts.folder()});
        }
    }

    // The language whose texts are shown.
    var strLanguage = null;

    function retext() {
        strLanguage = Catalogue.current();
        Catalogue.load();
        Catalogue.applyDirection();
        Catalogue.apply(document);
        showMissing();
        showFolder();
        Master.retext();
        SettingsScreen.retext();
        Shortcuts.retext();
        var strCurrent = Navigation.current();
        if (strCurrent === 'list') {
            ListScreen.render();
        } else if (strCurrent === 'account') {
            AccountScreen.render();
        } else if (strCurrent === 'edit') {
            Catalogue.set(element('edit-title'), EditScreen.editing() ? 'edit_title_edit' : 'edit_title_new');
        }
        Navigation.retitle();
    }

    function start() {
        var strName = Bridge.call('jsGeneral', 'getName', [], '');
        document.title = strName;
        element('app-name').textContent = strName;

        strLanguage = Catalogue.current();
        Catalogue.load();
        Catalogue.applyDirection();
        Catalogue.apply(document);
        showMissing();

        ListScreen.init();
        Master.init();
        AccountScreen.init();
        EditScreen.init();
        TransferScreen.init();
        SettingsScreen.init();
        Shortcuts.init();

        element('nav-accounts').addEventListener('click', function() {
            Navigation.reset('list');
        });
        element('nav-transfer').addEventListener('click', function() {
            Navigation.show('transfer');
        });
        element('nav-settings').addEventListener('click', function() {
            Navigation.show('settings');
        });

        // Before any password can be shown.
        Derivation.selfTest();

        Accounts.load();
        boolWritable = Accounts.writable();
        showFolder();
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
        start: start,
        retext: retext,
        language: function() {
            return strLanguage;
        }
    };
}());

App.start();
