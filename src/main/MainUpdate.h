#pragma once

// The one-time upgrade of account data left by older versions, run at start before the window exists. It is
// due while res/PreferenceAccount.ini does not hold boolUpdate(4.0) false, and is tried at every start until it
// has succeeded.
class MainUpdate {
public:
    static void run();
};
