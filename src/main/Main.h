#pragma once

#include <QApplication>
#include <QObject>

class Main : public QObject {
    Q_OBJECT

public:
    QApplication *objectApplication;

public:
    explicit Main(QApplication *objectApplication);
    ~Main() override;

public slots:
    void run();
};
