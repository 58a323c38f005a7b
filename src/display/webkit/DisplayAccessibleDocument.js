// Reads the page for the accessibility mirror (DisplayAccessibleDocument): roles, names, states, boxes, the
// focus and the live regions that changed. Installed into the page at its first reading and again after every
// load; it answers true once window.DisplayAccessible is there. It keeps nothing in the document itself: keys
// live in a WeakMap, and the text of a password field never leaves the script, only its length.
(function() {
    'use strict';
    if (window.DisplayAccessible !== undefined) {
        return true;
    }
    // Too early in a load: the next reading tries again.
    if (!document.documentElement) {
        return false;
    }
    var strHtml = 'http://www.w3.org/1999/xhtml';
    var strControls = 'button, input, select, textarea, a[href], [role], [tabindex]';
    var strLive = '[aria-live="polite"], [aria-live="assertive"], [role="status"], [role="alert"], [role="log"]';
    var mapAria = {button: 'button', checkbox: 'check', 'switch': 'check', radio: 'radio', link: 'link',
        textbox: 'text', searchbox: 'text', combobox: 'combo', listbox: 'list', list: 'list', option: 'item',
        listitem: 'item', heading: 'heading', dialog: 'dialog', alertdialog: 'dialog', group: 'group',
        radiogroup: 'group', navigation: 'group', img: 'graphic', status: 'notice', alert: 'notice',
        log: 'notice', tab: 'tab', tablist: 'tablist'};
    var mapTag = {BUTTON: 'button', SELECT: 'combo', TEXTAREA: 'text', UL: 'list', OL: 'list', LI: 'item',
        TABLE: 'list', TR: 'item', NAV: 'group', FIELDSET: 'group', IMG: 'graphic'};
    var mapSkip = {SCRIPT: true, STYLE: true, TEMPLATE: true, LEGEND: true, OPTION: true};
    // Read whole, by their name: what they hold is not read again as elements of its own.
    var setWhole = new Set(['button', 'check', 'radio', 'combo', 'text', 'link', 'heading', 'item', 'graphic',
        'notice', 'label', 'paragraph', 'tab']);
    var setFromContent = new Set(['button', 'check', 'radio', 'link', 'heading', 'item', 'notice', 'label',
        'paragraph', 'tab']);
    var mapKey = new WeakMap();
    var mapElement = new Map();
    // Every element read before that is still in the document, shown or not: its object waits for it.
    var mapKnown = new Map();
    // A field that once held a password stays a password field when the page shows its text.
    var setSecret = new WeakSet();
    var setLive = new Set();
    var intNext = 0;
    var boolDirty = true;

    function key(objectElement) {
        var intKey = mapKey.get(objectElement);
        if (intKey === undefined) {
            intNext += 1;
            intKey = intNext;
            mapKey.set(objectElement, intKey);
        }
        return intKey;
    }

    function shown(objectElement) {
        if (objectElement.hidden || objectElement.getAttribute('aria-hidden') === 'true') {
            return false;
        }
        var objectStyle = window.getComputedStyle(objectElement);
        return objectStyle.display !== 'none' && objectStyle.visibility !== 'hidden';
    }

    function clean(strText) {
        return strText.replace(/\s+/g, ' ').trim();
    }

    // The visible text of an element; fields give nothing, so no value is ever read here.
    function textOf(objectNode) {
        var strText = '';
        for (var objectChild = objectNode.firstChild; objectChild; objectChild = objectChild.nextSibling) {
            if (objectChild.nodeType === 3) {
                strText += objectChild.nodeValue;
            } else if (objectChild.nodeType === 1 && objectChild.namespaceURI === strHtml && shown(objectChild) &&
                ['INPUT', 'SELECT', 'TEXTAREA'].indexOf(objectChild.tagName) === -1) {
                var strInner = objectChild.getAttribute('aria-label') || textOf(objectChild);
                var boolInline = window.getComputedStyle(objectChild).display === 'inline';
                strText += boolInline ? strInner : ' ' + strInner + ' ';
            }
        }
        return strText;
    }

    function textOfIds(strIds, boolShownOnly) {
        return clean((strIds || '').split(/\s+/).map(function(strId) {
            var objectTarget = strId === '' ? null : document.getElementById(strId);
            if (objectTarget === null || (boolShownOnly && objectTarget.getClientRects().length === 0)) {
                return '';
            }
            return textOf(objectTarget);
        }).join(' '));
    }

    function role(objectElement) {
        var strAria = (objectElement.getAttribute('role') || '').trim().split(/\s+/)[0];
        if (strAria === 'none' || strAria === 'presentation') {
            return '';
        }
        // Qt's bridge has no toggle button: a button that stays pressed is a check box to assistive technology,
        // whose state readers speak as it changes.
        if ((strAria === '' || strAria === 'button') && objectElement.hasAttribute('aria-pressed')) {
            return 'check';
        }
        if (Object.prototype.hasOwnProperty.call(mapAria, strAria)) {
            return mapAria[strAria];
        }
        var strLiveness = objectElement.getAttribute('aria-live');
        if (strLiveness === 'polite' || strLiveness === 'assertive') {
            return 'notice';
        }
        var strTag = objectElement.tagName;
        if (strTag === 'INPUT') {
            var strType = objectElement.type;
            return strType === 'hidden' ? '' : strType === 'checkbox' ? 'check' : strType === 'radio' ? 'radio' :
                ['button', 'submit', 'reset', 'image'].indexOf(strType) !== -1 ? 'button' : 'text';
        }
        if (strTag === 'A') {
            return objectElement.hasAttribute('href') ? 'link' : '';
        }
        if (/^H[1-6]$/.test(strTag)) {
            return 'heading';
        }
        return Object.prototype.hasOwnProperty.call(mapTag, strTag) ? mapTag[strTag] : '';
    }

    function labels(objectElement) {
        var arrayLabels = objectElement.labels ? Array.prototype.slice.call(objectElement.labels) : [];
        return clean(arrayLabels.map(textOf).join(' '));
    }

    function name(objectElement, strRole) {
        var strName = textOfIds(objectElement.getAttribute('aria-labelledby'), false);
        if (strName === '') {
            strName = clean(objectElement.getAttribute('aria-label') || '');
        }
        if (strName === '' && ['INPUT', 'SELECT', 'TEXTAREA'].indexOf(objectElement.tagName) !== -1) {
            strName = labels(objectElement);
        }
        if (strName === '' && objectElement.tagName === 'FIELDSET') {
            var objectLegend = objectElement.querySelector('legend');
            strName = objectLegend ? clean(textOf(objectLegend)) : '';
        }
        if (strName === '' && objectElement.tagName === 'IMG') {
            strName = clean(objectElement.getAttribute('alt') || '');
        }
        if (strName === '' && objectElement.tagName === 'INPUT' && strRole === 'button') {
            strName = clean(objectElement.value);
        }
        if (strName === '' && setFromContent.has(strRole)) {
            strName = clean(textOf(objectElement));
        }
        if (strName === '') {
            strName = clean(objectElement.getAttribute('title') || objectElement.getAttribute('placeholder') || '');
        }
        return strName;
    }

    function description(objectElement, strName) {
        var strDescription = textOfIds(objectElement.getAttribute('aria-describedby'), true);
        if (strDescription === '') {
            strDescription = clean(objectElement.getAttribute('aria-description') || '');
        }
        if (strDescription === '') {
            strDescription = clean(objectElement.getAttribute('title') || '');
        }
        return strDescription === strName ? '' : strDescription;
    }

    function states(objectElement, strRole) {
        var arrayState = [];
        var strPressed = objectElement.getAttribute('aria-pressed');
        var strExpanded = objectElement.getAttribute('aria-expanded');
        var boolDisabled = objectElement.disabled === true || objectElement.getAttribute('aria-disabled') === 'true';
        if (objectElement.tabIndex >= 0 && !boolDisabled) {
            arrayState.push('focusable');
        }
        if (boolDisabled) {
            arrayState.push('disabled');
        }
        if (strRole === 'check' || strRole === 'radio' || strPressed !== null) {
            arrayState.push('checkable');
        }
        if (objectElement.checked === true || objectElement.getAttribute('aria-checked') === 'true' ||
            strPressed === 'true') {
            arrayState.push('checked');
        }
        if (strPressed === 'true') {
            arrayState.push('pressed');
        }
        if (strExpanded !== null) {
            arrayState.push('expandable', strExpanded === 'true' ? 'expanded' : 'collapsed');
        }
        // The rows of the page's lists are list items that carry their selection.
        if (objectElement.getAttribute('role') === 'option' || objectElement.hasAttribute('aria-selected')) {
            arrayState.push('selectable');
        }
        if (objectElement.getAttribute('aria-selected') === 'true') {
            arrayState.push('selected');
        }
        if (strRole === 'text') {
            var boolReadOnly = objectElement.readOnly === true || objectElement.getAttribute('aria-readonly') === 'true';
            arrayState.push(boolReadOnly ? 'readonly' : 'editable');
            if (objectElement.tagName === 'TEXTAREA') {
                arrayState.push('multiline');
            }
            if (setSecret.has(objectElement)) {
                arrayState.push('password');
            }
        }
        if (strRole === 'combo') {
            arrayState.push('haspopup');
        }
        if (objectElement.getAttribute('aria-modal') === 'true') {
            arrayState.push('modal');
        }
        return arrayState;
    }

    function node(objectElement, strRole, intParent) {
        var objectBox = objectElement.getBoundingClientRect();
        var strName = name(objectElement, strRole);
        var objectNode = {intKey: key(objectElement), intParent: intParent, strRole: strRole, strName: strName,
            strDescription: description(objectElement, strName), arrayState: states(objectElement, strRole),
            intX: Math.round(objectBox.left), intY: Math.round(objectBox.top), intWidth: Math.round(objectBox.width),
            intHeight: Math.round(objectBox.height)};
        var boolField = ['INPUT', 'TEXTAREA'].indexOf(objectElement.tagName) !== -1;
        if (strRole === 'text' && boolField) {
            var intLength = objectElement.value.length;
            objectNode.strText = setSecret.has(objectElement) ? new Array(intLength + 1).join('\u2022') :
                objectElement.value;
            objectNode.intSelectionStart = 0;
            objectNode.intSelectionEnd = 0;
            objectNode.intCaret = 0;
            // Fields without a selection (a number) refuse to be asked.
            try {
                objectNode.intSelectionStart = objectElement.selectionStart || 0;
                objectNode.intSelectionEnd = objectElement.selectionEnd || 0;
                objectNode.intCaret = objectElement.selectionDirection === 'backward' ?
                    objectNode.intSelectionStart : objectNode.intSelectionEnd;
            } catch (objectError) {
                objectNode.intCaret = 0;
            }
        } else if (strRole === 'combo' && objectElement.tagName === 'SELECT') {
            var objectOption = objectElement.options[objectElement.selectedIndex];
            objectNode.strText = objectOption ? clean(objectOption.text) : '';
        }
        return objectNode;
    }

    function ownText(objectElement) {
        for (var objectChild = objectElement.firstChild; objectChild; objectChild = objectChild.nextSibling) {
            if (objectChild.nodeType === 3 && objectChild.nodeValue.trim() !== '') {
                return true;
            }
        }
        return false;
    }

    function visit(objectElement, intParent, arrayNode) {
        if (objectElement.namespaceURI !== strHtml || mapSkip[objectElement.tagName] || !shown(objectElement)) {
            return;
        }
        if (objectElement.tagName === 'INPUT' && (objectElement.type === 'password' ||
            objectElement.hasAttribute('data-secret'))) {
            setSecret.add(objectElement);
        }
        // A label names its field; only the fields inside it are read.
        if (objectElement.tagName === 'LABEL' && (objectElement.control || objectElement.querySelector(strControls))) {
            var listInner = objectElement.querySelectorAll(strControls);
            for (var i = 0; i < listInner.length; i += 1) {
                visit(listInner[i], intParent, arrayNode);
            }
            return;
        }
        var strRole = role(objectElement);
        // A paragraph, as the other engine has it: readers take a loose label in a panel for text of the
        // panel's own and read it on the way in, a hint as well as a field's description.
        if (strRole === '' && ownText(objectElement) && !objectElement.querySelector(strControls)) {
            strRole = objectElement.tagName === 'P' ? 'paragraph' : 'label';
        }
        if (strRole === '') {
            walk(objectElement, intParent, arrayNode);
            return;
        }
        var objectNode = node(objectElement, strRole, intParent);
        // A picture without a name is decoration; an empty notice says nothing yet.
        if ((strRole === 'graphic' || strRole === 'notice') && objectNode.strName === '') {
            return;
        }
        arrayNode.push(objectNode);
        mapElement.set(objectNode.intKey, objectElement);
        if (setWhole.has(strRole)) {
            return;
        }
        var intCount = arrayNode.length;
        walk(objectElement, objectNode.intKey, arrayNode);
        // An empty list or group without a name says nothing.
        if (arrayNode.length === intCount && objectNode.strName === '') {
            arrayNode.pop();
            mapElement.delete(objectNode.intKey);
        }
    }

    function walk(objectElement, intParent, arrayNode) {
        for (var objectChild = objectElement.firstElementChild; objectChild; objectChild = objectChild.nextElementSibling) {
            visit(objectChild, intParent, arrayNode);
        }
    }

    // While a modal dialog is open, nothing outside it exists.
    function root() {
        var listModal = document.querySelectorAll('[aria-modal="true"]');
        for (var i = listModal.length - 1; i >= 0; i -= 1) {
            if (listModal[i].getClientRects().length > 0) {
                return listModal[i];
            }
        }
        return null;
    }

    function focus() {
        var objectActive = document.activeElement;
        if (!objectActive) {
            return 0;
        }
        var strActive = objectActive.getAttribute('aria-activedescendant');
        var objectDescendant = strActive ? document.getElementById(strActive) : null;
        if (objectDescendant && mapElement.has(key(objectDescendant))) {
            return key(objectDescendant);
        }
        return mapElement.has(key(objectActive)) ? key(objectActive) : 0;
    }

    function read(boolForce) {
        if (!boolDirty && !boolForce) {
            return null;
        }
        boolDirty = false;
        mapElement = new Map();
        var arrayNode = [];
        var objectModal = root();
        if (objectModal) {
            visit(objectModal, 0, arrayNode);
        } else if (document.body) {
            walk(document.body, 0, arrayNode);
        }
        var arrayLive = [];
        setLive.forEach(function(objectRegion) {
            var intKey = key(objectRegion);
            if (mapElement.has(intKey)) {
                arrayLive.push(intKey);
            }
        });
        setLive.clear();
        var arrayKept = [];
        mapKnown.forEach(function(objectElement, intKey) {
            if (mapElement.has(intKey)) {
                return;
            }
            if (document.contains(objectElement)) {
                arrayKept.push(intKey);
            } else {
                mapKnown.delete(intKey);
            }
        });
        mapElement.forEach(function(objectElement, intKey) {
            mapKnown.set(intKey, objectElement);
        });
        return {strTitle: document.title, intFocus: focus(), arrayNode: arrayNode, arrayLive: arrayLive,
            arrayKept: arrayKept};
    }

    function act(intKey, strAction) {
        var objectElement = mapElement.get(intKey);
        if (!objectElement || !document.contains(objectElement)) {
            return false;
        }
        if (strAction === 'focus') {
            objectElement.focus();
        } else {
            objectElement.click();
        }
        return true;
    }

    function select(intKey, intStart, intEnd) {
        var objectElement = mapElement.get(intKey);
        if (objectElement && typeof objectElement.setSelectionRange === 'function') {
            objectElement.setSelectionRange(intStart, intEnd);
        }
    }

    // What is hidden from assistive technology may change as often as it likes (a ticking countdown) without
    // costing a reading.
    new MutationObserver(function(arrayRecord) {
        arrayRecord.forEach(function(objectRecord) {
            var objectTarget = objectRecord.target.nodeType === 1 ? objectRecord.target : objectRecord.target.parentNode;
            if (!objectTarget || (objectRecord.attributeName !== 'aria-hidden' &&
                objectTarget.closest('[aria-hidden="true"]'))) {
                return;
            }
            boolDirty = true;
            var objectRegion = objectRecord.type === 'attributes' ? null : objectTarget.closest(strLive);
            if (objectRegion) {
                setLive.add(objectRegion);
            }
        });
    }).observe(document.documentElement, {subtree: true, childList: true, characterData: true, attributes: true});
    ['focusin', 'focusout', 'input', 'change', 'keyup', 'mouseup', 'select', 'scroll'].forEach(function(strEvent) {
        document.addEventListener(strEvent, function() {
            boolDirty = true;
        }, true);
    });

    Object.defineProperty(window, 'DisplayAccessible', {value: {read: read, act: act, select: select}});
    return true;
}());
