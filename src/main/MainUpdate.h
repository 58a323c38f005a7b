#pragma once

// The one-time upgrade of account data left by older versions, run at start before the window exists. It is
// due while res/PreferenceAccount.ini does not hold boolUpdate(4.0) false, and is tried at every start until it
// has succeeded. At every start with a database, rows that another program numbered out of reach are numbered
// anew. A database that is no account list is left as it is. Unreadable values are taken out of every settings
// file first (PreferenceSettings::removed names them).
class MainUpdate {
public:
    static void run();
};
