#include "tools/server/server.h"

#include <algorithm>

#include "cards/random.h"
#include "net/socket/socket.h"

namespace vorn::server {

Server::Server(const TableChoices& choices, int maxTables, QObject* parent)
    : QObject(parent), choices_(choices), maxTables_(maxTables), listener_(new Socket(this)) {
    connect(listener_, &Socket::connectionRequest, this, &Server::OnRequest);
}

bool Server::Listen(int port) {
    listener_->SetLocalPort(port);
    if (!listener_->Listen()) {
        Log("cannot listen on port " + std::to_string(port) + ": " +
            listener_->LastErrorDescription().toStdString());
        return false;
    }
    Log("listening on port " + std::to_string(listener_->LocalPort()));
    return true;
}

void Server::OnRequest(int requestId) {
    ServerTable* table = nullptr;
    for (ServerTable* t : tables_)
        if (t->FreeSlot() > 0) {
            table = t;
            break;
        }
    if (!table && int(tables_.size()) < maxTables_) table = OpenTable();
    if (!table) {
        Log("link turned away: every table is full");
        Socket turnedAway;
        turnedAway.Accept(requestId);
        turnedAway.Close();
        return;
    }
    table->Accept(requestId, table->FreeSlot());
}

ServerTable* Server::OpenTable() {
    auto* table = new ServerTable(nextNumber_++, choices_, SeededRandom::FreshSeed(), this);
    table->emptied = [this](ServerTable& t) { CloseTable(t); };
    tables_.push_back(table);
    return table;
}

void Server::CloseTable(ServerTable& table) {
    tables_.erase(std::remove(tables_.begin(), tables_.end(), &table), tables_.end());
    // Its engine may still be inside an action: it goes once that has returned.
    table.deleteLater();
}

}  // namespace vorn::server
