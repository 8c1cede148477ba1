#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ai/expert.h"
#include "app/mainwindow.h"
#include "app/networkgame.h"
#include "cards/gamestate.h"
#include "game/engine.h"
#include "net/dispatcher.h"
#include "net/sendqueue.h"
#include "net/socket/codec.h"
#include "net/socket/socket.h"
#include "tests/support/cards.h"
#include "tests/support/rows.h"
#include "tests/support/window.h"

namespace vorn::itest {

// Every wait on the network is bounded by this; loopback needs a tiny part of it.
inline constexpr int kWaitMs = 5000;

using vorn::testing::Columns;
using vorn::testing::Q;
using vorn::testing::Row;

// The four seats' names, as a table has them.
inline QStringList Names(const std::array<std::string, 4>& seats) {
    QStringList names;
    for (const auto& n : seats) names << Q(n);
    return names;
}
inline QStringList Names(const Session& s) {
    return Names(s.PlayerNames);
}

// A host's list of the people at its table, each as name@slot (-1: its own).
inline QStringList People(const std::vector<Person>& players) {
    QStringList people;
    for (const Person& p : players) people << QString("%1@%2").arg(Q(p.name)).arg(p.slot);
    return people;
}

// Runs the event loop until done() holds or timeoutMs pass; whether it holds.
// QTest's own waits sleep 10 ms between looks, which would let the 1 ms send
// timer move one message per 10 ms; this loop sleeps only in the dispatcher.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = kWaitMs) {
    if (done()) return true;
    QEventLoop loop;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    poll.setInterval(1);
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() > timeoutMs) loop.quit();
    });
    poll.start();
    loop.exec();
    return done();
}

// Lets events run for ms milliseconds.
inline void Pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// Bounded waits for a condition, failing the test with the condition's text.
#define VORN_TRY_VERIFY(expr) QVERIFY2(::vorn::itest::WaitUntil([&] { return bool(expr); }), #expr)
#define VORN_TRY_VERIFY2(expr, message) \
    QVERIFY2(::vorn::itest::WaitUntil([&] { return bool(expr); }), message)
#define VORN_TRY_COMPARE(actual, expected)                                \
    do {                                                                  \
        ::vorn::itest::WaitUntil([&] { return (actual) == (expected); }); \
        QCOMPARE(actual, expected);                                       \
    } while (false)

// A port nobody listens on at this moment. Something else may take it before
// the host does, so hosting tries again with a fresh one.
inline int FreePort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::Any, 0)) return 0;
    const int port = probe.serverPort();
    probe.close();
    return port;
}

// What the logon dialog's OK does for a host on port; whether it listens.
inline bool Host(MainWindow& w, int port, const QString& name = "H") {
    Session& s = w.session();
    s.mode = Mode::Host;
    s.ServerPort = port;
    s.LocalSeat = 0;
    s.PlayerNames[0] = name.toStdString();
    w.engine().AdjustDirection();
    w.network().SetSendTimerEnabled(true);
    w.network().StartConnection(name);
    return w.network().sckConnection().Element(0).State() == Socket::kListening;
}

// The window as host on a free port, trying a few (tools drive it this way
// too); the port, or 0 when none would do.
inline int Listen(MainWindow& w, const QString& name = "H") {
    for (int attempt = 0; attempt < 5; ++attempt) {
        const int port = FreePort();
        if (port != 0 && Host(w, port, name)) return port;
        w.session().mode = Mode::Local;
    }
    return 0;
}

// One real table window of a network game, on the window fixture: every box,
// question and dialog is answered and recorded, so nothing ever blocks; pauses
// take no time. The next-game question is answered from answers, No once they
// run out.
class NetTable : public testing::WindowFixture {
  public:
    // english: the table's person reads English, as the settings file chooses.
    explicit NetTable(std::uint64_t seed, bool english = false) {
        if (english) WriteSettings("[Option]\r\nLanguage=en\r\n");
        Open(seed, /*show=*/false, /*keepOptions=*/true);
        window->options().animation = false;
        window->options().sound = false;
    }

    MainWindow& w() { return *window; }
    GameState& table() { return window->table(); }
    Session& session() { return window->session(); }
    Engine& engine() { return window->engine(); }
    NetworkGame& net() { return window->network(); }

    QString Progress() const { return window->ProgressPanel()->text(); }
    QStringList PlayerList() const {
        QStringList names;
        for (int i = 0; i < window->lstConnections()->count(); ++i)
            names << window->lstConnections()->item(i)->text();
        return names;
    }
    QStringList ChatLines() const {
        const QString log = window->txtDialog()->toPlainText();
        return log.isEmpty() ? QStringList() : log.split('\n');
    }
    bool Local() { return !session().IsNet(); }
    // The seat a fair host tells only what it may see; -1 when it is told every draw.
    int FairSeat() {
        return session().mode == Mode::Joiner && session().HostWire >= 2 ? session().LocalSeat : -1;
    }

    // The logon dialog's OK for a joiner of the host on port.
    void Join(int port, const QString& name) {
        Session& s = session();
        s.mode = Mode::Joiner;
        s.ServerAddress = "127.0.0.1";
        s.ServerPort = port;
        net().SetSendTimerEnabled(true);
        net().StartConnection(name);
    }

    // The person whose turn it is here plays as the computer player would.
    // False when it is not this seat's turn (or an action is running).
    bool PlayAsComputer() {
        Engine& e = engine();
        const GameState& t = table();
        const int seat = session().LocalSeat;
        if (!e.ThrowVisible() || t.CurrentSeat != seat || e.Busy()) return false;
        RulesDecision(e.table(), seat, t.MustLead || t.TablePlay.Empty(), e.options().gambleRate,
                      e.Env().random);
        e.ThrowClick();
        return true;
    }
};

// The game state every copy of a network table must share: all of it with a
// joiner the host tells every draw; with one it deals fair to, what that
// joiner's seat may see (its other hands and stock hold stand-ins).
inline std::string Difference(const GameState& a, const GameState& b, int fairSeat = -1) {
    if (fairSeat < 0) return StateDifference(a, b);
    auto seen = [fairSeat](const GameState& t) {
        Observation o = Observe(t, fairSeat);
        // Raised cards count with their seat's hand, on whichever table they are raised.
        o.handSizes = {};
        for (int i = 0; i < kDeckSize; ++i)
            if (const int at = t.Location(Card::FromIndex(i)); at >= 0 && at < 4) ++o.handSizes[size_t(at)];
        return o;
    };
    const Observation x = seen(a), y = seen(b);
    if (x == y && a.CurrentSeat == b.CurrentSeat) return {};
    return "seat " + std::to_string(fairSeat) + " sees hand " + Codes(x.hand) + " / " + Codes(y.hand) +
           ", played " + Codes(x.played) + " / " + Codes(y.played) + ", stock " +
           std::to_string(x.stockSize) + " / " + std::to_string(y.stockSize) + ", current " +
           std::to_string(a.CurrentSeat) + " / " + std::to_string(b.CurrentSeat);
}

// A host and its joiners in one process. Joiners are seated one after
// another, so that the slots are handed out in a known order.
class NetParty {
  public:
    std::unique_ptr<NetTable> host;
    std::vector<std::unique_ptr<NetTable>> joiners;
    int port = 0;

    // englishSeats: bit s set when the table at seat s reads English;
    // firstWire: when it speaks only the first version of the wire.
    explicit NetParty(std::uint64_t seed = 1, unsigned englishSeats = 0, unsigned firstWire = 0)
        : seed_(seed), english_(englishSeats), firstWire_(firstWire) {}

    bool Open(const QString& name = "H") {
        host = std::make_unique<NetTable>(seed_, english_ & 1U);
        host->net().dispatcher().secondVersion = !(firstWire_ & 1U);
        host->net().queue().onTaken = [this](const std::string& target, const std::string& text) {
            const int slot = SendQueue::TargetSlot(target);
            if (slot >= 1 && slot <= 3) sent[size_t(slot)].push_back(text);
        };
        port = Listen(host->w(), name);
        return port != 0;
    }

    // A new joiner window on the party's port; it is not waited for.
    NetTable& Connect(const QString& name, const QString& password = {}) {
        const int next = int(joiners.size()) + 1;
        joiners.push_back(std::make_unique<NetTable>(seed_ + 100 + joiners.size(), (english_ >> next) & 1U));
        joiners.back()->net().dispatcher().secondVersion = !((firstWire_ >> next) & 1U);
        joiners.back()->session().Password = password.toStdString();
        joiners.back()->Join(port, name);
        return *joiners.back();
    }

    // Every message the host sent each slot, in order.
    std::array<std::vector<std::string>, 4> sent;

    // A new joiner, waited for until it knows its seat and the host lists it.
    bool Seat(const QString& name, int expectedSeat) {
        NetTable& j = Connect(name);
        return WaitUntil(
            [&] {
                return j.session().LocalSeat == expectedSeat &&
                       PersonListed(host->net().players(), name.toStdString());
            },
            kWaitMs);
    }

    // The host and three joiners J1, J2, J3 in seats 1, 2, 3, each with the
    // names of all four once the table is full.
    bool Fill() {
        if (!host && !Open()) return false;
        for (int seat = 1; seat <= 3; ++seat)
            if (!Seat(QString("J%1").arg(seat), seat)) return false;
        return WaitUntil(
            [&] {
                for (auto* t : All())
                    if (!t->session().AllSeated ||
                        t->session().PlayerNames != std::array<std::string, 4>{"H", "J1", "J2", "J3"})
                        return false;
                return Quiet();
            },
            kWaitMs);
    }

    std::vector<NetTable*> All() {
        std::vector<NetTable*> all{host.get()};
        for (auto& j : joiners) all.push_back(j.get());
        return all;
    }

    // The joiner in the seat, or the host for seat 0; null when nobody sits there.
    NetTable* AtSeat(int seat) {
        if (seat == 0) return host.get();
        for (auto& j : joiners)
            if (j->session().IsNet() && j->session().LocalSeat == seat) return j.get();
        return nullptr;
    }

    // Nothing running, nothing waiting to be sent, and the joiners agree with
    // the host on whose turn it is.
    bool Quiet() {
        for (NetTable* t : All()) {
            if (!t->session().IsNet()) continue;
            if (t->engine().Busy() || !t->net().queue().Empty()) return false;
            if (t->table().CurrentSeat != host->table().CurrentSeat) return false;
        }
        return true;
    }

    // A quiet point where every joiner's table agrees with the host's and, in
    // a dealt game, the seat to move has been told so (its play button shows).
    // The turn message is the last of every move, so after it nothing of that
    // move is still on its way.
    bool Settled() {
        if (!Quiet()) return false;
        for (auto& j : joiners)
            if (j->session().IsNet() && !Difference(host->table(), j->table(), j->FairSeat()).empty())
                return false;
        if (host->table().lstCardsBox.Count() == 52) return true;
        // The host's computer player moves for a dropped person.
        if (host->session().StandIn[size_t(host->table().CurrentSeat)]) return true;
        NetTable* mover = AtSeat(host->table().CurrentSeat);
        return mover && mover->engine().ThrowVisible();
    }

    bool WaitSettled() {
        return WaitUntil([&] { return Settled(); }, kWaitMs);
    }

    // moves moves, whoever's turn it is playing as the computer would, the
    // party settled before each and after the last; false when it stuck
    // (Why says where).
    bool Play(int moves) {
        for (int i = 0; i < moves; ++i)
            if (!WaitSettled() || !Move()) return false;
        return WaitSettled();
    }

    // Why the party is not settled, for a failure message.
    QByteArray Why() {
        QString why;
        for (NetTable* t : All()) {
            why += QString("[seat %1 net %2 busy %3 queued %4 current %5 button %6] ")
                       .arg(t->session().LocalSeat)
                       .arg(t->session().IsNet())
                       .arg(t->engine().Busy())
                       .arg(t->net().queue().Count())
                       .arg(t->table().CurrentSeat)
                       .arg(t->engine().ThrowVisible());
            if (t != host.get()) why += Q(Difference(host->table(), t->table(), t->FairSeat())) + " ";
            const SendQueue& queue = t->net().queue();
            const auto waiting = queue.Waiting();
            for (size_t i = 0; i < waiting.size() && i < 8; ++i)
                why += Q(waiting[i].first + " " + waiting[i].second) + "; ";
            if (!queue.Empty()) why += QString("timer %1; ").arg(t->net().tmrSendData().isActive());
            if (t == host.get()) {
                // The host's links: slot, state, seat kind.
                for (int slot = 1; slot <= t->net().sckConnection().UpperBound(); ++slot)
                    why += QString("slot %1 state %2; ")
                               .arg(slot)
                               .arg(t->net().sckConnection().Element(slot).State());
                why += QString("slots %1; ").arg(t->session().SlotCount);
            }
        }
        return why.toUtf8();
    }

    // One move by whoever's turn it is, played as the computer would; the
    // mover, or null when nobody here could move.
    NetTable* Move() {
        if (host->session().StandIn[size_t(host->table().CurrentSeat)]) {
            // The host's computer player for a dropped person, at once rather
            // than at the cycle timer's pace.
            const GameState before = host->table();
            return WaitUntil([&] {
                host->engine().Tick();
                return !(host->table() == before);
            })
                       ? host.get()
                       : nullptr;
        }
        NetTable* mover = AtSeat(host->table().CurrentSeat);
        if (!mover || !mover->PlayAsComputer()) return nullptr;
        return mover;
    }

    static bool PersonListed(const std::vector<Person>& players, const std::string& name) {
        for (const auto& p : players)
            if (p.name == name) return true;
        return false;
    }

  private:
    std::uint64_t seed_;
    unsigned english_ = 0;
    unsigned firstWire_ = 0;
};

// A bare TCP link to a host, speaking the wire format by hand.
class RawLink {
  public:
    QByteArray received;

    bool Connect(int port) {
        QObject::connect(&socket_, &QTcpSocket::readyRead, &socket_,
                         [this] { received += socket_.readAll(); });
        socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        socket_.connectToHost(QHostAddress::LocalHost, quint16(port));
        return WaitUntil([&] { return socket_.state() == QAbstractSocket::ConnectedState; }, kWaitMs);
    }
    void Send(const QByteArray& bytes) {
        socket_.write(bytes);
        socket_.flush();
    }
    // A text as code page 936 bytes, terminator added.
    void SendLine(const QString& text) { Send(ToCp936(text) + "\r\n"); }
    bool Got(const QString& line) const { return Lines().contains(line); }
    bool WaitFor(const QString& line) {
        return WaitUntil([&] { return Got(line); }, kWaitMs);
    }
    QStringList Lines() const {
        QStringList lines;
        for (const QByteArray& raw : received.split('\n'))
            if (raw.endsWith('\r')) lines << FromCp936(raw.chopped(1));
        return lines;
    }
    QTcpSocket& socket() { return socket_; }

  private:
    QTcpSocket socket_;
};

}  // namespace vorn::itest
