// The selected account, kept by the program across runs. The page opens on it at the next start.
var Selected = (function() {
    'use strict';

    var intIdent = 0;
    var objectChanged = Listeners.create();

    function read() {
        var objectStored = Bridge.json(Bridge.call('jsPreferenceAccountSelected', 'getAll', [], '{}'), {});
        intIdent = Record.integer(objectStored && objectStored.intIdent);
        return intIdent;
    }

    function ident() {
        return intIdent;
    }

    function store(objectAccount) {
        intIdent = objectAccount.intIdent;
        Record.write('jsPreferenceAccountSelected', objectAccount);
    }

    function clear() {
        intIdent = 0;
        Bridge.call('jsPreferenceAccountSelected', 'clear', []);
    }

    return {
        read: read,
        ident: ident,
        store: store,
        clear: clear,
        onChange: objectChanged.add,
        changed: objectChanged.call
    };
}());

// Told by the program that the selected account changed. Storing a selection writes seven fields, and so
// sends seven notices; they cost one refresh, and none when the page has stored that selection itself.
var PreferenceAccountSelected = Bridge.listener(function() {
    var intShown = Selected.ident();
    if (Selected.read() !== intShown) {
        Selected.changed();
    }
});
