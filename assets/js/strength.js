// The line under the master password: how long a thief would need to find it, and why when it falls soon.
// The estimator is large (its dictionaries are megabytes), so it is loaded only once the account screen has
// been open a moment or a key reaches the master field, never before the first screen. The master's text goes
// to the estimator alone and is read afresh from its field at each step, never kept.
var Strength = (function() {
    'use strict';

    // The estimator, and the language whose dictionaries it holds.
    var objectFactory = null;
    var strBuilt = null;
    var mapLoaded = {};
    var boolLoading = false;
    var intLoadTimer = 0;
    // When a key or a button was last pressed anywhere in the page.
    var intLastUse = 0;
    var intTimer = 0;
    // Counts the master's changes: a step of an older estimate finds it moved on and stops.
    var intRun = 0;
    // The level shown ('weak', 'fair', 'strong'), or null while none is.
    var strLevel = null;
    var objectChanged = Listeners.create();
    // Asked for an estimate before the estimator was there; called once it is, or has failed to load.
    var arrayWaiting = [];

    function line() {
        return Dom.element('master-estimate');
    }

    function clear() {
        window.clearTimeout(intTimer);
        intTimer = 0;
        intRun += 1;
        line().textContent = '';
        line().className = 'master-estimate';
        if (strLevel !== null) {
            strLevel = null;
            objectChanged.call();
        }
    }

    function show(objectEstimate) {
        var objectText = Estimate.describe(objectEstimate, Catalogue.get);
        line().className = 'master-estimate master-estimate-' + objectEstimate.strLevel;
        // One change of the live region's text, so that it is announced once.
        Dom.text(line(), objectText.strReason === '' ? objectText.strLine : objectText.strLine + ' ' +
            objectText.strReason);
        strLevel = objectEstimate.strLevel;
        objectChanged.call();
    }

    // Estimates a text in pieces, one piece per turn of the event loop, so that no turn holds the page long.
    // functionText gives the text afresh at each step, or null once it is no longer wanted.
    function run(functionText, functionDone) {
        var arrayBounds = Estimate.pieces(functionText());
        var arrayMeasured = [];
        function step() {
            var strText = functionText();
            if (strText === null) {
                return;
            }
            arrayMeasured.push(Estimate.measure(objectFactory, strText, arrayBounds, arrayMeasured.length));
            if (arrayMeasured.length < arrayBounds.length) {
                window.setTimeout(step, 0);
            } else {
                functionDone(Estimate.combine(arrayMeasured));
            }
        }
        step();
    }

    function start() {
        intTimer = 0;
        if (objectFactory === null || Master.value() === '') {
            return;
        }
        var intThis = intRun;
        // Marks an estimate as running, so that a finished load does not start another.
        intTimer = -1;
        run(function() {
            return intThis === intRun ? Master.value() : null;
        }, function(objectEstimate) {
            intTimer = 0;
            show(objectEstimate);
        });
    }

    // The estimate of a text that is not in the field yet (a suggestion), or null when the estimator cannot be
    // loaded.
    function judge(strText, functionDone) {
        if (objectFactory !== null) {
            run(function() {
                return strText;
            }, functionDone);
            return;
        }
        arrayWaiting.push(function() {
            if (objectFactory === null) {
                functionDone(null);
            } else {
                judge(strText, functionDone);
            }
        });
        load();
    }

    function build(strLanguage) {
        try {
            objectFactory = Estimate.create(window.zxcvbnts, strLanguage);
            strBuilt = strLanguage;
        } catch (objectError) {
            objectFactory = null;
        }
        boolLoading = false;
        // Typed while it loaded: the pause has passed by now.
        if (objectFactory !== null && strLevel === null && intTimer === 0) {
            start();
        }
        served();
    }

    function served() {
        var arrayCalls = arrayWaiting;
        arrayWaiting = [];
        arrayCalls.forEach(function(functionCall) {
            functionCall();
        });
    }

    // Loads the scripts one after another, each in a turn of its own, then builds the estimator in another.
    function load() {
        window.clearTimeout(intLoadTimer);
        intLoadTimer = 0;
        var strLanguage = Catalogue.current();
        if (boolLoading || (objectFactory !== null && strBuilt === strLanguage)) {
            return;
        }
        boolLoading = true;
        var arrayScripts = Estimate.scripts(strLanguage).filter(function(strScript) {
            return !mapLoaded[strScript];
        });
        function next() {
            if (arrayScripts.length === 0) {
                window.setTimeout(function() {
                    build(strLanguage);
                }, 0);
                return;
            }
            var strScript = arrayScripts.shift();
            var objectScript = document.createElement('script');
            objectScript.src = strScript;
            objectScript.addEventListener('load', function() {
                mapLoaded[strScript] = true;
                next();
            });
            // A damaged install: the line stays empty, everything else works.
            objectScript.addEventListener('error', function() {
                boolLoading = false;
                served();
            });
            document.body.appendChild(objectScript);
        }
        next();
    }

    function input() {
        clear();
        if (Master.value() !== '') {
            load();
            intTimer = window.setTimeout(start, Timing.intFingerprintMs);
        }
    }

    // The account screen has appeared: the estimator loads once the user has left the page alone on it a moment,
    // so that its loading (a few hundred milliseconds, in turns of up to 200) never falls into a click or a key.
    function soon() {
        if (intLoadTimer !== 0 || objectFactory !== null) {
            return;
        }
        function wait() {
            intLoadTimer = 0;
            var intQuiet = Date.now() - intLastUse;
            if (Navigation.current() !== 'account') {
                return;
            }
            if (intQuiet < Timing.intEstimatorIdleMs) {
                intLoadTimer = window.setTimeout(wait, Timing.intEstimatorIdleMs - intQuiet);
            } else {
                load();
            }
        }
        intLoadTimer = window.setTimeout(wait, Timing.intEstimatorIdleMs);
    }

    function init() {
        Master.onInput(input);
        Master.field().addEventListener('keydown', load);
        ['keydown', 'mousedown'].forEach(function(strType) {
            document.addEventListener(strType, function() {
                intLastUse = Date.now();
            }, true);
        });
        // Another language has other dictionaries and other words.
        Catalogue.onRetext(function() {
            if (Master.value() !== '') {
                input();
            }
        });
    }

    return {
        init: init,
        soon: soon,
        judge: judge,
        level: function() {
            return strLevel;
        },
        onChange: objectChanged.add
    };
}());
