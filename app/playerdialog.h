#pragma once

#include <QDialog>

#include <array>

class QLineEdit;
class QPushButton;

namespace vorn {

class MainWindow;

// frmPlayer: the four seat names of a local game. No name changes until all
// four fields hold text; blanks alone count as a name here.
class PlayerDialog : public QDialog {
    Q_OBJECT
  public:
    explicit PlayerDialog(MainWindow& main);
    void cmdOk_Click();

    std::array<QLineEdit*, 4> txtName{};
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

  private:
    MainWindow& main_;
};

}  // namespace vorn
