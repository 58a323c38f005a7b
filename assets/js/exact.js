// A stored text shown so that every character in it can be seen: characters that draw nothing (zero-width
// characters, joiners, direction marks, variation selectors, controls, spaces other than the plain one) are
// replaced by a mark with their code point, and characters that the fonts may lack (emoji and other symbols,
// private use) keep a mark with their code point beside them, so a box or a blank still says what it is.
var Exact = (function() {
    'use strict';

    var regexpInvisible = new RegExp('^[\\u0000-\\u001f\\u007f-\\u00a0\\u00ad\\u034f\\u061c\\u115f\\u1160' +
        '\\u1680\\u17b4\\u17b5\\u180b-\\u180f\\u2000-\\u200f\\u2028-\\u202f\\u205f-\\u206f\\u3000\\u3164' +
        '\\ufe00-\\ufe0f\\ufeff\\uffa0\\ufff0-\\ufffb]$');

    function code(intPoint) {
        var strHex = intPoint.toString(16).toUpperCase();
        return 'U+' + '0000'.slice(Math.min(strHex.length, 4)) + strHex;
    }

    // Variation selectors and tags beyond the first plane draw nothing either.
    function invisible(strChar, intPoint) {
        return regexpInvisible.test(strChar) || (intPoint >= 0xe0000 && intPoint <= 0xe0fff);
    }

    function uncertain(intPoint) {
        return intPoint >= 0x10000 || (intPoint >= 0x2600 && intPoint <= 0x27bf) ||
            (intPoint >= 0x2b00 && intPoint <= 0x2bff) || (intPoint >= 0xd800 && intPoint <= 0xf8ff);
    }

    function mark(objectParent, intPoint, strClass) {
        var objectMark = document.createElement('span');
        objectMark.className = strClass;
        objectMark.setAttribute('dir', 'ltr');
        objectMark.textContent = code(intPoint);
        objectParent.appendChild(objectMark);
    }

    // Appends the text to a parent node, plain runs as text nodes, each special character marked.
    function append(objectParent, strText) {
        var strRun = '';
        function flush() {
            if (strRun !== '') {
                Dom.appendText(objectParent, strRun);
                strRun = '';
            }
        }
        // By code point: a lone surrogate is a character of its own.
        for (var i = 0; i < strText.length; i += 1) {
            var intPoint = strText.codePointAt(i);
            var strChar = String.fromCodePoint(intPoint);
            if (intPoint > 0xffff) {
                i += 1;
            }
            if (invisible(strChar, intPoint)) {
                flush();
                mark(objectParent, intPoint, 'exact-mark');
            } else if (uncertain(intPoint)) {
                flush();
                var objectChar = document.createElement('span');
                objectChar.className = 'exact-char';
                // A lone surrogate cannot stand in a text node; the replacement character stands for it.
                objectChar.textContent = intPoint >= 0xd800 && intPoint <= 0xdfff ? '\ufffd' : strChar;
                objectParent.appendChild(objectChar);
                mark(objectParent, intPoint, 'exact-code');
            } else {
                strRun += strChar;
            }
        }
        flush();
    }

    return {
        append: append,
        code: code
    };
}());
