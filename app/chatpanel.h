#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace vorn {

class Language;

class NetworkGame;
class TableWidget;
struct Session;

// The chat of the table window and its list of players: the dialog log, the
// message line with its send and clear buttons and their keys, and the list
// of connections. Its controls are children of the table, placed there in
// twips like every other control, so they scale with the cloth and keep their
// place among the table's controls for the keyboard and screen readers.
class ChatPanel : public QObject {
  public:
    // The chat log keeps this many of the newest lines.
    static constexpr int kChatLogLines = 2000;

    ChatPanel(TableWidget& table, Session& session, NetworkGame& network, const Language& words,
              QObject* parent);

    // The player list beside the stock, and the chat below it.
    void PlaceConnections(TableWidget& table);
    void PlaceChat(TableWidget& table);
    void ApplyVisibility(bool showMessage, bool showConnections);
    // Each control flips from its own state; focus puts the cursor in the message line.
    void FlipConnections();
    void FlipChat(bool focus);
    // Empties the player list and the log.
    void Clear();

    // The send and clear buttons (also Enter in the message line and the log).
    void cmdSend_Click();
    void cmdDelete_Click();
    void AppendChat(const QString& line);

    QListWidget* lstConnections() const { return lstConnections_; }
    QPlainTextEdit* txtDialog() const { return txtDialog_; }
    QLineEdit* txtMessage() const { return txtMessage_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Session& session_;
    NetworkGame& network_;
    const Language& words_;
    QLabel* lblConnections_ = nullptr;
    QListWidget* lstConnections_ = nullptr;
    QLabel* lblDialog_ = nullptr;
    QLabel* lblMessage_ = nullptr;
    QPlainTextEdit* txtDialog_ = nullptr;
    QLineEdit* txtMessage_ = nullptr;
    QPushButton* cmdSend_ = nullptr;
    QPushButton* cmdDelete_ = nullptr;
};

}  // namespace vorn
