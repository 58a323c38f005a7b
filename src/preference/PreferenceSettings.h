#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

// The INI files in res/ are read and written through QSettings, which decodes a value of the form
// "@Variant(...)" or "@DateTime(...)" as serialised binary data. A damaged or foreign file can declare a list
// of billions of entries there, and Qt's attempt to reserve room for them aborts the whole program. This
// program and its older versions write only numbers and texts (a text that begins with "@" is written with
// "@@"), so such a value was never written by any of them: it is removed from the file before QSettings
// reads it. Everything else in the file stays as it is.
class PreferenceSettings {
public:
    // True when the file can be handed to QSettings: missing, unreadable, free of such values, or rewritten
    // without them. False when such a value is still in it because the file could not be rewritten.
    static bool prepare(const QString &strPath);

    // The file's text without the lines that hold such values; the number of lines removed in intRemoved.
    static QByteArray withoutSerialisedValues(const QByteArray &byteContent, int *intRemoved);

    // Sets one key, or removes it when variantValue is invalid, and writes the file at once. False when the file
    // could not be written; the process then goes on reading what the file holds.
    static bool write(const QString &strPath, const QString &strKey, const QVariant &variantValue);
};
