#include "app/settings.h"

#include "app/inifile.h"
#include "cards/textutil.h"
#include "net/socket/codec.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <charconv>
#include <cmath>
#include <string>

namespace vorn {

namespace {

// What the classic profile reader hands back: 15 bytes and a terminating NUL.
constexpr qsizetype kValueBytes = 15;

QByteArray WholeCut(const QByteArray& bytes) {
    return bytes.first(Cp936WholePrefix(bytes, kValueBytes));
}

QByteArray DropTrailingBlanks(QByteArray bytes) {
    qsizetype end = bytes.size();
    while (end > 0 && (bytes[end - 1] == ' ' || bytes[end - 1] == '\t')) --end;
    bytes.truncate(end);
    return bytes;
}

QString ReadFrom(const IniFile& file, const QString& section, const QString& key, const QString& fallback) {
    const std::optional<QByteArray> stored = file.Value(ToCp936(section), ToCp936(key));
    const QByteArray copied = WholeCut(stored ? *stored : ToCp936(fallback));
    // A value of blanks only is empty to the classic reader too, which trims them.
    const QByteArray text = DropTrailingBlanks(CutAtNull(copied));
    if (text.isEmpty()) return fallback;
    return FromCp936(text);
}

std::optional<double> ToNumber(const QString& text) {
    std::string digits = text.trimmed().toStdString();
    if (!digits.empty() && digits[0] == '+') digits.erase(0, 1);
    if (digits.empty() || digits[0] == '+') return std::nullopt;
    double value = 0;
    const char* end = digits.data() + digits.size();
    auto [stop, ec] = std::from_chars(digits.data(), end, value, std::chars_format::general);
    if (ec != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

QByteArray Flag(bool on) {
    return on ? QByteArrayLiteral("1") : QByteArrayLiteral("0");
}

// The checked item of a three-item submenu: the row itself, anything else the middle row.
int RowOf(int value) {
    return value >= 0 && value <= 2 ? value : 1;
}

// The level items: the three of the rules and the expert's; anything else is
// the middle level, as older readers take the expert's too.
int LevelOf(int value) {
    return value >= 0 && value < kLevelItems ? value : 1;
}

}  // namespace

QByteArray CutAtNull(const QByteArray& text) {
    const qsizetype nul = text.indexOf('\0');
    return nul < 0 ? text : text.first(nul);
}

QString CutAtNull(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.first(nul);
}

QString ReadIniFile(const QString& strIniFile, const QString& strSECTION, const QString& strKey,
                    const QString& strDefault) {
    return ReadFrom(IniFile::Load(strIniFile).value_or(IniFile()), strSECTION, strKey, strDefault);
}

std::optional<int> ToInt16(const QString& text) {
    const std::optional<double> number = ToNumber(text);
    if (!number) return std::nullopt;
    // nearbyint rounds in the current mode, which is to nearest with halves to even.
    const double rounded = std::nearbyint(*number);
    if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
    return int(rounded);
}

std::optional<bool> ToBoolean(const QString& text) {
    const QString word = text.trimmed();
    if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    const std::optional<double> number = ToNumber(word);
    if (!number) return std::nullopt;
    return *number != 0.0;
}

void LoadSettings(const QString& path, Options& options, Session& session) {
    const IniFile file = IniFile::Load(path).value_or(IniFile());
    auto read = [&file](const char* section, const char* key, const char* fallback) {
        return ReadFrom(file, QString::fromUtf8(section), QString::fromUtf8(key),
                        QString::fromUtf8(fallback));
    };

    if (std::optional<int> rate = ToInt16(read("Option", "Rate", "1")))
        options.SetSpeed(RowOf(*rate));
    else
        options.rateItem = -1;
    if (std::optional<int> level = ToInt16(read("Option", "Level", "1")))
        options.SetLevel(LevelOf(*level));
    else
        options.levelItem = -1;

    struct Switch {
        const char* key;
        const char* fallback;
        bool Options::*field;
    };
    static constexpr Switch kSwitches[] = {
        {"Animal", "1", &Options::animation},
        {"Sound", "1", &Options::sound},
        {"Score", "0", &Options::showScore},
        {"Message", "0", &Options::showMessage},
        {"Connections", "0", &Options::showConnections},
        {"FourColour", "0", &Options::fourColour},
        {"KeepPlay", "1", &Options::keepPlay},
        {"RefusalBoxes", "0", &Options::refusalBoxes},
        {"AutoPass", "0", &Options::autoPass},
    };
    for (const Switch& s : kSwitches)
        if (std::optional<bool> on = ToBoolean(read("Option", s.key, s.fallback))) options.*s.field = *on;

    session.PlayerNames[1] = read("Set", "East", settings::kEastName).toStdString();
    session.PlayerNames[0] = read("Set", "South", settings::kSouthName).toStdString();
    session.PlayerNames[3] = read("Set", "West", settings::kWestName).toStdString();
    session.PlayerNames[2] = read("Set", "North", settings::kNorthName).toStdString();

    if (std::optional<int> desk = ToInt16(read("Set", "Desk", "0"))) options.deskShape = *desk;
    // Only "en" chooses English: Chinese stays the default whatever the system's locale.
    options.english = read("Option", "Language", "zh").trimmed().compare("en", Qt::CaseInsensitive) == 0;
}

std::optional<std::array<int, 4>> LoadWindowPlace(const QString& path) {
    const IniFile file = IniFile::Load(path).value_or(IniFile());
    // Our own key: read whole, since four numbers may pass the 15 bytes of the old reader.
    const std::optional<QByteArray> stored = file.Value("Set", "Window");
    if (!stored) return std::nullopt;
    const QList<QByteArray> parts = stored->trimmed().split(',');
    if (parts.size() != 4) return std::nullopt;
    std::array<int, 4> place{};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        place[size_t(i)] = parts[i].trimmed().toInt(&ok);
        if (!ok) return std::nullopt;
    }
    if (place[2] <= 0 || place[3] <= 0) return std::nullopt;
    return place;
}

bool SaveSettings(const QString& path, const Options& options, const Session& session) {
    std::optional<IniFile> loaded = IniFile::Load(path);
    if (!loaded) return false;
    IniFile& file = *loaded;

    if (options.rateItem >= 0 && options.rateItem <= 2)
        file.SetValue("Option", "Rate", QByteArray::number(options.rateItem));
    if (options.levelItem >= 0 && options.levelItem < kLevelItems)
        file.SetValue("Option", "Level", QByteArray::number(options.levelItem));
    file.SetValue("Option", "Animal", Flag(options.animation));
    file.SetValue("Option", "Sound", Flag(options.sound));
    file.SetValue("Option", "Score", Flag(options.showScore));
    file.SetValue("Option", "Message", Flag(options.showMessage));
    file.SetValue("Option", "Connections", Flag(options.showConnections));
    file.SetValue("Option", "FourColour", Flag(options.fourColour));
    file.SetValue("Option", "KeepPlay", Flag(options.keepPlay));
    file.SetValue("Option", "RefusalBoxes", Flag(options.refusalBoxes));
    file.SetValue("Option", "AutoPass", Flag(options.autoPass));
    file.SetValue("Option", "Language", options.english ? QByteArrayLiteral("en") : QByteArrayLiteral("zh"));

    auto name = [&session](int seat) {
        return QByteArray::fromStdString(ToCp936(session.PlayerNames[size_t(seat)]));
    };
    file.SetValue("Set", "East", name(1));
    file.SetValue("Set", "South", name(0));
    file.SetValue("Set", "West", name(3));
    file.SetValue("Set", "North", name(2));
    file.SetValue("Set", "Desk", options.deskShape == 0 ? QByteArrayLiteral("0") : QByteArrayLiteral("3"));
    if (options.window[2] > 0 && options.window[3] > 0) {
        QByteArray place;
        for (int v : options.window) place += (place.isEmpty() ? "" : ",") + QByteArray::number(v);
        file.SetValue("Set", "Window", place);
    }

    if (session.IsNet()) {
        file.SetValue("Net", "Server", QByteArray::fromStdString(ToCp936(session.ServerAddress)));
        file.SetValue("Net", "Port", QByteArray::number(session.ServerPort));
        if (session.LocalSeat >= 0 && session.LocalSeat <= 3)
            file.SetValue("Net", "ID", name(session.LocalSeat));
    }
    return file.Save(path);
}

bool FolderIsWritable(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

QString SettingsPath(const QString& programFolder,
                     const std::function<bool(const QString&)>& folderIsWritable) {
    if (folderIsWritable(programFolder))
        return QString::fromStdString(JoinPath(programFolder.toStdString(), kSettingsFileName));
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Vorn");
    QDir().mkpath(folder);
    return folder + QLatin1Char('/') + QString::fromUtf8(kSettingsFileName);
}

}  // namespace vorn
