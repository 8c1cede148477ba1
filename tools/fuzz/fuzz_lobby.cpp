// The dedicated server's lobby, and the tables it hands links to, under links
// whose bytes, opening and closing come from the input. The server is the real
// one (tools/server/server.cpp, servertable.cpp) linked with sockets held in
// memory (fakesocket.cpp) and an event loop whose time passes only as the
// input says (virtualloop.h), so the lobby's deadlines (1.5 s of silence, the
// time at the lobby, the time to give a name, silence at a table) fall due
// without waiting. After every step, once the loop has nothing left to do:
// every link is at the lobby, at a table or closed (none lost between them,
// none the far end closed left open); the lobby holds no more links than it
// has room for, keeps none past its time and no silent one past its 1.5 s;
// no address holds more links than allowed; there are no more tables than
// allowed; and no two people of a table share a slot.
//
// Input: byte 0: bits 0-1 the most tables, 1..4; bit 2 the offer of
// encryption; bits 3-4 the links one address may hold, 1..4; bits 5-6 the
// computer player's level, 0..2. Byte 1: bits 0-2 the seconds a link has to
// give its name, 1..8; bits 3-5 the seconds of silence allowed, 2..9; bits 6-7
// the seconds before computer players fill a table, 0..3. Then steps, by
// their first byte b, b % 8 (the letters are the ones a seed may use):
//   7 'O'  a link opens from the address that the next byte & 3 picks;
//   5 'M'  (next byte % 97) + 1 links open at once, each from an address of its own;
//          an input opens 300 links at the most;
//   2, 3 'S'  on the link the next byte picks, the bytes after it up to and
//          including the next "\r\n" arrive (to the end when there is none);
//   0 'P'  on the link the next byte picks, as many bytes as the byte after it says;
//   1 'Q'  the far end closes the link the next byte picks;
//   4, 6 'T'  time passes: next byte t, t * 25 ms below 128, else (t - 127) * 0.5 s.
// A link is picked by its number in the order opened, modulo the links opened.
//
// The server's log goes nowhere (it would be most of the output); set
// VORN_FUZZ_LOG=1 to see it when running one input again. Each table's
// random source is seeded afresh as in the server, so a deal differs from run
// to run.

#include <QCoreApplication>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "net/socket/securehost.h"
#include "net/socket/socket.h"
#include "tools/fuzz/fakenet.h"
#include "tools/fuzz/virtualloop.h"
#include "tools/server/server.h"

namespace {

using namespace vorn;
using fuzz::FakeNet;

// The lobby's room beyond one link for each table, and its pauses (server.cpp).
constexpr int kLobbyRoom = 64;
constexpr std::int64_t kQuietMs = 1500;
constexpr std::int64_t kSweepMs = 1000;
// The most time one input may let pass: its steps cost the work done meanwhile.
constexpr std::int64_t kMostMs = 600000;
// The most links one input may open: room for the fullest lobby four tables allow, and more.
constexpr std::size_t kMostLinks = 300;
// Longer than any single-shot timer of the server's.
constexpr std::int64_t kLeftoversMs = 60000;

fuzz::VirtualLoop* loop = nullptr;
std::shared_ptr<const SecureHost> secure;
std::FILE* report = nullptr;  // the fuzzer's own standard error

[[noreturn]] void Fail(const std::string& what, const std::string& step) {
    std::fprintf(report, "invariant broken after %s: %s\n", step.c_str(), what.c_str());
    std::fflush(report);
    std::abort();
}

// The input after its first two bytes, read front to back; zeros past its end.
class Reader {
  public:
    explicit Reader(std::string_view bytes) : rest_(bytes) {}
    bool Done() const { return rest_.empty(); }
    std::uint8_t Byte() {
        if (rest_.empty()) return 0;
        const auto b = std::uint8_t(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }
    std::string_view Take(std::size_t n) {
        const std::string_view piece = rest_.substr(0, n);
        rest_.remove_prefix(piece.size());
        return piece;
    }
    std::string_view Line() {
        const std::size_t end = rest_.find("\r\n");
        return Take(end == std::string_view::npos ? rest_.size() : end + 2);
    }

  private:
    std::string_view rest_;
};

server::ServerConfig ConfigOf(std::uint8_t a, std::uint8_t b) {
    server::ServerConfig config;
    config.tables = 1 + (a & 3);
    config.linksPerAddress = 1 + ((a >> 3) & 3);
    config.level = ((a >> 5) & 3) % 3;
    config.helloSeconds = 1 + (b & 7);
    config.idleSeconds = 2 + ((b >> 3) & 7);
    config.botsAfter = (b >> 6) & 3;
    config.graceSeconds = 3;
    return config;
}

std::string LinkProblem(server::Server& server, const FakeNet::Wire& wire, std::int64_t now,
                        const server::ServerConfig& config) {
    if (wire.request != 0) return "it waits as a connection request nobody takes";
    if (wire.closed) return {};
    if (!wire.holder) return "it is neither at the lobby, at a table nor closed";
    if (wire.peerClosed) return "its far end closed it, and it is still open";
    const QObject* owner = wire.holder->parent();
    if (owner == &server) {
        const std::int64_t waited = now - wire.accepted;
        if (wire.sent == 0 && waited > kQuietMs) return "it has said nothing and is still at the lobby";
        const std::int64_t limit = std::max(config.helloSeconds, config.idleSeconds) * 1000 + kSweepMs;
        if (waited > limit) return "it has stayed at the lobby past its time";
        return {};
    }
    const QObject* table = owner ? owner->parent() : nullptr;
    if (!qobject_cast<const server::ServerTable*>(table) || table->parent() != &server)
        return "it is held by neither the lobby nor a table";
    return {};
}

std::string Check(server::Server& server, std::int64_t now, const server::ServerConfig& config) {
    const auto& wires = FakeNet::Get().Wires();
    int atLobby = 0;
    std::map<QString, int> from;
    for (std::size_t i = 0; i < wires.size(); ++i) {
        const FakeNet::Wire& wire = *wires[i];
        const std::string problem = LinkProblem(server, wire, now, config);
        if (!problem.empty()) return "link " + std::to_string(i) + ": " + problem;
        if (wire.closed) continue;
        atLobby += wire.holder->parent() == &server;
        if (++from[wire.address] > config.linksPerAddress)
            return "more links than allowed from " + wire.address.toStdString();
    }
    if (atLobby > config.tables + kLobbyRoom) return std::to_string(atLobby) + " links at the lobby";
    if (server.TableCount() > config.tables) return std::to_string(server.TableCount()) + " tables";
    for (server::ServerTable* table : server.findChildren<server::ServerTable*>(Qt::FindDirectChildrenOnly)) {
        std::set<int> taken;
        for (const Person& person : table->players())
            if (person.slot > 0 && !taken.insert(person.slot).second)
                return "two people in slot " + std::to_string(person.slot) + " of table " +
                       std::to_string(table->Number());
    }
    return {};
}

// The link the byte picks, or none while none has opened.
bool Pick(std::uint8_t b, std::size_t& link) {
    const std::size_t links = FakeNet::Get().Wires().size();
    if (links == 0) return false;
    link = b % links;
    return true;
}

// Carries out one step; what it was, for a report.
std::string Step(Reader& in, std::int64_t& passed) {
    FakeNet& net = FakeNet::Get();
    const std::uint8_t kind = in.Byte() % 8;
    const std::uint8_t arg = in.Byte();
    std::size_t link = 0;
    switch (kind) {
        case 7:
            if (net.Wires().size() < kMostLinks) net.Open(QStringLiteral("127.0.0.%1").arg(1 + (arg & 3)));
            return "a link opened";
        case 5:
            for (int n = 0; n <= arg % 97 && net.Wires().size() < kMostLinks; ++n) {
                const auto i = int(net.Wires().size());
                net.Open(QStringLiteral("127.1.%1.%2").arg(i / 250).arg(1 + i % 250));
            }
            return "many links opened";
        case 2:
        case 3: {
            const std::string_view line = in.Line();
            if (Pick(arg, link)) net.Say(link, line);
            return "a line on link " + std::to_string(link);
        }
        case 0: {
            const std::string_view piece = in.Take(in.Byte());
            if (Pick(arg, link)) net.Say(link, piece);
            return "bytes on link " + std::to_string(link);
        }
        case 1:
            if (Pick(arg, link)) net.Quit(link);
            return "link " + std::to_string(link) + " closed by its far end";
        default: {
            const std::int64_t ms =
                std::min<std::int64_t>(arg < 128 ? arg * 25 : (arg - 127) * 500, kMostMs - passed);
            passed += ms;
            if (!loop->Advance(ms)) Fail("the event loop never rests", "time passing");
            return "time passing";
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    report = stderr;
    if (!std::getenv("VORN_FUZZ_LOG")) stderr = std::fopen("/dev/null", "w");
    loop = new fuzz::VirtualLoop;
    QCoreApplication::setEventDispatcher(loop);
    static int argc = 1;
    static char name[] = "fuzz_lobby";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
    auto host = std::make_shared<SecureHost>();
    QString why;
    if (host->Load(QStringLiteral(VORN_FUZZ_DATA "/server-cert.pem"),
                   QStringLiteral(VORN_FUZZ_DATA "/server-key.pem"), why))
        secure = host;
    else
        std::fprintf(report, "fuzz_lobby: no offer of encryption: %s\n", why.toLocal8Bit().constData());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const server::ServerConfig config = ConfigOf(data[0], data[1]);
    Reader in(std::string_view(reinterpret_cast<const char*>(data + 2), size - 2));
    FakeNet& net = FakeNet::Get();
    net.Reset();
    const std::int64_t start = loop->Now();
    const auto clock = [start] { return loop->Now() - start; };
    net.clock = clock;
    {
        server::Server server(config, (data[0] & 4) ? secure : nullptr);
        server.clock = clock;
        server.Listen(config.port);
        std::int64_t passed = 0;
        while (!in.Done()) {
            const std::string step = Step(in, passed);
            if (!loop->Settle()) Fail("the event loop never rests", step);
            const std::string problem = Check(server, clock(), config);
            if (!problem.empty()) Fail(problem, step);
        }
    }
    // The single-shot timers the server left (a link's linger, a table's next
    // deal) fire and go, so that an input leaves nothing behind for the next.
    loop->Advance(kLeftoversMs);
    net.Reset();
    return 0;
}
