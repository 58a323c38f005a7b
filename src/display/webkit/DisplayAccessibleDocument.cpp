#include "display/webkit/DisplayAccessibleDocument.h"

#include "display/webkit/DisplayAccessibleElement.h"

#include <QAccessible>
#include <QEvent>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QWebFrame>
#include <QWebPage>
#include <QWebView>

// The page-reading script (DisplayAccessibleDocument.js), compiled into the static library; referencing the
// resource pulls it into the program.
static QString readingScript() {
    Q_INIT_RESOURCE(webkit);
    QFile objectScript(":/display/webkit/DisplayAccessibleDocument.js");
    objectScript.open(QIODevice::ReadOnly);
    return QString::fromUtf8(objectScript.readAll());
}

namespace {

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
        static const QString strScript = readingScript();
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
    // The focused element, named anew (an account renamed under its focused row), is news as well.
    if (boolFocusTold && intFocus == intFocusTold && strName == strFocusName) {
        return;
    }
    boolFocusTold = true;
    intFocusTold = intFocus;
    strFocusName = strName;
    tell(objectFocus != nullptr ? static_cast<QAccessibleInterface *>(objectFocus) : top(), QAccessible::Focus);
}
