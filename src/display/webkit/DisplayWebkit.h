#pragma once

#include "display/DisplayEngine.h"

class QWebView;

// QtWebKit: the page runs in this process, and its scripts and the bridge objects' slots run synchronously on
// the GUI thread.
class DisplayWebkit : public DisplayEngine {
    Q_OBJECT

public:
    QWebView *objectWebview;

public:
    explicit DisplayWebkit(QWidget *objectParent);
    ~DisplayWebkit() override = default;

    QWidget *view() const override;
    void open(const QUrl &objectUrl) override;
    void load(const QUrl &objectUrl) override;
    QUrl url() const override;
    void publish(const QString &strName, QObject *objectBridge) override;
    QObject *published(const QString &strName) const override;
    void evaluate(const QString &strScript) override;
    void evaluate(const QString &strScript, std::function<void(const QVariant &)> functionResult) override;
    QVariant evaluateNow(const QString &strScript, int intWait = 5000, bool *boolRan = nullptr) override;
};
