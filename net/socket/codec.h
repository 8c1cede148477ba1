#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <string>

namespace vorn {

// Text crosses the wire and lives in the settings file as code page 936 bytes
// (GBK: ASCII as single bytes, a Chinese character as a lead byte 0x81..0xFE and
// one trail byte). These helpers are the one place where the program turns such
// bytes into Unicode and back.
//
// Decoding never fails: a byte sequence that is not valid code page 936 comes
// back as replacement characters. Encoding a character the code page lacks
// gives '?'. The std::string overloads hold UTF-8 on the Unicode side and raw
// code page 936 bytes on the other.

QByteArray ToCp936(const QString& text);
QString FromCp936(const QByteArray& bytes);

std::string ToCp936(const std::string& utf8);
std::string FromCp936(const std::string& bytes);
// A string literal would fit both families above; it goes to the std::string one.
std::string ToCp936(const char* utf8);
std::string FromCp936(const char* bytes);

// The length of the longest prefix of bytes that is at most maxBytes long and
// ends on a character boundary, so a cut never splits a two-byte character.
qsizetype Cp936WholePrefix(QByteArrayView bytes, qsizetype maxBytes);

// True when b opens a two-byte character.
constexpr bool IsCp936LeadByte(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}

// The conversions through the C library's iconv, used when Qt was built
// without a code page 936 codec. Public so that both paths can be compared.
QByteArray ToCp936Iconv(const QString& text);
QString FromCp936Iconv(QByteArrayView bytes);

}  // namespace vorn
