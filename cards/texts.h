#pragma once

#include "cards/words.h"

// Texts of the card core shown to the person, gathered so that each can be
// checked and translated in one place.
namespace vorn::texts {

inline constexpr const char* kHintPrefix = QT_TRANSLATE_NOOP("Vorn", "牌局：");
inline constexpr const char* kProgressPrefix = QT_TRANSLATE_NOOP("Vorn", "进程：");
// %1: the leader's name.
inline constexpr const char* kLeadsThisGame = QT_TRANSLATE_NOOP("Vorn", "本局由%1先出牌");

inline constexpr const char* kBadShape = QT_TRANSLATE_NOOP("Vorn", "所选牌不符合牌型规则！");
inline constexpr const char* kTwoAlone = QT_TRANSLATE_NOOP("Vorn", "\"2\"不能与其他牌组合牌型！");
inline constexpr const char* kMustLead = QT_TRANSLATE_NOOP("Vorn", "你先出牌，不能 PASS，可选任意牌型！");
inline constexpr const char* kCannotBeat = QT_TRANSLATE_NOOP("Vorn", "所选牌管不起当前牌型。");
inline constexpr const char* kHighestAlready = QT_TRANSLATE_NOOP("Vorn", "当前牌型已是最大的！");
inline constexpr const char* kShouldPlay = QT_TRANSLATE_NOOP("Vorn", "按规则应出“");
inline constexpr const char* kOr = QT_TRANSLATE_NOOP("Vorn", "”或“");
inline constexpr const char* kShouldPlayEnd = QT_TRANSLATE_NOOP("Vorn", "”！");

}  // namespace vorn::texts
