// Gives the shipped page its bridge objects on an engine whose page runs in another process: each call
// becomes a synchronous prompt() that the program answers (DisplayWebenginePage::javaScriptPrompt). Runs in
// the main frame before any script of the page, once per document; the program writes its key for this run
// over TESSALOQUIN_KEY.
(function() {
    'use strict';
    var strKey = 'TESSALOQUIN_KEY';
    // Taken now, so that a page replacing them later cannot listen in or break the calls.
    var functionPrompt = window.prompt.bind(window);
    var functionParse = JSON.parse;
    var functionStringify = JSON.stringify;
    var functionEval = window.eval;

    // The program's answer, null when none came: Chromium lets no prompt through while a document unloads, so
    // the program has the page conclude before it replaces the document (DisplayWebengine::leave), and a call
    // made during unloading fails as any unanswered call does.
    function ask(objectMessage) {
        var strAnswer = functionPrompt(strKey, functionStringify(objectMessage));
        return typeof strAnswer === 'string' ? functionParse(strAnswer) : null;
    }

    // The scripts the program sent while it answered: they run before the call returns, as they would have run
    // inside it.
    function run(objectAnswer) {
        objectAnswer.listScript.forEach(function(strScript) {
            functionEval(strScript);
        });
    }

    // What a slot's parameter of each type makes of a value, as QtWebKit converts it: numbers are rounded and
    // wrap into an int.
    function convert(strType, variantValue) {
        if (strType === 'int') {
            return Math.round(Number(variantValue)) | 0;
        }
        if (strType === 'QStringList') {
            var listValue = Array.isArray(variantValue) ? variantValue : [variantValue];
            return listValue.map(function(variantItem) {
                return variantItem === null || variantItem === undefined ? '' : String(variantItem);
            });
        }
        return variantValue === null || variantValue === undefined ? '' : String(variantValue);
    }

    function method(strObject, strSlot, listType) {
        return function() {
            if (arguments.length < listType.length) {
                throw new TypeError(strObject + '.' + strSlot + ': too few arguments');
            }
            var listArgument = [];
            for (var intIndex = 0; intIndex < listType.length; intIndex += 1) {
                listArgument.push(convert(listType[intIndex], arguments[intIndex]));
            }
            var objectAnswer = ask({strCall: 'call', strObject: strObject, strSlot: strSlot, listArgument: listArgument});
            if (objectAnswer !== null) {
                run(objectAnswer);
            }
            if (objectAnswer === null || objectAnswer.strError !== undefined) {
                throw new Error(strObject + '.' + strSlot + ': ' +
                    (objectAnswer === null ? 'no answer' : objectAnswer.strError));
            }
            return objectAnswer.variantResult;
        };
    }

    var objectOpened = ask({strCall: 'open'});
    if (objectOpened === null) {
        return;
    }
    Object.keys(objectOpened.objectBridge).forEach(function(strObject) {
        var objectBridge = {};
        objectOpened.objectBridge[strObject].forEach(function(objectSlot) {
            objectBridge[objectSlot.strSlot] = method(strObject, objectSlot.strSlot, objectSlot.listType);
        });
        window[strObject] = objectBridge;
    });
    run(objectOpened);

    // The page's live regions, told to the program once each time the page fills one (Qt passes Chromium's own
    // word of it on to no reader). What is hidden from assistive technology is not told, nor what the page
    // fills while it loads: that is the page a reader finds.
    var strLive = '[aria-live="polite"], [aria-live="assertive"], [role="status"], [role="alert"], [role="log"]';
    var setFilled = new Set();
    var boolLoaded = false;
    window.addEventListener('load', function() {
        window.setTimeout(function() {
            boolLoaded = true;
        }, 0);
    });
    function tellFilled() {
        setFilled.forEach(function(objectRegion) {
            var strText = (objectRegion.getAttribute('aria-label') || objectRegion.textContent).replace(/\s+/g, ' ')
                .trim();
            if (strText !== '' && document.contains(objectRegion) &&
                !objectRegion.closest('[hidden], [aria-hidden="true"], [inert]') &&
                objectRegion.getClientRects().length > 0) {
                ask({strCall: 'notice', strText: strText});
            }
        });
        setFilled.clear();
    }
    new MutationObserver(function(arrayRecord) {
        arrayRecord.forEach(function(objectRecord) {
            var objectTarget = objectRecord.target.nodeType === 1 ? objectRecord.target : objectRecord.target.parentNode;
            var objectRegion = objectTarget ? objectTarget.closest(strLive) : null;
            if (objectRegion && boolLoaded) {
                if (setFilled.size === 0) {
                    window.setTimeout(tellFilled, 0);
                }
                setFilled.add(objectRegion);
            }
        });
    }).observe(document, {subtree: true, childList: true, characterData: true});

    // Chromium hands the keys a page leaves alone back to no widget here: Escape is told to the window, which
    // takes such keys, once every listener of the page has had it.
    window.addEventListener('keydown', function(objectEvent) {
        if (objectEvent.key !== 'Escape') {
            return;
        }
        window.setTimeout(function() {
            if (!objectEvent.defaultPrevented) {
                var objectAnswer = ask({strCall: 'key', strKey: 'Escape'});
                if (objectAnswer !== null) {
                    run(objectAnswer);
                }
            }
        }, 0);
    });
})();
