#pragma once

#include <QObject>

class QApplication;
class QEventLoop;

class Main : public QObject {
    Q_OBJECT

public:
    QApplication *objectApplication;
    // The loop of the whole run, while it runs.
    QEventLoop *objectLoop = nullptr;

public:
    explicit Main(QApplication *objectApplication);
    ~Main() override = default;

public slots:
    void run();
    // Ends the run: the window was closed, or a signal asked for the end.
    void end();
};
