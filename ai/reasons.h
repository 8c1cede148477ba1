#pragma once

// The reasons the follow decision gives for beating, one per rule. They are
// shown only while the computer's hands are open (never in play), but they
// also name the rule that fired, which is how callers and tests tell them apart.
namespace vorn::texts {

inline constexpr const char* kReasonLastThrowerNearlyOut = "最后出牌者还剩一两张牌，必管";
inline constexpr const char* kReasonNextTwoNearlyOut = "下两家有人还剩一两张牌，赌管";
inline constexpr const char* kReasonPlaySizeDownstream = "牌数相同者在下手，赌管";
inline constexpr const char* kReasonSomeoneOnRun = "有人在顺牌，必管";
inline constexpr const char* kReasonOneNonTwo = "单张非2，必管";
inline constexpr const char* kReasonOneNonTwoGamble = "单张非2，赌管";
inline constexpr const char* kReasonCanFinish = "上手可出完，必管";
inline constexpr const char* kReasonAllTwos = "全是2，必管";
inline constexpr const char* kReasonGoodHand = "牌不错，必管";
inline constexpr const char* kReasonUnformedCard = "不成形牌，必管";
inline constexpr const char* kReasonFormedCard = "成形牌，赌管或逼管";

}  // namespace vorn::texts
