#include "net/socket/codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace vorn {

namespace {

constexpr const char* kQtCodecName = "GBK";
constexpr const char* kIconvCodecName = "CP936";

// Qt finds GBK through ICU; a Qt built without ICU has no such codec. Asked
// once, since the answer cannot change while the program runs.
bool QtHasCodec() {
    static const bool valid =
        QStringEncoder(kQtCodecName).isValid() && QStringDecoder(kQtCodecName).isValid();
    return valid;
}

// One iconv conversion from -> to over the whole input. An input sequence the
// converter rejects is skipped by skipLength() bytes and replaced by
// replacement; an input that ends inside a character is treated the same way.
template <typename SkipLength>
QByteArray IconvConvert(const char* to, const char* from, QByteArrayView input, QByteArrayView replacement,
                        SkipLength skipLength) {
    QByteArray out;
    iconv_t cd = iconv_open(to, from);
    // NOLINTNEXTLINE(performance-no-int-to-ptr): iconv_open reports failure as (iconv_t)-1
    if (cd == reinterpret_cast<iconv_t>(-1)) return out;
    char* in = const_cast<char*>(input.data());
    size_t inLeft = size_t(input.size());
    char buffer[512];
    while (inLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t rc = iconv(cd, &in, &inLeft, &dst, &dstLeft);
        out.append(buffer, qsizetype(dst - buffer));
        if (rc != size_t(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL: a bad or truncated sequence at in.
        size_t skip = std::min(inLeft, std::max<size_t>(1, skipLength(in, inLeft)));
        in += skip;
        inLeft -= skip;
        out.append(replacement);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

size_t Utf8SequenceLength(const char* at, size_t left) {
    unsigned char lead = static_cast<unsigned char>(*at);
    size_t len = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return std::min(len, left);
}

}  // namespace

QByteArray ToCp936Iconv(const QString& text) {
    return IconvConvert(kIconvCodecName, "UTF-8", text.toUtf8(), "?", Utf8SequenceLength);
}

QString FromCp936Iconv(QByteArrayView bytes) {
    // One bad byte at a time: the byte after a bad lead byte may open a good character.
    QByteArray utf8 = IconvConvert("UTF-8", kIconvCodecName, bytes, "\xEF\xBF\xBD",
                                   [](const char*, size_t) { return size_t(1); });
    return QString::fromUtf8(utf8);
}

namespace {

// Below 0x80 the code page is ASCII both ways. Nearly every message of a game
// is, and skips the converter.
bool AllAscii(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool AllAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

}  // namespace

QByteArray ToCp936(const QString& text) {
    if (AllAscii(text)) return text.toLatin1();
    if (!QtHasCodec()) return ToCp936Iconv(text);
    QStringEncoder encoder(kQtCodecName);
    return encoder.encode(text);
}

namespace {

constexpr bool IsCp936TrailByte(unsigned char b) {
    return b >= 0x40 && b <= 0xFE && b != 0x7F;
}

// True when the bytes end with a lead byte that has no trail byte after it.
bool EndsInsideCharacter(QByteArrayView bytes) {
    qsizetype at = 0;
    while (at < bytes.size()) {
        const bool lead = IsCp936LeadByte(static_cast<unsigned char>(bytes[at]));
        if (lead && at + 1 == bytes.size()) return true;
        at += lead && IsCp936TrailByte(static_cast<unsigned char>(bytes[at + 1])) ? 2 : 1;
    }
    return false;
}

QString DecodeCp936(QByteArrayView bytes) {
    if (AllAscii(bytes)) return QString::fromLatin1(bytes);
    if (!QtHasCodec()) return FromCp936Iconv(bytes);
    // Qt's decoder keeps a dangling lead byte for a next call that never comes
    // (even when told to be stateless); here it is a broken character.
    const bool dangling = EndsInsideCharacter(bytes);
    if (dangling) bytes = bytes.first(bytes.size() - 1);
    QStringDecoder decoder(kQtCodecName);
    QString text = decoder.decode(bytes);
    if (dangling) text += QChar::ReplacementCharacter;
    return text;
}

}  // namespace

QString FromCp936(const QByteArray& bytes) {
    return DecodeCp936(bytes);
}

std::string ToCp936(const std::string& utf8) {
    if (AllAscii(QByteArrayView(utf8))) return utf8;
    return ToCp936(QString::fromStdString(utf8)).toStdString();
}

std::string ToCp936(const char* utf8) {
    return ToCp936(std::string(utf8));
}

std::string FromCp936(const std::string& bytes) {
    if (AllAscii(QByteArrayView(bytes))) return bytes;
    return DecodeCp936(QByteArrayView(bytes)).toStdString();
}

std::string FromCp936(const char* bytes) {
    return FromCp936(std::string(bytes));
}

qsizetype Cp936WholePrefix(QByteArrayView bytes, qsizetype maxBytes) {
    qsizetype at = 0;
    while (at < bytes.size()) {
        qsizetype len =
            IsCp936LeadByte(static_cast<unsigned char>(bytes[at])) && at + 1 < bytes.size() ? 2 : 1;
        if (at + len > maxBytes) break;
        at += len;
    }
    return at;
}

}  // namespace vorn
