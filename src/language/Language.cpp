#include "language/Language.h"

#include "preference/PreferenceLanguage.h"

#include <QCoreApplication>
#include <QDomDocument>
#include <QDomElement>
#include <QDomNodeList>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QStringList>
#include <QXmlStreamReader>

Language *Language::objectSingleton = nullptr;

namespace {

// The document model parses and frees nested elements recursively: a file nested some ten thousand levels deep
// exhausts the stack and ends the program. Catalogues are two or three levels deep.
const int intDepthLimit = 256;

// Qt's streaming reader knows every construct, those of a document type declaration included.
bool isNestedTooDeepStreamed(const QString &strContent) {
    QXmlStreamReader objectReader(strContent);
    int intDepth = 0;
    while (!objectReader.atEnd()) {
        const QXmlStreamReader::TokenType enumToken = objectReader.readNext();
        if (enumToken == QXmlStreamReader::StartElement) {
            intDepth += 1;
            if (intDepth > intDepthLimit) {
                return true;
            }
        } else if (enumToken == QXmlStreamReader::EndElement) {
            intDepth -= 1;
        }
    }
    return false;
}

// A quick count of open elements, several times faster than the streaming reader, which would cost as much as
// the parse itself. It reads exactly as a parser does up to the first fault, and the parser stops there, so
// what it finds is the depth the parser reaches. A document type declaration can define entities that expand
// to elements: such a file goes to the streaming reader.
bool isNestedTooDeep(const QString &strContent) {
    int intDepth = 0;
    int intIndex = strContent.indexOf(QLatin1Char('<'));
    while (intIndex != -1) {
        const QStringView strTag = QStringView(strContent).mid(intIndex);
        int intEnd = -1;
        if (strTag.startsWith(QLatin1String("<!--"))) {
            intEnd = strContent.indexOf(QLatin1String("-->"), intIndex + 4);
        } else if (strTag.startsWith(QLatin1String("<![CDATA["))) {
            intEnd = strContent.indexOf(QLatin1String("]]>"), intIndex + 9);
        } else if (strTag.startsWith(QLatin1String("<?"))) {
            intEnd = strContent.indexOf(QLatin1String("?>"), intIndex + 2);
        } else if (strTag.startsWith(QLatin1String("<!"))) {
            return isNestedTooDeepStreamed(strContent);
        } else if (strTag.startsWith(QLatin1String("</"))) {
            intDepth -= 1;
            intEnd = strContent.indexOf(QLatin1Char('>'), intIndex + 2);
        } else {
            // A start tag ends at the first ">" outside its quoted attribute values.
            QChar charQuote;
            for (int intChar = intIndex + 1; intChar < strContent.size() && intEnd == -1; intChar += 1) {
                const QChar charNext = strContent.at(intChar);
                if (!charQuote.isNull()) {
                    charQuote = charNext == charQuote ? QChar() : charQuote;
                } else if (charNext == QLatin1Char('"') || charNext == QLatin1Char('\'')) {
                    charQuote = charNext;
                } else if (charNext == QLatin1Char('>')) {
                    intEnd = intChar;
                }
            }
            if (intEnd != -1 && strContent.at(intEnd - 1) != QLatin1Char('/')) {
                intDepth += 1;
                if (intDepth > intDepthLimit) {
                    return true;
                }
            }
        }
        if (intEnd == -1) {
            return false;
        }
        intIndex = strContent.indexOf(QLatin1Char('<'), intEnd + 1);
    }
    return false;
}

} // namespace

void Language::init() {
    if (objectSingleton == nullptr) {
        objectSingleton = new Language();
    }
}

Language *Language::obtain() {
    Language::init();

    return objectSingleton;
}

void Language::dispel() {
    if (objectSingleton != nullptr) {
        delete objectSingleton;
        objectSingleton = nullptr;
    }
}

QString Language::getStrLanguage() {
    const QStringList qstringlistCode = {"ar", "zh", "en", "fr", "de", "hi", "it", "ja", "ko", "pt", "ru", "es"};

    const QString strSystem = QLocale().name().left(2);
    for (const QString &strCode : qstringlistCode) {
        if (strCode == strSystem) {
            return strCode;
        }
    }

    return "en";
}

void Language::setStrLanguage(QString strLanguage) {
    // A name counts as loaded even when its file could not be read: asking again does not retry.
    if (strLanguage == this->strLanguage) {
        return;
    }

    this->strLanguage = strLanguage;
    qmapString.clear();

    // The language's own file or else the default file, never a mix of both.
    QString strPath = QCoreApplication::applicationDirPath() + "/res/language - " + strLanguage + ".xml";
    if (!QFile::exists(strPath)) {
        strPath = QCoreApplication::applicationDirPath() + "/res/language.xml";
    }

    // A missing default file reads as empty, without a warning from the file for every change of name. A
    // catalogue is some tens of kilobytes; a file far beyond that (a mistake, or one made to harm) would take
    // gigabytes to parse, and is refused like an unreadable one before it is read whole.
    const qint64 intSizeLimit = qint64(4) << 20;
    QFile objectFile(strPath);
    QByteArray byteContent;
    if (objectFile.open(QIODevice::ReadOnly) && objectFile.size() <= intSizeLimit) {
        byteContent = objectFile.read(intSizeLimit + 1);
        objectFile.close();
    }
    if (byteContent.size() > intSizeLimit) {
        byteContent.clear();
    }

    // Always UTF-8, whatever the file declares; a zero byte ends the text, so a UTF-16 file reads as nothing.
    const int intZero = byteContent.indexOf('\0');
    if (intZero != -1) {
        byteContent.truncate(intZero);
    }

    // A document that breaks off halfway would keep the entries read before the fault; such a file gives none.
    const QString strContent = QString::fromUtf8(byteContent);
    QDomDocument objectDocument;
    if (isNestedTooDeep(strContent) || !objectDocument.setContent(strContent, false)) {
        objectDocument.clear();
    }

    // Entries may stand at any depth below the root; a later entry of the same name replaces an earlier one.
    const QDomNodeList objectEntries = objectDocument.documentElement().elementsByTagName("string");
    for (int intIndex = 0; intIndex < objectEntries.count(); intIndex += 1) {
        const QDomElement objectEntry = objectEntries.item(intIndex).toElement();
        qmapString[objectEntry.attribute("name", QString())] = objectEntry.text();
    }
}

QString Language::getStrString(QString strName) {
    setStrLanguage(PreferenceLanguage::obtain()->getStrName());

    return qmapString.value(strName, QString(""));
}

QString Language::getStrStrings() {
    setStrLanguage(PreferenceLanguage::obtain()->getStrName());

    QJsonArray objectArray;
    for (auto objectIterator = qmapString.constBegin(); objectIterator != qmapString.constEnd(); ++objectIterator) {
        QJsonObject objectEntry;
        objectEntry.insert("strName", objectIterator.key());
        objectEntry.insert("strValue", objectIterator.value());
        objectArray.append(objectEntry);
    }

    return QString::fromUtf8(QJsonDocument(objectArray).toJson(QJsonDocument::Compact));
}
