#pragma once

#include <QWebEngineView>

class DisplayWebengine;

// The window's web view on Qt WebEngine: drops reach the page as plain text only, or not at all, while the
// engine's guards are on. Keys go no further than the page: the bridge script tells the window of an Escape the
// page left alone.
class DisplayWebengineView : public QWebEngineView {
    Q_OBJECT

public:
    DisplayWebengine *objectEngine;

public:
    DisplayWebengineView(DisplayWebengine *objectEngine, QWidget *objectParent);
    ~DisplayWebengineView() override = default;

protected:
    void keyPressEvent(QKeyEvent *objectEvent) override;
    void dragEnterEvent(QDragEnterEvent *objectEvent) override;
    void dragMoveEvent(QDragMoveEvent *objectEvent) override;
    void dropEvent(QDropEvent *objectEvent) override;
};
