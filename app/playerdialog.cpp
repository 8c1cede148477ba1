#include "app/playerdialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/mainwindow.h"

namespace vorn {

PlayerDialog::PlayerDialog(MainWindow& main) : QDialog(&main), main_(main) {
    setObjectName("frmPlayer");
    const Language& words = main_.language();
    words.Caption(this, QT_TRANSLATE_NOOP("Vorn", "单机对局者姓名"));
    setModal(true);
    static const char* const kCaptions[4] = {
        QT_TRANSLATE_NOOP("Vorn", "阁下姓名"), QT_TRANSLATE_NOOP("Vorn", "东家姓名"),
        QT_TRANSLATE_NOOP("Vorn", "北家姓名"), QT_TRANSLATE_NOOP("Vorn", "西家姓名")};
    auto* grid = new QGridLayout(this);
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(this);
        words.Caption(label, kCaptions[i]);
        label->setObjectName(QString("lblName%1").arg(i));
        txtName[i] = new QLineEdit(main_.ShownName(main_.session().PlayerNames[i]), this);
        txtName[i]->setObjectName(QString("txtName%1").arg(i));
        words.Name(txtName[i], kCaptions[i]);
        label->setBuddy(txtName[i]);
        grid->addWidget(label, i, 0);
        grid->addWidget(txtName[i], i, 1);
    }
    cmdOk = new QPushButton(this);
    words.Caption(cmdOk, QT_TRANSLATE_NOOP("Vorn", "确定"));
    cmdOk->setObjectName("cmdOk");
    cmdOk->setDefault(true);
    cmdCancel = new QPushButton(this);
    words.Caption(cmdCancel, QT_TRANSLATE_NOOP("Vorn", "取消"));
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
            main_.prompter.Info(this, main_.language().Tr(QT_TRANSLATE_NOOP("Vorn", "对局者姓名无效！")));
            txtName[i]->setFocus();
            return;
        }
    }
    // A name left as shown keeps its bytes: an English table's default stays
    // the default in the settings file.
    for (int i = 0; i < 4; ++i)
        if (txtName[i]->text() != main_.ShownName(main_.session().PlayerNames[i]))
            main_.session().PlayerNames[i] = txtName[i]->text().toStdString();
    main_.KeepLocalNames();
    main_.engine().AdjustDirection();
    accept();
}

}  // namespace vorn
