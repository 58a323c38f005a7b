// One account: its derived password, its details, and exactly what enters the derivation.
var AccountScreen = (function() {
    'use strict';

    function account() {
        return Accounts.byIdent(Selected.ident());
    }

    var intRendered = 0;
    // Whether the password field holds a derived password (the label has something to judge).
    var boolDerived = false;
    var arrayStrengths = ['strength_weak', 'strength_fair', 'strength_strong', 'strength_very_strong'];

    function setRevealed(boolRevealed) {
        Secrets.show(Dom.element('password'), Dom.element('password-toggle'), boolRevealed);
    }

    // Show lasts for one view: arriving here, another account and the window losing the focus hide both secrets
    // again (a wipe hides the master password by itself).
    function conceal() {
        Master.conceal();
        setRevealed(false);
    }

    // A derivation puts a special character only where its text allows one, so a ticked one may be missing: a
    // site that demands it would refuse the password. The line says so, with the nearest lengths that hold every
    // ticked one.
    function showMissing(objectAccount, strPassword) {
        var objectLine = Dom.element('password-special');
        var arrayTicked = Rules.arrayMarkers.filter(function(strMarker) {
            return objectAccount !== null && objectAccount.strSpecial.indexOf(strMarker) !== -1;
        });
        var arrayMissing = arrayTicked.filter(function(strMarker) {
            return strPassword !== null && strPassword.indexOf(strMarker) === -1;
        });
        objectLine.hidden = strPassword === null || strPassword === '' || arrayMissing.length === 0;
        if (objectLine.hidden) {
            objectLine.textContent = '';
            return;
        }
        var arrayLengths = [];
        for (var intLength = Rules.intLengthMin; intLength <= Rules.intLengthMax; intLength += 1) {
            var objectOther = Record.copy(objectAccount);
            objectOther.intLength = intLength;
            var strOther = Derivation.derive(Master.value(), objectOther) || '';
            if (arrayTicked.every(function(strMarker) {
                return strOther.indexOf(strMarker) !== -1;
            })) {
                arrayLengths.push(intLength);
            }
        }
        arrayLengths.sort(function(intA, intB) {
            return Math.abs(intA - objectAccount.intLength) - Math.abs(intB - objectAccount.intLength) || intA - intB;
        });
        var arrayNearest = arrayLengths.slice(0, 3).sort(function(intA, intB) {
            return intA - intB;
        });
        var objectValues = {characters: arrayMissing.join(' '), lengths: arrayNearest.join(', ')};
        Catalogue.set(objectLine, arrayLengths.length > 0 ? 'password_special_missing' : 'password_special_never',
            objectValues);
    }

    // The password field follows the master field and the self-test; nothing is shown without both.
    function refreshPassword() {
        var objectAccount = account();
        var objectMessage = Dom.element('password-message');
        var strPassword = null;
        objectMessage.classList.remove('error');
        if (!Derivation.passed()) {
            Catalogue.set(objectMessage, 'password_blocked');
            objectMessage.classList.add('error');
        } else {
            strPassword = Derivation.derive(Master.value(), objectAccount);
            if (strPassword === null) {
                Catalogue.set(objectMessage, 'password_need_master');
            } else {
                objectMessage.textContent = '';
            }
        }
        Secrets.setValue(Dom.element('password'), strPassword === null ? '' : strPassword);
        Dom.element('password-copy').disabled = strPassword === null || strPassword === '';
        Dom.element('password-toggle').disabled = strPassword === null;
        if (strPassword === null) {
            setRevealed(false);
        }
        boolDerived = strPassword !== null;
        refreshStrength();
        Dom.element('fingerprint').hidden = !Derivation.passed();
        showMissing(objectAccount, strPassword);
    }

    // The special characters of an account as the details show them.
    function markers(objectAccount) {
        var strMarkers = Rules.arrayMarkers.filter(function(strMarker) {
            return objectAccount.strSpecial.indexOf(strMarker) !== -1;
        }).join(' ');
        return strMarkers === '' ? Catalogue.get('account_special_none') : strMarkers;
    }

    // The label judges the password's characters alone; against a thief who knows the derivation it is no
    // stronger than the master behind it, so beside a weak or fair master it shows that level, and says why.
    function refreshStrength() {
        var objectLabel = Dom.element('password-strength');
        if (!boolDerived) {
            objectLabel.textContent = '';
            return;
        }
        var strOwn = Derivation.strength(Dom.element('password').value);
        var strMaster = Strength.level() === 'weak' || Strength.level() === 'fair' ? 'strength_' + Strength.level() :
            null;
        if (strMaster !== null && arrayStrengths.indexOf(strMaster) < arrayStrengths.indexOf(strOwn)) {
            Catalogue.set(objectLabel, 'strength_label_master', {strength: Catalogue.get(strMaster)});
        } else {
            Catalogue.set(objectLabel, 'strength_label', {strength: Catalogue.get(strOwn)});
        }
    }

    function edit() {
        Navigation.show('edit', {objectAccount: account()});
    }

    // The whole card comes into view, its label too, not just the field; typing replaces what it holds.
    function goToMaster() {
        var objectMain = Dom.element('main');
        objectMain.scrollTop = Math.min(objectMain.scrollTop, Dom.element('master-card').offsetTop);
        Master.field().focus();
        Master.field().select();
    }

    function copyPassword() {
        var strPassword = Derivation.derive(Master.value(), account());
        if (strPassword !== null && strPassword !== '') {
            Copying.copySecret(strPassword);
            Master.touch();
        }
    }

    function copyDetail(strField) {
        var objectAccount = account();
        if (objectAccount) {
            Copying.copyPlain(objectAccount[strField]);
        }
    }

    // Shown in a box so surrounding spaces can be seen, every character visible; an empty text says so.
    function exact(objectElement, strText) {
        objectElement.textContent = '';
        if (strText === '') {
            Catalogue.set(objectElement, 'derivation_empty');
        } else {
            Exact.append(objectElement, strText);
        }
        objectElement.classList.toggle('exact-empty', strText === '');
    }

    function addWarning(strName, objectValues) {
        var objectItem = document.createElement('li');
        Catalogue.set(objectItem, strName, objectValues);
        Dom.element('derivation-warnings').appendChild(objectItem);
    }

    function render() {
        var objectAccount = account();
        if (objectAccount === null) {
            return;
        }
        if (objectAccount.intIdent !== intRendered) {
            intRendered = objectAccount.intIdent;
            conceal();
        }
        var strTitle = objectAccount.strWebsite === '' ? Catalogue.get('list_no_website') : objectAccount.strWebsite;
        Dom.text(Dom.element('account-title'), strTitle);
        // The screen is named for its account, so arriving here says which one ("bank.example, me@example.org").
        Dom.element('screen-account').setAttribute('aria-label', objectAccount.strMail === '' ? strTitle :
            Catalogue.get('account_place', {website: strTitle, mail: objectAccount.strMail}));
        Dom.text(Dom.element('account-mail'), objectAccount.strMail);
        Dom.text(Dom.element('account-user'), objectAccount.strUser);
        Dom.text(Dom.element('account-note'), objectAccount.strNote);
        Dom.element('account-length').textContent = String(objectAccount.intLength);
        Dom.text(Dom.element('account-special'), markers(objectAccount));
        // Nothing to copy, no button: a greyed one beside an empty value looked like an empty field.
        Dom.element('account-copy-mail').hidden = objectAccount.strMail === '';
        Dom.element('account-copy-user').hidden = objectAccount.strUser === '';

        exact(Dom.element('derivation-website'), objectAccount.strWebsite);
        exact(Dom.element('derivation-mail'), objectAccount.strMail);
        Dom.element('derivation-warnings').textContent = '';
        if (/^\s|\s$/.test(objectAccount.strWebsite) || /^\s|\s$/.test(objectAccount.strMail)) {
            addWarning('warn_spaces');
        }
        Accounts.lookalikes(objectAccount).slice(0, 3).forEach(function(objectOther) {
            addWarning('warn_similar', {website: objectOther.strWebsite, mail: objectOther.strMail});
        });
        var intDuplicates = Accounts.duplicates(objectAccount).length;
        if (intDuplicates > 0) {
            addWarning('warn_duplicate', {count: intDuplicates});
        }
        // The warnings stand below the fold; the password says that there are some.
        Dom.element('password-warning').hidden = !Dom.element('derivation-warnings').hasChildNodes();
        refreshPassword();
    }

    // The account may have been deleted or replaced from elsewhere; without one this screen has nothing to show.
    function follow() {
        if (account() === null) {
            Navigation.reset('list');
        } else {
            render();
        }
    }

    function init() {
        Dom.element('account-back').addEventListener('click', Navigation.back);
        Dom.element('account-edit').addEventListener('click', edit);
        Dom.element('password-copy').addEventListener('click', copyPassword);
        Dom.element('password-warning-show').addEventListener('click', function() {
            Dom.element('derivation').scrollIntoView(true);
            Dom.element('derivation').focus();
        });
        Dom.element('password-toggle').addEventListener('click', function() {
            setRevealed(!Secrets.shown(Dom.element('password')));
        });
        // A revealed password hides again as soon as the focus leaves it and its buttons.
        Dom.element('password-group').addEventListener('focusout', function(objectEvent) {
            var objectNext = objectEvent.relatedTarget;
            if (!objectNext || !Dom.element('password-group').contains(objectNext)) {
                setRevealed(false);
            }
        });
        Dom.element('account-copy-mail').addEventListener('click', function() {
            copyDetail('strMail');
        });
        Dom.element('account-copy-user').addEventListener('click', function() {
            copyDetail('strUser');
        });
        Master.field().addEventListener('keydown', function(objectEvent) {
            if (Keys.name(objectEvent) === 'Enter') {
                objectEvent.preventDefault();
                copyPassword();
            }
        });
        Master.onInput(refreshPassword);
        Strength.onChange(refreshStrength);
        window.addEventListener('blur', conceal);
        ['keydown', 'mousedown'].forEach(function(strType) {
            document.addEventListener(strType, Navigation.whileShown('account', Master.touch), true);
        });
        Accounts.onChange(Navigation.whileShown('account', follow));
        Selected.onChange(Navigation.whileShown('account', follow));
        Catalogue.onRetext(Navigation.whileShown('account', render));

        Navigation.register('account', {
            show: function() {
                conceal();
                render();
                Strength.soon();
            },
            // Whatever screen comes next, no shown secret stays in the page behind it.
            leave: function(functionMove) {
                conceal();
                functionMove();
            },
            // The master stays for the next account, selected, so that typing it again replaces it.
            focus: function() {
                Master.field().focus();
                Master.field().select();
            },
            control: function(strLetter) {
                if (strLetter === 'm') {
                    goToMaster();
                } else if (strLetter === 'e' && account() !== null) {
                    edit();
                } else {
                    return false;
                }
                return true;
            }
        });
        setRevealed(false);
    }

    return {
        init: init,
        account: account,
        markers: markers
    };
}());
