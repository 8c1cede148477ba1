#pragma once

#include <QObject>

#include <vector>

#include "tools/server/servertable.h"

namespace vorn {

class Socket;

namespace server {

// The server's listener and its tables. Each link that comes in is handed to
// the first table with a free seat; when none has one a new table opens,
// unless maxTables are open already, and then the link is closed at once.
class Server : public QObject {
    Q_OBJECT
  public:
    Server(const TableChoices& choices, int maxTables, QObject* parent = nullptr);

    // Listens on port; false, with the reason logged, when it cannot.
    bool Listen(int port);
    int TableCount() const { return int(tables_.size()); }

  private:
    void OnRequest(int requestId);
    ServerTable* OpenTable();
    void CloseTable(ServerTable& table);

    TableChoices choices_;
    int maxTables_;
    Socket* listener_;
    std::vector<ServerTable*> tables_;  // children, in the order opened
    int nextNumber_ = 1;
};

}  // namespace server
}  // namespace vorn
