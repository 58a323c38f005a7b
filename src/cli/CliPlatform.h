#pragma once

class QByteArray;
class QString;

// What the terminal companion needs of the system beyond Qt: terminals, input without echo and signals. This
// is the POSIX form; on Windows the same would be _isatty, ReadConsoleW with ENABLE_ECHO_INPUT switched off
// through SetConsoleMode, and SetConsoleCtrlHandler for Ctrl+C and a closed console.
class CliPlatform {
public:
    static bool isTerminal(int intDescriptor);

    // Whether Caps Lock is on, where the terminal can tell: the Linux console can. A terminal emulator or an SSH
    // session passes on only the characters typed, and nothing can be asked of the keyboard behind it, so
    // there the answer is false rather than a guess.
    static bool capsLock(int intDescriptor);

    // One line of standard input without its line end, read byte by byte so that nothing after it is taken.
    // With boolHidden the terminal does not echo it, and its settings come back even when the process is ended
    // by a signal meanwhile. False when the input ends before a line was begun, fails or exceeds intLimit bytes.
    static bool readLine(bool boolHidden, int intLimit, QByteArray *byteLine);

    // From now on Ctrl+C, SIGTERM and a closed terminal (SIGHUP) only write the signal's number into a pipe,
    // whose reading end is returned (-1 when none could be made).
    static int watchSignals();
    // The number of a signal waiting in that pipe, or 0.
    static int takeSignal(int intDescriptor);
    // Ends the process by the signal as if it had never been caught, so that a shell sees it was interrupted.
    static void endBySignal(int intSignal);

    // Bytes as text, false when they are not valid UTF-8 (strText then holds the text with U+FFFD in place of
    // each fault). Text in another encoding would give another password without a word, so it is refused.
    static bool decodeUtf8(const QByteArray &byteText, QString *strText);

    // Whether standard error is a terminal that shows colours, and whether it takes 24-bit colours.
    static bool colourTerminal(bool *boolTrueColour);
};
