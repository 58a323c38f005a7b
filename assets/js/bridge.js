// Access to the native objects the program publishes into this page. A missing object (a damaged install)
// must not stop the rest of the page: callers get a safe default and the page says what is missing.
var Bridge = (function() {
    'use strict';

    var arrayNames = ['jsGeneral', 'jsLanguage', 'jsPassword', 'jsPreferenceAccount',
        'jsPreferenceAccountSelected', 'jsPreferenceLanguage'];

    function get(strName) {
        var objectBridge = window[strName];
        return objectBridge === undefined || objectBridge === null ? null : objectBridge;
    }

    function missing() {
        return arrayNames.filter(function(strName) {
            return get(strName) === null;
        });
    }

    // Calls one method; when the object is absent the fallback is returned instead.
    function call(strName, strMethod, arrayArguments, valueFallback) {
        var objectBridge = get(strName);
        if (objectBridge === null || typeof objectBridge[strMethod] !== 'function') {
            return valueFallback;
        }
        return objectBridge[strMethod].apply(objectBridge, arrayArguments || []);
    }

    // Parses JSON text from a bridge; anything unreadable gives the fallback.
    function json(strText, valueFallback) {
        if (typeof strText !== 'string' || strText === '') {
            return valueFallback;
        }
        try {
            return JSON.parse(strText);
        } catch (objectError) {
            return valueFallback;
        }
    }

    // The object the program notifies when stored data changes: its update() runs functionRefresh once
    // the notifying script has finished, and several notices in a row cost one refresh.
    function listener(functionRefresh) {
        var boolPending = false;
        return {
            update: function() {
                if (boolPending) {
                    return;
                }
                boolPending = true;
                window.setTimeout(function() {
                    boolPending = false;
                    functionRefresh();
                }, 0);
            }
        };
    }

    return {
        get: get,
        missing: missing,
        call: call,
        json: json,
        listener: listener
    };
}());
