#include "app/chatpanel.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/networkgame.h"
#include "app/seatnames.h"
#include "app/tablelabel.h"
#include "app/texts.h"
#include "cards/session.h"
#include "display/tablewidget.h"
#include "net/protocol.h"

namespace vorn {

ChatPanel::ChatPanel(TableWidget& table, Session& session, NetworkGame& network, const Language& words,
                     QObject* parent)
    : QObject(parent), session_(session), network_(network), words_(words) {
    lblConnections_ = MakeCaptionLabel(&table, "lblConnections", texts::kConnections, words);
    lstConnections_ = new QListWidget(&table);
    lstConnections_->setObjectName("lstConnections");
    words.Name(lstConnections_, texts::kConnections);

    lblDialog_ = MakeCaptionLabel(&table, "lblDialog", texts::kDialogCaption, words);
    lblMessage_ = MakeCaptionLabel(&table, "lblMessage", texts::kMessageCaption, words);
    txtDialog_ = new QPlainTextEdit(&table);
    txtDialog_->setObjectName("txtDialog");
    words.Name(txtDialog_, texts::kDialogCaption);
    txtDialog_->setReadOnly(true);
    txtDialog_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtDialog_->installEventFilter(this);
    txtDialog_->setMaximumBlockCount(kChatLogLines);
    txtMessage_ = new QLineEdit(texts::kMessageInitial, &table);
    txtMessage_->setMaxLength(kChatInputChars);
    txtMessage_->setObjectName("txtMessage");
    words.Name(txtMessage_, texts::kMessageCaption);
    txtMessage_->installEventFilter(this);
    cmdSend_ = new QPushButton(&table);
    words.Caption(cmdSend_, texts::kSend);
    cmdSend_->setObjectName("cmdSend");
    cmdDelete_ = new QPushButton(&table);
    words.Caption(cmdDelete_, texts::kClear);
    cmdDelete_->setObjectName("cmdDelete");
    connect(cmdSend_, &QPushButton::clicked, this, &ChatPanel::cmdSend_Click);
    connect(cmdDelete_, &QPushButton::clicked, this, &ChatPanel::cmdDelete_Click);
}

void ChatPanel::PlaceConnections(TableWidget& table) {
    const int left = TableWidget::kCardW + 300 + 375;
    table.Place(lblConnections_, QRect(left, 60, 1500, 240));
    table.Place(lstConnections_, QRect(left, 300, 1500, 1440));
}

void ChatPanel::PlaceChat(TableWidget& table) {
    const int dialogTop = TableWidget::kCardH + 300 + 450;
    const int dialogHeight = 1800;
    table.Place(txtDialog_, QRect(300, dialogTop, 3000, dialogHeight));
    const int messageTop = dialogTop + dialogHeight + 450;
    table.Place(txtMessage_, QRect(300, messageTop, 3000, 330));
    table.Place(lblDialog_, QRect(300, dialogTop - 240, 3000, 240));
    table.Place(lblMessage_, QRect(300, messageTop - 240, 3000, 240));
    table.Place(cmdDelete_, QRect(300, dialogTop + dialogHeight, 900, 330));
    table.Place(cmdSend_, QRect(300, messageTop + 330, 900, 330));
    cmdDelete_->hide();
    cmdSend_->hide();
}

void ChatPanel::ApplyVisibility(bool showMessage, bool showConnections) {
    txtDialog_->setVisible(showMessage);
    txtMessage_->setVisible(showMessage);
    lblDialog_->setVisible(showMessage);
    lblMessage_->setVisible(showMessage);
    lblConnections_->setVisible(showConnections);
    lstConnections_->setVisible(showConnections);
}

void ChatPanel::FlipConnections() {
    lblConnections_->setVisible(lblConnections_->isHidden());
    lstConnections_->setVisible(lstConnections_->isHidden());
}

void ChatPanel::FlipChat(bool focus) {
    for (QWidget* w : std::initializer_list<QWidget*>{txtDialog_, txtMessage_, lblDialog_, lblMessage_})
        w->setVisible(w->isHidden());
    if (focus) {
        txtMessage_->setFocus();
        txtMessage_->selectAll();
    }
}

void ChatPanel::Clear() {
    lstConnections_->clear();
    txtDialog_->clear();
}

bool ChatPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (watched == txtMessage_) {
                cmdSend_Click();
                return true;
            }
            if (watched == txtDialog_) {
                cmdDelete_Click();
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void ChatPanel::cmdSend_Click() {
    // Nothing typed, nothing said: a bare "name:" would only clutter every log.
    if (txtMessage_->text().trimmed().isEmpty()) {
        txtMessage_->clear();
        txtMessage_->setFocus();
        return;
    }
    // A person's own name as it is; a local game's default one as the table shows it.
    const QString line = ShownSeatName(session_, words_, session_.PlayerNames[session_.LocalSeat]) + ": " +
                         txtMessage_->text();
    network_.SendChat(line);
    AppendChat(line);
    txtMessage_->clear();
    txtMessage_->setFocus();
}

void ChatPanel::cmdDelete_Click() {
    txtDialog_->clear();
}

void ChatPanel::AppendChat(const QString& line) {
    // A block per line, the oldest dropped past kChatLogLines: a line costs the
    // same however long the log has grown.
    txtDialog_->appendPlainText(QString::fromStdString(CutChatLine(line.toStdString())));
    txtDialog_->moveCursor(QTextCursor::End);
}

}  // namespace vorn
