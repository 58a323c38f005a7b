// The language choice, the offer of the system's language at the first start, and what the program is.
var SettingsScreen = (function() {
    'use strict';

    var boolOfferDeclined = false;

    function element(strId) {
        return document.getElementById(strId);
    }

    // False when the choice could not be written: the program then reads the language it had before.
    function choose(strCode) {
        Bridge.call('jsPreferenceLanguage', 'setStrName', [strCode]);
        var boolSaved = Catalogue.current() === strCode;
        element('language-failed').hidden = boolSaved;
        if (!boolSaved) {
            Catalogue.set(element('language-failed'), 'language_failed', {folder: Accounts.folder()});
        }
        App.retext();
        return boolSaved;
    }

    function build() {
        var objectList = element('language-list');
        Catalogue.languages.forEach(function(objectLanguage) {
            var objectLabel = document.createElement('label');
            objectLabel.className = 'language';
            var objectRadio = document.createElement('input');
            objectRadio.type = 'radio';
            objectRadio.name = 'language';
            objectRadio.value = objectLanguage.strCode;
            objectRadio.id = 'language-' + objectLanguage.strCode;
            objectRadio.addEventListener('change', function() {
                if (objectRadio.checked) {
                    choose(objectLanguage.strCode);
                }
            });
            var objectName = document.createElement('span');
            objectName.setAttribute('lang', objectLanguage.strCode);
            objectName.setAttribute('dir', 'auto');
            Catalogue.fill(objectName, objectLanguage.strName);
            objectLabel.appendChild(objectRadio);
            objectLabel.appendChild(objectName);
            objectList.appendChild(objectLabel);
        });
    }

    function markCurrent() {
        var strCurrent = Catalogue.current();
        Catalogue.languages.forEach(function(objectLanguage) {
            element('language-' + objectLanguage.strCode).checked = objectLanguage.strCode === strCurrent;
        });
    }

    function renderAbout() {
        element('about-name').textContent = Bridge.call('jsGeneral', 'getName', [], '');
        Catalogue.set(element('about-version'), 'about_version', {version: Bridge.call('jsGeneral', 'getVersion', [], '')});
    }

    // At the first start (no account yet) the system's own language is offered once, if it is not the one
    // in use.
    function offer() {
        var objectOffer = element('offer');
        var strProposed = Bridge.call('jsLanguage', 'getStrLanguage', [], 'en');
        var objectLanguage = Catalogue.language(strProposed);
        var boolShow = !boolOfferDeclined && objectLanguage !== null && strProposed !== Catalogue.current() &&
            Catalogue.current() === 'en' && Accounts.all().length === 0;
        objectOffer.hidden = !boolShow;
        if (!boolShow) {
            return;
        }
        Catalogue.set(element('offer-text'), 'offer_language_text', {language: objectLanguage.strName});
        Catalogue.set(element('offer-accept'), 'offer_language_accept', {language: objectLanguage.strName});
        objectOffer.setAttribute('data-language', strProposed);
    }

    function init() {
        build();
        element('settings-back').addEventListener('click', Navigation.back);
        element('offer-accept').addEventListener('click', function() {
            boolOfferDeclined = true;
            element('offer').hidden = true;
            if (!choose(element('offer').getAttribute('data-language'))) {
                Notice.show('language_failed', {folder: Accounts.folder()});
            }
            element('filter').focus();
        });
        element('offer-decline').addEventListener('click', function() {
            boolOfferDeclined = true;
            element('offer').hidden = true;
            element('filter').focus();
        });
        Accounts.onChange(offer);
        Navigation.register('settings', {
            show: function() {
                element('language-failed').hidden = true;
                markCurrent();
                renderAbout();
            },
            focus: function() {
                var objectChecked = element('language-list').querySelector('input:checked');
                (objectChecked || element('language-list').querySelector('input')).focus();
            }
        });
    }

    function retext() {
        markCurrent();
        renderAbout();
        offer();
    }

    return {
        init: init,
        retext: retext,
        offer: offer,
        choose: choose
    };
}());

// Told by the program that the interface language changed.
var PreferenceLanguage = Bridge.listener(function() {
    App.retext();
});
