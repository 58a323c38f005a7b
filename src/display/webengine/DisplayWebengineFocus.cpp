#include "display/webengine/DisplayWebengineFocus.h"

QAccessible::Id DisplayWebengineFocus::intFocus = 0;
QAccessible::Id DisplayWebengineFocus::intAhead = 0;
QAccessible::UpdateHandler DisplayWebengineFocus::functionNext = nullptr;

namespace {

bool boolInstalled = false;

} // namespace

void DisplayWebengineFocus::init() {
    if (!boolInstalled) {
        functionNext = QAccessible::installUpdateHandler(update);
        boolInstalled = true;
    }
}

void DisplayWebengineFocus::dispel() {
    if (boolInstalled) {
        QAccessible::installUpdateHandler(functionNext);
        functionNext = nullptr;
        boolInstalled = false;
        intFocus = 0;
        intAhead = 0;
    }
}

void DisplayWebengineFocus::update(QAccessibleEvent *objectEvent) {
    // Every event of the program comes here while a reader listens: only a focus and a caret are looked at.
    const QAccessible::Event enumType = objectEvent->type();
    QAccessibleInterface *objectInterface = enumType == QAccessible::Focus || enumType == QAccessible::TextCaretMoved
                                                ? objectEvent->accessibleInterface()
                                                : nullptr;
    const QAccessible::Id intId = objectInterface != nullptr ? QAccessible::uniqueId(objectInterface) : 0;
    if (enumType == QAccessible::Focus) {
        const bool boolTold = intAhead != 0 && intId == intAhead;
        intAhead = 0;
        if (boolTold) {
            return;
        }
    } else if (objectInterface != nullptr && objectInterface->state().focused && intId != intFocus) {
        QAccessibleEvent objectFocus(objectInterface, QAccessible::Focus);
        pass(&objectFocus);
        intAhead = intId;
    }
    pass(objectEvent);
}

// Hands the event on as if no handler of this kind were installed: to the one before, or to Qt's bridge.
void DisplayWebengineFocus::pass(QAccessibleEvent *objectEvent) {
    if (objectEvent->type() == QAccessible::Focus && objectEvent->accessibleInterface() != nullptr) {
        intFocus = QAccessible::uniqueId(objectEvent->accessibleInterface());
    }
    if (functionNext != nullptr) {
        functionNext(objectEvent);
        return;
    }
    const QAccessible::UpdateHandler functionNow = QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(objectEvent);
    QAccessible::installUpdateHandler(functionNow);
}
