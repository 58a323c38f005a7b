#include "display/webengine/DisplayWebengineNotice.h"

#include <QAccessible>

DisplayWebengineNotice::DisplayWebengineNotice(QWidget *objectParent) : QWidget(objectParent) {
    static const bool boolFactory = (QAccessible::installFactory(DisplayWebengineNoticeAccessible::factory), true);
    Q_UNUSED(boolFactory)
    setObjectName("DisplayWebengineNotice");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 0, 0);
    objectMade.start();
}

void DisplayWebengineNotice::tell(const QString &strText) {
    setAccessibleName(strText);
    // Shown, so that readers take it for present (it has no size and draws nothing): showing it tells them,
    // and where the window itself is not shown, it is told here.
    show();
    if (!isVisible()) {
        QAccessibleEvent objectEvent(this, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&objectEvent);
    }
}

DisplayWebengineNoticeAccessible::DisplayWebengineNoticeAccessible(QWidget *objectWidget)
    : QAccessibleWidget(objectWidget, QAccessible::Notification) {}

QString DisplayWebengineNoticeAccessible::text(QAccessible::Text enumText) const {
    return enumText == QAccessible::Name ? widget()->accessibleName() : QString();
}

QAccessible::State DisplayWebengineNoticeAccessible::state() const {
    QAccessible::State objectState = QAccessibleWidget::state();
    objectState.focusable = false;
    return objectState;
}

QAccessibleInterface *DisplayWebengineNoticeAccessible::factory(const QString &, QObject *objectObject) {
    DisplayWebengineNotice *objectNotice = qobject_cast<DisplayWebengineNotice *>(objectObject);
    return objectNotice != nullptr ? new DisplayWebengineNoticeAccessible(objectNotice) : nullptr;
}
