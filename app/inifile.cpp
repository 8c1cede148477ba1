#include "app/inifile.h"

#include "net/socket/codec.h"

#include <QFile>
#include <QSaveFile>

namespace vorn {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArrayView Trimmed(QByteArrayView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.sliced(begin, end - begin);
}

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// Equal up to ASCII letter case. The trail byte of a two-byte character may
// look like an ASCII letter, so whole characters are compared as they are.
bool SameName(QByteArrayView a, QByteArrayView b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (IsCp936LeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

QByteArray SingleLine(QByteArrayView value) {
    qsizetype end = 0;
    while (end < value.size() && value[end] != '\r' && value[end] != '\n') ++end;
    return value.first(end).toByteArray();
}

}  // namespace

IniFile IniFile::FromBytes(const QByteArray& bytes) {
    IniFile file;
    qsizetype at = 0;
    while (at < bytes.size()) {
        qsizetype newline = bytes.indexOf('\n', at);
        Line line;
        if (newline < 0) {
            line.text = bytes.sliced(at);
            at = bytes.size();
        } else {
            qsizetype textEnd = newline;
            if (textEnd > at && bytes[textEnd - 1] == '\r') --textEnd;
            line.text = bytes.sliced(at, textEnd - at);
            line.ending = bytes.sliced(textEnd, newline + 1 - textEnd);
            at = newline + 1;
        }
        file.lines_.append(std::move(line));
    }
    return file;
}

std::optional<IniFile> IniFile::Load(const QString& path) {
    QFile in(path);
    if (!in.exists()) return IniFile();
    if (!in.open(QIODevice::ReadOnly)) return std::nullopt;
    return FromBytes(in.readAll());
}

IniFile::Parsed IniFile::Parse(const QByteArray& text) {
    Parsed parsed;
    const QByteArrayView line = Trimmed(text);
    if (line.isEmpty() || line[0] == ';') return parsed;
    if (line[0] == '[') {
        qsizetype close = line.indexOf(']');
        parsed.kind = Kind::Section;
        parsed.name = Trimmed(close < 0 ? line.sliced(1) : line.sliced(1, close - 1));
        return parsed;
    }
    qsizetype equals = text.indexOf('=');
    if (equals < 0) return parsed;
    parsed.kind = Kind::Key;
    parsed.name = Trimmed(QByteArrayView(text).first(equals));
    parsed.valueAt = equals + 1;
    return parsed;
}

int IniFile::FindSection(QByteArrayView section) const {
    const QByteArrayView wanted = Trimmed(section);
    for (int i = 0; i < lines_.size(); ++i) {
        const Parsed parsed = Parse(lines_[i].text);
        if (parsed.kind == Kind::Section && SameName(parsed.name, wanted)) return i;
    }
    return -1;
}

std::optional<QByteArray> IniFile::Value(QByteArrayView section, QByteArrayView key) const {
    const int header = FindSection(section);
    if (header < 0) return std::nullopt;
    const QByteArrayView wanted = Trimmed(key);
    for (int i = header + 1; i < lines_.size(); ++i) {
        const Parsed parsed = Parse(lines_[i].text);
        if (parsed.kind == Kind::Section) break;
        // A carriage return inside a line ends the value, as it does when a
        // value is written: what is read can be written back unchanged.
        if (parsed.kind == Kind::Key && SameName(parsed.name, wanted))
            return SingleLine(QByteArrayView(lines_[i].text).sliced(parsed.valueAt));
    }
    return std::nullopt;
}

QByteArray IniFile::NewLineEnding() const {
    for (const Line& line : lines_)
        if (!line.ending.isEmpty()) return line.ending;
    return QByteArrayLiteral("\r\n");
}

void IniFile::SetValue(QByteArrayView section, QByteArrayView key, QByteArrayView value) {
    const QByteArray clean = SingleLine(value);
    const QByteArray ending = NewLineEnding();
    const QByteArrayView wanted = Trimmed(key);
    const int header = FindSection(section);
    if (header < 0) {
        if (!lines_.isEmpty() && lines_.last().ending.isEmpty()) lines_.last().ending = ending;
        lines_.append({'[' + Trimmed(section).toByteArray() + ']', ending});
        lines_.append({wanted.toByteArray() + '=' + clean, ending});
        return;
    }
    int lastKey = header;
    for (int i = header + 1; i < lines_.size(); ++i) {
        const Parsed parsed = Parse(lines_[i].text);
        if (parsed.kind == Kind::Section) break;
        if (parsed.kind != Kind::Key) continue;
        if (SameName(parsed.name, wanted)) {
            // Keep the key as it was spelled and spaced, up to and with the '='.
            lines_[i].text = lines_[i].text.first(parsed.valueAt) + clean;
            return;
        }
        lastKey = i;
    }
    if (lines_[lastKey].ending.isEmpty()) lines_[lastKey].ending = ending;
    lines_.insert(lastKey + 1, {wanted.toByteArray() + '=' + clean, ending});
}

QByteArray IniFile::ToBytes() const {
    QByteArray bytes;
    for (const Line& line : lines_) bytes += line.text + line.ending;
    return bytes;
}

bool IniFile::Save(const QString& path) const {
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = ToBytes();
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

std::optional<QByteArray> ReadIniValue(const QString& path, QByteArrayView section, QByteArrayView key) {
    const std::optional<IniFile> file = IniFile::Load(path);
    return file ? file->Value(section, key) : std::nullopt;
}

bool WriteIniValue(const QString& path, QByteArrayView section, QByteArrayView key, QByteArrayView value) {
    std::optional<IniFile> file = IniFile::Load(path);
    if (!file) return false;
    file->SetValue(section, key, value);
    return file->Save(path);
}

}  // namespace vorn
