// The clipboard. A copied password is taken off the clipboard again after a countdown, but only if the
// clipboard still holds it: whatever the user copied since is left alone.
var Copying = (function() {
    'use strict';

    var strSecret = null;
    var dblStart = 0;
    var dblEnd = 0;
    var intTimer = 0;

    function get() {
        return Bridge.call('jsGeneral', 'getClipboard', [], null);
    }

    function set(strText) {
        Bridge.call('jsGeneral', 'setClipboard', [strText]);
    }

    function stop() {
        window.clearInterval(intTimer);
        intTimer = 0;
        strSecret = null;
        Dom.element('countdown').hidden = true;
        Dom.element('countdown-said').textContent = '';
    }

    function finish() {
        var strHeld = strSecret;
        stop();
        if (strHeld !== null && get() === strHeld) {
            set('');
            Notice.show('clipboard_cleared');
        } else {
            Notice.show('clipboard_kept');
        }
    }

    function tick() {
        var dblLeft = dblEnd - Date.now();
        if (dblLeft <= 0) {
            finish();
            return;
        }
        // The text changes once a second, or with the language; the bar moves at every tick.
        var strText = Catalogue.get('clipboard_countdown', {seconds: Math.ceil(dblLeft / 1000)});
        if (Dom.element('countdown-text').textContent !== strText) {
            Dom.text(Dom.element('countdown-text'), strText);
        }
        var dblShare = dblEnd > dblStart ? dblLeft / (dblEnd - dblStart) : 0;
        Dom.element('countdown-bar').style.width = (dblShare * 100).toFixed(1) + '%';
    }

    function copySecret(strPassword) {
        stop();
        set(strPassword);
        Notice.hide();
        strSecret = strPassword;
        dblStart = Date.now();
        dblEnd = dblStart + Timing.intClipboardSeconds * 1000;
        Dom.element('countdown').hidden = false;
        // Said once; the ticking text is hidden from assistive technology.
        Catalogue.set(Dom.element('countdown-said'), 'clipboard_countdown',
            {seconds: Timing.intClipboardSeconds});
        tick();
        if (strSecret !== null) {
            intTimer = window.setInterval(tick, 200);
        }
    }

    // A mail or user name: no countdown; it also replaces a password that was waiting to be cleared.
    function copyPlain(strText) {
        stop();
        set(strText);
        Notice.show('clipboard_copied');
    }

    // Copying other text (the export) ends a countdown as well, without its own notice.
    function copyQuiet(strText) {
        stop();
        set(strText);
    }

    function active() {
        return strSecret !== null;
    }

    // The program is ending (the program calls this) or the page goes: a password still waiting for its
    // countdown is taken off the clipboard now, unless the user has copied something else since.
    function updateQuit() {
        if (strSecret !== null && get() === strSecret) {
            set('');
        }
        stop();
    }

    window.addEventListener('unload', updateQuit);

    return {
        get: get,
        copySecret: copySecret,
        copyPlain: copyPlain,
        copyQuiet: copyQuiet,
        active: active,
        stop: stop,
        updateQuit: updateQuit
    };
}());
