#pragma once

#include "cards/words.h"

// The reasons the follow decision gives for beating, one per rule. They are
// shown only while the computer's hands are open (never in play), but they
// also name the rule that fired, which is how callers and tests tell them apart.
namespace vorn::texts {

inline constexpr const char* kReasonLastThrowerNearlyOut =
    QT_TRANSLATE_NOOP("Vorn", "最后出牌者还剩一两张牌，必管");
inline constexpr const char* kReasonNextTwoNearlyOut =
    QT_TRANSLATE_NOOP("Vorn", "下两家有人还剩一两张牌，赌管");
inline constexpr const char* kReasonPlaySizeDownstream = QT_TRANSLATE_NOOP("Vorn", "牌数相同者在下手，赌管");
inline constexpr const char* kReasonSomeoneOnRun = QT_TRANSLATE_NOOP("Vorn", "有人在顺牌，必管");
inline constexpr const char* kReasonOneNonTwo = QT_TRANSLATE_NOOP("Vorn", "单张非2，必管");
inline constexpr const char* kReasonOneNonTwoGamble = QT_TRANSLATE_NOOP("Vorn", "单张非2，赌管");
inline constexpr const char* kReasonCanFinish = QT_TRANSLATE_NOOP("Vorn", "上手可出完，必管");
inline constexpr const char* kReasonAllTwos = QT_TRANSLATE_NOOP("Vorn", "全是2，必管");
inline constexpr const char* kReasonGoodHand = QT_TRANSLATE_NOOP("Vorn", "牌不错，必管");
inline constexpr const char* kReasonUnformedCard = QT_TRANSLATE_NOOP("Vorn", "不成形牌，必管");
inline constexpr const char* kReasonFormedCard = QT_TRANSLATE_NOOP("Vorn", "成形牌，赌管或逼管");

}  // namespace vorn::texts
