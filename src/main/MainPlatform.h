#pragma once

#include <QIcon>

// The small layer between the program and the desktop it runs on.
class MainPlatform {
public:
    // The window icon, drawn for exactly intSize x intSize pixels; a null icon when no image of that size
    // is embedded.
    static QIcon loadIcon(int intSize);

    // Lets assistive technology see the page's elements in the main window's web view (DisplayAccessible).
    static void installAccessibility();
};
