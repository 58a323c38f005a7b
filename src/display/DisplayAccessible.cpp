#include "display/DisplayAccessible.h"

#include "display/Display.h"
#include "display/DisplayAccessibleDocument.h"
#include "display/DisplayAccessibleElement.h"

#include <QWebView>

DisplayAccessible::DisplayAccessible(QWebView *objectWebview)
    : QAccessibleWidget(objectWebview, QAccessible::WebDocument),
      objectDocument(DisplayAccessibleDocument::obtain(objectWebview)) {}

void DisplayAccessible::install() {
    // QtWebKit installs its own factory with its first web view, and Qt asks the factory installed last first:
    // a view made and dropped here puts ours after the engine's.
    delete new QWebView();
    QAccessible::installFactory(create);
}

QAccessibleInterface *DisplayAccessible::create(const QString &, QObject *objectObject) {
    QWebView *objectWebview = qobject_cast<QWebView *>(objectObject);
    if (objectWebview == nullptr || qobject_cast<Display *>(objectWebview->window()) == nullptr) {
        return nullptr;
    }
    return new DisplayAccessible(objectWebview);
}

QString DisplayAccessible::text(QAccessible::Text enumText) const {
    if (enumText == QAccessible::Name && !objectDocument.isNull()) {
        objectDocument->ensure();
        if (!objectDocument->strTitle.isEmpty()) {
            return objectDocument->strTitle;
        }
    }
    return QAccessibleWidget::text(enumText);
}

int DisplayAccessible::childCount() const {
    if (objectDocument.isNull()) {
        return 0;
    }
    objectDocument->ensure();
    return objectDocument->qlistTop.size();
}

QAccessibleInterface *DisplayAccessible::child(int intIndex) const {
    if (objectDocument.isNull()) {
        return nullptr;
    }
    objectDocument->ensure();
    return objectDocument->element(objectDocument->qlistTop.value(intIndex));
}

int DisplayAccessible::indexOfChild(const QAccessibleInterface *objectChild) const {
    const DisplayAccessibleElement *objectElement = dynamic_cast<const DisplayAccessibleElement *>(objectChild);
    if (objectDocument.isNull() || objectElement == nullptr) {
        return -1;
    }
    return objectDocument->qlistTop.indexOf(objectElement->intKey);
}

QAccessibleInterface *DisplayAccessible::childAt(int intX, int intY) const {
    if (objectDocument.isNull()) {
        return nullptr;
    }
    objectDocument->ensure();
    return objectDocument->childAt(objectDocument->qlistTop, QPoint(intX, intY));
}

QAccessibleInterface *DisplayAccessible::focusChild() const {
    if (objectDocument.isNull() || !widget()->hasFocus()) {
        return nullptr;
    }
    objectDocument->ensure();
    return objectDocument->element(objectDocument->intFocus);
}

QAccessible::State DisplayAccessible::state() const {
    QAccessible::State objectState = QAccessibleWidget::state();
    // The focus is on an element of the page, not on the document around it: a reader that looks for the
    // focused object from the window down stops at the first it finds.
    if (objectState.focused && focusChild() != nullptr) {
        objectState.focused = false;
    }
    return objectState;
}
