// Lists that are read entry by entry (the shortcuts, the accounts an import would add): the list is one stop of
// Tab, and the arrow keys, Page Up/Down, Home and End move the focus from entry to entry, so a screen reader
// reads each one as it comes.
var Entries = (function() {
    'use strict';

    var intPage = 5;

    function entries(objectList) {
        return Array.prototype.filter.call(objectList.children, function(objectEntry) {
            return objectEntry.getAttribute('role') === 'listitem';
        });
    }

    // The entry that holds the list's stop of Tab (and is marked as the one chosen).
    function mark(objectList, objectCurrent) {
        entries(objectList).forEach(function(objectEntry) {
            var boolCurrent = objectEntry === objectCurrent;
            objectEntry.tabIndex = boolCurrent ? 0 : -1;
            objectEntry.setAttribute('aria-selected', boolCurrent ? 'true' : 'false');
        });
    }

    // Makes an element an entry of its list; the first entry added holds the list's stop of Tab.
    function add(objectList, objectEntry) {
        objectEntry.setAttribute('role', 'listitem');
        objectList.appendChild(objectEntry);
        var arrayEntries = entries(objectList);
        mark(objectList, arrayEntries[0]);
    }

    // Puts the focus on the list's current entry; false when the list has none.
    function focus(objectList) {
        var arrayEntries = entries(objectList);
        var arrayCurrent = arrayEntries.filter(function(objectEntry) {
            return objectEntry.tabIndex === 0;
        });
        var objectEntry = arrayCurrent.length > 0 ? arrayCurrent[0] : arrayEntries[0];
        if (!objectEntry) {
            return false;
        }
        objectEntry.focus();
        return true;
    }

    function onKey(objectEvent) {
        var objectList = objectEvent.currentTarget;
        var arrayEntries = entries(objectList);
        var intAt = arrayEntries.indexOf(objectEvent.target);
        if (intAt === -1 || objectEvent.ctrlKey || objectEvent.altKey || objectEvent.metaKey) {
            return;
        }
        var mapStep = {ArrowDown: intAt + 1, ArrowUp: intAt - 1, PageDown: intAt + intPage, PageUp: intAt - intPage,
            Home: 0, End: arrayEntries.length - 1};
        var strKey = Keys.name(objectEvent);
        if (!Object.prototype.hasOwnProperty.call(mapStep, strKey)) {
            return;
        }
        objectEvent.preventDefault();
        var objectNext = arrayEntries[Math.max(0, Math.min(arrayEntries.length - 1, mapStep[strKey]))];
        mark(objectList, objectNext);
        objectNext.focus();
    }

    // Once for each list, at start.
    function attach(objectList) {
        objectList.addEventListener('keydown', onKey);
        // A click on an entry makes it the current one, as the arrows do.
        objectList.addEventListener('focusin', function(objectEvent) {
            if (entries(objectList).indexOf(objectEvent.target) !== -1) {
                mark(objectList, objectEvent.target);
            }
        });
    }

    return {
        attach: attach,
        add: add,
        focus: focus
    };
}());
