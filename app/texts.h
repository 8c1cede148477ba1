#pragma once

// Texts of the table window, its menus and dialogs.
namespace vorn::texts {

inline constexpr const char* kTitle = "Vorn";
inline constexpr const char* kLocalGame = "单机游戏";
inline constexpr const char* kStockLabel = "余牌:";
inline constexpr const char* kDialogCaption = "聊天记录(回车清空)";
inline constexpr const char* kMessageCaption = "发送文字(回车发送)";
inline constexpr const char* kMessageInitial = "Hello,every body!";
inline constexpr const char* kSend = "发送";
inline constexpr const char* kClear = "清空";
inline constexpr const char* kConnections = "玩家列表";

inline constexpr const char* kMenuGame = "游戏(&G)";
inline constexpr const char* kMenuReset = "重置(&R)";
inline constexpr const char* kMenuDisconnect = "断开(&B)";
inline constexpr const char* kMenuDeal = "发牌(&D)";
inline constexpr const char* kMenuHint = "提示(&T)";
inline constexpr const char* kMenuExit = "退出(&E)";
inline constexpr const char* kMenuSet = "设置(&S)";
inline constexpr const char* kMenuName = "姓名设置";
inline constexpr const char* kMenuDesk = "牌桌设置";
inline constexpr const char* kMenuDeskSquare = "方桌";
inline constexpr const char* kMenuDeskRound = "圆桌";
inline constexpr const char* kMenuOption = "选项(&S)";
inline constexpr const char* kMenuRate = "游戏速度(&R)";
inline constexpr const char* kMenuRateItems[3] = {"快速(&F)", "中速(&N)", "慢速(&S)"};
inline constexpr const char* kMenuLevel = "电脑水平(&L)";
inline constexpr const char* kMenuLevelItems[4] = {"高(&H)", "中(&M)", "低(&L)", "专家(&E)"};
inline constexpr const char* kMenuAnimal = "动画效果(&A)";
inline constexpr const char* kMenuSound = "声音效果(&W)";
inline constexpr const char* kMenuFourColour = "四色牌(&K)";
inline constexpr const char* kMenuKeepPlay = "保留桌面牌(&K)";
inline constexpr const char* kMenuShowConnections = "显示玩家列表(&C)";
inline constexpr const char* kMenuShowMessage = "显示对话(&M)";
inline constexpr const char* kMenuShowScore = "显示计分(&S)";
inline constexpr const char* kMenuIP = "查看(&I)";
inline constexpr const char* kMenuLocalName = "本机名称(&N)";
inline constexpr const char* kMenuLocalIP = "本机IP(&I)";
inline constexpr const char* kMenuStatistics = "战绩(&R)";
inline constexpr const char* kMenuHelp = "帮助(&H)";
inline constexpr const char* kMenuContents = "主题(&C)";
inline constexpr const char* kMenuSearch = "搜索(&S)";
inline constexpr const char* kMenuHomePage = "Quillon主页(&H)";
inline constexpr const char* kMenuAbout = "关于(&A)";

inline constexpr const char* kResetQuestion = "重置将断开现有连接，是否继续？";
inline constexpr const char* kLocalNameIs = "本机的名称是:";
inline constexpr const char* kLocalIpIs = "本机的IP地址是:";
inline constexpr const char* kNoBeatingPlay = "没有牌管得起";
inline constexpr const char* kExitQuestion = "本局还没有结束，确定要退出吗？";
// The status line when a round opens: "新一轮由" + name + "先出牌".
inline constexpr const char* kNewRound1 = "新一轮由";
inline constexpr const char* kNewRound2 = "先出牌";
// A line of the end-of-hand detail: name + "：剩 " + n + " 张，本局失 " + n + " 分".
inline constexpr const char* kHandLeft1 = "：剩 ";
inline constexpr const char* kHandLeft2 = " 张，本局失 ";
inline constexpr const char* kHandLeft3 = " 分";
inline constexpr const char* kHomePage = "https://quillon.example.org/vorn/";

inline constexpr const char* kStatsTitle = "战绩";
inline constexpr const char* kStatsLevelHigh = "电脑水平高";
inline constexpr const char* kStatsLevelMedium = "电脑水平中";
inline constexpr const char* kStatsLevelLow = "电脑水平低";
inline constexpr const char* kStatsLevelExpert = "电脑水平专家";
inline constexpr const char* kStatsNetwork = "网络游戏";
inline constexpr const char* kStatsPlayed = "局数";
inline constexpr const char* kStatsWon = "赢局";
inline constexpr const char* kStatsLost = "失分";
inline constexpr const char* kStatsLostPerGame = "每局失分";
inline constexpr const char* kStatsLongest = "最长连胜";
inline constexpr const char* kStatsCurrent = "当前连胜";
inline constexpr const char* kStatsClear = "清除";
inline constexpr const char* kStatsClearQuestion = "清除全部战绩吗？";

}  // namespace vorn::texts
