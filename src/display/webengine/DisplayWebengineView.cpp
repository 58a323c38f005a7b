#include "display/webengine/DisplayWebengineView.h"

#include "display/webengine/DisplayWebengine.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>

#include <memory>

namespace {

// The engine sees only the dragged text: it can go into a field of the page, while a dragged URL, file or
// markup never reaches it. What the engine answers the copy is handed back to the real event.
template <typename Event, typename Handler>
void deliverText(DisplayWebengine *objectEngine, Event *objectEvent, Handler functionHandler) {
    if (!objectEngine->boolGuarded) {
        functionHandler(objectEvent);
        return;
    }
    if (!objectEvent->mimeData()->hasText()) {
        objectEvent->setDropAction(Qt::IgnoreAction);
        objectEvent->ignore();
        return;
    }
    QMimeData objectText;
    objectText.setText(objectEvent->mimeData()->text());
    Event objectCopy(objectEvent->position().toPoint(), objectEvent->possibleActions(), &objectText,
                     objectEvent->buttons(), objectEvent->modifiers());
    functionHandler(&objectCopy);
    objectEvent->setDropAction(objectCopy.dropAction());
    objectEvent->setAccepted(objectCopy.isAccepted());
}

} // namespace

DisplayWebengineView::DisplayWebengineView(DisplayWebengine *objectEngine, QWidget *objectParent)
    : QWebEngineView(objectParent), objectEngine(objectEngine) {}

void DisplayWebengineView::keyPressEvent(QKeyEvent *objectEvent) {
    // Some presses (auto-repeated ones) would otherwise reach the window twice: from here and from the page.
    objectEvent->accept();
}

void DisplayWebengineView::dragEnterEvent(QDragEnterEvent *objectEvent) {
    deliverText(objectEngine, objectEvent,
                [this](QDragEnterEvent *objectText) { QWebEngineView::dragEnterEvent(objectText); });
}

void DisplayWebengineView::dragMoveEvent(QDragMoveEvent *objectEvent) {
    deliverText(objectEngine, objectEvent,
                [this](QDragMoveEvent *objectText) { QWebEngineView::dragMoveEvent(objectText); });
}

void DisplayWebengineView::dropEvent(QDropEvent *objectEvent) {
    deliverText(objectEngine, objectEvent, [this](QDropEvent *objectText) { QWebEngineView::dropEvent(objectText); });
}
