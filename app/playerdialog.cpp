#include "app/playerdialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/mainwindow.h"

namespace vorn {

PlayerDialog::PlayerDialog(MainWindow& main) : QDialog(&main), main_(main) {
    setObjectName("frmPlayer");
    setWindowTitle("单机对局者姓名");
    setModal(true);
    static const char* const kCaptions[4] = {"阁下姓名", "东家姓名", "北家姓名", "西家姓名"};
    auto* grid = new QGridLayout(this);
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(kCaptions[i], this);
        label->setObjectName(QString("lblName%1").arg(i));
        txtName[i] = new QLineEdit(QString::fromStdString(main_.session().PlayerNames[i]), this);
        txtName[i]->setObjectName(QString("txtName%1").arg(i));
        txtName[i]->setAccessibleName(kCaptions[i]);
        label->setBuddy(txtName[i]);
        grid->addWidget(label, i, 0);
        grid->addWidget(txtName[i], i, 1);
    }
    cmdOk = new QPushButton("确定", this);
    cmdOk->setObjectName("cmdOk");
    cmdOk->setDefault(true);
    cmdCancel = new QPushButton("取消", this);
    cmdCancel->setObjectName("cmdCancel");
    grid->addWidget(cmdOk, 4, 0);
    grid->addWidget(cmdCancel, 4, 1, Qt::AlignRight);
    connect(cmdOk, &QPushButton::clicked, this, &PlayerDialog::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    txtName[0]->selectAll();
    txtName[0]->setFocus();
}

void PlayerDialog::cmdOk_Click() {
    for (int i = 0; i < 4; ++i) {
        if (txtName[i]->text().isEmpty()) {
            main_.prompter.Info(this, "对局者姓名无效！");
            txtName[i]->setFocus();
            return;
        }
    }
    for (int i = 0; i < 4; ++i) main_.session().PlayerNames[i] = txtName[i]->text().toStdString();
    main_.engine().AdjustDirection();
    accept();
}

}  // namespace vorn
