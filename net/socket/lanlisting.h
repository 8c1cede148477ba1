#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUdpSocket>

#include <functional>
#include <string>
#include <vector>

#include "net/protocol.h"

namespace vorn {

// Whether this process may look for tables on the local network and answer
// such a search: yes, unless VORN_LAN is "off" in the environment (the tests
// and tools set it so; the program's --no-lan too).
bool LanListingAllowed();

// A hosting window's side: answers every table query from a local network
// with the advertisement `describe` writes at that moment. Several hosts on
// one machine share the port. Queries from outside the machine's own
// networks, and more than a few dozen a second, are not answered.
class LanAnswerer : public QObject {
    Q_OBJECT
  public:
    explicit LanAnswerer(std::function<TableAd()> describe, QObject* parent = nullptr);
    // False when neither IPv4 nor IPv6 could be bound.
    bool Start(quint16 port = lan::kPort);
    static constexpr int kAnswersPerSecond = 40;

  private:
    void Answer(QUdpSocket& socket);
    bool FromLocalNetwork(const QHostAddress& sender) const;

    std::function<TableAd()> describe_;
    QUdpSocket v4_, v6_;
    QElapsedTimer second_;
    int answered_ = 0;
};

// The logon dialog's side: asks every local network every two seconds and
// keeps the tables that answered lately, one entry a table however many
// addresses it answered from (IPv4 preferred).
class LanSearch : public QObject {
    Q_OBJECT
  public:
    struct Table {
        TableAd ad;
        QString address;
        qint64 heardMs = 0;
    };
    explicit LanSearch(QObject* parent = nullptr, quint16 port = lan::kPort);
    void Start();
    void Stop();
    const std::vector<Table>& Tables() const { return tables_; }
    static constexpr int kAskEveryMs = 2000;
    // A table unheard for this long is gone.
    static constexpr int kForgetAfterMs = 7000;

  signals:
    void Changed();

  private:
    void Ask();
    void Read(QUdpSocket& socket);
    void Heard(const TableAd& ad, const QHostAddress& from);

    quint16 port_;
    QUdpSocket v4_, v6_;
    QTimer tmrAsk_;
    QElapsedTimer clock_;
    std::vector<Table> tables_;
};

}  // namespace vorn
