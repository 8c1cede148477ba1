#pragma once

#include "cards/words.h"

// Texts of the table window, its menus and dialogs.
namespace vorn::texts {

inline constexpr const char* kTitle = "Vorn";
// The status panels' names for screen readers.
inline constexpr const char* kHintPanel = QT_TRANSLATE_NOOP("Vorn", "牌局");
inline constexpr const char* kProgressPanel = QT_TRANSLATE_NOOP("Vorn", "进程");
inline constexpr const char* kLocalGame = QT_TRANSLATE_NOOP("Vorn", "单机游戏");
// A seat of a network table that nobody holds yet.
inline constexpr const char* kVacantSeat = QT_TRANSLATE_NOOP("Vorn", "空位");
// Until the first deal of the program's life, on a table this computer deals.
inline constexpr const char* kFirstDealCue = QT_TRANSLATE_NOOP("Vorn", "点击牌堆或按 F5 发牌");
// Until a network table is full: how many of the three other seats a person holds ("%1").
inline constexpr const char* kWaitingForPlayers = QT_TRANSLATE_NOOP("Vorn", "等待玩家 %1/3");
// The seats' names a table shows in place of the defaults (settings::kSouthName
// and the others): the Chinese table keeps them, an English one reads the seasons.
inline constexpr const char* kDefaultSeatNames[4] = {
    QT_TRANSLATE_NOOP("Vorn", "朱雀"), QT_TRANSLATE_NOOP("Vorn", "青龙"), QT_TRANSLATE_NOOP("Vorn", "玄武"),
    QT_TRANSLATE_NOOP("Vorn", "白虎")};
inline constexpr const char* kStockLabel = QT_TRANSLATE_NOOP("Vorn", "余牌:");
inline constexpr const char* kDialogCaption = QT_TRANSLATE_NOOP("Vorn", "聊天记录(回车清空)");
inline constexpr const char* kMessageCaption = QT_TRANSLATE_NOOP("Vorn", "发送文字(回车发送)");
inline constexpr const char* kMessageInitial = "Hello,every body!";
inline constexpr const char* kSend = QT_TRANSLATE_NOOP("Vorn", "发送");
inline constexpr const char* kClear = QT_TRANSLATE_NOOP("Vorn", "清空");
inline constexpr const char* kConnections = QT_TRANSLATE_NOOP("Vorn", "玩家列表");

inline constexpr const char* kMenuGame = QT_TRANSLATE_NOOP("Vorn", "游戏(&G)");
inline constexpr const char* kMenuReset = QT_TRANSLATE_NOOP("Vorn", "重置(&R)");
inline constexpr const char* kMenuDisconnect = QT_TRANSLATE_NOOP("Vorn", "断开(&B)");
inline constexpr const char* kMenuDeal = QT_TRANSLATE_NOOP("Vorn", "发牌(&D)");
inline constexpr const char* kMenuHint = QT_TRANSLATE_NOOP("Vorn", "提示(&T)");
inline constexpr const char* kMenuExit = QT_TRANSLATE_NOOP("Vorn", "退出(&E)");
inline constexpr const char* kMenuSet = QT_TRANSLATE_NOOP("Vorn", "设置(&S)");
inline constexpr const char* kMenuName = QT_TRANSLATE_NOOP("Vorn", "姓名设置");
inline constexpr const char* kMenuDesk = QT_TRANSLATE_NOOP("Vorn", "牌桌设置");
inline constexpr const char* kMenuDeskSquare = QT_TRANSLATE_NOOP("Vorn", "方桌");
inline constexpr const char* kMenuDeskRound = QT_TRANSLATE_NOOP("Vorn", "圆桌");
inline constexpr const char* kMenuOption = QT_TRANSLATE_NOOP("Vorn", "选项(&S)");
inline constexpr const char* kMenuRate = QT_TRANSLATE_NOOP("Vorn", "游戏速度(&R)");
inline constexpr const char* kMenuRateItems[3] = {QT_TRANSLATE_NOOP("Vorn", "快速(&F)"),
                                                  QT_TRANSLATE_NOOP("Vorn", "中速(&N)"),
                                                  QT_TRANSLATE_NOOP("Vorn", "慢速(&S)")};
inline constexpr const char* kMenuLevel = QT_TRANSLATE_NOOP("Vorn", "电脑水平(&L)");
inline constexpr const char* kMenuLevelItems[4] = {
    QT_TRANSLATE_NOOP("Vorn", "高(&H)"), QT_TRANSLATE_NOOP("Vorn", "中(&M)"),
    QT_TRANSLATE_NOOP("Vorn", "低(&L)"), QT_TRANSLATE_NOOP("Vorn", "专家(&E)")};
inline constexpr const char* kMenuAnimal = QT_TRANSLATE_NOOP("Vorn", "动画效果(&A)");
inline constexpr const char* kMenuSound = QT_TRANSLATE_NOOP("Vorn", "声音效果(&W)");
inline constexpr const char* kMenuFourColour = QT_TRANSLATE_NOOP("Vorn", "四色牌(&F)");
inline constexpr const char* kMenuKeepPlay = QT_TRANSLATE_NOOP("Vorn", "保留桌面牌(&K)");
inline constexpr const char* kMenuRefusalBoxes = QT_TRANSLATE_NOOP("Vorn", "提示框(&B)");
inline constexpr const char* kMenuAutoPass = QT_TRANSLATE_NOOP("Vorn", "自动不出(&P)");
inline constexpr const char* kMenuShowConnections = QT_TRANSLATE_NOOP("Vorn", "显示玩家列表(&C)");
inline constexpr const char* kMenuShowMessage = QT_TRANSLATE_NOOP("Vorn", "显示对话(&M)");
inline constexpr const char* kMenuLanguage = QT_TRANSLATE_NOOP("Vorn", "English / 中文");
inline constexpr const char* kMenuShowScore = QT_TRANSLATE_NOOP("Vorn", "显示计分(&S)");
inline constexpr const char* kMenuIP = QT_TRANSLATE_NOOP("Vorn", "查看(&I)");
inline constexpr const char* kMenuLocalName = QT_TRANSLATE_NOOP("Vorn", "本机名称(&N)");
inline constexpr const char* kMenuLocalIP = QT_TRANSLATE_NOOP("Vorn", "本机IP(&I)");
inline constexpr const char* kMenuStatistics = QT_TRANSLATE_NOOP("Vorn", "战绩(&R)");
inline constexpr const char* kMenuHelp = QT_TRANSLATE_NOOP("Vorn", "帮助(&H)");
inline constexpr const char* kMenuContents = QT_TRANSLATE_NOOP("Vorn", "主题(&C)");
inline constexpr const char* kMenuSearch = QT_TRANSLATE_NOOP("Vorn", "搜索(&S)");
inline constexpr const char* kMenuHomePage = QT_TRANSLATE_NOOP("Vorn", "Quillon主页(&H)");
inline constexpr const char* kMenuAbout = QT_TRANSLATE_NOOP("Vorn", "关于(&A)");

inline constexpr const char* kResetQuestion = QT_TRANSLATE_NOOP("Vorn", "重置将断开现有连接，是否继续？");
inline constexpr const char* kLocalNameIs = QT_TRANSLATE_NOOP("Vorn", "本机的名称是:");
inline constexpr const char* kLocalIpIs = QT_TRANSLATE_NOOP("Vorn", "本机的IP地址是:");
inline constexpr const char* kNoBeatingPlay = QT_TRANSLATE_NOOP("Vorn", "没有牌管得起");
// The hint's odds by the play button: %1 the share of the search's games won, in percent.
inline constexpr const char* kHintWins = QT_TRANSLATE_NOOP("Vorn", "胜率 %1%");
// The same when passing rates best.
inline constexpr const char* kHintPass = QT_TRANSLATE_NOOP("Vorn", "不出最好，胜率 %1%");
// After either, when the search cannot tell the choice from the next or the one before.
inline constexpr const char* kHintCloseToNext = QT_TRANSLATE_NOOP("Vorn", "%1，与下一手难分高下");
inline constexpr const char* kHintCloseToPrevious = QT_TRANSLATE_NOOP("Vorn", "%1，与上一手难分高下");
inline constexpr const char* kExitQuestion = QT_TRANSLATE_NOOP("Vorn", "本局还没有结束，确定要退出吗？");
// The same, to a joiner: its seat goes to the host's computer player.
inline constexpr const char* kExitQuestionStandIn =
    QT_TRANSLATE_NOOP("Vorn", "本局还没有结束，确定要退出吗？其他人会继续，由电脑替你出牌。");
// The status line when a round opens; %1 is the leader's name.
inline constexpr const char* kNewRound = QT_TRANSLATE_NOOP("Vorn", "新一轮由%1先出牌");
// A line of the end-of-hand detail: %1 the name, %2 the cards left (kCardsLeftCount),
// %3 the points lost (kPointsLostCount).
inline constexpr const char* kHandLeft = QT_TRANSLATE_NOOP("Vorn", "%1：%2，%3");
inline constexpr const char* kCardsLeftCount = QT_TRANSLATE_N_NOOP("Vorn", "剩 %n 张");
inline constexpr const char* kPointsLostCount = QT_TRANSLATE_N_NOOP("Vorn", "本局失 %n 分");
inline constexpr const char* kHomePage = "https://quillon.example.org/vorn/";

inline constexpr const char* kStatsTitle = QT_TRANSLATE_NOOP("Vorn", "战绩");
inline constexpr const char* kStatsLevelHigh = QT_TRANSLATE_NOOP("Vorn", "电脑水平高");
inline constexpr const char* kStatsLevelMedium = QT_TRANSLATE_NOOP("Vorn", "电脑水平中");
inline constexpr const char* kStatsLevelLow = QT_TRANSLATE_NOOP("Vorn", "电脑水平低");
inline constexpr const char* kStatsLevelExpert = QT_TRANSLATE_NOOP("Vorn", "电脑水平专家");
inline constexpr const char* kStatsNetwork = QT_TRANSLATE_NOOP("Vorn", "网络游戏");
inline constexpr const char* kStatsPlayed = QT_TRANSLATE_NOOP("Vorn", "局数");
inline constexpr const char* kStatsWon = QT_TRANSLATE_NOOP("Vorn", "赢局");
inline constexpr const char* kStatsLost = QT_TRANSLATE_NOOP("Vorn", "失分");
inline constexpr const char* kStatsLostPerGame = QT_TRANSLATE_NOOP("Vorn", "每局失分");
inline constexpr const char* kStatsLongest = QT_TRANSLATE_NOOP("Vorn", "最长连胜");
inline constexpr const char* kStatsCurrent = QT_TRANSLATE_NOOP("Vorn", "当前连胜");
inline constexpr const char* kStatsClear = QT_TRANSLATE_NOOP("Vorn", "清除");
inline constexpr const char* kStatsClearQuestion = QT_TRANSLATE_NOOP("Vorn", "清除全部战绩吗？");

// A server's certificate: the first time ("%1" the start of its fingerprint),
// a changed one ("%1" the fingerprint remembered, "%2" the one now), and a
// failed encryption ("%1" the reason).
// A new table at a server whose link is not encrypted.
inline constexpr const char* kNoPasswordInPlain =
    QT_TRANSLATE_NOOP("Vorn", "连接没有加密，密码不会发给服务器：新牌桌不设密码");
inline constexpr const char* kFingerprintLearnt =
    QT_TRANSLATE_NOOP("Vorn", "第一次连接这台服务器，已记住它的证书指纹 %1…");
// clang-format off
inline constexpr const char* kCertificateChanged = QT_TRANSLATE_NOOP("Vorn", "服务器的证书变了！可能有人冒充它。\n\n记住的指纹：%1\n现在的指纹：%2\n\n仍然连接，并记住新的指纹吗？");
// clang-format on
inline constexpr const char* kEncryptionFailed = QT_TRANSLATE_NOOP("Vorn", "加密连接失败：%1");

}  // namespace vorn::texts
