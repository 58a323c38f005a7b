#pragma once

#include <QAccessibleWidget>
#include <QPointer>
#include <QString>

class DisplayAccessibleDocument;
class QWebView;

// The main window's web view as assistive technology sees it: a document named by the page's title, whose
// children are the page's elements (DisplayAccessibleDocument) instead of the engine's empty frame.
class DisplayAccessible : public QAccessibleWidget {
public:
    QPointer<DisplayAccessibleDocument> objectDocument;

public:
    explicit DisplayAccessible(QWebView *objectWebview);

    // Lets assistive technology see the page's elements in the main window's web view. Here and not in
    // MainPlatform, which tessaloquin-cli links: the web engine stays out of it.
    static void install();

    // The accessibility factory: answers for a web view inside the main window, and for nothing else.
    static QAccessibleInterface *create(const QString &strClass, QObject *objectObject);

    QString text(QAccessible::Text enumText) const override;
    int childCount() const override;
    QAccessibleInterface *child(int intIndex) const override;
    int indexOfChild(const QAccessibleInterface *objectChild) const override;
    QAccessibleInterface *childAt(int intX, int intY) const override;
    QAccessibleInterface *focusChild() const override;
    QAccessible::State state() const override;
};
