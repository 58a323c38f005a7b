// "Suggest a master password": six words of the EFF long word list (7776 words, so about 77 bits), drawn with
// the system's cryptographic random numbers and put once, shown, into the master field. The words are kept
// nowhere else: the user writes them down or remembers them. About one draw in six holds words common enough
// in English that a thief's dictionary tries them early, and the estimate calls it fair; such a draw is
// replaced by another (which costs less than half a bit), so that what is offered is strong by the same
// estimate that judges the user's own.
var Suggest = (function() {
    'use strict';

    var intWords = 6;
    // Enough that a weaker draw is never offered in practice; the last one is offered whatever it is.
    var intDraws = 20;
    var strScript = 'vendor/eff/wordlist.js';
    // Set while the page itself puts the suggestion into the field, so that its own input keeps the note.
    var boolFilling = false;

    // An index below intCount, every one equally likely: values at the top of the 32-bit range, which would
    // favour the first indexes, are drawn again.
    function index(intCount) {
        var intLimit = Math.floor(4294967296 / intCount) * intCount;
        var arrayValue = new Uint32Array(1);
        do {
            window.crypto.getRandomValues(arrayValue);
        } while (arrayValue[0] >= intLimit);
        return arrayValue[0] % intCount;
    }

    function draw(arrayList) {
        var arrayWords = [];
        for (var i = 0; i < intWords; i += 1) {
            arrayWords.push(arrayList[index(arrayList.length)]);
        }
        return arrayWords;
    }

    function note() {
        return Dom.element('master-suggest-note');
    }

    function fill(strPhrase) {
        Dom.element('master-suggest').disabled = false;
        // The user has left the account meanwhile.
        if (Navigation.current() !== 'account') {
            return;
        }
        boolFilling = true;
        Master.field().value = strPhrase;
        Master.reveal();
        note().hidden = false;
        Master.field().dispatchEvent(new Event('input'));
        boolFilling = false;
        Master.field().focus();
    }

    function attempt(intDraw) {
        var strPhrase = draw(window.EffLongWordlist).join(' ');
        Strength.judge(strPhrase, function(objectEstimate) {
            if (objectEstimate === null || objectEstimate.strLevel === 'strong' || intDraw >= intDraws) {
                fill(strPhrase);
            } else {
                attempt(intDraw + 1);
            }
        });
    }

    function suggest() {
        Dom.element('master-suggest').disabled = true;
        if (Array.isArray(window.EffLongWordlist)) {
            attempt(1);
            return;
        }
        var objectScript = document.createElement('script');
        objectScript.src = strScript;
        objectScript.addEventListener('load', function() {
            attempt(1);
        });
        objectScript.addEventListener('error', function() {
            Dom.element('master-suggest').disabled = false;
        });
        document.body.appendChild(objectScript);
    }

    function init() {
        Dom.element('master-suggest').addEventListener('click', suggest);
        // Typing, a wipe or another account: the suggestion is no longer what the field holds.
        Master.onInput(function() {
            if (!boolFilling) {
                note().hidden = true;
            }
        });
    }

    return {
        init: init,
        draw: draw
    };
}());
