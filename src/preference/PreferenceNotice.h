#pragma once

#include <QString>

// What the program found wrong with its stored data and what it did about it, for the page to tell the user: an
// account database that is no account list (left unchanged), and settings files from which unreadable values
// were removed.
class PreferenceNotice {
public:
    // The notices as compact JSON, an array of objects with "strKind" ("database-unreadable", "database-view",
    // "database-missing" or "settings-removed") and "strPath", the file's path. Looks at the account store,
    // which opens the database if it is not open yet.
    static QString json();

    // The script that hands them to the page before the page's own scripts run, at every load:
    // "window.jsNotices = " followed by json() and ";".
    static QString script();
};
