#ifndef SYMBASE_QT_TEXT_H
#define SYMBASE_QT_TEXT_H

// The library's texts are Windows-1252 bytes; Qt's are Unicode. Conversions
// for a Qt host, one byte for one character each way.

#include <QByteArray>
#include <QString>

#define SYMBASE_QT_API __attribute__((visibility("default")))

namespace symbase_qt {

// Every byte has a character: the five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the same
// number. A null text gives "".
SYMBASE_QT_API QString FromCp1252(const char* text);
SYMBASE_QT_API QString FromCp1252(const QByteArray& bytes);

// The bytes of `text`; false when it holds a character the code page does not
// have, which is then left out of *out.
SYMBASE_QT_API bool ToCp1252(const QString& text, QByteArray* out);

}  // namespace symbase_qt

#endif
