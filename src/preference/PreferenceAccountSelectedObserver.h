#pragma once

#include "preference/PreferenceObserver.h"

struct PreferenceAccountSelectedObserverDomain;

// Told after every change of the selected account.
using PreferenceAccountSelectedObserver = PreferenceObserver<PreferenceAccountSelectedObserverDomain>;
