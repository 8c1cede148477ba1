#include "app/networkgame.h"

#include "app/mainwindow.h"
#include "net/socket/socket.h"

namespace vorn {

class SendQueue {};
class Dispatcher {};
class NetOutbox {};
class Framer {};
namespace {
NullOutbox gNoNetwork;
}

NetworkGame::NetworkGame(MainWindow& main) : QObject(&main), main_(main) {
    sckConnect_ = new Socket(this);
    sckConnection_ = new SocketFamily(this);
}
NetworkGame::~NetworkGame() = default;
Outbox& NetworkGame::outbox() { return gNoNetwork; }
void NetworkGame::StartConnection(const QString&) {}
void NetworkGame::CloseAllConnections() {
    sckConnect_->Close();
    sckConnection_->CloseAll();
}
void NetworkGame::DiscardQueue() {}
void NetworkGame::SetSendTimerEnabled(bool enabled) { sendEnabled_ = enabled; }
void NetworkGame::SendChat(const QString&) {}
QString NetworkGame::LocalHostName() const { return Socket::LocalHostName(); }
QString NetworkGame::LocalHostAddress() const { return Socket::LocalHostAddress(); }
bool NetworkGame::tmrSendData_Timer() { return false; }
Session& NetworkGame::session() { return main_.session(); }
Engine& NetworkGame::engine() { return main_.engine(); }
void NetworkGame::PlayersChanged() {}
void NetworkGame::AppendChat(const std::string& line) { main_.AppendChat(QString::fromStdString(line)); }
void NetworkGame::ShowProgress(const std::string& text) { main_.ShowProgressText(QString::fromStdString(text)); }
void NetworkGame::InfoBox(const std::string& text) { main_.InfoBox(text); }
void NetworkGame::ResetToLocalGame() { main_.ResetToLocalGame(); }
void NetworkGame::ShowLogonLater() {}
bool NetworkGame::SlotConnected(int) { return false; }
bool NetworkGame::HostLinkConnected() { return false; }

}  // namespace vorn
