// The floor for the start-up figures with Qt WebEngine: a plain view loading assets/index.html beside the
// executable, with nothing of the program around it.
#include <QApplication>
#include <QUrl>
#include <QWebEngineView>

int main(int intArgc, char **charArgv) {
    QApplication objectApplication(intArgc, charArgv);
    QWebEngineView objectWebview;
    objectWebview.setUrl(QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + "/assets/index.html"));
    objectWebview.resize(665, 690);
    objectWebview.show();
    return objectApplication.exec();
}
