#include "display/DisplayAccessibleElement.h"

#include "display/DisplayAccessibleDocument.h"

#include <QWebView>
#include <QWidget>
#include <QWindow>

DisplayAccessibleElement::DisplayAccessibleElement(DisplayAccessibleDocument *objectDocument, int intKey)
    : objectDocument(objectDocument), intKey(intKey) {}

bool DisplayAccessibleElement::isValid() const {
    return !objectDocument.isNull();
}

QObject *DisplayAccessibleElement::object() const {
    return nullptr;
}

QWindow *DisplayAccessibleElement::window() const {
    return isValid() ? objectDocument->objectWebview->window()->windowHandle() : nullptr;
}

QAccessibleInterface *DisplayAccessibleElement::parent() const {
    if (!isValid()) {
        return nullptr;
    }
    DisplayAccessibleElement *objectParent = objectDocument->element(intParent);
    return objectParent != nullptr ? objectParent : objectDocument->top();
}

QAccessibleInterface *DisplayAccessibleElement::child(int intIndex) const {
    return isValid() ? objectDocument->element(qlistChild.value(intIndex)) : nullptr;
}

int DisplayAccessibleElement::childCount() const {
    return qlistChild.size();
}

int DisplayAccessibleElement::indexOfChild(const QAccessibleInterface *objectChild) const {
    const DisplayAccessibleElement *objectElement = dynamic_cast<const DisplayAccessibleElement *>(objectChild);
    return objectElement != nullptr ? qlistChild.indexOf(objectElement->intKey) : -1;
}

QAccessibleInterface *DisplayAccessibleElement::childAt(int intX, int intY) const {
    return isValid() ? objectDocument->childAt(qlistChild, QPoint(intX, intY)) : nullptr;
}

QString DisplayAccessibleElement::text(QAccessible::Text enumText) const {
    switch (enumText) {
    case QAccessible::Name:
        return strName;
    case QAccessible::Description:
        return strDescription;
    case QAccessible::Value:
        return strText;
    default:
        return QString();
    }
}

void DisplayAccessibleElement::setText(QAccessible::Text, const QString &) {}

QRect DisplayAccessibleElement::rect() const {
    if (!isValid()) {
        return QRect();
    }
    return QRect(objectDocument->objectWebview->mapToGlobal(objectRect.topLeft()), objectRect.size());
}

QAccessible::Role DisplayAccessibleElement::role() const {
    return enumRole;
}

QAccessible::State DisplayAccessibleElement::state() const {
    QAccessible::State objectResult = objectState;
    objectResult.focused = isValid() && objectDocument->intFocus == intKey && objectDocument->objectWebview->hasFocus();
    objectResult.invisible = boolParked;
    return objectResult;
}

void *DisplayAccessibleElement::interface_cast(QAccessible::InterfaceType enumType) {
    if (enumType == QAccessible::TextInterface && boolText) {
        return static_cast<QAccessibleTextInterface *>(this);
    }
    if (enumType == QAccessible::ActionInterface) {
        return static_cast<QAccessibleActionInterface *>(this);
    }
    return nullptr;
}

void DisplayAccessibleElement::selection(int intSelection, int *intStart, int *intEnd) const {
    const bool boolSelected = intSelection == 0 && intSelectionStart != intSelectionEnd;
    *intStart = boolSelected ? intSelectionStart : 0;
    *intEnd = boolSelected ? intSelectionEnd : 0;
}

int DisplayAccessibleElement::selectionCount() const {
    return intSelectionStart != intSelectionEnd ? 1 : 0;
}

void DisplayAccessibleElement::addSelection(int intStart, int intEnd) {
    setSelection(0, intStart, intEnd);
}

void DisplayAccessibleElement::removeSelection(int) {
    setSelection(0, intCaret, intCaret);
}

void DisplayAccessibleElement::setSelection(int, int intStart, int intEnd) {
    if (isValid()) {
        objectDocument->select(intKey, intStart, intEnd);
    }
}

int DisplayAccessibleElement::cursorPosition() const {
    return intCaret;
}

void DisplayAccessibleElement::setCursorPosition(int intPosition) {
    setSelection(0, intPosition, intPosition);
}

QString DisplayAccessibleElement::text(int intStart, int intEnd) const {
    return strText.mid(intStart, intEnd - intStart);
}

int DisplayAccessibleElement::characterCount() const {
    return strText.size();
}

QRect DisplayAccessibleElement::characterRect(int) const {
    return QRect();
}

int DisplayAccessibleElement::offsetAtPoint(const QPoint &) const {
    return -1;
}

void DisplayAccessibleElement::scrollToSubstring(int, int) {}

QString DisplayAccessibleElement::attributes(int, int *intStart, int *intEnd) const {
    *intStart = 0;
    *intEnd = characterCount();
    return QString();
}

QStringList DisplayAccessibleElement::actionNames() const {
    QStringList qstringlistAction;
    if (objectState.disabled) {
        return qstringlistAction;
    }
    if (objectState.checkable) {
        qstringlistAction.append(toggleAction());
    } else if (enumRole == QAccessible::Button || enumRole == QAccessible::Link || enumRole == QAccessible::PageTab ||
               (enumRole == QAccessible::ListItem && objectState.selectable)) {
        qstringlistAction.append(pressAction());
    }
    if (objectState.focusable) {
        qstringlistAction.append(setFocusAction());
    }
    return qstringlistAction;
}

void DisplayAccessibleElement::doAction(const QString &strAction) {
    if (isValid() && actionNames().contains(strAction)) {
        objectDocument->act(intKey, strAction == setFocusAction() ? "focus" : "click");
    }
}

QStringList DisplayAccessibleElement::keyBindingsForAction(const QString &) const {
    return QStringList();
}
