// The language choice, the offer of the system's language at the first start, and what the program is.
var SettingsScreen = (function() {
    'use strict';

    var intSettleTimer = 0;
    var boolArrow = false;

    // False when the choice could not be written: the program then reads the language it had before.
    function choose(strCode) {
        window.clearTimeout(intSettleTimer);
        if (strCode === Catalogue.current()) {
            return true;
        }
        Bridge.call('jsPreferenceLanguage', 'setStrName', [strCode]);
        var boolSaved = Catalogue.current() === strCode;
        Dom.element('language-failed').hidden = boolSaved;
        if (!boolSaved) {
            Catalogue.set(Dom.element('language-failed'), 'language_failed', {folder: Accounts.folder()});
        }
        Catalogue.retext();
        // Said in the language just chosen, which is the first thing the user hears of it.
        if (boolSaved && Catalogue.language(strCode) !== null) {
            Notice.show('language_changed', {language: Catalogue.language(strCode).strName});
        }
        return boolSaved;
    }

    function chooseMarked() {
        var objectChecked = Dom.element('language-list').querySelector('input:checked');
        if (objectChecked) {
            choose(objectChecked.value);
        }
    }

    function build() {
        var objectList = Dom.element('language-list');
        Catalogue.languages.forEach(function(objectLanguage) {
            var objectLabel = document.createElement('label');
            objectLabel.className = 'language';
            var objectRadio = document.createElement('input');
            objectRadio.type = 'radio';
            objectRadio.name = 'language';
            objectRadio.value = objectLanguage.strCode;
            objectRadio.id = 'language-' + objectLanguage.strCode;
            // A click applies at once; the arrow keys only move the mark, which applies once it has rested a
            // moment (or at Enter or Space), so that passing through a language does not switch to it.
            objectRadio.addEventListener('change', function() {
                window.clearTimeout(intSettleTimer);
                if (!objectRadio.checked) {
                    return;
                }
                if (boolArrow) {
                    intSettleTimer = window.setTimeout(chooseMarked, Timing.intLanguageSettleMs);
                } else {
                    choose(objectLanguage.strCode);
                }
            });
            var objectName = document.createElement('span');
            objectName.setAttribute('lang', objectLanguage.strCode);
            objectName.setAttribute('dir', 'auto');
            Dom.text(objectName, objectLanguage.strName);
            objectLabel.appendChild(objectRadio);
            objectLabel.appendChild(objectName);
            objectList.appendChild(objectLabel);
        });
    }

    function markCurrent() {
        var strCurrent = Catalogue.current();
        Catalogue.languages.forEach(function(objectLanguage) {
            Dom.element('language-' + objectLanguage.strCode).checked = objectLanguage.strCode === strCurrent;
        });
    }

    function renderAbout() {
        Dom.element('about-name').textContent = Bridge.call('jsGeneral', 'getName', [], '');
        Catalogue.set(Dom.element('about-version'), 'about_version',
            {version: Bridge.call('jsGeneral', 'getVersion', [], '')});
    }

    // Whether a language was ever chosen: the preference file names one. Its reader answers "en" for a file
    // without a name as well, so the page reads the file beside it as text to tell the two apart.
    function chosen() {
        var objectRequest = new XMLHttpRequest();
        try {
            objectRequest.open('GET', '../res/PreferenceLanguage.ini', false);
            objectRequest.send();
        } catch (objectError) {
            return false;
        }
        var strSection = 'General';
        return objectRequest.responseText.split(/\r?\n/).some(function(strLine) {
            var arraySection = /^\s*\[(.*)\]\s*$/.exec(strLine);
            if (arraySection) {
                strSection = arraySection[1];
                return false;
            }
            return strSection === 'General' && /^\s*strName\s*=/.test(strLine);
        });
    }

    function retextOffer() {
        var objectLanguage = Catalogue.language(Dom.element('offer').getAttribute('data-language'));
        if (objectLanguage !== null) {
            Catalogue.set(Dom.element('offer-text'), 'offer_language_text', {language: objectLanguage.strName});
            Catalogue.set(Dom.element('offer-accept'), 'offer_language_accept', {language: objectLanguage.strName});
        }
    }

    // At the first start (no account, no language chosen yet) the system's own language is offered, if it is
    // not the one in use. Declining keeps English as a choice of its own, so the offer does not return.
    function offer() {
        var strProposed = Bridge.call('jsLanguage', 'getStrLanguage', [], 'en');
        var boolShow = Catalogue.language(strProposed) !== null && Catalogue.current() === 'en' &&
            strProposed !== 'en' && Accounts.all().length === 0 && !chosen();
        Dom.element('offer').hidden = !boolShow;
        Dom.element('offer').setAttribute('data-language', boolShow ? strProposed : '');
        retextOffer();
    }

    function closeOffer(strCode) {
        Dom.element('offer').hidden = true;
        Dom.element('offer').setAttribute('data-language', '');
        if (strCode === Catalogue.current()) {
            Bridge.call('jsPreferenceLanguage', 'setStrName', [strCode]);
        } else if (!choose(strCode)) {
            Notice.show('language_failed', {folder: Accounts.folder()});
        }
        Dom.element('filter').focus();
    }

    function retext() {
        markCurrent();
        renderAbout();
        retextOffer();
    }

    function init() {
        build();
        Dom.element('settings-back').addEventListener('click', Navigation.back);
        Dom.element('offer-accept').addEventListener('click', function() {
            closeOffer(Dom.element('offer').getAttribute('data-language'));
        });
        Dom.element('offer-decline').addEventListener('click', function() {
            closeOffer(Catalogue.current());
        });
        // Once there are accounts this is no first start any more, and the offer does not come back.
        Accounts.onChange(function() {
            if (Accounts.all().length > 0) {
                Dom.element('offer').hidden = true;
            }
        });
        Dom.element('language-list').addEventListener('keydown', function(objectEvent) {
            var strKey = Keys.name(objectEvent);
            boolArrow = /^Arrow/.test(strKey);
            if (strKey === 'Enter' || strKey === ' ') {
                objectEvent.preventDefault();
                chooseMarked();
            }
        });
        Dom.element('language-list').addEventListener('keyup', function() {
            boolArrow = false;
        });
        Navigation.register('settings', {
            show: function() {
                Dom.element('language-failed').hidden = true;
                markCurrent();
                renderAbout();
            },
            focus: function() {
                var objectChecked = Dom.element('language-list').querySelector('input:checked');
                (objectChecked || Dom.element('language-list').querySelector('input')).focus();
            },
            // A mark left by the arrow keys and not yet applied is dropped with the screen.
            leave: function(functionMove) {
                window.clearTimeout(intSettleTimer);
                functionMove();
            }
        });
        Catalogue.onRetext(retext);
    }

    return {
        init: init,
        offer: offer,
        choose: choose
    };
}());
