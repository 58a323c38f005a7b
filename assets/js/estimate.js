// How long a thief would need to find a master password, and why it falls sooner when it does. The page and
// tessaloquin-cli both run this file (the program in its script engine), so that they never disagree on a
// level, a time or a reason. It touches no document and no bridge: text in, numbers and words out.
//
// The threat: every password of an account is one SHA-1 digest over the master password and texts a thief
// can know (website, mail, length, special characters). With one leaked password a thief tries masters
// offline at the speed of SHA-1 on a graphics card.
var Estimate = (function() {
    'use strict';

    // One RTX 4090-class card: hashcat's benchmark for SHA-1 (mode 100) is about 5e10 digests a second.
    var dblGuessesPerSecond = 5e10;
    var dblYear = 365.25 * 24 * 3600;
    var dblWeakBelow = dblYear;
    var dblFairBelow = 1e4 * dblYear;
    var dblUniverse = 13.8e9 * dblYear;

    // The estimator's work grows much faster than the length of what it reads: warm, in QtWebKit, 20 random
    // characters can take 350 ms and 32 far more. So it never reads more than this many characters at once:
    // a longer text is read in pieces (cut after a space or a hyphen where there is one, so that words stay
    // whole), one piece per turn of the page's event loop, and the pieces' guesses multiply. A piece that
    // already occurs earlier in the text adds nothing, so a repeated text (a thousand times "a",
    // "abcabc...") stays as weak as it is.
    var intPiece = 16;
    // Most of that work is the look-up of every way to read digits and symbols as letters ("p4$$w0rd"): ten
    // such characters in a piece are plenty for a word, and the bound keeps a piece of random symbols from
    // trying thousands of readings.
    var intSubstitutions = 10;

    // The interface languages whose dictionaries exist; English is read always.
    var mapLanguages = {
        ar: 'language-ar', de: 'language-de', es: 'language-es-es', fr: 'language-fr', it: 'language-it',
        ja: 'language-ja', pt: 'language-pt-br'
    };

    // The scripts to load, in order, relative to the assets folder.
    function scripts(strLanguage) {
        var arrayScripts = ['js/polyfills.js', 'vendor/zxcvbn/core.js', 'vendor/zxcvbn/language-common.js',
            'vendor/zxcvbn/language-en.js'];
        if (Object.prototype.hasOwnProperty.call(mapLanguages, strLanguage)) {
            arrayScripts.push('vendor/zxcvbn/' + mapLanguages[strLanguage] + '.js');
        }
        return arrayScripts;
    }

    // The estimator over the dictionaries of a language and English, from the loaded scripts' global.
    function create(objectLibraries, strLanguage) {
        var objectCommon = objectLibraries['language-common'];
        var objectDictionary = {};
        var arrayNames = ['language-common', 'language-en'];
        if (Object.prototype.hasOwnProperty.call(mapLanguages, strLanguage)) {
            arrayNames.push(mapLanguages[strLanguage]);
        }
        arrayNames.forEach(function(strName) {
            var objectPackage = objectLibraries[strName];
            Object.keys(objectPackage.dictionary).forEach(function(strList) {
                // Older packages name their lists without the language; keep them apart from English's.
                objectDictionary[strList.indexOf('-') === -1 ? strList + '-' + strName : strList] =
                    objectPackage.dictionary[strList];
            });
            // The estimator gives a word of the diceware list (the EFF long list) the fixed count of a word drawn
            // from it only under the list's old name; under this one it would count its alphabetical place,
            // 1 for "abacus".
            if (objectPackage.dictionary['diceware-common']) {
                objectDictionary.diceware = objectPackage.dictionary['diceware-common'];
                delete objectDictionary['diceware-common'];
            }
        });
        return new objectLibraries.core.ZxcvbnFactory({
            dictionary: objectDictionary,
            graphs: objectCommon.adjacencyGraphs,
            maxLength: intPiece,
            l33tMaxSubstitutions: intSubstitutions
        });
    }

    // Where the pieces of a text begin and end (numbers only, so that no copy of the text is kept between turns).
    function pieces(strText) {
        var arrayBounds = [];
        var intStart = 0;
        while (intStart < strText.length) {
            var intEnd = Math.min(intStart + intPiece, strText.length);
            if (intEnd < strText.length) {
                var intCut = Math.max(strText.lastIndexOf(' ', intEnd - 1), strText.lastIndexOf('-', intEnd - 1));
                if (intCut >= intStart + intPiece / 2) {
                    intEnd = intCut + 1;
                }
                // Never between the two halves of a surrogate pair.
                var intUnit = strText.charCodeAt(intEnd - 1);
                if (intUnit >= 0xd800 && intUnit <= 0xdbff) {
                    intEnd -= 1;
                }
            }
            arrayBounds.push([intStart, intEnd]);
            intStart = intEnd;
        }
        return arrayBounds;
    }

    // The log10 of the guesses for a run of characters in which the estimator found no pattern: its ASCII
    // characters as drawn from the classes they use, anything else as the estimator counts it, 10 a character.
    function bruteforce(strToken) {
        var strAscii = strToken.replace(/[^\x20-\x7e]/g, '');
        var intPool = 0;
        intPool += /[a-z]/.test(strAscii) ? 26 : 0;
        intPool += /[A-Z]/.test(strAscii) ? 26 : 0;
        intPool += /[0-9]/.test(strAscii) ? 10 : 0;
        intPool += /[ -\/:-@\[-`{-~]/.test(strAscii) ? 33 : 0;
        return strAscii.length * Math.log(Math.max(intPool, 10)) / Math.LN10 + strToken.length - strAscii.length;
    }

    var mapReasons = {spatial: 'keyboard', repeat: 'repeat', sequence: 'sequence', date: 'date'};

    function reason(objectMatch) {
        if (objectMatch.pattern === 'dictionary') {
            var strList = objectMatch.dictionaryName || '';
            if (strList.indexOf('passwords') === 0) {
                return 'password';
            }
            return /names/.test(strList) ? 'name' : 'word';
        }
        if (objectMatch.pattern === 'regex' && objectMatch.regexName === 'recentYear') {
            return 'date';
        }
        return mapReasons[objectMatch.pattern] || '';
    }

    // A run split into words and the separators between them, as matches of the estimator's shape.
    function words(strRun) {
        return strRun.split(/([ ,;_\-.\/\\|]+)/).filter(function(strPart) {
            return strPart !== '';
        }).map(function(strPart) {
            var boolSeparator = /^[ ,;_\-.\/\\|]+$/.test(strPart);
            return {pattern: boolSeparator ? 'separator' : 'word', token: strPart, guesses: 10};
        });
    }

    // The log10 of a text's guesses, its longest recognised part's length and that part's reason. The guesses
    // are those of its parts multiplied, without the estimator's allowance for not knowing their order: the
    // thief is assumed to know how the text is built (six list words, a word and a year), as one who knows
    // Tessaloquin's suggestions does. A separator counts once in the whole text (strBefore is what came before
    // this part); the same separator again costs nothing.
    //
    // Random characters: the estimator counts 10 guesses for each character it finds no pattern in, which
    // makes 10 random characters fall in 0.2 s and 20 in 60 years. A thief who has tried every word and
    // pattern is left with brute force over the characters' kinds, so such runs count as drawn from the kinds
    // they use: 26 for lower-case letters, 26 upper-case, 10 digits, 33 ASCII symbols. 10 random characters of
    // all kinds come out at about 40 years (fair), 20 at far more than the age of the universe (strong). The
    // estimator leaves a run unmatched also when one part more would cost it more than the run itself (its
    // allowance again); such a run is read once more, word by word, and counts what it holds if that is less.
    function score(objectFactory, strText, boolInner, strBefore) {
        var objectScore = {dblLog: 0, intLength: 0, strReason: ''};
        var mapSeparators = {};
        var arrayMatches = boolInner ? words(strText) : objectFactory.check(strText).sequence;
        arrayMatches.forEach(function(objectMatch) {
            var dblLog = Math.log(Math.max(objectMatch.guesses, 1)) / Math.LN10;
            var objectPart = {intLength: objectMatch.token.length, strReason: reason(objectMatch)};
            if (objectMatch.pattern === 'word') {
                objectPart = score(objectFactory, objectMatch.token, false, '');
                dblLog = objectPart.dblLog;
            } else if (objectMatch.pattern === 'bruteforce') {
                dblLog = bruteforce(objectMatch.token);
                if (!boolInner && objectMatch.token.length > 1 && objectMatch.token.length < strText.length) {
                    var objectInner = score(objectFactory, objectMatch.token, true, strBefore + strText);
                    if (objectInner.dblLog < dblLog) {
                        dblLog = objectInner.dblLog;
                        objectPart = objectInner;
                    }
                }
            } else if (objectMatch.pattern === 'separator') {
                dblLog = mapSeparators[objectMatch.token] || strBefore.indexOf(objectMatch.token) !== -1 ? 0 : dblLog;
                mapSeparators[objectMatch.token] = true;
            }
            objectScore.dblLog += dblLog;
            if (objectPart.strReason !== '' && objectPart.intLength > objectScore.intLength) {
                objectScore.intLength = objectPart.intLength;
                objectScore.strReason = objectPart.strReason;
            }
        });
        return objectScore;
    }

    // One piece of a text, by its bounds (see pieces).
    function measure(objectFactory, strText, arrayBounds, intIndex) {
        var intStart = arrayBounds[intIndex][0];
        var strPiece = strText.slice(intStart, arrayBounds[intIndex][1]);
        if (intIndex > 0 && strText.indexOf(strPiece) < intStart) {
            return {dblLog: 0, intLength: 0, strReason: 'repeat'};
        }
        return score(objectFactory, strPiece, false, strText.slice(0, intStart));
    }

    // The pieces' results together: {strLevel: 'weak' | 'fair' | 'strong', dblSeconds, strReason}.
    function combine(arrayMeasured) {
        var dblLog = 0;
        var intLongest = -1;
        var strReason = '';
        arrayMeasured.forEach(function(objectMeasured) {
            dblLog += objectMeasured.dblLog;
            if (objectMeasured.intLength > intLongest && objectMeasured.strReason !== '') {
                intLongest = objectMeasured.intLength;
                strReason = objectMeasured.strReason;
            }
        });
        var dblSeconds = Math.pow(10, dblLog) / dblGuessesPerSecond;
        var strLevel = dblSeconds < dblWeakBelow ? 'weak' : dblSeconds < dblFairBelow ? 'fair' : 'strong';
        return {strLevel: strLevel, dblSeconds: dblSeconds, strReason: strLevel === 'strong' ? '' : strReason};
    }

    // A whole text at once, for callers that need not share their time (tessaloquin-cli, tests).
    function estimate(objectFactory, strText) {
        var arrayBounds = pieces(strText);
        var arrayMeasured = arrayBounds.map(function(arrayBound, intIndex) {
            return measure(objectFactory, strText, arrayBounds, intIndex);
        });
        return combine(arrayMeasured);
    }

    var arrayUnits = [
        ['second', 1], ['minute', 60], ['hour', 3600], ['day', 86400], ['month', dblYear / 12], ['year', dblYear]
    ];
    var arrayLarge = [['billion', 1e9], ['million', 1e6], ['thousand', 1e3]];

    // "about 3 minutes", "about 40 years": the count rounded to one significant digit.
    function round(dblCount) {
        if (dblCount < 10) {
            return Math.max(1, Math.round(dblCount));
        }
        var dblScale = Math.pow(10, Math.floor(Math.log(dblCount) / Math.LN10));
        return Math.round(dblCount / dblScale) * dblScale;
    }

    // The time in words, through functionText(strName, objectValues), the catalogue's lookup.
    function time(dblSeconds, functionText) {
        if (dblSeconds < 1) {
            return functionText('time_less_second');
        }
        if (dblSeconds >= dblUniverse) {
            return functionText('time_universe');
        }
        var dblYears = dblSeconds / dblYear;
        for (var i = 0; i < arrayLarge.length; i += 1) {
            if (dblYears >= 1e3 && dblYears >= arrayLarge[i][1]) {
                return functionText('time_' + arrayLarge[i][0] + '_years', {count: round(dblYears / arrayLarge[i][1])});
            }
        }
        var intUnit = arrayUnits.length - 1;
        while (intUnit > 0 && dblSeconds < arrayUnits[intUnit][1]) {
            intUnit -= 1;
        }
        var intCount = round(dblSeconds / arrayUnits[intUnit][1]);
        return functionText('time_' + arrayUnits[intUnit][0] + (intCount === 1 ? '_one' : '_many'), {count: intCount});
    }

    // The line the page shows under the master password and the terminal prints, and its reason (or '').
    function describe(objectEstimate, functionText) {
        return {
            strLine: functionText('master_estimate', {
                level: functionText('master_level_' + objectEstimate.strLevel),
                time: time(objectEstimate.dblSeconds, functionText)
            }),
            strReason: objectEstimate.strReason === '' ? '' : functionText('master_reason_' + objectEstimate.strReason)
        };
    }

    // A lookup over a plain object of texts, for callers without the page's catalogue (tessaloquin-cli); fills
    // in {placeholders} as the catalogue does.
    function texts(objectTexts) {
        return function(strName, objectValues) {
            var strText = Object.prototype.hasOwnProperty.call(objectTexts, strName) ? objectTexts[strName] : strName;
            return strText.replace(/\{([a-z_]+)\}/g, function(strWhole, strKey) {
                return objectValues && Object.prototype.hasOwnProperty.call(objectValues, strKey) ?
                    String(objectValues[strKey]) : strWhole;
            });
        };
    }

    return {
        scripts: scripts,
        create: create,
        pieces: pieces,
        measure: measure,
        combine: combine,
        estimate: estimate,
        describe: describe,
        texts: texts
    };
}());
