#include "app/tablemenus.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QUrl>

#include "app/aboutdialog.h"
#include "app/chatpanel.h"
#include "app/helpviewer.h"
#include "app/mainwindow.h"
#include "app/networkgame.h"
#include "app/playerdialog.h"
#include "app/statisticsdialog.h"
#include "app/texts.h"

namespace vorn {

TableMenus::TableMenus(MainWindow& window) : QObject(&window), window_(window) {
    BuildGame();
    BuildSet();
    BuildOption();
    BuildIP();
    BuildHelp();
}

QAction* TableMenus::Action(const char* name) const {
    return window_.Action(name);
}

QMenu* TableMenus::AddMenu(QMenu* parent, const char* text) {
    QMenu* menu = parent ? parent->addMenu(QString()) : window_.menuBar()->addMenu(QString());
    window_.language().Caption(menu, text);
    return menu;
}

QAction* TableMenus::Add(QMenu* menu, const char* name, const char* text, bool checkable) {
    QAction* action = menu->addAction(QString());
    window_.language().Caption(action, text);
    action->setObjectName(name);
    action->setCheckable(checkable);
    return action;
}

void TableMenus::BuildGame() {
    mnuGame_ = AddMenu(nullptr, texts::kMenuGame);
    mnuGame_->setObjectName("mnuGame");
    connect(mnuGame_, &QMenu::aboutToShow, this, &TableMenus::mnuGame_Opening);
    connect(Add(mnuGame_, "mnuReset", texts::kMenuReset), &QAction::triggered, this,
            &TableMenus::mnuReset_Click);
    connect(Add(mnuGame_, "mnuDisconnect", texts::kMenuDisconnect), &QAction::triggered, this,
            &TableMenus::mnuDisconnect_Click);
    mnuGame_->addSeparator();
    QAction* deal = Add(mnuGame_, "mnuDeal", texts::kMenuDeal);
    deal->setShortcut(Qt::Key_F5);
    connect(deal, &QAction::triggered, this, &TableMenus::DealCommand);
    QAction* hint = Add(mnuGame_, "mnuHint", texts::kMenuHint);
    hint->setShortcut(Qt::Key_F2);
    hint->setEnabled(false);
    connect(hint, &QAction::triggered, this, &TableMenus::mnuHint_Click);
    mnuGame_->addSeparator();
    connect(Add(mnuGame_, "mnuExit", texts::kMenuExit), &QAction::triggered, this,
            &TableMenus::mnuExit_Click);
}

void TableMenus::BuildSet() {
    mnuSet_ = AddMenu(nullptr, texts::kMenuSet);
    mnuSet_->setObjectName("mnuSet");
    connect(mnuSet_, &QMenu::aboutToShow, this, &TableMenus::mnuSet_Opening);
    connect(Add(mnuSet_, "mnuName", texts::kMenuName), &QAction::triggered, this, &TableMenus::mnuName_Click);
    QMenu* desk = AddMenu(mnuSet_, texts::kMenuDesk);
    desk->menuAction()->setObjectName("mnuDesk");
    const char* deskNames[2] = {"mnuDeskItem0", "mnuDeskItem1"};
    const char* deskTexts[2] = {texts::kMenuDeskSquare, texts::kMenuDeskRound};
    for (int i = 0; i < 2; ++i) {
        mnuDeskItem_[i] = Add(desk, deskNames[i], deskTexts[i], true);
        connect(mnuDeskItem_[i], &QAction::triggered, this, [this, i] { mnuDeskItem_Click(i); });
    }
}

void TableMenus::BuildOption() {
    mnuOption_ = AddMenu(nullptr, texts::kMenuOption);
    mnuOption_->setObjectName("mnuOption");
    connect(mnuOption_, &QMenu::aboutToShow, this, &TableMenus::mnuOption_Opening);
    QMenu* rate = AddMenu(mnuOption_, texts::kMenuRate);
    rate->menuAction()->setObjectName("mnuRate");
    for (int i = 0; i < 3; ++i) {
        mnuRateItem_[i] = Add(rate, "", texts::kMenuRateItems[i], true);
        mnuRateItem_[i]->setObjectName(QString("mnuRateItem%1").arg(i));
        connect(mnuRateItem_[i], &QAction::triggered, this, [this, i] { mnuRateItem_Click(i); });
    }
    QMenu* level = AddMenu(mnuOption_, texts::kMenuLevel);
    level->menuAction()->setObjectName("mnuLevel");
    for (int i = 0; i < kLevelItems; ++i) {
        mnuLevelItem_[i] = Add(level, "", texts::kMenuLevelItems[i], true);
        mnuLevelItem_[i]->setObjectName(QString("mnuLevelItem%1").arg(i));
        connect(mnuLevelItem_[i], &QAction::triggered, this, [this, i] { mnuLevelItem_Click(i); });
    }
    // The check boxes, in the order the menu shows them.
    using Handler = void (TableMenus::*)();
    struct Toggle {
        const char* name;
        const char* text;
        Handler handler;
    };
    const Toggle toggles[] = {
        {"mnuAnimal", texts::kMenuAnimal, &TableMenus::mnuAnimal_Click},
        {"mnuSound", texts::kMenuSound, &TableMenus::mnuSound_Click},
        {"mnuFourColour", texts::kMenuFourColour, &TableMenus::mnuFourColour_Click},
        {"mnuKeepPlay", texts::kMenuKeepPlay, &TableMenus::mnuKeepPlay_Click},
        {"mnuRefusalBoxes", texts::kMenuRefusalBoxes, &TableMenus::mnuRefusalBoxes_Click},
        {"mnuAutoPass", texts::kMenuAutoPass, &TableMenus::mnuAutoPass_Click},
        {nullptr, nullptr, nullptr},
        {"mnuShowConnections", texts::kMenuShowConnections, &TableMenus::mnuShowConnections_Click},
        {"mnuShowMessage", texts::kMenuShowMessage, &TableMenus::mnuShowMessage_Click},
        {"mnuShowScore", texts::kMenuShowScore, &TableMenus::mnuShowScore_Click},
    };
    mnuOption_->addSeparator();
    for (const Toggle& t : toggles) {
        if (!t.name) {
            mnuOption_->addSeparator();
            continue;
        }
        connect(Add(mnuOption_, t.name, t.text, true), &QAction::triggered, this, t.handler);
    }
    mnuOption_->addSeparator();
    // Written in both languages, so whoever reads neither caption around it finds the way back.
    connect(Add(mnuOption_, "mnuLanguage", texts::kMenuLanguage), &QAction::triggered, &window_,
            &MainWindow::SwitchLanguage);
}

void TableMenus::BuildIP() {
    QMenu* ip = AddMenu(nullptr, texts::kMenuIP);
    ip->menuAction()->setObjectName("mnuIP");
    connect(Add(ip, "mnuLocalName", texts::kMenuLocalName), &QAction::triggered, this,
            &TableMenus::mnuLocalName_Click);
    connect(Add(ip, "mnuLocalIP", texts::kMenuLocalIP), &QAction::triggered, this,
            &TableMenus::mnuLocalIP_Click);
    connect(Add(ip, "mnuStatistics", texts::kMenuStatistics), &QAction::triggered, this,
            &TableMenus::mnuStatistics_Click);
}

void TableMenus::BuildHelp() {
    QMenu* help = AddMenu(nullptr, texts::kMenuHelp);
    help->menuAction()->setObjectName("mnuHelp");
    QAction* contents = Add(help, "mnuContents", texts::kMenuContents);
    contents->setShortcut(QKeySequence::HelpContents);
    connect(contents, &QAction::triggered, this, &TableMenus::mnuContents_Click);
    connect(Add(help, "mnuSearch", texts::kMenuSearch), &QAction::triggered, this,
            &TableMenus::mnuSearch_Click);
    connect(Add(help, "mnuHomePage", texts::kMenuHomePage), &QAction::triggered, this,
            &TableMenus::mnuHomePage_Click);
    help->addSeparator();
    connect(Add(help, "mnuAbout", texts::kMenuAbout), &QAction::triggered, this, &TableMenus::mnuAbout_Click);
}

void TableMenus::SyncChecks() {
    const Options& options = window_.options();
    for (int i = 0; i < 3; ++i) mnuRateItem_[i]->setChecked(options.rateItem == i);
    for (int i = 0; i < kLevelItems; ++i) mnuLevelItem_[i]->setChecked(options.levelItem == i);
    mnuDeskItem_[0]->setChecked(options.deskShape == 0);
    mnuDeskItem_[1]->setChecked(options.deskShape != 0);
    Action("mnuAnimal")->setChecked(options.animation);
    Action("mnuSound")->setChecked(options.sound);
    Action("mnuShowScore")->setChecked(options.showScore);
    Action("mnuShowMessage")->setChecked(options.showMessage);
    Action("mnuShowConnections")->setChecked(options.showConnections);
    Action("mnuFourColour")->setChecked(options.fourColour);
    Action("mnuKeepPlay")->setChecked(options.keepPlay);
    Action("mnuRefusalBoxes")->setChecked(options.refusalBoxes);
    Action("mnuAutoPass")->setChecked(options.autoPass);
    window_.ApplyOptions();
}

void TableMenus::DealCommand() {
    mnuGame_Opening();
    if (Action("mnuDeal")->isEnabled()) mnuDeal_Click();
}

// ---------------------------------------------------------------------------
// Game

void TableMenus::mnuGame_Opening() {
    const Session& session = window_.session();
    if (session.IsNet()) {
        Action("mnuDisconnect")->setEnabled(true);
        Action("mnuDeal")->setEnabled(session.IsHost() && (session.SlotCount > 2 || session.FillSeats));
    } else {
        Action("mnuDisconnect")->setEnabled(false);
    }
}

void TableMenus::mnuReset_Click() {
    if (window_.session().IsNet() &&
        !window_.prompter.AskYesNo(&window_, window_.language().Tr(texts::kResetQuestion)))
        return;
    // One unit: the links close and the table returns to local play first, so
    // whatever the dialog's OK sets up afterwards is what remains. The dialog
    // opens between actions because its OK runs actions of its own.
    window_.engine().RunCommand([this] {
        window_.network().CloseAllConnections();
        window_.ResetToLocalGame();
    });
    window_.OpenLogonLater();
}

void TableMenus::mnuDisconnect_Click() {
    window_.engine().RunCommand([this] {
        window_.network().CloseAllConnections();
        window_.ResetToLocalGame();
        window_.engine().NewGame();
    });
}

void TableMenus::mnuDeal_Click() {
    // Chosen while an action runs, the deal waits for it; by then the table may
    // have been dealt already (the command chosen twice, or a Yes to the next
    // game), and then it is not dealt again. The item itself may still be
    // waiting for the screen to show the deal.
    window_.engine().RunCommand([this] {
        if (!Action("mnuDeal")->isEnabled() || !window_.engine().DealOpen()) return;
        window_.network().FillEmptySeats();
        window_.engine().Deal();
    });
}

void TableMenus::mnuHint_Click() {
    window_.OfferHint();
}

bool TableMenus::ConfirmLeave() {
    // Leaving in the middle of a hand loses it: ask first. A joiner's hand
    // goes on without it, the host's computer player in its seat.
    if (!window_.HandRunning()) return true;
    const Session& s = window_.session();
    const char* question = s.mode == Mode::Joiner ? texts::kExitQuestionStandIn : texts::kExitQuestion;
    return window_.prompter.AskYesNo(&window_, window_.language().Tr(question));
}

void TableMenus::mnuExit_Click() {
    if (ConfirmLeave()) window_.Exit();
}

// ---------------------------------------------------------------------------
// Set and Option

void TableMenus::mnuSet_Opening() {
    Action("mnuName")->setEnabled(!window_.session().IsNet());
}

void TableMenus::mnuOption_Opening() {
    Action("mnuLevel")->setEnabled(!window_.session().IsNet());
}

void TableMenus::mnuName_Click() {
    PlayerDialog dialog(window_);
    dialog.exec();
}

void TableMenus::mnuDeskItem_Click(int index) {
    window_.options().deskShape = index == 0 ? 0 : 3;
    SyncChecks();
}

void TableMenus::mnuRateItem_Click(int index) {
    window_.options().SetSpeed(index);
    SyncChecks();
}

void TableMenus::mnuLevelItem_Click(int index) {
    window_.options().SetLevel(index);
    SyncChecks();
}

void TableMenus::FlipOption(bool Options::*option) {
    Options& options = window_.options();
    options.*option = !(options.*option);
    SyncChecks();
}

void TableMenus::mnuAnimal_Click() {
    FlipOption(&Options::animation);
}

void TableMenus::mnuSound_Click() {
    FlipOption(&Options::sound);
}

void TableMenus::mnuFourColour_Click() {
    FlipOption(&Options::fourColour);
}

void TableMenus::mnuAutoPass_Click() {
    FlipOption(&Options::autoPass);
}

void TableMenus::mnuRefusalBoxes_Click() {
    FlipOption(&Options::refusalBoxes);
}

void TableMenus::mnuKeepPlay_Click() {
    FlipOption(&Options::keepPlay);
}

void TableMenus::mnuShowConnections_Click() {
    FlipOption(&Options::showConnections);
    window_.chat().FlipConnections();
}

void TableMenus::mnuShowMessage_Click() {
    FlipOption(&Options::showMessage);
    window_.chat().FlipChat(window_.options().showMessage);
}

void TableMenus::mnuShowScore_Click() {
    FlipOption(&Options::showScore);
    window_.FlipScoreBoard();
}

// ---------------------------------------------------------------------------
// IP and Help

void TableMenus::mnuLocalName_Click() {
    window_.prompter.Info(&window_,
                          window_.language().Tr(texts::kLocalNameIs) + window_.network().LocalHostName());
}

void TableMenus::mnuLocalIP_Click() {
    window_.prompter.Info(&window_,
                          window_.language().Tr(texts::kLocalIpIs) + window_.network().LocalHostAddress());
}

void TableMenus::mnuStatistics_Click() {
    StatisticsDialog dialog(
        window_.SettingsFile(),
        [this](const QString& text) { return window_.prompter.AskYesNo(&window_, text); }, &window_,
        window_.language());
    dialog.exec();
}

void TableMenus::ShowHelp(bool index) {
    if (!helpViewer_) helpViewer_ = new HelpViewer(window_.HelpFile(), &window_, window_.language());
    auto* viewer = static_cast<HelpViewer*>(helpViewer_.data());
    if (!viewer->Open(index ? HelpViewer::Page::Index : HelpViewer::Page::Contents)) return;
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

void TableMenus::mnuContents_Click() {
    ShowHelp(false);
}

void TableMenus::mnuSearch_Click() {
    ShowHelp(true);
}

void TableMenus::mnuHomePage_Click() {
    QDesktopServices::openUrl(QUrl(texts::kHomePage));
}

void TableMenus::mnuAbout_Click() {
    AboutDialog dialog(window_);
    dialog.exec();
}

}  // namespace vorn
