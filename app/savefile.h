#pragma once

#include <QString>

#include <optional>

#include "game/savedgame.h"

namespace vorn {

// The local game in progress, kept in "Vorn.save" beside the settings file
// (never in it) after every move and when the program ends, so that a crash,
// a power cut or a kill loses nothing. Written whole to a temporary file,
// flushed to the disk and renamed over the old one: a reader finds either the
// old game or the new, never a part.
inline constexpr const char* kSaveFileName = "Vorn.save";

// The save file that belongs with the settings file at settingsFile.
QString SaveFilePath(const QString& settingsFile);

// Writes a game's text (SavedGameText); false when it could not be written,
// and the old file is then as it was.
bool WriteSaveFile(const QString& path, const std::string& text);
void RemoveSaveFile(const QString& path);

struct SaveFileReading {
    std::optional<SavedGame> game;  // the game saved, when there is one that reads
    QString setAside;               // where a file that does not read went; empty when none
    std::string error;              // what was wrong with it
};
// Reads the save file. One that is not a saved game this program can take up
// is renamed to path + ".bad" (an older one there is replaced), so that it is
// reported once and never read again.
SaveFileReading ReadSaveFile(const QString& path);

}  // namespace vorn
