// What makes an account sound: the same rules for the form and for an import, so that an import can hold
// nothing the form would refuse.
var Rules = (function() {
    'use strict';

    var intLengthMin = 4;
    // One derivation yields at most 27 characters.
    var intLengthMax = 27;
    var arrayMarkers = ['!', '?', '@', '#'];
    // Exactly what String.prototype.trim removes, spelled out so that no engine's idea of a space can differ.
    var regexpBlank = /^[\t\n\v\f\r \u00a0\u1680\u2000-\u200a\u2028\u2029\u202f\u205f\u3000\ufeff]*$/;
    var regexpMarkers = /^[!?@#]*$/;
    // Half of a surrogate pair: no character at all. The store could keep only a replacement character in its
    // place, and the password would be derived from another text than the one given.
    var regexpBroken = /[\ud800-\udbff](?![\udc00-\udfff])|(^|[^\ud800-\udbff])[\udc00-\udfff]/;

    return {
        intLengthMin: intLengthMin,
        intLengthMax: intLengthMax,
        intLengthNew: 15,
        arrayMarkers: arrayMarkers,
        // A website made of spaces alone names nothing.
        blank: function(strText) {
            return regexpBlank.test(strText);
        },
        length: function(valueLength) {
            return typeof valueLength === 'number' && Number.isInteger(valueLength) && valueLength >= intLengthMin &&
                valueLength <= intLengthMax;
        },
        // Only the four markers: any other character does nothing in a derivation, so it is refused, not kept.
        special: function(strSpecial) {
            return regexpMarkers.test(strSpecial);
        },
        broken: function(strText) {
            return regexpBroken.test(strText);
        }
    };
}());
