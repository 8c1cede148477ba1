#pragma once

#include "cards/options.h"
#include "cards/session.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace vorn {

// The settings file "Vorn.ini": the options, the four seat names and the last
// network choices, read at every start of the table window and written once,
// at exit. Values are read back at most 15 bytes long (code page 936, cut at a
// whole character), without trailing blanks; a missing or empty value gives
// the default. Each value is read on its own: one that does not convert leaves
// its setting as it was and the rest still load.

inline constexpr const char* kSettingsFileName = "Vorn.ini";

// Defaults of the values a missing file leaves open.
namespace settings {
inline constexpr const char* kEastName = "青龙";   // untranslated: a name
inline constexpr const char* kSouthName = "朱雀";  // untranslated: a name
inline constexpr const char* kWestName = "白虎";   // untranslated: a name
inline constexpr const char* kNorthName = "玄武";  // untranslated: a name
inline constexpr const char* kServer = "127.0.0.1";
inline constexpr const char* kPort = "11005";
inline constexpr const char* kId = "Quillon";
}  // namespace settings

// The value of strKey in strSECTION of strIniFile, or strDefault.
QString ReadIniFile(const QString& strIniFile, const QString& strSECTION, const QString& strKey,
                    const QString& strDefault);

// The text up to the first NUL, or all of it.
QByteArray CutAtNull(const QByteArray& text);
QString CutAtNull(const QString& text);

// The conversions the file's values go through: a whole number of 16 bits
// after rounding (halves to even, so "2.5" is 2 and "3.5" is 4), and a
// Boolean (a number, non-zero for true, or "True"/"False" in any case).
std::optional<int> ToInt16(const QString& text);
std::optional<bool> ToBoolean(const QString& text);

// Reads the file into the option state and the seat names. Only the data is
// set: the caller then puts the check marks on the menus, shows or hides the
// score board, the chat and the player list to match the options, and turns
// the seat labels (AdjustDirection).
void LoadSettings(const QString& path, Options& options, Session& session);

// The window's place saved at the last exit ("Set"/"Window": left, top, width,
// height), or nullopt when there is none or it does not read as four whole
// numbers with a positive size. Read once, when the window opens: LoadSettings
// leaves options.window alone, since the window keeps it current while it moves.
std::optional<std::array<int, 4>> LoadWindowPlace(const QString& path);

// Writes the options and names (and the window's place once it has one), and
// the network choices when the game is a network game, keeping everything
// else in the file. The program ignores the
// result; false tells that the file could not be written.
bool SaveSettings(const QString& path, const Options& options, const Session& session);

bool FolderIsWritable(const QString& folder);

// "Vorn.ini" in the program's folder when that folder can be written,
// otherwise "Vorn/Vorn.ini" in the user's configuration folder (created when
// missing).
QString SettingsPath(const QString& programFolder,
                     const std::function<bool(const QString&)>& folderIsWritable = FolderIsWritable);

}  // namespace vorn
