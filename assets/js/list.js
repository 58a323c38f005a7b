// The account list: sorted, filtered as the user types, and drawn as a window of rows over the visible part
// only, so ten thousand accounts cost no more than twenty. The focus moves from row to row (one row, the active
// one, is the list's stop of Tab): every engine tells a screen reader of a focus that moves, while some pass on
// no change of aria-activedescendant.
var ListScreen = (function() {
    'use strict';

    // Read from the style sheet at start.
    var intRowHeight = 0;
    var intOverscan = 4;
    var strSort = 'website';
    var strFilter = '';
    var arraySorted = [];
    var arrayView = [];
    var intActive = 0;
    var arrayPool = [];
    // Whether the account shown was opened by a key on its row: the way back then leads to that row.
    var boolOpenedFromRow = false;
    var boolDirty = true;
    // The span of rows drawn last. A change of what the rows show draws them at once; a scroll draws only when
    // it reaches other rows, so the scroll a moving key has made draws nothing twice.
    var strDrawn = '';

    // The sort order is the list's own preference, kept across starts in the engine's local storage, which the
    // program places in res/ beside the other data, owner-only like it. The six native objects have fixed
    // operations, none of which stores a preference of the page's own: a key of the program's own would widen
    // that interface for one choice of the list's, while the engine's storage serves the page as it is.
    var strSortStored = 'tessaloquin.list.sort';
    var arraySorts = ['website', 'mail', 'user'];

    // Null where the engine keeps none.
    function storage() {
        try {
            return window.localStorage || null;
        } catch (objectError) {
            return null;
        }
    }

    function readSort() {
        var objectStorage = storage();
        var strStored = objectStorage === null ? null : objectStorage.getItem(strSortStored);
        if (arraySorts.indexOf(strStored) !== -1) {
            strSort = strStored;
        }
        Dom.element('sort').value = strSort;
    }

    function storeSort() {
        var objectStorage = storage();
        try {
            if (objectStorage !== null) {
                objectStorage.setItem(strSortStored, strSort);
            }
        } catch (objectError) {
            // A full disk keeps the order for this run only.
        }
    }

    function compare(strField) {
        var arrayKeys = strField === 'mail' ? ['strSortMail', 'strSortWebsite', 'strSortUser'] :
            strField === 'user' ? ['strSortUser', 'strSortWebsite', 'strSortMail'] :
                ['strSortWebsite', 'strSortMail', 'strSortUser'];
        return function(objectA, objectB) {
            for (var i = 0; i < arrayKeys.length; i += 1) {
                var strA = objectA[arrayKeys[i]];
                var strB = objectB[arrayKeys[i]];
                if (strA !== strB) {
                    return strA < strB ? -1 : 1;
                }
            }
            return objectA.intIdent - objectB.intIdent;
        };
    }

    function sort() {
        arraySorted = Accounts.all().slice();
        arraySorted.sort(compare(strSort));
        boolDirty = false;
    }

    function applyFilter() {
        var strQuery = strFilter.toLowerCase();
        arrayView = strQuery === '' ? arraySorted : arraySorted.filter(function(objectAccount) {
            return objectAccount.strSearch.indexOf(strQuery) !== -1;
        });
    }

    // Appends a text with every match of the query marked; all of it as text nodes.
    function appendMarked(objectParent, strText, strQuery) {
        var strLower = strText.toLowerCase();
        var intFrom = 0;
        if (strQuery !== '' && strLower.length === strText.length) {
            var intAt = strLower.indexOf(strQuery);
            while (intAt !== -1) {
                if (intAt > intFrom) {
                    Dom.appendText(objectParent, strText.slice(intFrom, intAt));
                }
                var objectMark = document.createElement('mark');
                Dom.appendText(objectMark, strText.slice(intAt, intAt + strQuery.length));
                objectParent.appendChild(objectMark);
                intFrom = intAt + strQuery.length;
                intAt = strLower.indexOf(strQuery, intFrom);
            }
        }
        if (intFrom < strText.length) {
            Dom.appendText(objectParent, strText.slice(intFrom));
        }
    }

    function fillRow(objectRow, objectAccount, intIndex) {
        var strQuery = strFilter.toLowerCase();
        objectRow.id = 'item-' + intIndex;
        objectRow.setAttribute('data-ident', String(objectAccount.intIdent));
        objectRow.setAttribute('data-index', String(intIndex));
        objectRow.style.top = (intIndex * intRowHeight) + 'px';
        objectRow.setAttribute('aria-selected', intIndex === intActive ? 'true' : 'false');
        objectRow.tabIndex = intIndex === intActive ? 0 : -1;
        // Only a window of rows exists; each says where it stands in the whole list.
        objectRow.setAttribute('aria-posinset', String(intIndex + 1));
        objectRow.setAttribute('aria-setsize', String(arrayView.length));
        objectRow.setAttribute('aria-description',
            Catalogue.get('list_position', {position: intIndex + 1, total: arrayView.length}));
        objectRow.className = 'item' + (intIndex === intActive ? ' item-active' : '') +
            (objectAccount.intIdent === Selected.ident() ? ' item-selected' : '');

        var objectSite = objectRow.firstChild;
        var objectSub = objectRow.lastChild;
        objectSite.textContent = '';
        objectSub.textContent = '';
        if (objectAccount.strWebsite === '') {
            Dom.appendText(objectSite, Catalogue.get('list_no_website'));
            objectSite.classList.add('item-missing');
        } else {
            objectSite.classList.remove('item-missing');
            appendMarked(objectSite, objectAccount.strWebsite, strQuery);
        }

        var arrayParts = [objectAccount.strMail, objectAccount.strUser].filter(function(strPart) {
            return strPart !== '';
        });
        // A match found only in the note shows the note, so the user sees why the row is here.
        var boolNote = strQuery !== '' && objectAccount.strNote.toLowerCase().indexOf(strQuery) !== -1 &&
            [objectAccount.strWebsite, objectAccount.strMail, objectAccount.strUser].every(function(strField) {
                return strField.toLowerCase().indexOf(strQuery) === -1;
            });
        if (boolNote) {
            arrayParts.push(objectAccount.strNote.replace(/\s+/g, ' '));
        }
        // Rows that would look the same say what tells them apart.
        if (Accounts.twins(objectAccount).length > 0) {
            arrayParts.push(Catalogue.get('list_differs', {length: objectAccount.intLength,
                special: AccountScreen.markers(objectAccount)}));
        }
        arrayParts.forEach(function(strPart, intPart) {
            if (intPart > 0) {
                var objectSeparator = document.createElement('span');
                objectSeparator.className = 'item-separator';
                objectSeparator.textContent = ' \u00b7 ';
                objectSub.appendChild(objectSeparator);
            }
            var objectPart = document.createElement('span');
            objectPart.setAttribute('dir', 'auto');
            appendMarked(objectPart, strPart, strQuery);
            objectSub.appendChild(objectPart);
        });
    }

    function newRow() {
        var objectRow = document.createElement('div');
        objectRow.setAttribute('role', 'listitem');
        var objectSite = document.createElement('span');
        objectSite.className = 'item-site';
        objectSite.setAttribute('dir', 'auto');
        var objectSub = document.createElement('span');
        objectSub.className = 'item-sub';
        objectRow.appendChild(objectSite);
        objectRow.appendChild(objectSub);
        Dom.element('list').appendChild(objectRow);
        return objectRow;
    }

    // The first row in and around the visible part, and the one after the last.
    function span() {
        var objectList = Dom.element('list');
        var intHeight = objectList.clientHeight || 400;
        return [Math.max(0, Math.floor(objectList.scrollTop / intRowHeight) - intOverscan),
            Math.min(arrayView.length, Math.ceil((objectList.scrollTop + intHeight) / intRowHeight) + intOverscan)];
    }

    // The row that stands for the active account; null when the list is empty.
    function activeRow() {
        return arrayView.length === 0 ? null : document.getElementById('item-' + intActive);
    }

    function isRow(objectElement) {
        return Boolean(objectElement && objectElement.parentNode === Dom.element('list') &&
            objectElement.hasAttribute('data-index'));
    }

    function rowFocused() {
        return isRow(document.activeElement);
    }

    // Puts the rows in the document in the order they stand in the list, for a reader going through the page,
    // and the unused ones after them, without moving the focused one: an element taken out of the document, even
    // for a moment, loses the focus.
    function order(arrayRows, arrayUnused) {
        var objectList = Dom.element('list');
        var intAnchor = Math.max(0, arrayRows.indexOf(document.activeElement));
        for (var i = intAnchor - 1; i >= 0; i -= 1) {
            if (arrayRows[i].nextSibling !== arrayRows[i + 1]) {
                objectList.insertBefore(arrayRows[i], arrayRows[i + 1]);
            }
        }
        for (var j = intAnchor + 1; j < arrayRows.length; j += 1) {
            if (arrayRows[j].previousSibling !== arrayRows[j - 1]) {
                objectList.insertBefore(arrayRows[j], arrayRows[j - 1].nextSibling);
            }
        }
        var objectLast = arrayRows.length > 0 ? arrayRows[arrayRows.length - 1] : null;
        arrayUnused.forEach(function(objectRow) {
            if (objectLast !== null &&
                objectLast.compareDocumentPosition(objectRow) & Node.DOCUMENT_POSITION_PRECEDING) {
                objectList.appendChild(objectRow);
            }
        });
    }

    // Draws the rows in and around the visible part, and the active row wherever it is, so that a scroll never
    // takes away the row that holds the focus or the list's stop of Tab. An account keeps the row that showed it
    // for as long as it stays drawn: the focus stays where it is, and moves to another row only with the cursor.
    // boolFocus: a row had the focus, and the active row is to have it now.
    function renderRows(boolFocus) {
        var arraySpan = span();
        strDrawn = arraySpan.join(',');
        var arrayIndex = [];
        for (var i = arraySpan[0]; i < arraySpan[1]; i += 1) {
            arrayIndex.push(i);
        }
        if (arrayView.length > 0 && intActive < arraySpan[0]) {
            arrayIndex.unshift(intActive);
        } else if (arrayView.length > 0 && intActive >= arraySpan[1]) {
            arrayIndex.push(intActive);
        }
        var mapShown = new Map();
        arrayPool.forEach(function(objectRow) {
            if (!objectRow.hidden) {
                mapShown.set(objectRow.getAttribute('data-ident'), objectRow);
            }
        });
        var arrayRows = arrayIndex.map(function(intIndex) {
            return mapShown.get(String(arrayView[intIndex].intIdent)) || null;
        });
        var arrayFree = arrayPool.filter(function(objectRow) {
            return arrayRows.indexOf(objectRow) === -1;
        });
        arrayRows = arrayRows.map(function(objectRow) {
            if (objectRow === null && arrayFree.length === 0) {
                arrayPool.push(newRow());
                return arrayPool[arrayPool.length - 1];
            }
            return objectRow || arrayFree.shift();
        });
        arrayRows.forEach(function(objectRow, intAt) {
            objectRow.hidden = false;
            fillRow(objectRow, arrayView[arrayIndex[intAt]], arrayIndex[intAt]);
        });
        arrayFree.forEach(function(objectRow) {
            objectRow.hidden = true;
            objectRow.className = 'item';
            objectRow.removeAttribute('id');
            objectRow.removeAttribute('data-ident');
            objectRow.tabIndex = -1;
        });
        order(arrayRows, arrayFree);
        var objectActive = activeRow();
        if (boolFocus && objectActive !== null && document.activeElement !== objectActive) {
            objectActive.focus();
        } else if (boolFocus && objectActive === null) {
            // Nothing left to stand on: the filter, where the list's hint is read.
            Dom.element('filter').focus();
        }
    }

    function renderCount() {
        var intTotal = Accounts.all().length;
        var strCount = strFilter === '' ? Catalogue.get('list_count_all', {total: intTotal}) :
            Catalogue.get('list_count_filtered', {count: arrayView.length, total: intTotal});
        // The count is announced whenever it is written: only a new count is.
        if (Dom.element('list-count').textContent !== strCount) {
            Dom.text(Dom.element('list-count'), strCount);
        }
        var objectEmpty = Dom.element('list-empty');
        if (intTotal === 0) {
            Catalogue.set(objectEmpty, 'list_empty');
        } else if (arrayView.length === 0) {
            Catalogue.set(objectEmpty, 'list_no_match');
        }
        // No invitation to start a new list on top of one the program could not read, nor a count of none.
        var boolUnread = intTotal === 0 && Accounts.damage() !== null;
        objectEmpty.hidden = arrayView.length > 0 || boolUnread;
        Dom.element('list-count').hidden = boolUnread;
        Dom.element('list').hidden = arrayView.length === 0;
        // Where the list would be, the hint says why it is not: the filter, where the focus is, carries it.
        if (objectEmpty.hidden) {
            Dom.element('filter').removeAttribute('aria-describedby');
        } else {
            Dom.element('filter').setAttribute('aria-describedby', 'list-empty');
        }
    }

    // Draws the list anew. intIdent: the account the cursor is to stay on wherever the change has put it (0:
    // the cursor keeps its place).
    function draw(intIdent) {
        var boolFocus = rowFocused();
        if (boolDirty) {
            sort();
        }
        applyFilter();
        if (intIdent !== 0 && !(intActive < arrayView.length && arrayView[intActive].intIdent === intIdent)) {
            var intAt = arrayView.findIndex(function(objectAccount) {
                return objectAccount.intIdent === intIdent;
            });
            intActive = intAt === -1 ? intActive : intAt;
        }
        if (intActive >= arrayView.length) {
            intActive = Math.max(0, arrayView.length - 1);
        }
        Dom.element('list-spacer').style.height = (arrayView.length * intRowHeight) + 'px';
        renderCount();
        if (intIdent !== 0) {
            scrollToActive();
        }
        renderRows(boolFocus);
    }

    // After a change of the accounts, of their order or of their texts: the cursor stays on its account.
    function render() {
        draw(intActive < arrayView.length ? arrayView[intActive].intIdent : 0);
    }

    function scrollToActive() {
        var objectList = Dom.element('list');
        var intTop = intActive * intRowHeight;
        if (intTop < objectList.scrollTop) {
            objectList.scrollTop = intTop;
        } else if (intTop + intRowHeight > objectList.scrollTop + objectList.clientHeight) {
            objectList.scrollTop = intTop + intRowHeight - objectList.clientHeight;
        }
    }

    function moveTo(intIndex) {
        if (arrayView.length === 0) {
            return;
        }
        intActive = Math.max(0, Math.min(arrayView.length - 1, intIndex));
        scrollToActive();
        renderRows(true);
    }

    // Puts the cursor on the selected account, if it is in view.
    function activateSelected() {
        for (var i = 0; i < arrayView.length; i += 1) {
            if (arrayView[i].intIdent === Selected.ident()) {
                intActive = i;
                scrollToActive();
                return;
            }
        }
    }

    function open(objectAccount, boolFromRow) {
        if (!objectAccount) {
            return;
        }
        boolOpenedFromRow = boolFromRow;
        Selected.store(objectAccount);
        Navigation.show('account');
    }

    // A new filter starts at the top of its matches.
    function filter(strText) {
        strFilter = strText;
        intActive = 0;
        Dom.element('list').scrollTop = 0;
        draw(0);
    }

    function setFilter(strText) {
        Dom.element('filter').value = strText;
        filter(strText);
    }

    function onKey(objectEvent) {
        var intPage = Math.max(1, Math.floor(Dom.element('list').clientHeight / intRowHeight) - 1);
        var mapMoves = {ArrowDown: 1, ArrowUp: -1, PageDown: intPage, PageUp: -intPage};
        var strKey = Keys.name(objectEvent);
        if (Object.prototype.hasOwnProperty.call(mapMoves, strKey)) {
            moveTo(intActive + mapMoves[strKey]);
        } else if (strKey === 'Home') {
            moveTo(0);
        } else if (strKey === 'End') {
            moveTo(arrayView.length - 1);
        } else if (strKey === 'Enter' || strKey === ' ') {
            open(arrayView[intActive], true);
        } else {
            return;
        }
        objectEvent.preventDefault();
    }

    function init() {
        intRowHeight = parseFloat(window.getComputedStyle(Dom.element('list')).getPropertyValue('--row-height'));
        readSort();
        Dom.element('filter').addEventListener('input', function() {
            filter(Dom.element('filter').value);
        });
        // Down from the filter goes into the list; Enter opens the first match.
        Dom.element('filter').addEventListener('keydown', function(objectEvent) {
            if (Keys.name(objectEvent) === 'ArrowDown' && arrayView.length > 0) {
                objectEvent.preventDefault();
                moveTo(0);
            } else if (Keys.name(objectEvent) === 'Enter' && arrayView.length > 0) {
                objectEvent.preventDefault();
                open(arrayView[intActive], false);
            }
        });
        Dom.element('sort').addEventListener('change', function() {
            strSort = Dom.element('sort').value;
            storeSort();
            boolDirty = true;
            render();
        });
        Dom.element('list').addEventListener('scroll', function() {
            if (span().join(',') !== strDrawn) {
                renderRows(false);
            }
        });
        Dom.element('list').addEventListener('keydown', onKey);
        // A row focused by the mouse becomes the active one, as the arrows make it.
        Dom.element('list').addEventListener('focusin', function(objectEvent) {
            var objectRow = objectEvent.target;
            if (isRow(objectRow) && Number(objectRow.getAttribute('data-index')) !== intActive) {
                intActive = Number(objectRow.getAttribute('data-index'));
                renderRows(false);
            }
        });
        Dom.element('list').addEventListener('click', function(objectEvent) {
            var objectRow = objectEvent.target;
            while (objectRow && objectRow !== Dom.element('list') && !objectRow.hasAttribute('data-index')) {
                objectRow = objectRow.parentNode;
            }
            if (objectRow && objectRow !== Dom.element('list')) {
                intActive = Number(objectRow.getAttribute('data-index'));
                open(arrayView[intActive], false);
            }
        });
        Dom.element('list-add').addEventListener('click', function() {
            Navigation.show('edit', {objectAccount: null});
        });

        var functionRender = Navigation.whileShown('list', render);
        Accounts.onChange(function() {
            boolDirty = true;
            functionRender();
        });
        Selected.onChange(Navigation.whileShown('list', function() {
            renderRows(rowFocused());
        }));
        Catalogue.onRetext(functionRender);

        Navigation.register('list', {
            show: function() {
                render();
                activateSelected();
                renderRows(false);
            },
            // Back from an account opened by a key on its row, to that row; otherwise to the filter.
            focus: function(objectOptions) {
                var objectRow = activeRow();
                if (objectOptions.boolBack && boolOpenedFromRow && objectRow !== null &&
                    arrayView[intActive].intIdent === Selected.ident()) {
                    objectRow.focus();
                    return;
                }
                Dom.element('filter').focus();
                if (objectOptions.boolSelect) {
                    Dom.element('filter').select();
                }
            },
            // Typing after Ctrl+F replaces what the filter holds.
            control: function(strLetter) {
                if (strLetter !== 'f') {
                    return false;
                }
                Dom.element('filter').focus();
                Dom.element('filter').select();
                return true;
            },
            backward: function() {
                // The filter first: emptied under a focused row, the list would put the focus on its first row.
                if (strFilter !== '') {
                    Dom.element('filter').focus();
                    setFilter('');
                    return true;
                }
                return false;
            }
        });
    }

    return {
        init: init,
        setFilter: setFilter,
        view: function() {
            return arrayView;
        }
    };
}());
