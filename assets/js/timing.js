// Every delay of the page in one place, read at the moment of use, so a test can shorten them.
var Timing = {
    // The clipboard is cleared this long after a password was copied, if it still holds that password.
    intClipboardSeconds: 20,
    // The master password is wiped after this long without input.
    intMasterIdleMs: 5 * 60 * 1000,
    // The fingerprint appears only once typing has paused this long, so it never follows letter by letter.
    intFingerprintMs: 500,
    // The strength estimator loads once the account screen has been left alone this long (or at a key in the
    // master field), so that it never delays the first screen nor a click.
    intEstimatorIdleMs: 2000,
    // A language marked with the arrow keys applies after resting this long.
    intLanguageSettleMs: 1000,
    // How long a short notice stays.
    intNoticeMs: 4000,
    // How long a delete can be undone from its notice.
    intUndoMs: 10000
};
