#include "net/socket/lanlisting.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>

#include <algorithm>

namespace vorn {

bool LanListingAllowed() {
    return qEnvironmentVariable("VORN_LAN") != QLatin1String("off");
}

namespace {
constexpr qint64 kMaxDatagram = 512;
const QByteArray& QueryBytes() {
    static const QByteArray bytes = QByteArray::fromStdString(std::string(lan::kQuery));
    return bytes;
}

void Bind(QUdpSocket& socket, const QHostAddress& any, quint16 port) {
    socket.bind(any, port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
}
}  // namespace

LanAnswerer::LanAnswerer(std::function<TableAd()> describe, QObject* parent)
    : QObject(parent), describe_(std::move(describe)) {
    connect(&v4_, &QUdpSocket::readyRead, this, [this] { Answer(v4_); });
    connect(&v6_, &QUdpSocket::readyRead, this, [this] { Answer(v6_); });
}

bool LanAnswerer::Start(quint16 port) {
    Bind(v4_, QHostAddress::AnyIPv4, port);
    Bind(v6_, QHostAddress::AnyIPv6, port);
    second_.start();
    return v4_.state() == QAbstractSocket::BoundState || v6_.state() == QAbstractSocket::BoundState;
}

bool LanAnswerer::FromLocalNetwork(const QHostAddress& sender) const {
    if (sender.isLoopback() || sender.isLinkLocal()) return true;
    const auto interfaces = QNetworkInterface::allInterfaces();
    return std::any_of(interfaces.begin(), interfaces.end(), [&](const QNetworkInterface& i) {
        const auto entries = i.addressEntries();
        return std::any_of(entries.begin(), entries.end(), [&](const QNetworkAddressEntry& e) {
            return e.prefixLength() >= 0 && sender.isInSubnet(e.ip(), e.prefixLength());
        });
    });
}

void LanAnswerer::Answer(QUdpSocket& socket) {
    while (socket.hasPendingDatagrams()) {
        const QNetworkDatagram query = socket.receiveDatagram(kMaxDatagram);
        if (second_.elapsed() >= 1000) {
            second_.restart();
            answered_ = 0;
        }
        if (query.data() != QueryBytes() || answered_ >= kAnswersPerSecond) continue;
        QHostAddress sender = query.senderAddress();
        // An IPv4 sender heard on the IPv6 socket is answered as IPv4.
        bool mapped = false;
        const quint32 v4 = sender.toIPv4Address(&mapped);
        if (mapped) sender = QHostAddress(v4);
        if (!FromLocalNetwork(sender)) continue;
        ++answered_;
        socket.writeDatagram(QByteArray::fromStdString(TableAdMessage(describe_())), sender,
                             quint16(query.senderPort()));
    }
}

LanSearch::LanSearch(QObject* parent, quint16 port) : QObject(parent), port_(port) {
    tmrAsk_.setInterval(kAskEveryMs);
    connect(&tmrAsk_, &QTimer::timeout, this, &LanSearch::Ask);
    connect(&v4_, &QUdpSocket::readyRead, this, [this] { Read(v4_); });
    connect(&v6_, &QUdpSocket::readyRead, this, [this] { Read(v6_); });
    clock_.start();
}

void LanSearch::Start() {
    if (tmrAsk_.isActive()) return;
    if (v4_.state() != QAbstractSocket::BoundState) v4_.bind(QHostAddress::AnyIPv4, 0);
    if (v6_.state() != QAbstractSocket::BoundState) v6_.bind(QHostAddress::AnyIPv6, 0);
    tmrAsk_.start();
    Ask();
}

void LanSearch::Stop() {
    tmrAsk_.stop();
    v4_.close();
    v6_.close();
}

void LanSearch::Ask() {
    const qint64 now = clock_.elapsed();
    const auto stale = std::remove_if(tables_.begin(), tables_.end(),
                                      [now](const Table& t) { return now - t.heardMs > kForgetAfterMs; });
    if (stale != tables_.end()) {
        tables_.erase(stale, tables_.end());
        emit Changed();
    }
    // Hosts on this machine alone, when it is on no network at all.
    v4_.writeDatagram(QueryBytes(), QHostAddress::LocalHost, port_);
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
        const auto flags = i.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning) ||
            (flags & QNetworkInterface::IsLoopBack))
            continue;
        bool ipv6 = false;
        for (const QNetworkAddressEntry& e : i.addressEntries()) {
            if (!e.broadcast().isNull()) v4_.writeDatagram(QueryBytes(), e.broadcast(), port_);
            ipv6 = ipv6 || e.ip().protocol() == QAbstractSocket::IPv6Protocol;
        }
        if (ipv6 && (flags & QNetworkInterface::CanMulticast)) {
            QHostAddress allNodes(QStringLiteral("ff02::1"));
            allNodes.setScopeId(i.name());
            v6_.writeDatagram(QueryBytes(), allNodes, port_);
        }
    }
}

void LanSearch::Read(QUdpSocket& socket) {
    while (socket.hasPendingDatagrams()) {
        const QNetworkDatagram answer = socket.receiveDatagram(kMaxDatagram);
        if (auto ad = ParseTableAd(answer.data().toStdString())) Heard(*ad, answer.senderAddress());
    }
}

void LanSearch::Heard(const TableAd& ad, const QHostAddress& from) {
    auto known =
        std::find_if(tables_.begin(), tables_.end(), [&](const Table& t) { return t.ad.id == ad.id; });
    if (known == tables_.end()) {
        tables_.push_back(Table{ad, from.toString(), clock_.elapsed()});
        emit Changed();
        return;
    }
    known->heardMs = clock_.elapsed();
    const bool keepV4 = from.protocol() != QAbstractSocket::IPv4Protocol &&
                        QHostAddress(known->address).protocol() == QAbstractSocket::IPv4Protocol;
    const QString address = keepV4 ? known->address : from.toString();
    if (known->ad == ad && known->address == address) return;
    known->ad = ad;
    known->address = address;
    emit Changed();
}

}  // namespace vorn
