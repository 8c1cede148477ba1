#pragma once

#include <QByteArray>
#include <QString>

#include <map>

namespace vorn {

class IniFile;

// The record of finished games the person has played, kept between sessions:
// one per computer level (by level number, so a new level only needs a new
// caption) and one for network games. Only games played to their end count.
struct GameRecord {
    int played = 0;
    int won = 0;
    int lostPoints = 0;     // cards left in the person's hand at each game end, added up
    int longestStreak = 0;  // most games won in a row
    int currentStreak = 0;  // games won in a row up to the last one

    double LostPerGame() const { return played > 0 ? double(lostPoints) / played : 0.0; }
    bool operator==(const GameRecord&) const = default;
};

class Statistics {
  public:
    // The key of network games; computer levels are 0 and up.
    static constexpr int kNetwork = -1;
    static constexpr const char* kSection = "Statistics";

    void Record(int key, bool won, int lostPoints);
    GameRecord Get(int key) const;
    void Clear() { records_.clear(); }

    // Reads the section; a value that is missing or does not parse as five
    // counts that fit together reads as a zero record.
    static Statistics FromIni(const IniFile& file);
    // Writes every level key already in the section or recorded here.
    void ToIni(IniFile& file) const;
    // Reads and writes the section of the settings file at path, leaving every
    // other byte of it as it was. Load never fails (a file that cannot be read
    // gives zeros); Save is false when the file could not be read or written.
    static Statistics Load(const QString& path);
    bool Save(const QString& path) const;

    // "Level0" ... or "Network".
    static QByteArray KeyName(int key);
    static QByteArray Encode(const GameRecord& r);
    static GameRecord Decode(const QByteArray& text);

  private:
    std::map<int, GameRecord> records_;
};

}  // namespace vorn
