// The account record as the program keeps it: an identifier the store gives, and six fields the user gives.
var Record = (function() {
    'use strict';

    var arrayFields = ['strWebsite', 'strMail', 'strUser', 'strNote', 'intLength', 'strSpecial'];

    function text(valueField) {
        return typeof valueField === 'string' ? valueField : (valueField === undefined || valueField === null ? '' : String(valueField));
    }

    // A stored number as a whole number; 0 for anything that is none.
    function integer(valueField) {
        var intValue = Number(valueField);
        return isFinite(intValue) ? Math.trunc(intValue) : 0;
    }

    // A record from stored data, each field of its kind: a field the store left empty (NULL) is empty text.
    function read(objectRow) {
        return {
            intIdent: integer(objectRow.intIdent),
            strWebsite: text(objectRow.strWebsite),
            strMail: text(objectRow.strMail),
            strUser: text(objectRow.strUser),
            strNote: text(objectRow.strNote),
            intLength: integer(objectRow.intLength),
            strSpecial: text(objectRow.strSpecial)
        };
    }

    // The six fields alone, in their order: what an export holds.
    function fields(objectAccount) {
        var objectFields = {};
        arrayFields.forEach(function(strField) {
            objectFields[strField] = objectAccount[strField];
        });
        return objectFields;
    }

    // A new account with the fields of another; the store numbers it.
    function copy(objectAccount) {
        var objectNew = fields(objectAccount);
        objectNew.intIdent = 0;
        return objectNew;
    }

    // The six fields as texts: the parameters of a query, and what tells two records apart.
    function texts(objectAccount) {
        return arrayFields.map(function(strField) {
            return String(objectAccount[strField]);
        });
    }

    // Writes a record into the fields of a native object, one setter each, the identifier first.
    function write(strBridge, objectAccount) {
        Bridge.call(strBridge, 'setIntIdent', [objectAccount.intIdent || 0]);
        arrayFields.forEach(function(strField) {
            // strWebsite goes through setStrWebsite, and so on.
            var strSetter = 'set' + strField.charAt(0).toUpperCase() + strField.slice(1);
            Bridge.call(strBridge, strSetter, [objectAccount[strField]]);
        });
    }

    return {
        integer: integer,
        read: read,
        fields: fields,
        copy: copy,
        texts: texts,
        write: write
    };
}());
