#pragma once

#include <QAccessibleWidget>
#include <QElapsedTimer>
#include <QWidget>

// Where the page's notices reach assistive technology on Qt WebEngine. Qt 6.4 passes no change of the page's
// live regions on from Chromium, so the injected script reports each filled region to the program, which
// shows it here: a notification of the window, without size, whose name is the notice.
class DisplayWebengineNotice : public QWidget {
    Q_OBJECT

public:
    QElapsedTimer objectMade;

public:
    explicit DisplayWebengineNotice(QWidget *objectParent);
    ~DisplayWebengineNotice() override = default;

    // Tells assistive technology the notice.
    void tell(const QString &strText);
};

class DisplayWebengineNoticeAccessible : public QAccessibleWidget {
public:
    explicit DisplayWebengineNoticeAccessible(QWidget *objectWidget);

    QString text(QAccessible::Text enumText) const override;
    QAccessible::State state() const override;

    static QAccessibleInterface *factory(const QString &strClass, QObject *objectObject);
};
