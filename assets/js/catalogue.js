// The interface texts, read from the catalogue of the chosen language. Every visible text of the page that is
// not stored data comes from here.
var Catalogue = (function() {
    'use strict';

    var mapText = {};
    // The language whose texts are shown.
    var strShown = null;
    var objectRetexted = Listeners.create();

    // The twelve languages, each named in its own script: these names never change with the interface.
    var arrayLanguages = [
        {strCode: 'ar', strName: 'العربية', boolRtl: true},
        {strCode: 'zh', strName: '中文'},
        {strCode: 'en', strName: 'English'},
        {strCode: 'fr', strName: 'Français'},
        {strCode: 'de', strName: 'Deutsch'},
        {strCode: 'hi', strName: 'हिन्दी'},
        {strCode: 'it', strName: 'Italiano'},
        {strCode: 'ja', strName: '日本語'},
        {strCode: 'ko', strName: '한국어'},
        {strCode: 'pt', strName: 'Português'},
        {strCode: 'ru', strName: 'Русский'},
        {strCode: 'es', strName: 'Español'}
    ];

    function language(strCode) {
        for (var i = 0; i < arrayLanguages.length; i += 1) {
            if (arrayLanguages[i].strCode === strCode) {
                return arrayLanguages[i];
            }
        }
        return null;
    }

    function load() {
        var arrayEntries = Bridge.json(Bridge.call('jsLanguage', 'getStrStrings', [], '[]'), []);
        mapText = {};
        if (Array.isArray(arrayEntries)) {
            arrayEntries.forEach(function(objectEntry) {
                if (objectEntry && typeof objectEntry.strName === 'string' && typeof objectEntry.strValue === 'string') {
                    mapText[objectEntry.strName] = objectEntry.strValue;
                }
            });
        }
    }

    function has(strName) {
        return Object.prototype.hasOwnProperty.call(mapText, strName);
    }

    // The text of a name with its {placeholders} filled in. A name the catalogue lacks shows as itself, so a
    // gap is visible instead of an empty button.
    function get(strName, objectValues) {
        var strText = has(strName) ? mapText[strName] : strName;
        if (objectValues === undefined) {
            return strText;
        }
        return strText.replace(/\{([a-z_]+)\}/g, function(strWhole, strKey) {
            return Object.prototype.hasOwnProperty.call(objectValues, strKey) ? String(objectValues[strKey]) : strWhole;
        });
    }

    // Japanese breaks a line between any two characters, also inside a word, and no engine here keeps its words
    // whole (word-break: keep-all keeps whole sentences instead). Its texts are set as phrases, each ending after
    // its punctuation or space, that the style sheet keeps on one line where they fit.
    var regexpPhrases = /[^\u3001\u3002\uff0c\uff1a\uff01\uff1f\uff09\u300d\s]+[\u3001\u3002\uff0c\uff1a\uff01\uff1f\uff09\u300d\s]*|[\u3001\u3002\uff0c\uff1a\uff01\uff1f\uff09\u300d\s]+/g;

    function fill(objectElement, strText) {
        if (strShown !== 'ja') {
            Dom.text(objectElement, strText);
            return;
        }
        objectElement.textContent = '';
        (strText.match(regexpPhrases) || []).forEach(function(strPhrase) {
            var objectPhrase = document.createElement('span');
            objectPhrase.className = 'phrase';
            Dom.appendText(objectPhrase, strPhrase);
            objectElement.appendChild(objectPhrase);
        });
    }

    // Puts the text of a name into an element.
    function set(objectElement, strName, objectValues) {
        fill(objectElement, get(strName, objectValues));
    }

    // Fills the static texts of the document (or of one part of it).
    function apply(objectRoot) {
        var objectScope = objectRoot || document;
        var arrayRules = [
            ['data-text', fill],
            ['data-label', function(objectElement, strText) { objectElement.setAttribute('aria-label', strText); }],
            ['data-title', function(objectElement, strText) { objectElement.setAttribute('title', strText); }],
            ['data-placeholder', function(objectElement, strText) { objectElement.setAttribute('placeholder', strText); }]
        ];
        arrayRules.forEach(function(arrayRule) {
            var listElements = objectScope.querySelectorAll('[' + arrayRule[0] + ']');
            for (var i = 0; i < listElements.length; i += 1) {
                arrayRule[1](listElements[i], get(listElements[i].getAttribute(arrayRule[0])));
            }
        });
    }

    // The language the catalogue is chosen by, with the direction of its script set on the document.
    function current() {
        return Bridge.call('jsPreferenceLanguage', 'getStrName', [], 'en');
    }

    function applyDirection() {
        var strCode = current();
        var objectLanguage = language(strCode);
        document.documentElement.setAttribute('lang', objectLanguage ? strCode : 'en');
        document.documentElement.setAttribute('dir', objectLanguage && objectLanguage.boolRtl ? 'rtl' : 'ltr');
    }

    // Puts the texts of the chosen language into the document; then every part of the page that writes texts
    // of its own (onRetext) writes them again.
    function retext() {
        // An empty name loads no catalogue at all, and every text would show as its name: a real one is stored.
        if (current() === '') {
            Bridge.call('jsPreferenceLanguage', 'setStrName', ['en']);
        }
        strShown = current();
        load();
        applyDirection();
        apply(document);
        objectRetexted.call();
    }

    // A language chosen elsewhere; one the page chose itself is shown already.
    function follow() {
        if (current() !== strShown) {
            retext();
        }
    }

    return {
        languages: arrayLanguages,
        language: language,
        has: has,
        get: get,
        set: set,
        current: current,
        retext: retext,
        onRetext: objectRetexted.add,
        follow: follow
    };
}());

// Told by the program that the interface language changed.
var PreferenceLanguage = Bridge.listener(Catalogue.follow);
