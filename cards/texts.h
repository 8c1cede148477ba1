#pragma once

// Texts of the card core shown to the person, gathered so that each can be
// checked and translated in one place.
namespace vorn::texts {

inline constexpr const char* kHintPrefix = "提示：";
inline constexpr const char* kProgressPrefix = "进程：";
inline constexpr const char* kLeadsThisGame1 = "本局由";
inline constexpr const char* kLeadsThisGame2 = "先出牌";

inline constexpr const char* kBadShape = "所选牌不符合牌型规则！";
inline constexpr const char* kTwoAlone = "\"2\"不能与其他牌组合牌型！";
inline constexpr const char* kMustLead = "你先出牌，不能 PASS，可选任意牌型！";
inline constexpr const char* kCannotBeat = "所选牌管不起当前牌型。";
inline constexpr const char* kHighestAlready = "当前牌型已是最大的！";
inline constexpr const char* kShouldPlay = "按规则应出“";
inline constexpr const char* kOr = "”或“";
inline constexpr const char* kShouldPlayEnd = "”！";

}  // namespace vorn::texts
