#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace vorn {

// A settings file of the classic sectioned form ("[Section]" lines, then
// "key=value" lines), held as the raw bytes of its lines so that writing one
// value leaves every other section, key, comment, blank line and line ending
// exactly as it was.
//
// Section and key names match without regard to ASCII letter case. The first
// section of a name and the first key of a name in it are the ones read and
// written. A value is every byte after the first '=' up to the line's end, so
// blanks around it are kept; values are code page 936 bytes and never span
// lines. Lines starting with ';' are comments; key lines before the first
// section belong to no section.
class IniFile {
  public:
    IniFile() = default;
    static IniFile FromBytes(const QByteArray& bytes);
    // A missing file reads as an empty one; nullopt when the file is there but
    // cannot be read, so that nobody writes over what could not be seen.
    static std::optional<IniFile> Load(const QString& path);

    std::optional<QByteArray> Value(QByteArrayView section, QByteArrayView key) const;
    // Replaces the value of an existing key, or adds the key at the end of its
    // section, or the section with the key at the end of the file. Anything
    // from a line break on in value is dropped.
    void SetValue(QByteArrayView section, QByteArrayView key, QByteArrayView value);

    QByteArray ToBytes() const;
    // Writes through a temporary file renamed over path, so a failed write
    // leaves the old file whole. False when the file could not be written.
    bool Save(const QString& path) const;

  private:
    struct Line {
        QByteArray text;    // without its line ending
        QByteArray ending;  // "\r\n", "\n" or empty on an unterminated last line
    };
    enum class Kind { Other, Section, Key };
    struct Parsed {
        Kind kind = Kind::Other;
        QByteArrayView name;    // section or key name, trimmed
        qsizetype valueAt = 0;  // Key: offset of the value in the line
    };
    static Parsed Parse(const QByteArray& text);
    // The index of the first header of section, or -1.
    int FindSection(QByteArrayView section) const;
    QByteArray NewLineEnding() const;

    QList<Line> lines_;
};

// Reads one value from the file at path; nullopt when the file, the section or the key is missing.
std::optional<QByteArray> ReadIniValue(const QString& path, QByteArrayView section, QByteArrayView key);
// Sets one value in the file at path, keeping the rest of the file. False when it could not be written.
bool WriteIniValue(const QString& path, QByteArrayView section, QByteArrayView key, QByteArrayView value);

}  // namespace vorn
