// Soak run of network play: several parties of four real table windows (a
// host and three joiners over 127.0.0.1) play whole games with the computer
// player's decisions in the people's seats. After every move, once the party
// is quiet, every joiner's copy of the table must agree with the host's on
// all that joiner may see and every table must keep its 52 cards in place; at
// every game's end the four score boards must agree. Prints the counts and
// exits 1 on any violation.
//
// With --cut, one joiner's link is cut at a random move of every game: in
// every other game its window takes the seat back by itself, in the others
// its person has gone and logs on again under the same name between hands.
// The resident memory is printed after the first games and at the end.
//
//   vorn-soak [--games N] [--parties P] [--seed S] [--cut]

#include <QApplication>
#include <QFile>

#include <cstdio>
#include <cstring>
#include <string>

#include "cards/random.h"
#include "tests/integration/nettable.h"

using namespace vorn;
using namespace vorn::itest;

namespace {

struct Counts {
    int games = 0;
    long moves = 0;
    int desyncs = 0;
    int violations = 0;
    int cuts = 0;
    int rejoins = 0;
    long rssEarlyKb = 0;
};

long ResidentKb() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').front().toLong();
    return 0;
}

// One joiner's link cut in the middle of a game.
struct Cut {
    int atMove = -1;
    int seat = 0;
    bool byItself = false;
    NetTable* gone = nullptr;  // a person who left, to log on again between hands
};

void CutLink(NetParty& party, Cut& cut, Counts& counts) {
    NetTable* joiner = party.AtSeat(cut.seat);
    if (!joiner) return;
    ++counts.cuts;
    party.host->net().GiveUpSlot(cut.seat);
    if (cut.byItself) {
        ++counts.rejoins;
        return;
    }
    joiner->w().ResetToLocalGame();
    cut.gone = joiner;
}

void Fail(Counts& counts, int& field, const std::string& what) {
    ++field;
    if (counts.desyncs + counts.violations <= 10) std::fprintf(stderr, "%s\n", what.c_str());
}

// Every joiner agrees with the host on what it may see; every table keeps its cards.
void CheckTables(NetParty& party, Counts& counts) {
    for (auto& j : party.joiners) {
        // A person who has left, until it is back.
        if (!j->session().IsNet()) continue;
        const std::string diff = Difference(party.host->table(), j->table(), j->FairSeat());
        if (!diff.empty()) Fail(counts, counts.desyncs, "desync: " + diff);
    }
    for (NetTable* t : party.All()) {
        const std::string problem = CheckConservation(t->table());
        if (!problem.empty()) Fail(counts, counts.violations, "cards: " + problem);
    }
}

// Plays the party's games; false when it could not be set up or got stuck.
bool PlayParty(NetParty& party, int games, bool cutting, std::uint64_t seed, Counts& counts) {
    if (!party.Fill()) return false;
    party.host->answers.assign(size_t(games - 1), true);
    party.host->w().mnuDeal_Click();
    int played = 0;
    int questionsBefore = 0;
    int moveInGame = 0;
    SeededRandom random(seed);
    Cut cut;
    auto plan = [&] {
        if (!cutting) return;
        cut = Cut{3 + int(random.Uniform() * 25), 1 + int(random.Uniform() * 3), played % 2 == 0, nullptr};
    };
    plan();
    while (played < games) {
        if (moveInGame == cut.atMove) CutLink(party, cut, counts);
        if (!party.WaitSettled()) {
            std::fprintf(stderr, "stuck: %s\n", party.Why().constData());
            return false;
        }
        CheckTables(party, counts);
        if (party.host->questions.size() > questionsBefore) {
            questionsBefore = int(party.host->questions.size());
            ++played;
            ++counts.games;
            const ScoreBoard& board = party.host->engine().scores();
            for (auto& j : party.joiners)
                if (j->session().IsNet() &&
                    (j->engine().scores().lost != board.lost || j->engine().scores().won != board.won))
                    Fail(counts, counts.desyncs, "score boards differ");
            int wins = 0;
            for (int w : board.won) wins += w;
            if (wins != played) Fail(counts, counts.violations, "games won do not add up");
            if (played == 10) counts.rssEarlyKb = ResidentKb();
            if (played == games) break;
            if (cut.gone) {
                // Between hands the person is back, under the same name.
                cut.gone->Join(party.port, QString("J%1").arg(cut.seat));
                ++counts.rejoins;
            }
            moveInGame = 0;
            plan();
            continue;
        }
        if (!party.Move()) {
            std::fprintf(stderr, "nobody can move: %s\n", party.Why().constData());
            return false;
        }
        ++counts.moves;
        ++moveInGame;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int games = 200, tables = 1;
    std::uint64_t seed = 1;
    bool cutting = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--cut")) cutting = true;
        if (i + 1 >= argc) continue;
        if (!std::strcmp(argv[i], "--games")) games = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--parties")) tables = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--seed")) seed = std::strtoull(argv[i + 1], nullptr, 10);
    }
    // Its tables are on this machine only: nothing is asked or answered on the LAN.
    qputenv("VORN_LAN", "off");
    QApplication app(argc, argv);
    Counts counts;
    const int perTable = std::max(1, games / std::max(1, tables));
    bool ok = true;
    QElapsedTimer clock;
    clock.start();
    for (int t = 0; t < tables && ok; ++t) {
        NetParty party(seed + std::uint64_t{1000} * t);
        ok = PlayParty(party, perTable, cutting, seed + std::uint64_t{1000} * t, counts);
    }
    std::printf("games %d\nmoves %ld\ndesyncs %d\nviolations %d\ncuts %d\nrejoins %d\nseconds %.1f\n",
                counts.games, counts.moves, counts.desyncs, counts.violations, counts.cuts, counts.rejoins,
                clock.elapsed() / 1000.0);
    if (counts.rssEarlyKb > 0)
        std::printf("resident kB after 10 games %ld, at the end %ld\n", counts.rssEarlyKb, ResidentKb());
    return ok && counts.desyncs == 0 && counts.violations == 0 ? 0 : 1;
}
