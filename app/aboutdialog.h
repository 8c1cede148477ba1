#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;
class QPushButton;

namespace vorn {

class MainWindow;

// Where the system-information program lives: on Windows the registry keys
// that name it, elsewhere the first known program found on PATH. Empty when
// there is none.
QString FindSystemInfoProgram(const QStringList& candidates = {"hardinfo", "kinfocenter", "lshw-gtk",
                                                               "gnome-system-monitor"});

// frmAbout: the program title and version, and a button that starts the
// system-information program.
class AboutDialog : public QDialog {
    Q_OBJECT
  public:
    explicit AboutDialog(MainWindow& main);
    void StartSysInfo();

    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

    // Tests point this at their own lookup.
    std::function<QString()> locate = [] { return FindSystemInfoProgram(); };

  private:
    MainWindow& main_;
};

}  // namespace vorn
