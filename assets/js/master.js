// The master password field. Its text lives in this one input and nowhere else: it is read when a password
// is derived, never kept in a variable, an attribute, the title or a log, and it is wiped after a while
// in which the account screen is not used.
var Master = (function() {
    'use strict';

    var strSvg = 'http://www.w3.org/2000/svg';
    var intIdleTimer = 0;
    var intFingerprintTimer = 0;
    var objectInput = Listeners.create();

    // Drawn shapes rather than font symbols, so every system shows the same fingerprint.
    var mapShapes = {
        circle: ['circle', {cx: 10, cy: 10, r: 8}],
        square: ['rect', {x: 2.5, y: 2.5, width: 15, height: 15, rx: 1.5}],
        triangle: ['path', {d: 'M10 1.8 L18.8 17.5 L1.2 17.5 Z'}],
        diamond: ['path', {d: 'M10 1 L19 10 L10 19 L1 10 Z'}],
        star: ['path', {d: 'M10 1.2 L12.7 7.1 L19 7.6 L14.2 11.8 L15.7 18.2 L10 14.8 L4.3 18.2 L5.8 11.8 L1 7.6 L7.3 7.1 Z'}],
        heart: ['path', {d: 'M10 18 C4 13.6 1.2 10.6 1.2 6.9 C1.2 4.1 3.4 2 6 2 C7.7 2 9.1 2.9 10 4.3 C10.9 2.9 12.3 2 14 2 C16.6 2 18.8 4.1 18.8 6.9 C18.8 10.6 16 13.6 10 18 Z'}],
        hexagon: ['path', {d: 'M5.5 2.2 L14.5 2.2 L19 10 L14.5 17.8 L5.5 17.8 L1 10 Z'}],
        cross: ['path', {d: 'M7 1.5 H13 V7 H18.5 V13 H13 V18.5 H7 V13 H1.5 V7 H7 Z'}]
    };
    var mapColours = {
        red: '#d32f2f', orange: '#e65100', yellow: '#c49000', green: '#2e7d32',
        turquoise: '#00838f', blue: '#1565c0', purple: '#6a1b9a', pink: '#c2185b'
    };

    function field() {
        return Dom.element('master');
    }

    function value() {
        return field().value;
    }

    function symbol(objectSymbol) {
        var objectSvg = document.createElementNS(strSvg, 'svg');
        objectSvg.setAttribute('viewBox', '0 0 20 20');
        objectSvg.setAttribute('width', '20');
        objectSvg.setAttribute('height', '20');
        objectSvg.setAttribute('class', 'fingerprint-symbol');
        objectSvg.setAttribute('data-shape', objectSymbol.strShape);
        objectSvg.setAttribute('data-colour', objectSymbol.strColour);
        var arrayShape = mapShapes[objectSymbol.strShape];
        var objectShape = document.createElementNS(strSvg, arrayShape[0]);
        Object.keys(arrayShape[1]).forEach(function(strKey) {
            objectShape.setAttribute(strKey, String(arrayShape[1][strKey]));
        });
        objectShape.setAttribute('fill', mapColours[objectSymbol.strColour]);
        objectSvg.appendChild(objectShape);
        return objectSvg;
    }

    function clearFingerprint() {
        window.clearTimeout(intFingerprintTimer);
        intFingerprintTimer = 0;
        var objectPrint = Dom.element('fingerprint');
        objectPrint.textContent = '';
        objectPrint.removeAttribute('aria-label');
        objectPrint.classList.remove('fingerprint-shown');
        Dom.element('fingerprint-said').textContent = '';
    }

    function showFingerprint() {
        clearFingerprint();
        var arraySymbols = Derivation.fingerprint(value());
        if (arraySymbols.length === 0) {
            return;
        }
        var objectPrint = Dom.element('fingerprint');
        arraySymbols.forEach(function(objectSymbol) {
            objectPrint.appendChild(symbol(objectSymbol));
        });
        var arrayNames = arraySymbols.map(function(objectSymbol) {
            return Catalogue.get('fingerprint_symbol', {
                colour: Catalogue.get('colour_' + objectSymbol.strColour),
                shape: Catalogue.get('shape_' + objectSymbol.strShape)
            });
        });
        var strName = Catalogue.get('fingerprint_label') + ': ' + arrayNames.join(', ');
        objectPrint.setAttribute('aria-label', strName);
        objectPrint.classList.add('fingerprint-shown');
        // Said once each time it appears after a pause in typing, and not while the keys come.
        Dom.text(Dom.element('fingerprint-said'), strName);
    }

    function setShown(boolShown) {
        Secrets.show(field(), Dom.element('master-toggle'), boolShown);
    }

    function wipe() {
        window.clearTimeout(intIdleTimer);
        intIdleTimer = 0;
        field().value = '';
        setShown(false);
        clearFingerprint();
        objectInput.call();
    }

    function idle() {
        var boolHad = value() !== '';
        wipe();
        if (boolHad) {
            Notice.show('master_wiped');
        }
    }

    // Any use of the account screen starts the idle time again, not typing alone.
    function touch() {
        window.clearTimeout(intIdleTimer);
        intIdleTimer = value() === '' ? 0 : window.setTimeout(idle, Timing.intMasterIdleMs);
    }

    function input() {
        touch();
        // The old fingerprint goes at once; the new one waits for a pause in typing.
        clearFingerprint();
        if (value() !== '') {
            intFingerprintTimer = window.setTimeout(showFingerprint, Timing.intFingerprintMs);
        }
        objectInput.call();
    }

    function retext() {
        setShown(Secrets.shown(field()));
        if (Dom.element('fingerprint').classList.contains('fingerprint-shown')) {
            showFingerprint();
        }
    }

    function init() {
        field().addEventListener('input', input);
        Dom.element('master-toggle').addEventListener('click', function() {
            setShown(!Secrets.shown(field()));
        });
        setShown(false);
        Catalogue.onRetext(retext);
    }

    return {
        init: init,
        value: value,
        onInput: objectInput.add,
        wipe: wipe,
        field: field,
        touch: touch,
        conceal: function() {
            setShown(false);
        },
        reveal: function() {
            setShown(true);
        }
    };
}());
