#pragma once

#include "cards/words.h"

// Texts of the network game shown to the person, gathered so that each can be
// checked and translated in one place.
namespace vorn::texts {

inline constexpr const char* kTableFull = QT_TRANSLATE_NOOP("Vorn", "人数已够，连线断开");
inline constexpr const char* kLeftGameOver = QT_TRANSLATE_NOOP("Vorn", " 走了，游戏结束！");
inline constexpr const char* kArrived = QT_TRANSLATE_NOOP("Vorn", " 来了");
inline constexpr const char* kLeft = QT_TRANSLATE_NOOP("Vorn", " 走了");
inline constexpr const char* kDroppedStandIn = QT_TRANSLATE_NOOP("Vorn", " 掉线，电脑代打");
inline constexpr const char* kReturned = QT_TRANSLATE_NOOP("Vorn", " 回来了，接着打");
inline constexpr const char* kWrongPassword = QT_TRANSLATE_NOOP("Vorn", "密码不对，不能加入这一桌");
inline constexpr const char* kBadToken = QT_TRANSLATE_NOOP("Vorn", "这个座位已经有人，不能接回");
inline constexpr const char* kOldClosed =
    QT_TRANSLATE_NOOP("Vorn", "这一桌设了密码，旧版本不能加入，请更新后再来");
inline constexpr const char* kReconnecting = QT_TRANSLATE_NOOP("Vorn", "与主机的连接断了，正在重新连接...");
// A player list entry whose table speaks only the first version of the wire ("%1" the name).
inline constexpr const char* kOnOldWire = QT_TRANSLATE_NOOP("Vorn", "%1（旧版本，看得到各家的牌）");
inline constexpr const char* kTimedOut = QT_TRANSLATE_NOOP("Vorn", " 时间到，电脑代出一手");
inline constexpr const char* kAllSeated = QT_TRANSLATE_NOOP("Vorn", "人已到齐，游戏开始");
inline constexpr const char* kHosting = QT_TRANSLATE_NOOP("Vorn", "主机建立");
inline constexpr const char* kConnecting = QT_TRANSLATE_NOOP("Vorn", "申请连接...");
// Hosting refused because the port is a privileged one: kPortNeedsAdmin1 + port + kPortNeedsAdmin2.
inline constexpr const char* kPortNeedsAdmin1 = QT_TRANSLATE_NOOP("Vorn", "端口 ");
inline constexpr const char* kPortNeedsAdmin2 =
    QT_TRANSLATE_NOOP("Vorn", " 需要管理员权限才能使用。请选择 1024 或以上的端口。");
inline constexpr const char* kCheckAddress =
    QT_TRANSLATE_NOOP("Vorn", ",检查主机地址和连接端口，重新尝试连接!");

}  // namespace vorn::texts
