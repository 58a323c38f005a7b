#pragma once

class QIcon;
class QMimeData;
class QString;
class QUrl;

// The small layer between the program and the desktop it runs on.
class MainPlatform {
public:
    // The application's identity: organisation, name and version, the same for every program that works on res/.
    static void setIdentity();

    // The window icon, drawn for exactly intSize x intSize pixels; a null icon when no image of that size
    // is embedded.
    static QIcon loadIcon(int intSize);

    // Keeps the data in res/ its owner's alone: every file and folder this process creates from now on is
    // made without access for group and others, and res/ and the data files already in it lose such access
    // (their content stays as it is). Called at start by every program that reads or writes res/, once its
    // application object exists and before anything touches res/.
    static void protectData();

    // Opens a link with the desktop's handler. Whatever that starts, a browser say, is the user's and gets the
    // file mode mask this process was started with, not the one protectData set.
    static bool openUrl(const QUrl &objectUrl);

    // Puts the text on the clipboard as plain text, as QClipboard::setText offers it, marked by markSecret.
    static void copySecret(const QString &strText);

    // Empties the clipboard when it still holds what copySecret put there, whoever asked for it; anything another
    // program put there since is left alone.
    static void clearSecret();

    // Marks data put on the clipboard as a secret, which clipboard-history tools leave out of their history.
    static void markSecret(QMimeData *objectData);
};
