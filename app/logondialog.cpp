#include "app/logondialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <cmath>

#include "app/mainwindow.h"
#include "app/networkgame.h"
#include "app/savefile.h"
#include "app/settings.h"
#include "app/texts.h"

namespace vorn {

namespace {
constexpr const char* kNameFirst = QT_TRANSLATE_NOOP("Vorn", "先输入姓名，再进入连线游戏！");
constexpr const char* kBadPort = QT_TRANSLATE_NOOP("Vorn", "连接端口应为与对方相同的正整数！");
constexpr const char* kResume = QT_TRANSLATE_NOOP("Vorn", "继续上局");
constexpr const char* kSaveSetAside =
    QT_TRANSLATE_NOOP("Vorn", "上局的存档已损坏，无法继续，已改名为 %1 保留。");
}  // namespace

int ParsePort(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) return 0;
    if (value < 1 || value > 65535 || value != std::floor(value)) return 0;
    return int(value);
}

namespace {
QGroupBox* MakeFrame(QWidget* parent, const char* name, const char* caption, const Language& words) {
    auto* frame = new QGroupBox(parent);
    words.Caption(frame, caption);
    frame->setObjectName(name);
    return frame;
}

// Two choices in a frame, one under the other, the first checked.
void AddChoices(QGroupBox* frame, QRadioButton*& first, const char* firstName, const char* firstCaption,
                QRadioButton*& second, const char* secondName, const char* secondCaption,
                const Language& words) {
    first = new QRadioButton(frame);
    words.Caption(first, firstCaption);
    first->setObjectName(firstName);
    second = new QRadioButton(frame);
    words.Caption(second, secondCaption);
    second->setObjectName(secondName);
    first->setChecked(true);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(first);
    layout->addWidget(second);
}

// The style keeps placeholders dark, so a field the dialog has turned off
// looked as if it took text: its placeholder greys with it.
void GreyPlaceholderWhenOff(QLineEdit& field) {
    QPalette greyed = field.palette();
    greyed.setColor(QPalette::Disabled, QPalette::PlaceholderText,
                    greyed.color(QPalette::Disabled, QPalette::Text));
    field.setPalette(greyed);
}
}  // namespace

LogonDialog::LogonDialog(MainWindow& main) : QDialog(&main), main_(main) {
    setObjectName("frmLogon");
    const Language& words = main_.language();
    words.Caption(this, QT_TRANSLATE_NOOP("Vorn", "登录"));
    setModal(true);

    fraMode_ = MakeFrame(this, "fraMode", QT_TRANSLATE_NOOP("Vorn", "游戏模式"), words);
    AddChoices(fraMode_, optLocal, "optLocal", QT_TRANSLATE_NOOP("Vorn", "单机游戏"), optNet, "optNet",
               QT_TRANSLATE_NOOP("Vorn", "连线游戏"), words);
    fraNet_ = MakeFrame(this, "fraNet", QT_TRANSLATE_NOOP("Vorn", "连线模式"), words);
    AddChoices(fraNet_, optHost, "optHost", QT_TRANSLATE_NOOP("Vorn", "我作主机"), optConnect, "optConnect",
               QT_TRANSLATE_NOOP("Vorn", "加入牌局"), words);
    BuildFields(words);
    BuildTableList(words);
    OfferSavedGame(words);

    cmdOK = new QPushButton(this);
    words.Caption(cmdOK, QT_TRANSLATE_NOOP("Vorn", "确定"));
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    // Leaves the table as it is.
    cmdCancel = new QPushButton(this);
    words.Caption(cmdCancel, QT_TRANSLATE_NOOP("Vorn", "取消"));
    cmdCancel->setObjectName("cmdCancel");

    auto* layout = new QGridLayout(this);
    layout->addWidget(fraMode_, 0, 0);
    layout->addWidget(fraNet_, 0, 1);
    layout->addWidget(fraName_, 1, 0, 1, 2);
    layout->addWidget(fraTables_, 0, 2, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons, 2, 0, 1, 3);

    // Toggled, not clicked: a screen reader's or voice control's toggle action
    // checks a button without clicking it.
    connect(optNet, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            EnableNetworkOptions();
        else
            DisableNetworkOptions();
    });
    connect(optHost, &QRadioButton::toggled, this, &LogonDialog::UpdateAddressEnabled);
    connect(cmdOK, &QPushButton::clicked, this, &LogonDialog::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    ReadSavedFields();
    DisableNetworkOptions();
}

void LogonDialog::OfferSavedGame(const Language& words) {
    // Within a session, the game saved is the one on the table.
    if (main_.SavingGame()) return;
    SaveFileReading reading = ReadSaveFile(main_.SaveFile());
    if (!reading.setAside.isEmpty())
        main_.prompter.Info(&main_, words.Tr(kSaveSetAside).arg(QDir::toNativeSeparators(reading.setAside)));
    saved_ = std::move(reading.game);
    if (!saved_) return;
    optResume = new QRadioButton(fraMode_);
    words.Caption(optResume, kResume);
    optResume->setObjectName("optResume");
    static_cast<QVBoxLayout*>(fraMode_->layout())->insertWidget(0, optResume);
    optResume->setChecked(true);
}

void LogonDialog::BuildFields(const Language& words) {
    fraName_ = MakeFrame(this, "fraName", QT_TRANSLATE_NOOP("Vorn", "连线选项"), words);
    auto* grid = new QGridLayout(fraName_);
    auto addField = [&](int row, const char* labelName, const char* caption, const char* editName,
                        QLabel*& label, QLineEdit*& edit) {
        label = new QLabel(fraName_);
        words.Caption(label, caption);
        label->setObjectName(labelName);
        edit = new QLineEdit(fraName_);
        edit->setObjectName(editName);
        words.Name(edit, caption);
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
    };
    addField(0, "lblIP", QT_TRANSLATE_NOOP("Vorn", "主机名称"), "txtIP", lblIP_, txtIP);
    addField(1, "lblID", QT_TRANSLATE_NOOP("Vorn", "阁下姓名"), "txtID", lblID_, txtID);
    addField(2, "lblPort", QT_TRANSLATE_NOOP("Vorn", "游戏端口"), "txtPort", lblPort_, txtPort);
    // The host sets it (empty: none); a joiner gives it. It is never sent.
    addField(3, "lblPassword", QT_TRANSLATE_NOOP("Vorn", "牌桌密码"), "txtPassword", lblPassword_,
             txtPassword);
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setPlaceholderText(words.Tr(QT_TRANSLATE_NOOP("Vorn", "可不填")));
    GreyPlaceholderWhenOff(*txtPassword);
    chkEndOnDrop = new QCheckBox(fraName_);
    chkEndOnDrop->setObjectName("chkEndOnDrop");
    words.Caption(chkEndOnDrop, QT_TRANSLATE_NOOP("Vorn", "有人掉线即结束游戏"));
    grid->addWidget(chkEndOnDrop, 4, 0, 1, 2);
    chkFillSeats = new QCheckBox(fraName_);
    chkFillSeats->setObjectName("chkFillSeats");
    words.Caption(chkFillSeats, QT_TRANSLATE_NOOP("Vorn", "空位由电脑补齐"));
    cboFillLevel = new QComboBox(fraName_);
    cboFillLevel->setObjectName("cboFillLevel");
    words.Name(cboFillLevel, QT_TRANSLATE_NOOP("Vorn", "电脑水平"));
    // The level menu's items without their mnemonics.
    for (const char* item : texts::kMenuLevelItems)
        cboFillLevel->addItem(words.Tr(item).remove(QRegularExpression(" ?\\(&.\\)")).remove('&'));
    cboFillLevel->setCurrentIndex(std::max(0, main_.options().levelItem));
    grid->addWidget(chkFillSeats, 5, 0);
    grid->addWidget(cboFillLevel, 5, 1);
    // Hosting: how long a person (of a build that can be moved for) has for a move.
    lblTurnLimit_ = new QLabel(fraName_);
    lblTurnLimit_->setObjectName("lblTurnLimit");
    words.Caption(lblTurnLimit_, QT_TRANSLATE_NOOP("Vorn", "出牌时限"));
    cboTurnLimit = new QComboBox(fraName_);
    cboTurnLimit->setObjectName("cboTurnLimit");
    words.Name(cboTurnLimit, QT_TRANSLATE_NOOP("Vorn", "出牌时限"));
    cboTurnLimit->addItem(words.Tr(QT_TRANSLATE_NOOP("Vorn", "不限")), 0);
    for (const int seconds : {30, 60, 120})
        cboTurnLimit->addItem(words.Tr(QT_TRANSLATE_NOOP("Vorn", "%1 秒")).arg(seconds), seconds);
    lblTurnLimit_->setBuddy(cboTurnLimit);
    grid->addWidget(lblTurnLimit_, 6, 0);
    grid->addWidget(cboTurnLimit, 6, 1);
    chkForwardPort = new QCheckBox(fraName_);
    chkForwardPort->setObjectName("chkForwardPort");
    words.Caption(chkForwardPort, QT_TRANSLATE_NOOP("Vorn", "请路由器转发端口"));
    chkForwardPort->setChecked(main_.network().ForwardPort());
    chkForwardPort->setVisible(LanListingAllowed());
    grid->addWidget(chkForwardPort, 7, 0, 1, 2);
    connect(chkFillSeats, &QCheckBox::toggled, this, &LogonDialog::UpdateAddressEnabled);
}

void LogonDialog::BuildTableList(const Language& words) {
    fraTables_ = MakeFrame(this, "fraTables", QT_TRANSLATE_NOOP("Vorn", "局域网上的牌桌"), words);
    lstTables = new QListWidget(fraTables_);
    lstTables->setObjectName("lstTables");
    words.Name(lstTables, QT_TRANSLATE_NOOP("Vorn", "局域网上的牌桌"));
    (new QVBoxLayout(fraTables_))->addWidget(lstTables);
    connect(lstTables, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (!item) return;
        txtIP->setText(item->data(Qt::UserRole).toString());
        txtPort->setText(QString::number(item->data(Qt::UserRole + 1).toInt()));
    });
    connect(lstTables, &QListWidget::itemActivated, this, &LogonDialog::cmdOK_Click);
    fraTables_->setVisible(LanListingAllowed());
    if (!LanListingAllowed()) return;
    lan_ = new LanSearch(this);
    connect(lan_, &LanSearch::Changed, this, [this] { ShowTables(lan_->Tables()); });
    connect(this, &QDialog::finished, lan_, &LanSearch::Stop);
}

void LogonDialog::ShowTables(const std::vector<LanSearch::Table>& tables) {
    const Language& words = main_.language();
    const QListWidgetItem* current = lstTables->currentItem();
    const QString chosen = current ? current->data(Qt::UserRole + 2).toString() : QString();
    lstTables->clear();
    for (const LanSearch::Table& t : tables) {
        const QString address = t.address.contains(':') ? "[" + t.address + "]" : t.address;
        QString text = words.Tr(QT_TRANSLATE_NOOP("Vorn", "%1（%2:%3），空位 %4"))
                           .arg(QString::fromStdString(t.ad.name), address)
                           .arg(t.ad.port)
                           .arg(4 - t.ad.persons);
        if (t.ad.password) text += words.Tr(QT_TRANSLATE_NOOP("Vorn", "，要密码"));
        auto* item = new QListWidgetItem(text, lstTables);
        item->setData(Qt::UserRole, t.address);
        item->setData(Qt::UserRole + 1, t.ad.port);
        item->setData(Qt::UserRole + 2, QString::fromStdString(t.ad.id));
        // Choosing it again fills the fields again; that is what was there.
        if (item->data(Qt::UserRole + 2).toString() == chosen) {
            const QSignalBlocker quiet(lstTables);
            lstTables->setCurrentItem(item);
        }
    }
}

void LogonDialog::ReadSavedFields() {
    if (const auto& earlier = main_.lastNetFields) {
        txtIP->setText(earlier->address);
        txtPort->setText(earlier->port);
        txtID->setText(earlier->name);
        return;
    }
    const QString file = main_.SettingsFile();
    txtIP->setText(ReadIniFile(file, "Net", "Server", settings::kServer));
    // A port from 1024 up needs no privileges; a saved port is kept, so a
    // table that agreed on another one still meets.
    txtPort->setText(ReadIniFile(file, "Net", "Port", settings::kPort));
    txtID->setText(ReadIniFile(file, "Net", "ID", settings::kId));
}

void LogonDialog::DisableNetworkOptions() {
    for (QWidget* w : std::initializer_list<QWidget*>{
             lblIP_, txtIP, fraNet_, fraName_, optHost, optConnect, lblID_, txtID, lblPort_, txtPort,
             lblPassword_, txtPassword, chkEndOnDrop, chkFillSeats, cboFillLevel, chkForwardPort, fraTables_})
        w->setEnabled(false);
    if (lan_) lan_->Stop();
}

void LogonDialog::UpdateAddressEnabled() {
    const bool joining = !optHost->isChecked();
    lblIP_->setEnabled(joining);
    txtIP->setEnabled(joining);
    const bool hosting = !joining && optNet->isChecked();
    chkEndOnDrop->setEnabled(hosting);
    chkFillSeats->setEnabled(hosting);
    lblTurnLimit_->setEnabled(hosting);
    cboTurnLimit->setEnabled(hosting);
    chkForwardPort->setEnabled(hosting);
    cboFillLevel->setEnabled(hosting && chkFillSeats->isChecked());
    const bool searching = joining && optNet->isChecked();
    fraTables_->setEnabled(searching);
    if (lan_ && searching) lan_->Start();
    if (lan_ && !searching) lan_->Stop();
}

void LogonDialog::EnableNetworkOptions() {
    for (QWidget* w : std::initializer_list<QWidget*>{fraNet_, fraName_, optHost, optConnect, lblID_, txtID,
                                                      lblPort_, txtPort, lblPassword_, txtPassword})
        w->setEnabled(true);
    UpdateAddressEnabled();
}

LogonDialog::Choices LogonDialog::ReadChoices() const {
    Choices c;
    c.resume = optResume && optResume->isChecked();
    c.net = optNet->isChecked();
    c.host = optHost->isChecked();
    c.name = txtID->text().trimmed();
    c.port = ParsePort(txtPort->text());
    c.address = txtIP->text().trimmed().toStdString();
    c.endOnDrop = chkEndOnDrop->isChecked();
    c.password = txtPassword->text().toStdString();
    c.fillSeats = chkFillSeats->isChecked();
    c.fillLevel = cboFillLevel->currentIndex();
    c.turnLimit = cboTurnLimit->currentData().toInt();
    c.forwardPort = chkForwardPort->isChecked();
    return c;
}

void LogonDialog::cmdOK_Click() {
    // What the dialog shows is read now: the work below may wait for a
    // running action, and by then the dialog is gone.
    const Choices c = ReadChoices();
    const char* refusal = nullptr;
    QLineEdit* field = nullptr;
    if (c.net && c.name.isEmpty()) {
        refusal = kNameFirst;
        field = txtID;
    } else if (c.net && c.port == 0) {
        refusal = kBadPort;
        field = txtPort;
    }
    // A refused choice leaves the table in the local game Form_Load sets up,
    // so closing the dialog afterwards never strands a network mode without links.
    const bool enter = c.net && !refusal;
    MainWindow& main = main_;
    std::optional<SavedGame> resume = c.resume ? saved_ : std::nullopt;
    main.engine().RunCommand([&main, c, enter, resume = std::move(resume)] {
        main.Form_Load();
        // Taken up, the saved game goes on; any other choice starts a new
        // one (a refused one leaves the dialog open, and the game saved).
        if (resume)
            main.ResumeGame(*resume);
        else if (enter || !c.net)
            main.ForgetSavedGame();
        if (!enter) {
            if (!c.net) main.network().SetSendTimerEnabled(false);
            return;
        }
        Session& s = main.session();
        s.mode = c.host ? Mode::Host : Mode::Joiner;
        s.ServerAddress = c.address;
        s.ServerPort = c.port;
        s.EndOnDrop = c.host && c.endOnDrop;
        s.Password = c.password;
        s.FillSeats = c.host && c.fillSeats;
        s.TurnLimit = c.host ? c.turnLimit : 0;
        if (s.FillSeats) main.options().SetLevel(c.fillLevel);
        if (c.host) {
            main.network().SetForwardPort(c.forwardPort);
            s.LocalSeat = 0;
            s.PlayerNames[0] = c.name.toStdString();
            main.engine().AdjustDirection();
        }
        main.network().SetSendTimerEnabled(true);
        main.network().StartConnection(c.name);
    });
    if (refusal) {
        main.prompter.Info(this, main.language().Tr(refusal));
        field->setFocus();
        return;
    }
    if (c.net) main.lastNetFields = MainWindow::NetFields{txtIP->text(), txtPort->text(), txtID->text()};
    accept();
}

}  // namespace vorn
