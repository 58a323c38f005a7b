// Short notices ("Account saved.") shown for a few seconds at the foot of the window.
var Notice = (function() {
    'use strict';

    var intTimer = 0;

    function element() {
        return document.getElementById('notice');
    }

    function hide() {
        window.clearTimeout(intTimer);
        intTimer = 0;
        element().hidden = true;
        element().textContent = '';
    }

    function show(strName, objectValues) {
        window.clearTimeout(intTimer);
        Catalogue.set(element(), strName, objectValues);
        element().hidden = false;
        intTimer = window.setTimeout(hide, Timing.intNoticeMs);
    }

    return {
        show: show,
        hide: hide
    };
}());
