// Everything the page asks of the password derivation: the self-test that must pass before any password is
// shown, the derivation itself, the strength label and the master password's fingerprint.
var Derivation = (function() {
    'use strict';

    // Reference results, each computed independently of this program.
    var arrayVectors = [
        ['master', 'example.com', 'me@example.com', 15, '', 'S50X3jGa0BtqkPX'],
        ['master', 'example.com', 'me@example.com', 15, '!?@#', 'S@0X?jG!0Btq?PX'],
        ['', '', '', -1, '', '2jmj7l5rSw0yVbvlWAYkKYBwk='],
        ['', '', '', 0, '!', ''],
        ['p\u00e4ssw\u00f6rd', '\u4f8b\u5b50.\u4e2d\u56fd', '\u00fc@x.de', 20, '#', 'UaLKczrsKQyswiaA#6k#'],
        ['a', 'b', 'c', 28, '@', 'qZkNkcGgWq6PiVx@FDCbJzQ2J0='],
        ['a', 'b', 'c', 100, '!', 'qZkNkcGgWq6P!VxeFDCbJzQ2J0='],
        ['abc', 'def', '', 10, 'xyz!', 'H4rBDyPFtb']
    ];

    // A fixed text beside the master password keeps the fingerprint apart from every account's password.
    var strFingerprintSalt = 'Tessaloquin fingerprint';
    var arrayShapes = ['circle', 'square', 'triangle', 'diamond', 'star', 'heart', 'hexagon', 'cross'];
    var arrayColours = ['red', 'orange', 'yellow', 'green', 'turquoise', 'blue', 'purple', 'pink'];
    var strAlphabet = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/';

    // null until the self-test has run, then true or false for the rest of this page's life.
    var boolPassed = null;

    function raw(strMaster, strWebsite, strMail, intLength, strSpecial) {
        var objectPassword = Bridge.get('jsPassword');
        if (objectPassword === null) {
            return null;
        }
        var valueResult = objectPassword.update(strMaster, strWebsite, strMail, intLength, strSpecial);
        return typeof valueResult === 'string' ? valueResult : null;
    }

    function selfTest() {
        try {
            boolPassed = arrayVectors.every(function(arrayVector) {
                return raw(arrayVector[0], arrayVector[1], arrayVector[2], arrayVector[3], arrayVector[4]) === arrayVector[5];
            });
        } catch (objectError) {
            boolPassed = false;
        }
        return boolPassed;
    }

    function passed() {
        if (boolPassed === null) {
            selfTest();
        }
        return boolPassed;
    }

    // The password of an account, or null when none may be shown (empty master, failed self-test).
    function derive(strMaster, objectAccount) {
        if (strMaster === '' || objectAccount === null || !passed()) {
            return null;
        }
        return raw(strMaster, objectAccount.strWebsite, objectAccount.strMail, objectAccount.intLength,
            objectAccount.strSpecial);
    }

    // A rough label from the length and the kinds of characters present.
    function strength(strPassword) {
        var intPool = 0;
        intPool += /[a-z]/.test(strPassword) ? 26 : 0;
        intPool += /[A-Z]/.test(strPassword) ? 26 : 0;
        intPool += /[0-9]/.test(strPassword) ? 10 : 0;
        intPool += /[^a-zA-Z0-9]/.test(strPassword) ? 4 : 0;
        var dblBits = intPool > 1 ? strPassword.length * Math.log(intPool) / Math.LN2 : 0;
        if (dblBits < 40) {
            return 'strength_weak';
        }
        if (dblBits < 60) {
            return 'strength_fair';
        }
        if (dblBits < 80) {
            return 'strength_strong';
        }
        return 'strength_very_strong';
    }

    // Three coloured symbols for a master password; empty for an empty one or when derivation is untrusted.
    function fingerprint(strMaster) {
        if (strMaster === '' || !passed()) {
            return [];
        }
        var strDigest = raw(strMaster, strFingerprintSalt, '', -1, '');
        if (strDigest === null || strDigest.length < 6) {
            return [];
        }
        var arraySymbols = [];
        for (var i = 0; i < 3; i += 1) {
            var intShape = strAlphabet.indexOf(strDigest.charAt(2 * i));
            var intColour = strAlphabet.indexOf(strDigest.charAt(2 * i + 1));
            arraySymbols.push({
                strShape: arrayShapes[Math.max(intShape, 0) % arrayShapes.length],
                strColour: arrayColours[Math.max(intColour, 0) % arrayColours.length]
            });
        }
        return arraySymbols;
    }

    return {
        selfTest: selfTest,
        passed: passed,
        derive: derive,
        strength: strength,
        fingerprint: fingerprint
    };
}());
