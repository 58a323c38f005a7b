// The few newer built-ins the strength estimator calls and older engines (QtWebKit) lack. Loaded only with
// the estimator; each one only where the engine has none of its own.
(function() {
    'use strict';

    function define(objectOwner, strName, functionValue) {
        if (typeof objectOwner[strName] !== 'function') {
            Object.defineProperty(objectOwner, strName, {configurable: true, writable: true, value: functionValue});
        }
    }

    define(Object, 'entries', function(objectValue) {
        return Object.keys(objectValue).map(function(strKey) {
            return [strKey, objectValue[strKey]];
        });
    });

    define(Object, 'values', function(objectValue) {
        return Object.keys(objectValue).map(function(strKey) {
            return objectValue[strKey];
        });
    });

    // Every match of a global expression, as an iterator; the caller's expression keeps its lastIndex.
    define(String.prototype, 'matchAll', function(regexpSearch) {
        var regexpCopy = new RegExp(regexpSearch.source, regexpSearch.flags);
        var strText = String(this);
        var arrayMatches = [];
        var arrayMatch = regexpCopy.exec(strText);
        while (arrayMatch !== null) {
            arrayMatches.push(arrayMatch);
            // An empty match would be found again at the same place.
            if (arrayMatch[0] === '') {
                regexpCopy.lastIndex += 1;
            }
            arrayMatch = regexpCopy.global ? regexpCopy.exec(strText) : null;
        }
        return arrayMatches[Symbol.iterator]();
    });
}());
