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
        objectAlert.hidden = boolWritable;
        if (!boolWritable) {
            Catalogue.set(objectAlert, 'folder_not_writable', {folder: Accounts.folder()});
        }
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
        EditScreen.init();
        TransferScreen.init();
        SettingsScreen.init();
        Shortcuts.init();
        Undo.init();
        // After the screens: the title is read from the heading of the screen shown once it has its text.
        Catalogue.onRetext(function() {
            showMissing();
            showFolder();
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
