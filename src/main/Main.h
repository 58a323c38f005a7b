#pragma once

#include <QObject>

class QApplication;

class Main : public QObject {
    Q_OBJECT

public:
    QApplication *objectApplication;

public:
    explicit Main(QApplication *objectApplication);
    ~Main() override = default;

public slots:
    void run();
};
