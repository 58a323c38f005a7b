#pragma once

#include <QAccessibleInterface>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>
#include <QVariantMap>

class DisplayAccessibleElement;
class QWebView;

// The page's document as assistive technology sees it. The web engine gives Qt's accessibility layer nothing of
// the page, so a script of ours reads the document (roles, names, states, boxes, the focus and the live regions
// that changed), and the elements of that reading are kept as accessible interfaces under the web view's own.
// Each later reading is compared with the one before, and what changed is told to assistive technology: new
// and removed elements, names, states, text, the focus, and the notices the page announces.
//
// An element keeps its object, and so its identity for assistive technology, for as long as it is in the
// document: hidden, it waits apart and comes back as the same object. An element that leaves the document, or
// turns into another kind of thing, is told gone, and whatever comes after it is a new object with an identity
// never given before, so that no reader can take it for the old one and keep the old role.
//
// It exists only once assistive technology has asked for the web view's interface. It reads again soon after
// every key, click and change of focus in the view, and every quarter second otherwise; the script answers at
// once when nothing changed.
class DisplayAccessibleDocument : public QObject {
    Q_OBJECT

public:
    QWebView *objectWebview;
    // Every element of the last reading by its key, which stays the element's as long as the page is loaded.
    QMap<int, DisplayAccessibleElement *> qmapElement;
    // Elements not shown in the last reading but still in the document.
    QMap<int, DisplayAccessibleElement *> qmapParked;
    // Holds the identity Qt would hand out again next (see dispose()).
    QAccessible::Id intPlaceholder = 0;
    // The keys of the top elements, in the document's order.
    QList<int> qlistTop;
    QString strTitle;
    int intFocus = 0;
    bool boolRead = false;
    // The focus last told to assistive technology; told again whenever the view gains or loses its own.
    bool boolFocusTold = false;
    int intFocusTold = 0;
    QString strFocusName;
    QTimer objectSoon;
    QTimer objectPoll;

public:
    explicit DisplayAccessibleDocument(QWebView *objectWebview);
    ~DisplayAccessibleDocument() override;

    // The document of a web view, made at the first call.
    static DisplayAccessibleDocument *obtain(QWebView *objectWebview);

    // The first reading, taken at once; later ones come from the timers.
    void ensure();
    DisplayAccessibleElement *element(int intKey) const;
    // The top elements' parent: the web view's interface.
    QAccessibleInterface *top() const;
    QAccessibleInterface *childAt(const QList<int> &qlistKey, const QPoint &objectPoint) const;

    // Clicks or focuses an element of the last reading; false when it is gone.
    bool act(int intKey, const QString &strAction);
    void select(int intKey, int intStart, int intEnd);

public slots:
    void update();
    void soon();

protected:
    bool eventFilter(QObject *objectWatched, QEvent *objectEvent) override;

private:
    QVariant evaluate(const QString &strScript) const;
    void apply(const QVariantMap &qvariantmapReading, bool boolTell);
    void remove(const QList<int> &qlistKey, bool boolTell, const QSet<int> &qsetKept = QSet<int>());
    void dispose(const QList<DisplayAccessibleElement *> &qlistElement);
    void tellFocus();
};
