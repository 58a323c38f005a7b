// Short notices ("Account saved.") shown for a few seconds at the foot of the window.
var Notice = (function() {
    'use strict';

    var intTimer = 0;

    function hide() {
        window.clearTimeout(intTimer);
        intTimer = 0;
        Dom.element('notice').hidden = true;
        Dom.element('notice').textContent = '';
    }

    function show(strName, objectValues) {
        window.clearTimeout(intTimer);
        Catalogue.set(Dom.element('notice'), strName, objectValues);
        Dom.element('notice').hidden = false;
        intTimer = window.setTimeout(hide, Timing.intNoticeMs);
    }

    return {
        show: show,
        hide: hide
    };
}());
