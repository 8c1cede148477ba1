#pragma once

// Texts of the turn engine and the seats shown to the person.
namespace vorn::texts {

inline constexpr const char* kPlays = "出牌";
inline constexpr const char* kWinsGame = " 赢得本局，并赢得下局的先出牌权！";
inline constexpr const char* kNextGameQuestion = "开始下一局吗？";
inline constexpr const char* kLostPoints = " 失分";
inline constexpr const char* kGamesWon = "赢局";
inline constexpr const char* kPass = "PASS";
inline constexpr const char* kOk = "OK";

}  // namespace vorn::texts
