#pragma once

#include <QDialog>

#include <optional>
#include <vector>

#include "game/savedgame.h"
#include "net/socket/lanlisting.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace vorn {

class Language;

class MainWindow;

// frmLogon: chooses a local game or a network game (hosting or joining) and
// starts it. It always opens on the local game; the network fields come from
// the "Net" section of the settings file. A refused OK names its cause, puts
// the focus on the field to mend and keeps the dialog open.
class LogonDialog : public QDialog {
    Q_OBJECT
  public:
    explicit LogonDialog(MainWindow& main);

    void DisableNetworkOptions();
    void EnableNetworkOptions();
    void cmdOK_Click();

    // Shown only when an earlier session saved a local game: it is taken up where it stood.
    QRadioButton* optResume = nullptr;
    QRadioButton* optLocal = nullptr;
    QRadioButton* optNet = nullptr;
    QRadioButton* optHost = nullptr;
    QRadioButton* optConnect = nullptr;
    QLineEdit* txtIP = nullptr;
    QLineEdit* txtID = nullptr;
    QLineEdit* txtPort = nullptr;
    QLineEdit* txtPassword = nullptr;
    // Hosting: a dropped link ends the game for everybody, rather than the
    // computer player taking the seat.
    QCheckBox* chkEndOnDrop = nullptr;
    // Hosting: the computer player fills the seats no person holds, at this level.
    QCheckBox* chkFillSeats = nullptr;
    QComboBox* cboFillLevel = nullptr;
    // Hosting: seconds for a move (the item's data), 0 for no limit.
    QComboBox* cboTurnLimit = nullptr;
    // Hosting: ask the router to forward the port (shown where the LAN may be used).
    QCheckBox* chkForwardPort = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    // Joining: the tables heard on the local network; choosing one fills in
    // its address and port, and a double click joins it.
    QListWidget* lstTables = nullptr;
    void ShowTables(const std::vector<LanSearch::Table>& tables);

  private:
    // What the dialog shows when OK is pressed.
    struct Choices {
        bool resume = false;
        bool net = false, host = false;
        QString name;
        int port = 0;
        std::string address;
        bool endOnDrop = false;
        std::string password;
        bool fillSeats = false;
        int fillLevel = 0;
        int turnLimit = 0;
        bool forwardPort = false;
    };
    Choices ReadChoices() const;
    void BuildFields(const Language& words);
    void ReadSavedFields();
    void UpdateAddressEnabled();
    void BuildTableList(const Language& words);
    // The game saved by an earlier session, read when the dialog opens; one
    // that does not read is set aside and the person told.
    void OfferSavedGame(const Language& words);

    MainWindow& main_;
    std::optional<SavedGame> saved_;
    QGroupBox* fraMode_ = nullptr;
    QGroupBox* fraNet_ = nullptr;
    QGroupBox* fraName_ = nullptr;
    QLabel* lblIP_ = nullptr;
    QLabel* lblID_ = nullptr;
    QLabel* lblPort_ = nullptr;
    QLabel* lblPassword_ = nullptr;
    QLabel* lblTurnLimit_ = nullptr;
    QGroupBox* fraTables_ = nullptr;
    LanSearch* lan_ = nullptr;  // none when the LAN is not to be searched
};

// The port typed in the logon dialog: a whole number from 1 to 65535, blanks
// around it allowed. Returns 0 for anything else.
int ParsePort(const QString& text);

}  // namespace vorn
