#include "display/DisplayAccessibleDocument.h"

#include "display/DisplayAccessibleElement.h"

#include <QAccessible>
#include <QEvent>
#include <QHash>
#include <QSet>
#include <QWebFrame>
#include <QWebPage>
#include <QWebView>

namespace {

// Installed into the page at its first reading and again after every load. It keeps nothing in the document
// itself: keys live in a WeakMap, and the text of a password field never leaves the script, only its length.
const char *const strScript = R"(
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
        if (objectElement.getAttribute('role') === 'option') {
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
)";

QAccessible::Role roleOf(const QString &strRole) {
    static const QHash<QString, QAccessible::Role> qhashRole = {
        {"button", QAccessible::Button},       {"check", QAccessible::CheckBox},
        {"radio", QAccessible::RadioButton},   {"combo", QAccessible::ComboBox},
        {"text", QAccessible::EditableText},   {"link", QAccessible::Link},
        {"heading", QAccessible::Heading},     {"list", QAccessible::List},
        {"item", QAccessible::ListItem},       {"dialog", QAccessible::Dialog},
        {"group", QAccessible::Grouping},      {"graphic", QAccessible::Graphic},
        {"notice", QAccessible::Notification}, {"tab", QAccessible::PageTab},
        {"paragraph", QAccessible::Paragraph}, {"tablist", QAccessible::PageTabList}};
    return qhashRole.value(strRole, QAccessible::StaticText);
}

QAccessible::State stateOf(const QStringList &qstringlistState) {
    using Setter = void (*)(QAccessible::State &);
    static const QHash<QString, Setter> qhashSetter = {
        {"focusable", [](QAccessible::State &objectState) { objectState.focusable = true; }},
        {"disabled", [](QAccessible::State &objectState) { objectState.disabled = true; }},
        {"checkable", [](QAccessible::State &objectState) { objectState.checkable = true; }},
        {"checked", [](QAccessible::State &objectState) { objectState.checked = true; }},
        {"pressed", [](QAccessible::State &objectState) { objectState.pressed = true; }},
        {"expandable", [](QAccessible::State &objectState) { objectState.expandable = true; }},
        {"expanded", [](QAccessible::State &objectState) { objectState.expanded = true; }},
        {"collapsed", [](QAccessible::State &objectState) { objectState.collapsed = true; }},
        {"selectable", [](QAccessible::State &objectState) { objectState.selectable = true; }},
        {"selected", [](QAccessible::State &objectState) { objectState.selected = true; }},
        {"readonly", [](QAccessible::State &objectState) { objectState.readOnly = true; }},
        {"editable", [](QAccessible::State &objectState) { objectState.editable = true; }},
        {"multiline", [](QAccessible::State &objectState) { objectState.multiLine = true; }},
        {"password", [](QAccessible::State &objectState) { objectState.passwordEdit = true; }},
        {"haspopup", [](QAccessible::State &objectState) { objectState.hasPopup = true; }},
        {"modal", [](QAccessible::State &objectState) { objectState.modal = true; }}};
    QAccessible::State objectState;
    for (const QString &strState : qstringlistState) {
        if (qhashSetter.contains(strState)) {
            qhashSetter.value(strState)(objectState);
        }
    }
    return objectState;
}

void tell(QAccessibleEvent *objectEvent) {
    QAccessible::updateAccessibility(objectEvent);
}

void tell(QAccessibleInterface *objectInterface, QAccessible::Event enumEvent) {
    QAccessibleEvent objectEvent(objectInterface, enumEvent);
    tell(&objectEvent);
}

// A change of text as one removal and one insertion around what stayed the same at both ends.
void tellText(DisplayAccessibleElement *objectElement, const QString &strBefore) {
    const QString &strAfter = objectElement->strText;
    int intStart = 0;
    while (intStart < strBefore.size() && intStart < strAfter.size() && strBefore[intStart] == strAfter[intStart]) {
        intStart += 1;
    }
    int intEnd = 0;
    while (intEnd < strBefore.size() - intStart && intEnd < strAfter.size() - intStart &&
           strBefore[strBefore.size() - 1 - intEnd] == strAfter[strAfter.size() - 1 - intEnd]) {
        intEnd += 1;
    }
    const QString strRemoved = strBefore.mid(intStart, strBefore.size() - intStart - intEnd);
    const QString strInserted = strAfter.mid(intStart, strAfter.size() - intStart - intEnd);
    if (!strRemoved.isEmpty()) {
        QAccessibleTextRemoveEvent objectEvent(objectElement, intStart, strRemoved);
        tell(&objectEvent);
    }
    if (!strInserted.isEmpty()) {
        QAccessibleTextInsertEvent objectEvent(objectElement, intStart, strInserted);
        tell(&objectEvent);
    }
}

} // namespace

DisplayAccessibleDocument::DisplayAccessibleDocument(QWebView *objectWebview)
    : QObject(objectWebview), objectWebview(objectWebview) {
    objectSoon.setSingleShot(true);
    objectSoon.setInterval(0);
    connect(&objectSoon, SIGNAL(timeout()), this, SLOT(update()));
    objectPoll.setInterval(250);
    connect(&objectPoll, SIGNAL(timeout()), this, SLOT(update()));
    objectPoll.start();
    connect(objectWebview, SIGNAL(loadFinished(bool)), this, SLOT(soon()));
    objectWebview->installEventFilter(this);
}

DisplayAccessibleDocument::~DisplayAccessibleDocument() {
    remove(qmapElement.keys(), false);
    dispose(qmapParked.values());
    qmapParked.clear();
    if (intPlaceholder != 0) {
        QAccessible::deleteAccessibleInterface(intPlaceholder);
    }
}

DisplayAccessibleDocument *DisplayAccessibleDocument::obtain(QWebView *objectWebview) {
    DisplayAccessibleDocument *objectDocument =
        objectWebview->findChild<DisplayAccessibleDocument *>(QString(), Qt::FindDirectChildrenOnly);
    return objectDocument != nullptr ? objectDocument : new DisplayAccessibleDocument(objectWebview);
}

void DisplayAccessibleDocument::ensure() {
    if (!boolRead) {
        update();
    }
}

DisplayAccessibleElement *DisplayAccessibleDocument::element(int intKey) const {
    return qmapElement.value(intKey, nullptr);
}

QAccessibleInterface *DisplayAccessibleDocument::top() const {
    return QAccessible::queryAccessibleInterface(objectWebview);
}

QAccessibleInterface *DisplayAccessibleDocument::childAt(const QList<int> &qlistKey, const QPoint &objectPoint) const {
    // The last one is drawn on top.
    for (int i = qlistKey.size() - 1; i >= 0; i -= 1) {
        DisplayAccessibleElement *objectElement = element(qlistKey.at(i));
        if (objectElement != nullptr && objectElement->rect().contains(objectPoint)) {
            return objectElement;
        }
    }
    return nullptr;
}

bool DisplayAccessibleDocument::act(int intKey, const QString &strAction) {
    const bool boolDone =
        evaluate(QString("DisplayAccessible.act(%1, '%2')").arg(intKey).arg(strAction == "focus" ? "focus" : "click"))
            .toBool();
    soon();
    return boolDone;
}

void DisplayAccessibleDocument::select(int intKey, int intStart, int intEnd) {
    evaluate(QString("DisplayAccessible.select(%1, %2, %3)").arg(intKey).arg(intStart).arg(intEnd));
    soon();
}

void DisplayAccessibleDocument::soon() {
    objectSoon.start();
}

void DisplayAccessibleDocument::update() {
    QVariant objectReading =
        evaluate("window.DisplayAccessible === undefined ? 'absent' : DisplayAccessible.read(false)");
    const bool boolFresh = objectReading.toString() == "absent";
    if (boolFresh) {
        // A new document: the keys of the old one mean nothing in it.
        remove(qmapElement.keys(), boolRead);
        dispose(qmapParked.values());
        qmapParked.clear();
        boolFocusTold = false;
        objectReading = evaluate(strScript).toBool() ? evaluate("DisplayAccessible.read(true)") : QVariant();
    }
    if (objectReading.type() == QVariant::Map) {
        // The first reading is what assistive technology finds; there is nothing to tell about it.
        apply(objectReading.toMap(), boolRead);
        boolRead = true;
    }
    // The view may have gained the focus back with nothing changed in the page: where the focus is, is told
    // all the same, and at the first reading too, so a reader that comes late learns it at once.
    if (boolRead) {
        tellFocus();
    }
}

QVariant DisplayAccessibleDocument::evaluate(const QString &strScript) const {
    return objectWebview->page()->mainFrame()->evaluateJavaScript(strScript);
}

bool DisplayAccessibleDocument::eventFilter(QObject *objectWatched, QEvent *objectEvent) {
    switch (objectEvent->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        boolFocusTold = false;
        soon();
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
    case QEvent::MouseButtonRelease:
        soon();
        break;
    default:
        break;
    }
    return QObject::eventFilter(objectWatched, objectEvent);
}

void DisplayAccessibleDocument::apply(const QVariantMap &qvariantmapReading, bool boolTell) {
    QList<int> qlistCreated;
    QSet<int> qsetCreated;
    QSet<int> qsetSeen;
    QList<int> qlistTopNew;
    QList<DisplayAccessibleElement *> qlistReplaced;
    const QVariantList qvariantlistNode = qvariantmapReading.value("arrayNode").toList();
    for (const QVariant &objectValue : qvariantlistNode) {
        const QVariantMap qvariantmapNode = objectValue.toMap();
        const int intKey = qvariantmapNode.value("intKey").toInt();
        const int intParent = qvariantmapNode.value("intParent").toInt();
        const QAccessible::Role enumRole = roleOf(qvariantmapNode.value("strRole").toString());
        DisplayAccessibleElement *objectElement = element(intKey);
        // Shown again: the object it had, told as come back.
        bool boolNew = objectElement == nullptr && qmapParked.contains(intKey);
        if (boolNew) {
            objectElement = qmapParked.take(intKey);
            objectElement->boolParked = false;
            qmapElement.insert(intKey, objectElement);
        }
        // The same element as another kind of thing (a button that became a heading) is a new object.
        if (objectElement != nullptr && objectElement->enumRole != enumRole) {
            qlistReplaced.append(qmapElement.take(intKey));
            objectElement = nullptr;
        }
        if (objectElement == nullptr) {
            boolNew = true;
            objectElement = new DisplayAccessibleElement(this, intKey);
            QAccessible::registerAccessibleInterface(objectElement);
            qmapElement.insert(intKey, objectElement);
        }
        const QString strNameBefore = objectElement->strName;
        const QString strDescriptionBefore = objectElement->strDescription;
        const QAccessible::State objectStateBefore = objectElement->objectState;
        const QString strTextBefore = objectElement->strText;
        const int intCaretBefore = objectElement->intCaret;

        objectElement->enumRole = enumRole;
        objectElement->strName = qvariantmapNode.value("strName").toString();
        objectElement->strDescription = qvariantmapNode.value("strDescription").toString();
        objectElement->objectState = stateOf(qvariantmapNode.value("arrayState").toStringList());
        objectElement->objectRect =
            QRect(qvariantmapNode.value("intX").toInt(), qvariantmapNode.value("intY").toInt(),
                  qvariantmapNode.value("intWidth").toInt(), qvariantmapNode.value("intHeight").toInt());
        objectElement->boolText = qvariantmapNode.contains("strText");
        objectElement->strText = qvariantmapNode.value("strText").toString();
        objectElement->intSelectionStart = qvariantmapNode.value("intSelectionStart").toInt();
        objectElement->intSelectionEnd = qvariantmapNode.value("intSelectionEnd").toInt();
        objectElement->intCaret = qvariantmapNode.value("intCaret").toInt();
        objectElement->qlistChild.clear();

        // Parents come before their children in the reading.
        DisplayAccessibleElement *objectParent = qsetSeen.contains(intParent) ? element(intParent) : nullptr;
        objectElement->intParent = objectParent != nullptr ? intParent : 0;
        (objectParent != nullptr ? objectParent->qlistChild : qlistTopNew).append(intKey);
        qsetSeen.insert(intKey);

        if (boolNew) {
            qlistCreated.append(intKey);
            qsetCreated.insert(intKey);
            continue;
        }
        if (!boolTell) {
            continue;
        }
        if (objectElement->strName != strNameBefore) {
            tell(objectElement, QAccessible::NameChanged);
        }
        if (objectElement->strDescription != strDescriptionBefore) {
            tell(objectElement, QAccessible::DescriptionChanged);
        }
        QAccessible::State objectChanged;
        objectChanged.checked = objectElement->objectState.checked != objectStateBefore.checked;
        objectChanged.disabled = objectElement->objectState.disabled != objectStateBefore.disabled;
        objectChanged.expanded = objectElement->objectState.expanded != objectStateBefore.expanded;
        if (objectChanged.checked || objectChanged.disabled || objectChanged.expanded) {
            QAccessibleStateChangeEvent objectEvent(objectElement, objectChanged);
            tell(&objectEvent);
        }
        if (objectElement->strText != strTextBefore) {
            if (objectElement->enumRole == QAccessible::ComboBox) {
                QAccessibleValueChangeEvent objectEvent(objectElement, objectElement->strText);
                tell(&objectEvent);
            } else {
                tellText(objectElement, strTextBefore);
            }
        }
        if (objectElement->boolText && objectElement->intCaret != intCaretBefore) {
            QAccessibleTextCursorEvent objectEvent(objectElement, objectElement->intCaret);
            tell(&objectEvent);
        }
    }

    for (DisplayAccessibleElement *objectElement : qlistReplaced) {
        if (boolTell) {
            tell(objectElement, QAccessible::ObjectDestroyed);
        }
    }
    dispose(qlistReplaced);
    QList<int> qlistGone;
    for (auto objectIterator = qmapElement.cbegin(); objectIterator != qmapElement.cend(); ++objectIterator) {
        if (!qsetSeen.contains(objectIterator.key())) {
            qlistGone.append(objectIterator.key());
        }
    }
    const QVariantList qvariantlistKept = qvariantmapReading.value("arrayKept").toList();
    QSet<int> qsetKept;
    for (const QVariant &objectKey : qvariantlistKept) {
        qsetKept.insert(objectKey.toInt());
    }
    remove(qlistGone, boolTell, qsetKept);
    // Those waiting whose element has left the document since.
    QList<DisplayAccessibleElement *> qlistLeft;
    for (auto objectIterator = qmapParked.begin(); objectIterator != qmapParked.end();) {
        if (qsetKept.contains(objectIterator.key())) {
            ++objectIterator;
        } else {
            qlistLeft.append(objectIterator.value());
            objectIterator = qmapParked.erase(objectIterator);
        }
    }
    dispose(qlistLeft);
    qlistTop = qlistTopNew;

    const QString strTitleBefore = strTitle;
    strTitle = qvariantmapReading.value("strTitle").toString();
    intFocus = qvariantmapReading.value("intFocus").toInt();
    if (!boolTell) {
        return;
    }
    if (strTitle != strTitleBefore) {
        tell(top(), QAccessible::NameChanged);
    }
    // Only the outermost of what came: its parent learns of a new child, and the child brings its own.
    for (int intKey : qlistCreated) {
        DisplayAccessibleElement *objectElement = element(intKey);
        if (!qsetCreated.contains(objectElement->intParent)) {
            tell(objectElement, QAccessible::ObjectCreated);
        }
    }
    tellFocus();
    // A notice is told once for each time the page fills it, even with the same text as before.
    const QVariantList qvariantlistLive = qvariantmapReading.value("arrayLive").toList();
    for (const QVariant &objectKey : qvariantlistLive) {
        DisplayAccessibleElement *objectElement = element(objectKey.toInt());
        if (objectElement != nullptr && !objectElement->strName.isEmpty()) {
            tell(objectElement, QAccessible::ObjectShow);
        }
    }
}

void DisplayAccessibleDocument::remove(const QList<int> &qlistKey, bool boolTell, const QSet<int> &qsetKept) {
    // Hidden or gone, it leaves its parent, which is what a reader is told (Qt has no message for hiding
    // that takes an object out of its parent's children).
    if (boolTell) {
        const QSet<int> qsetGone(qlistKey.cbegin(), qlistKey.cend());
        for (int intKey : qlistKey) {
            DisplayAccessibleElement *objectElement = element(intKey);
            if (objectElement != nullptr && !qsetGone.contains(objectElement->intParent)) {
                tell(objectElement, QAccessible::ObjectDestroyed);
            }
        }
    }
    QList<DisplayAccessibleElement *> qlistDisposed;
    for (int intKey : qlistKey) {
        DisplayAccessibleElement *objectElement = qmapElement.take(intKey);
        if (objectElement == nullptr) {
            continue;
        }
        if (qsetKept.contains(intKey)) {
            objectElement->boolParked = true;
            objectElement->qlistChild.clear();
            qmapParked.insert(intKey, objectElement);
        } else {
            qlistDisposed.append(objectElement);
        }
    }
    dispose(qlistDisposed);
    if (qmapElement.isEmpty()) {
        qlistTop.clear();
    }
}

void DisplayAccessibleDocument::dispose(const QList<DisplayAccessibleElement *> &qlistElement) {
    if (qlistElement.isEmpty()) {
        return;
    }
    for (DisplayAccessibleElement *objectElement : qlistElement) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(objectElement));
    }
    // Qt 5 gives the identity of the interface registered last to the next one when that interface is deleted,
    // and a reader would take the new object for the old. A placeholder registered now takes that identity
    // instead; the one before it can go, as its identity is no longer the last.
    const QAccessible::Id intBefore = intPlaceholder;
    intPlaceholder = QAccessible::registerAccessibleInterface(new DisplayAccessibleElement(nullptr, 0));
    if (intBefore != 0) {
        QAccessible::deleteAccessibleInterface(intBefore);
    }
}

void DisplayAccessibleDocument::tellFocus() {
    if (!objectWebview->hasFocus()) {
        return;
    }
    DisplayAccessibleElement *objectFocus = element(intFocus);
    const QString strName = objectFocus != nullptr ? objectFocus->strName : QString();
    // The list keeps its focus and moves its cursor over rows that are reused: a row that now shows another
    // account is news as well.
    if (boolFocusTold && intFocus == intFocusTold && strName == strFocusName) {
        return;
    }
    boolFocusTold = true;
    intFocusTold = intFocus;
    strFocusName = strName;
    tell(objectFocus != nullptr ? static_cast<QAccessibleInterface *>(objectFocus) : top(), QAccessible::Focus);
}
