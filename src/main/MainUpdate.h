#pragma once

// The one-time upgrade of account data left by older versions, run at start before the window exists. It is
// due while res/PreferenceAccount.ini does not hold boolUpdate(4.0) false, and is tried at every start until it
// has succeeded. At every start with a database, rows that another program numbered out of reach are numbered
// anew.
class MainUpdate {
public:
    static void run();
};
