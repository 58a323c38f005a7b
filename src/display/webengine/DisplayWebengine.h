#pragma once

#include "display/DisplayEngine.h"

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QPointer>
#include <QStringList>

class DisplayWebengineInterceptor;
class DisplayWebengineNotice;
class DisplayWebenginePage;
class DisplayWebengineView;
class QWebEngineProfile;

// Qt WebEngine: the page runs in a renderer process of Chromium's, and scripts sent to it run there, after
// the call that sent them. The bridge objects stay on this side; a script injected into every document of
// the shipped page makes each of the page's calls a synchronous prompt() that this side answers.
class DisplayWebengine : public DisplayEngine {
    Q_OBJECT

public:
    QWebEngineProfile *objectProfile;
    DisplayWebengineInterceptor *objectInterceptor;
    QPointer<DisplayWebengineView> objectWebview;
    // The notices told lately, oldest first (see DisplayWebengineNotice).
    QList<QPointer<DisplayWebengineNotice>> qlistNotice;
    QPointer<DisplayWebenginePage> objectPage;
    // Known only to the injected script of this run's documents: a prompt without it is not a call.
    QString strKey;
    // The objects of the document now shown, by the name the page knows them by.
    QStringList qstringlistName;
    QHash<QString, QObject *> qhashBridge;
    // While a call of the page is answered: the scripts sent meanwhile, which the answer carries back to run
    // before the call returns, as they would run inside it on QtWebKit (a notify script, say).
    QStringList *qstringlistPending = nullptr;
    // Whether a page has ever loaded: a renderer that never started is a broken installation.
    bool boolLoaded = false;
    // Whether the document now shown has been told it is leaving (leave).
    bool boolLeft = false;

public:
    explicit DisplayWebengine(QWidget *objectParent);
    ~DisplayWebengine() override;

    QWidget *view() const override;
    void open(const QUrl &objectUrl) override;
    void load(const QUrl &objectUrl) override;
    QUrl url() const override;
    void publish(const QString &strName, QObject *objectBridge) override;
    QObject *published(const QString &strName) const override;
    void evaluate(const QString &strScript) override;
    void evaluate(const QString &strScript, std::function<void(const QVariant &)> functionResult) override;
    QVariant evaluateNow(const QString &strScript, int intWait = 5000, bool *boolRan = nullptr) override;

    // Before the document is replaced or torn down: has it conclude while its calls are still answered.
    void leave();

    // The answer to a call of the injected script, JSON both ways.
    QString answer(const QString &strCall);

    // The helper program that runs Chromium's processes, as Qt WebEngine finds it.
    static QString helperPath();

private:
    QJsonObject call(const QString &strObject, const QString &strSlot, const QVariantList &qvariantlistArgument);
};
