#include "display/webengine/DisplayWebengine.h"

#include "display/webengine/DisplayWebengineFocus.h"
#include "display/webengine/DisplayWebengineInterceptor.h"
#include "display/webengine/DisplayWebengineNotice.h"
#include "display/webengine/DisplayWebenginePage.h"
#include "display/webengine/DisplayWebengineView.h"
#include "main/MainPlatform.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QMetaMethod>
#include <QTimer>
#include <QUuid>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// The public slots of a bridge object: what the page may call.
QList<QMetaMethod> callable(const QObject *objectBridge) {
    QList<QMetaMethod> qlistMethod;
    const QMetaObject *objectMeta = objectBridge->metaObject();
    for (int intMethod = objectMeta->methodOffset(); intMethod < objectMeta->methodCount(); intMethod += 1) {
        const QMetaMethod objectMethod = objectMeta->method(intMethod);
        if (objectMethod.methodType() == QMetaMethod::Slot && objectMethod.access() == QMetaMethod::Public) {
            qlistMethod.append(objectMethod);
        }
    }
    return qlistMethod;
}

[[noreturn]] void fail(const QString &strPath) {
    std::fprintf(stderr, "tessaloquin: the web engine's helper program QtWebEngineProcess is missing or broken (%s)\n",
                 qPrintable(strPath));
    std::exit(1);
}

// Puts an environment variable back as it was, unset if it was.
void restore(const char *strName, const QByteArray &byteValue) {
    if (byteValue.isNull()) {
        qunsetenv(strName);
    } else {
        qputenv(strName, byteValue);
    }
}

} // namespace

void DisplayEngine::prepare() {
    // Chromium hands the page's roles and names to the desktop's accessibility bus only when asked to before it
    // starts.
    qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

void DisplayEngine::install() {
    // Without it no page is ever shown; said now, before any data is read or written.
    const QString strPath = DisplayWebengine::helperPath();
    QFile objectHelper(strPath);
    const QFileInfo objectInfo(strPath);
    if (!objectInfo.isFile() || !objectInfo.isExecutable() || !objectHelper.open(QIODevice::ReadOnly) ||
        objectHelper.read(4) != QByteArray("\x7f"
                                           "ELF")) {
        fail(strPath);
    }
}

DisplayEngine *DisplayEngine::create(QWidget *objectParent) {
    return new DisplayWebengine(objectParent);
}

QString DisplayWebengine::helperPath() {
    const QString strVariable = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    if (!strVariable.isEmpty()) {
        return strVariable;
    }
    const QString strBeside = QCoreApplication::applicationDirPath() + "/QtWebEngineProcess";
    if (QFileInfo::exists(strBeside)) {
        return strBeside;
    }
    return QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + "/QtWebEngineProcess";
}

DisplayWebengine::DisplayWebengine(QWidget *objectParent)
    : DisplayEngine(), strKey(QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    setParent(objectParent);
    boolSynchronous = false;

    // A profile of the program's own, its storage in res/ beside the other data (the process's mask keeps it
    // owner-only), so that the page's own preferences (the list's sort order) outlast the run as they do on
    // QtWebKit. Nothing else of the web is kept: no HTTP cache on disk and no cookie beyond the run.
    const QString strStorage = QCoreApplication::applicationDirPath() + "/res/QtWebEngine";
    // A named profile starts in the desktop's data and cache folders, and writes its first settings there before
    // it can be given its own; pointed inside the storage while it is made, it leaves nothing outside res/.
    const QByteArray byteData = qgetenv("XDG_DATA_HOME");
    const QByteArray byteCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(strStorage));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(strStorage));
    objectProfile = new QWebEngineProfile("Tessaloquin", this);
    restore("XDG_DATA_HOME", byteData);
    restore("XDG_CACHE_HOME", byteCache);
    objectProfile->setPersistentStoragePath(strStorage);
    objectProfile->setCachePath(strStorage);
    objectProfile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    objectProfile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    objectProfile->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    objectInterceptor = new DisplayWebengineInterceptor(this);
    objectProfile->setUrlRequestInterceptor(objectInterceptor);

    // Compiled into the static library; referencing the resource pulls it into the program.
    Q_INIT_RESOURCE(webengine);
    QFile objectScript(":/display/webengine/DisplayWebengineBridge.js");
    objectScript.open(QIODevice::ReadOnly);
    QWebEngineScript objectBridge;
    objectBridge.setName("DisplayWebengineBridge");
    objectBridge.setSourceCode(QString::fromUtf8(objectScript.readAll()).replace("TESSALOQUIN_KEY", strKey));
    objectBridge.setInjectionPoint(QWebEngineScript::DocumentCreation);
    objectBridge.setWorldId(QWebEngineScript::MainWorld);
    objectBridge.setRunsOnSubFrames(false);
    objectProfile->scripts()->insert(objectBridge);

    objectWebview = new DisplayWebengineView(this, objectParent);
    DisplayWebengineFocus::init();
}

DisplayWebengine::~DisplayWebengine() {
    // The view and the page before the profile they use: a view without a page would make one of the default
    // profile's, and a profile released while a page of its own lives leaves Chromium's storage half shut.
    delete objectWebview;
    delete objectPage.data();
    delete objectProfile;
    DisplayWebengineFocus::dispel();
}

QWidget *DisplayWebengine::view() const {
    return objectWebview;
}

void DisplayWebengine::open(const QUrl &objectUrl) {
    DisplayWebenginePage *objectBefore = objectPage.data();
    if (objectBefore != nullptr) {
        leave();
    }
    objectPage = new DisplayWebenginePage(this, objectProfile, this);
    connect(objectPage, &QWebEnginePage::loadFinished, this, [this](bool boolOk) {
        boolLoaded = boolLoaded || boolOk;
        emit loaded(boolOk);
    });
    connect(objectPage, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus enumStatus, int) {
                if (enumStatus == QWebEnginePage::NormalTerminationStatus) {
                    return;
                }
                if (!boolLoaded) {
                    fail(helperPath());
                }
                // A renderer that died later takes only the document with it, its countdown of a copied password
                // too: what the program marked is taken off now, and the page starts again.
                boolLeft = true;
                MainPlatform::clearSecret();
                objectPage->triggerAction(QWebEnginePage::Reload);
            });
    connect(objectPage, &QWebEnginePage::windowCloseRequested, this, &DisplayEngine::closeRequested);
    objectWebview->setPage(objectPage);
    delete objectBefore;
    objectPage->load(objectUrl);
}

void DisplayWebengine::load(const QUrl &objectUrl) {
    leave();
    objectPage->load(objectUrl);
}

void DisplayWebengine::leave() {
    // Once per document, and only for one that has its objects: a document the engine replaces gets no answer
    // to its calls while it unloads.
    if (boolLeft || qhashBridge.isEmpty()) {
        return;
    }
    boolLeft = true;
    emit leaving();
}

QUrl DisplayWebengine::url() const {
    return objectPage->url();
}

void DisplayWebengine::publish(const QString &strName, QObject *objectBridge) {
    if (!qstringlistName.contains(strName)) {
        qstringlistName.append(strName);
    }
    qhashBridge.insert(strName, objectBridge);
}

QObject *DisplayWebengine::published(const QString &strName) const {
    return qhashBridge.value(strName, nullptr);
}

void DisplayWebengine::evaluate(const QString &strScript) {
    if (qstringlistPending != nullptr) {
        qstringlistPending->append(strScript);
        return;
    }
    objectPage->runJavaScript(strScript);
}

void DisplayWebengine::evaluate(const QString &strScript, std::function<void(const QVariant &)> functionResult) {
    objectPage->runJavaScript(strScript, functionResult);
}

QVariant DisplayWebengine::evaluateNow(const QString &strScript, int intWait, bool *boolRan) {
    if (boolRan != nullptr) {
        *boolRan = false;
    }
    // The page waits for this side's answer: it can run the script only after it, and the result comes too late.
    if (qstringlistPending != nullptr) {
        qstringlistPending->append(strScript);
        return QVariant();
    }
    // The answer may come after this call has given up: it then finds nobody waiting.
    struct Waiting {
        bool boolDone = false;
        QVariant objectResult;
        QEventLoop *objectLoop = nullptr;
    };
    const std::shared_ptr<Waiting> objectWaiting = std::make_shared<Waiting>();
    objectPage->runJavaScript(strScript, [objectWaiting](const QVariant &objectResult) {
        objectWaiting->boolDone = true;
        objectWaiting->objectResult = objectResult;
        if (objectWaiting->objectLoop != nullptr) {
            objectWaiting->objectLoop->quit();
        }
    });
    if (!objectWaiting->boolDone) {
        QEventLoop objectLoop;
        objectWaiting->objectLoop = &objectLoop;
        QTimer::singleShot(intWait, &objectLoop, &QEventLoop::quit);
        objectLoop.exec();
        objectWaiting->objectLoop = nullptr;
    }
    if (boolRan != nullptr) {
        *boolRan = objectWaiting->boolDone;
    }
    return objectWaiting->objectResult;
}

QString DisplayWebengine::answer(const QString &strCall) {
    const QJsonObject objectCall = QJsonDocument::fromJson(strCall.toUtf8()).object();
    const QString strKind = objectCall.value("strCall").toString();

    QStringList qstringlistScript;
    QStringList *qstringlistBefore = qstringlistPending;
    qstringlistPending = &qstringlistScript;
    QJsonObject objectAnswer;
    if (strKind == "open") {
        // A new document: the objects of the one before are not its objects.
        qhashBridge.clear();
        boolLeft = false;
        emit cleared();

        QJsonObject objectBridges;
        for (const QString &strName : qstringlistName) {
            QObject *objectBridge = qhashBridge.value(strName, nullptr);
            if (objectBridge == nullptr) {
                continue;
            }
            QJsonArray objectSlots;
            for (const QMetaMethod &objectMethod : callable(objectBridge)) {
                QJsonArray objectTypes;
                for (const QByteArray &byteType : objectMethod.parameterTypes()) {
                    objectTypes.append(QString::fromLatin1(byteType));
                }
                objectSlots.append(
                    QJsonObject({{"strSlot", QString::fromLatin1(objectMethod.name())}, {"listType", objectTypes}}));
            }
            objectBridges.insert(strName, objectSlots);
        }
        objectAnswer.insert("objectBridge", objectBridges);
    } else if (strKind == "call") {
        objectAnswer = call(objectCall.value("strObject").toString(), objectCall.value("strSlot").toString(),
                            objectCall.value("listArgument").toArray().toVariantList());
    } else if (strKind == "notice" && QAccessible::isActive() && objectWebview) {
        // Only while assistive technology listens. A new object for each notice: a reader that keeps names
        // learns this one's afresh, under an identity never given before (Qt 6 counts identities on, and gives
        // none again while others are free). Those before it stay a while, for a reader still asking them.
        DisplayWebengineNotice *objectNotice = new DisplayWebengineNotice(objectWebview->parentWidget());
        objectNotice->tell(objectCall.value("strText").toString());
        // Those gone with the window are skipped.
        while (!qlistNotice.isEmpty() && (!qlistNotice.first() || qlistNotice.first()->objectMade.elapsed() > 10000)) {
            delete qlistNotice.takeFirst().data();
        }
        qlistNotice.append(objectNotice);
    } else if (strKind == "key" && objectCall.value("strKey").toString() == "Escape") {
        QKeyEvent objectKey(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(objectWebview->window(), &objectKey);
    } else if (strKind != "notice") {
        objectAnswer.insert("strError", "unknown call");
    }
    qstringlistPending = qstringlistBefore;
    objectAnswer.insert("listScript", QJsonArray::fromStringList(qstringlistScript));
    return QString::fromUtf8(QJsonDocument(objectAnswer).toJson(QJsonDocument::Compact));
}

QJsonObject DisplayWebengine::call(const QString &strObject, const QString &strSlot,
                                   const QVariantList &qvariantlistArgument) {
    QObject *objectBridge = qhashBridge.value(strObject, nullptr);
    if (objectBridge == nullptr) {
        return QJsonObject({{"strError", "not published"}});
    }
    for (const QMetaMethod &objectMethod : callable(objectBridge)) {
        if (QString::fromLatin1(objectMethod.name()) != strSlot ||
            objectMethod.parameterCount() != qvariantlistArgument.size() || objectMethod.parameterCount() > 10) {
            continue;
        }
        // Each argument as the slot's parameter type; the injected script has already made it of that kind.
        QVariantList qvariantlistTyped;
        for (int intIndex = 0; intIndex < objectMethod.parameterCount(); intIndex += 1) {
            QVariant objectValue = qvariantlistArgument.at(intIndex);
            objectValue.convert(objectMethod.parameterMetaType(intIndex));
            qvariantlistTyped.append(objectValue);
        }
        QGenericArgument listGeneric[10];
        for (int intIndex = 0; intIndex < qvariantlistTyped.size(); intIndex += 1) {
            listGeneric[intIndex] =
                QGenericArgument(qvariantlistTyped[intIndex].typeName(), qvariantlistTyped[intIndex].constData());
        }
        const bool boolVoid = objectMethod.returnMetaType().id() == QMetaType::Void;
        QVariant objectResult = boolVoid ? QVariant() : QVariant(objectMethod.returnMetaType());
        const QGenericReturnArgument objectReturn =
            boolVoid ? QGenericReturnArgument() : QGenericReturnArgument(objectMethod.typeName(), objectResult.data());
        if (!objectMethod.invoke(objectBridge, Qt::DirectConnection, objectReturn, listGeneric[0], listGeneric[1],
                                 listGeneric[2], listGeneric[3], listGeneric[4], listGeneric[5], listGeneric[6],
                                 listGeneric[7], listGeneric[8], listGeneric[9])) {
            return QJsonObject({{"strError", "the call failed"}});
        }
        QJsonObject objectAnswer;
        if (!boolVoid) {
            objectAnswer.insert("variantResult", QJsonValue::fromVariant(objectResult));
        }
        return objectAnswer;
    }
    return QJsonObject({{"strError", "no such slot"}});
}
