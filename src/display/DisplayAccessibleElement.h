#pragma once

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleInterface>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>

class DisplayAccessibleDocument;

// One element of the page as assistive technology sees it: a control, a heading, a text, a list or a notice.
// Its fields are those of the document's last reading; the document keeps them current.
class DisplayAccessibleElement : public QAccessibleInterface,
                                 public QAccessibleTextInterface,
                                 public QAccessibleActionInterface {
public:
    QPointer<DisplayAccessibleDocument> objectDocument;
    int intKey;
    int intParent = 0;
    QList<int> qlistChild;
    QAccessible::Role enumRole = QAccessible::StaticText;
    QString strName;
    QString strDescription;
    QAccessible::State objectState;
    // In the page's viewport.
    QRect objectRect;
    // What the text interface offers: a field's text (for a password field only a bullet per character), the
    // chosen entry of a combo box.
    bool boolText = false;
    QString strText;
    int intCaret = 0;
    int intSelectionStart = 0;
    int intSelectionEnd = 0;
    // Not shown now; waits for its element to be shown again.
    bool boolParked = false;

public:
    DisplayAccessibleElement(DisplayAccessibleDocument *objectDocument, int intKey);

    bool isValid() const override;
    QObject *object() const override;
    QWindow *window() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int intIndex) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface *objectChild) const override;
    QAccessibleInterface *childAt(int intX, int intY) const override;
    QString text(QAccessible::Text enumText) const override;
    void setText(QAccessible::Text enumText, const QString &strText) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType enumType) override;

    // Text.
    void selection(int intSelection, int *intStart, int *intEnd) const override;
    int selectionCount() const override;
    void addSelection(int intStart, int intEnd) override;
    void removeSelection(int intSelection) override;
    void setSelection(int intSelection, int intStart, int intEnd) override;
    int cursorPosition() const override;
    void setCursorPosition(int intPosition) override;
    QString text(int intStart, int intEnd) const override;
    int characterCount() const override;
    QRect characterRect(int intOffset) const override;
    int offsetAtPoint(const QPoint &objectPoint) const override;
    void scrollToSubstring(int intStart, int intEnd) override;
    QString attributes(int intOffset, int *intStart, int *intEnd) const override;

    // Actions.
    QStringList actionNames() const override;
    void doAction(const QString &strAction) override;
    QStringList keyBindingsForAction(const QString &strAction) const override;
};
