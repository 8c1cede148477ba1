#pragma once

#include <QDialog>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "net/protocol.h"

class QListWidget;
class QPushButton;

namespace vorn {

class Language;

// frmLobby: the tables of a server, for a joiner's person to sit down at one
// or open a new one. It asks the server for the list again every few seconds
// while it is open; closing it any other way leaves the server.
class LobbyDialog : public QDialog {
    Q_OBJECT
  public:
    LobbyDialog(QWidget* parent, const Language& words);

    void ShowTables(const std::vector<TableAd>& tables);

    // The person's choice: a table's id, or empty for a new table.
    std::function<void(const std::string& id)> picked;
    std::function<void()> refresh;
    std::function<void()> cancelled;

    static constexpr int kRefreshMs = 3000;

    QListWidget* lstLobby = nullptr;
    QPushButton* cmdSit = nullptr;
    QPushButton* cmdNewTable = nullptr;
    QPushButton* cmdCancel = nullptr;

  private:
    void Pick(const std::string& id);

    const Language& words_;
    QTimer refresh_;
    bool done_ = false;
};

}  // namespace vorn
