#pragma once

#include "preference/PreferenceObserver.h"

struct PreferenceAccountObserverDomain;

// Told after every change of the account list.
using PreferenceAccountObserver = PreferenceObserver<PreferenceAccountObserverDomain>;
