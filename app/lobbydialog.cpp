#include "app/lobbydialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "display/language.h"

namespace vorn {

LobbyDialog::LobbyDialog(QWidget* parent, const Language& words) : QDialog(parent), words_(words) {
    setObjectName("frmLobby");
    words.Caption(this, QT_TRANSLATE_NOOP("Vorn", "选择牌桌"));
    auto* label = new QLabel(this);
    words.Caption(label, QT_TRANSLATE_NOOP("Vorn", "服务器上的牌桌："));
    lstLobby = new QListWidget(this);
    lstLobby->setObjectName("lstLobby");
    words.Name(lstLobby, QT_TRANSLATE_NOOP("Vorn", "服务器上的牌桌"));
    label->setBuddy(lstLobby);
    cmdSit = new QPushButton(this);
    words.Caption(cmdSit, QT_TRANSLATE_NOOP("Vorn", "入座(&S)"));
    cmdSit->setDefault(true);
    cmdNewTable = new QPushButton(this);
    words.Caption(cmdNewTable, QT_TRANSLATE_NOOP("Vorn", "开新桌(&N)"));
    cmdCancel = new QPushButton(this);
    words.Caption(cmdCancel, QT_TRANSLATE_NOOP("Vorn", "取消"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(lstLobby);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSit);
    buttons->addWidget(cmdNewTable);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    const auto sitAtChosen = [this] {
        if (QListWidgetItem* item = lstLobby->currentItem())
            Pick(item->data(Qt::UserRole).toString().toStdString());
    };
    connect(cmdSit, &QPushButton::clicked, this, sitAtChosen);
    connect(lstLobby, &QListWidget::itemActivated, this, sitAtChosen);
    connect(cmdNewTable, &QPushButton::clicked, this, [this] { Pick({}); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::rejected, this, [this] {
        if (!done_ && cancelled) cancelled();
    });
    connect(&refresh_, &QTimer::timeout, this, [this] {
        if (refresh) refresh();
    });
    refresh_.start(kRefreshMs);
    cmdSit->setEnabled(false);
}

void LobbyDialog::ShowTables(const std::vector<TableAd>& tables) {
    const QString chosen =
        lstLobby->currentItem() ? lstLobby->currentItem()->data(Qt::UserRole).toString() : "";
    lstLobby->clear();
    for (const TableAd& table : tables) {
        QString text = words_.Tr(QT_TRANSLATE_NOOP("Vorn", "%1，空位 %2"))
                           .arg(QString::fromStdString(table.name))
                           .arg(4 - table.persons);
        if (table.password) text += words_.Tr(QT_TRANSLATE_NOOP("Vorn", "，要密码"));
        auto* item = new QListWidgetItem(text, lstLobby);
        item->setData(Qt::UserRole, QString::fromStdString(table.id));
        if (item->data(Qt::UserRole).toString() == chosen || (chosen.isEmpty() && lstLobby->count() == 1))
            lstLobby->setCurrentItem(item);
    }
    cmdSit->setEnabled(lstLobby->count() > 0);
}

void LobbyDialog::Pick(const std::string& id) {
    done_ = true;
    refresh_.stop();
    if (picked) picked(id);
    accept();
}

}  // namespace vorn
