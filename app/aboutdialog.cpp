#include "app/aboutdialog.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "app/mainwindow.h"
#include "app/texts.h"

namespace vorn {

namespace {
constexpr const char* kNoSysInfo = "System Information Is Unavailable At This Time";
}

QString FindSystemInfoProgram(const QStringList& candidates) {
#ifdef Q_OS_WIN
    QSettings tools("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", QSettings::NativeFormat);
    QString path = tools.value("PATH").toString();
    if (!path.isEmpty()) return path;
    QSettings location("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location",
                       QSettings::NativeFormat);
    QString folder = location.value("MSINFO").toString();
    if (!folder.isEmpty() && QFileInfo::exists(folder + "\\MSINFO32.EXE")) return folder + "\\MSINFO32.EXE";
    return {};
#else
    for (const QString& name : candidates) {
        QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty()) return path;
    }
    return {};
#endif
}

AboutDialog::AboutDialog(MainWindow& main) : QDialog(&main), main_(main) {
    setObjectName("frmAbout");
    const Language& words = main_.language();
    words.Caption(this, QT_TRANSLATE_NOOP("Vorn", "关于"));
    setModal(true);
    lblTitle = new QLabel(texts::kTitle, this);
    lblTitle->setObjectName("lblTitle");
    QFont f = lblTitle->font();
    f.setPointSizeF(f.pointSizeF() * 2);
    f.setBold(true);
    lblTitle->setFont(f);
    lblVersion = new QLabel(
        QString("Version %1.%2.%3").arg(VORN_VERSION_MAJOR).arg(VORN_VERSION_MINOR).arg(VORN_VERSION_PATCH),
        this);
    lblVersion->setObjectName("lblVersion");
    auto* blurb = new QLabel(this);
    words.Caption(blurb, QT_TRANSLATE_NOOP("Vorn", "四人出牌游戏：单机对战电脑，或四人连线对局。"));
    blurb->setWordWrap(true);
    cmdOK = new QPushButton("OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton("&System Info...", this);
    cmdSysInfo->setObjectName("cmdSysInfo");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addWidget(lblVersion);
    layout->addWidget(blurb);
    layout->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &AboutDialog::StartSysInfo);
}

void AboutDialog::StartSysInfo() {
    const QString path = locate();
    if (path.isEmpty() || !QProcess::startDetached(path, {})) main_.prompter.Info(this, kNoSysInfo);
}

}  // namespace vorn
