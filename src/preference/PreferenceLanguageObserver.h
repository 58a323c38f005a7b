#pragma once

#include "preference/PreferenceObserver.h"

struct PreferenceLanguageObserverDomain;

// Told after every change of the language preference.
using PreferenceLanguageObserver = PreferenceObserver<PreferenceLanguageObserverDomain>;
