#pragma once

#include <QAccessible>

// Where the focus reaches assistive technology before the caret. When the focus moves into a text field,
// Chromium tells of the field's caret first and of the focus after it; a reader that meets a focused field by
// its caret (Orca) takes the focus there silently, and the field and the place around it (the screen shown,
// the account opened) are never said. The focus is told here as soon as the caret speaks of a field that has it,
// and Chromium's own word of that focus, coming after, is not told again (a reader takes a repeated focus for a
// duplicate and drops the first one).
class DisplayWebengineFocus {
public:
    // The focus object last told to assistive technology.
    static QAccessible::Id intFocus;
    // A focus told ahead of Chromium's, until Chromium tells it (0 when none is).
    static QAccessible::Id intAhead;
    // The handler that was installed before this one: Qt's own path to the bus when none was.
    static QAccessible::UpdateHandler functionNext;

public:
    static void init();
    static void dispel();

private:
    static void update(QAccessibleEvent *objectEvent);
    static void pass(QAccessibleEvent *objectEvent);
};
