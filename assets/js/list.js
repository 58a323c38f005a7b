// The account list: sorted, filtered as the user types, and drawn as a window of rows over the visible part
// only, so ten thousand accounts cost no more than twenty.
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

    function renderRows() {
        var objectList = Dom.element('list');
        var arraySpan = span();
        var intFirst = arraySpan[0];
        var intLast = arraySpan[1];
        strDrawn = arraySpan.join(',');
        var intCount = Math.max(0, intLast - intFirst);
        while (arrayPool.length < intCount) {
            arrayPool.push(newRow());
        }
        for (var i = 0; i < arrayPool.length; i += 1) {
            if (i < intCount) {
                arrayPool[i].hidden = false;
                fillRow(arrayPool[i], arrayView[intFirst + i], intFirst + i);
            } else {
                arrayPool[i].hidden = true;
                arrayPool[i].className = 'item';
                arrayPool[i].removeAttribute('id');
            }
        }
        if (arrayView.length > 0 && intActive >= intFirst && intActive < intLast) {
            objectList.setAttribute('aria-activedescendant', 'item-' + intActive);
        } else {
            objectList.removeAttribute('aria-activedescendant');
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

    function render() {
        if (boolDirty) {
            sort();
        }
        applyFilter();
        if (intActive >= arrayView.length) {
            intActive = Math.max(0, arrayView.length - 1);
        }
        Dom.element('list-spacer').style.height = (arrayView.length * intRowHeight) + 'px';
        renderCount();
        renderRows();
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
        renderRows();
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

    function open(objectAccount) {
        if (!objectAccount) {
            return;
        }
        Selected.store(objectAccount);
        Navigation.show('account');
    }

    // A new filter starts at the top of its matches.
    function filter(strText) {
        strFilter = strText;
        intActive = 0;
        Dom.element('list').scrollTop = 0;
        render();
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
            open(arrayView[intActive]);
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
                Dom.element('list').focus();
                moveTo(0);
            } else if (Keys.name(objectEvent) === 'Enter' && arrayView.length > 0) {
                objectEvent.preventDefault();
                open(arrayView[intActive]);
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
                renderRows();
            }
        });
        Dom.element('list').addEventListener('keydown', onKey);
        Dom.element('list').addEventListener('click', function(objectEvent) {
            var objectRow = objectEvent.target;
            while (objectRow && objectRow !== Dom.element('list') && !objectRow.hasAttribute('data-index')) {
                objectRow = objectRow.parentNode;
            }
            if (objectRow && objectRow !== Dom.element('list')) {
                intActive = Number(objectRow.getAttribute('data-index'));
                open(arrayView[intActive]);
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
        Selected.onChange(Navigation.whileShown('list', renderRows));
        Catalogue.onRetext(functionRender);

        Navigation.register('list', {
            show: function() {
                render();
                activateSelected();
                renderRows();
            },
            focus: function(objectOptions) {
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
                if (strFilter !== '') {
                    setFilter('');
                    Dom.element('filter').focus();
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
