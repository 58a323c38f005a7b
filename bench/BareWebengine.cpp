// The floor for the start-up figures with Qt WebEngine: a plain view loading assets/index.html beside the
// executable, with nothing of the program around it.
#include <QApplication>
#include <QUrl>
#include <QWebEngineSettings>
#include <QWebEngineView>

int main(int intArgc, char **charArgv) {
    QApplication objectApplication(intArgc, charArgv);
    QWebEngineView objectWebview;
    // As the program allows it: the benchmark's page reports to a local server.
    objectWebview.settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    objectWebview.setUrl(QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + "/assets/index.html"));
    objectWebview.resize(665, 690);
    objectWebview.show();
    return objectApplication.exec();
}
