#pragma once

#include <QObject>
#include <QPointer>

#include <array>

#include "cards/options.h"

class QAction;
class QMenu;

namespace vorn {

class MainWindow;

// The menu bar of the table window: it builds the menus, answers their
// commands and keeps their check marks in step with the options. Commands
// that change the table run through the window's engine, one at a time.
class TableMenus : public QObject {
  public:
    explicit TableMenus(MainWindow& window);

    // The check marks show the option state; after the settings are read or an
    // option changes, the menu is brought into step with it.
    void SyncChecks();
    // The deal as the menu, F5 and a click on the stock ask for it: only when
    // the menu would offer it.
    void DealCommand();

    void mnuReset_Click();
    void mnuDisconnect_Click();
    void mnuDeal_Click();
    void mnuHint_Click();
    void mnuExit_Click();
    // In the middle of a hand, asks whether to leave it (the menu's 退出 and
    // the window's close); true to go on leaving.
    bool ConfirmLeave();
    void mnuName_Click();
    void mnuDeskItem_Click(int index);
    void mnuRateItem_Click(int index);
    void mnuLevelItem_Click(int index);
    void mnuAnimal_Click();
    void mnuSound_Click();
    void mnuFourColour_Click();
    void mnuKeepPlay_Click();
    void mnuRefusalBoxes_Click();
    void mnuAutoPass_Click();
    void mnuShowConnections_Click();
    void mnuShowMessage_Click();
    void mnuShowScore_Click();
    void mnuLocalName_Click();
    void mnuLocalIP_Click();
    void mnuStatistics_Click();
    void mnuContents_Click();
    void mnuSearch_Click();
    void mnuHomePage_Click();
    void mnuAbout_Click();
    // The opening of the top-level menus, before they drop down.
    void mnuGame_Opening();
    void mnuSet_Opening();
    void mnuOption_Opening();

  private:
    // A menu or an item whose caption is a source text, in the window's language.
    QMenu* AddMenu(QMenu* parent, const char* text);
    QAction* Add(QMenu* menu, const char* name, const char* text, bool checkable = false);
    void BuildGame();
    void BuildSet();
    void BuildOption();
    void BuildIP();
    void BuildHelp();
    void ShowHelp(bool index);
    // A check-box option turned over, and the menu and table brought into step.
    void FlipOption(bool Options::*option);
    QAction* Action(const char* name) const;

    MainWindow& window_;
    QMenu* mnuGame_ = nullptr;
    QMenu* mnuSet_ = nullptr;
    QMenu* mnuOption_ = nullptr;
    std::array<QAction*, 2> mnuDeskItem_{};
    std::array<QAction*, 3> mnuRateItem_{};
    std::array<QAction*, kLevelItems> mnuLevelItem_{};
    QPointer<QWidget> helpViewer_;
};

}  // namespace vorn
