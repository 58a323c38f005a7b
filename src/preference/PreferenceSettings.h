#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

class QVariant;

// The INI files in res/, read and written through QSettings, each opened for one access and closed again.
//
// QSettings decodes a value of the form "@Variant(...)" or "@DateTime(...)" as serialised binary data. A damaged
// or foreign file can declare a list of billions of entries there, and Qt's attempt to reserve room for them
// aborts the whole program. This program and its older versions write only numbers and texts (a text that begins
// with "@" is written with "@@"), so such a value was never written by any of them: it is removed from the file
// before QSettings reads it, found as Qt 5.15's INI reader finds it. Everything else in the file stays as it is.
namespace PreferenceSettings {

// The file res/<strName> beside the executable.
QString path(const QString &strName);

// True when the file can be handed to QSettings: missing, unreadable, free of such values, or rewritten without
// them. False when such a value is still in it because the file could not be rewritten.
bool prepare(const QString &strPath);

// The files from which prepare has removed such values since the process started, each named once, in the order
// it found them: the page tells the user of them.
const QStringList &removed();

// The file's text without the lines that hold such values; the number of lines removed in intRemoved.
QByteArray withoutSerialisedValues(const QByteArray &byteContent, int *intRemoved);

// An INI text with every character beyond ASCII escaped as Qt 5's QSettings escapes it; ASCII text unchanged.
// A unit that is a key of qhashStandIn is written as the unit it stands for.
QByteArray escapedAsQt5(const QByteArray &byteContent, const QHash<ushort, ushort> &qhashStandIn = {});

// The value of one key; variantDefault when the file does not hold it or cannot be made safe to read.
QVariant read(const QString &strPath, const QString &strKey, const QVariant &variantDefault);

// Sets one key, or removes it when variantValue is invalid, and writes the file at once. False when the file
// could not be written; the process then goes on reading what the file holds.
bool write(const QString &strPath, const QString &strKey, const QVariant &variantValue);

// Writes one key as write does, then tells the registry of the file's domain, whether or not the file could be
// written: the page learns of a failure by reading again.
template <typename Observer> void change(const QString &strPath, const QString &strKey, const QVariant &variantValue) {
    write(strPath, strKey, variantValue);
    Observer::obtain()->update();
}

} // namespace PreferenceSettings
