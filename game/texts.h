#pragma once

#include "cards/words.h"

// Texts of the turn engine and the seats shown to the person.
namespace vorn::texts {

inline constexpr const char* kPlays = QT_TRANSLATE_NOOP("Vorn", "出牌");
inline constexpr const char* kWinsGame = QT_TRANSLATE_NOOP("Vorn", " 赢得本局，并赢得下局的先出牌权！");
inline constexpr const char* kNextGameQuestion = QT_TRANSLATE_NOOP("Vorn", "开始下一局吗？");
inline constexpr const char* kLostPoints = QT_TRANSLATE_NOOP("Vorn", " 失分");
inline constexpr const char* kGamesWon = QT_TRANSLATE_NOOP("Vorn", "赢局");
inline constexpr const char* kPass = "PASS";
inline constexpr const char* kOk = "OK";

}  // namespace vorn::texts
