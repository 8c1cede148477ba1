#include "app/statistics.h"

#include "app/inifile.h"

#include <QList>

namespace vorn {

namespace {
// Keys that are read and written; a level added later only extends this.
constexpr int kLevelKeys = 4;
constexpr int kLimit = 1'000'000'000;
}  // namespace

void Statistics::Record(int key, bool won, int lostPoints) {
    GameRecord& r = records_[key];
    // Counts stop short of overflow: a record that old is still shown.
    if (r.played >= kLimit || r.lostPoints > kLimit - lostPoints) return;
    ++r.played;
    r.lostPoints += lostPoints;
    if (won) {
        ++r.won;
        ++r.currentStreak;
        if (r.currentStreak > r.longestStreak) r.longestStreak = r.currentStreak;
    } else {
        r.currentStreak = 0;
    }
}

GameRecord Statistics::Get(int key) const {
    auto it = records_.find(key);
    return it == records_.end() ? GameRecord{} : it->second;
}

QByteArray Statistics::KeyName(int key) {
    return key == kNetwork ? QByteArrayLiteral("Network") : "Level" + QByteArray::number(key);
}

QByteArray Statistics::Encode(const GameRecord& r) {
    return QByteArray::number(r.played) + ',' + QByteArray::number(r.won) + ',' +
           QByteArray::number(r.lostPoints) + ',' + QByteArray::number(r.longestStreak) + ',' +
           QByteArray::number(r.currentStreak);
}

GameRecord Statistics::Decode(const QByteArray& text) {
    const QList<QByteArray> parts = text.trimmed().split(',');
    if (parts.size() != 5) return {};
    int v[5];
    for (int i = 0; i < 5; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok || v[i] < 0 || v[i] > kLimit) return {};
    }
    const GameRecord r{v[0], v[1], v[2], v[3], v[4]};
    // Counts that cannot belong together mean a damaged value.
    if (r.won > r.played || r.longestStreak > r.won || r.currentStreak > r.longestStreak) return {};
    return r;
}

Statistics Statistics::FromIni(const IniFile& file) {
    Statistics s;
    for (int key = kNetwork; key < kLevelKeys; ++key)
        if (std::optional<QByteArray> value = file.Value(kSection, KeyName(key))) {
            const GameRecord r = Decode(*value);
            if (r != GameRecord{}) s.records_[key] = r;
        }
    return s;
}

void Statistics::ToIni(IniFile& file) const {
    for (int key = kNetwork; key < kLevelKeys; ++key)
        if (records_.count(key) || file.Value(kSection, KeyName(key)))
            file.SetValue(kSection, KeyName(key), Encode(Get(key)));
}

Statistics Statistics::Load(const QString& path) {
    std::optional<IniFile> file = IniFile::Load(path);
    return file ? FromIni(*file) : Statistics{};
}

bool Statistics::Save(const QString& path) const {
    std::optional<IniFile> file = IniFile::Load(path);
    if (!file) return false;
    ToIni(*file);
    return file->Save(path);
}

}  // namespace vorn
