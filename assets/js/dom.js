// The document's elements, and text put into them as text nodes only: stored text can hold markup, and markup
// from it must never run.
var Dom = (function() {
    'use strict';

    function element(strId) {
        return document.getElementById(strId);
    }

    // The web engine measures a text node that holds right-to-left letters together with any other kind of
    // character (digits, Latin letters, even a comma or a full stop) as if the letters had no width, and then
    // places and clips the text wrongly. Runs of right-to-left letters (with their marks) in nodes of their own,
    // apart from everything else, are measured right and still read as one text.
    var strLetters = '\u0591-\u05f4\u0608\u060b\u060d\u0610-\u065f\u066d-\u06d5\u06d6-\u06dc\u06df-\u06e8' +
        '\u06ea-\u06ef\u06fa-\u06ff\u0750-\u077f\u08a0-\u08ff\ufb1d-\ufdff\ufe70-\ufefe';
    var regexpRuns = new RegExp('[' + strLetters + ']+|[^' + strLetters + ']+', 'g');
    var regexpRtl = new RegExp('[' + strLetters + ']');

    // Text nodes for a text, split where needed; appended to a parent node.
    function appendText(objectParent, strText) {
        if (!regexpRtl.test(strText)) {
            objectParent.appendChild(document.createTextNode(strText));
            return;
        }
        strText.match(regexpRuns).forEach(function(strRun) {
            objectParent.appendChild(document.createTextNode(strRun));
        });
    }

    // Replaces what an element holds with a text.
    function text(objectElement, strText) {
        objectElement.textContent = '';
        appendText(objectElement, strText);
    }

    return {
        element: element,
        text: text,
        appendText: appendText
    };
}());
