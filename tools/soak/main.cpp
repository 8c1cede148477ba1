// Soak run of network play: several parties of four real table windows (a
// host and three joiners over 127.0.0.1) play whole games with the computer
// player's decisions in the people's seats. After every move, once the party
// is quiet, every joiner's copy of the table must equal the host's and every
// table must keep its 52 cards in place; at every game's end the four score
// boards must agree. Prints the counts and exits 1 on any violation.
//
//   vorn-soak [--games N] [--parties P] [--seed S]

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/integration/nettable.h"

using namespace vorn;
using namespace vorn::itest;

namespace {

struct Counts {
    int games = 0;
    long moves = 0;
    int desyncs = 0;
    int violations = 0;
};

void Fail(Counts& counts, int& field, const std::string& what) {
    ++field;
    if (counts.desyncs + counts.violations <= 10) std::fprintf(stderr, "%s\n", what.c_str());
}

// Plays the party's games; false when it could not be set up or got stuck.
bool PlayParty(NetParty& party, int games, Counts& counts) {
    if (!party.Fill()) return false;
    party.host->answers.assign(size_t(games - 1), true);
    party.host->w().mnuDeal_Click();
    int played = 0;
    int questionsBefore = 0;
    while (played < games) {
        if (!party.WaitSettled()) {
            std::fprintf(stderr, "stuck: %s\n", party.Why().constData());
            return false;
        }
        for (auto& j : party.joiners) {
            const std::string diff = Difference(party.host->table(), j->table(), j->FairSeat());
            if (!diff.empty()) Fail(counts, counts.desyncs, "desync: " + diff);
        }
        for (NetTable* t : party.All()) {
            const std::string problem = CheckConservation(t->table());
            if (!problem.empty()) Fail(counts, counts.violations, "cards: " + problem);
        }
        if (party.host->questions.size() > questionsBefore) {
            questionsBefore = int(party.host->questions.size());
            ++played;
            ++counts.games;
            const ScoreBoard& board = party.host->engine().scores();
            for (auto& j : party.joiners)
                if (j->engine().scores().lost != board.lost || j->engine().scores().won != board.won)
                    Fail(counts, counts.desyncs, "score boards differ");
            int wins = 0;
            for (int w : board.won) wins += w;
            if (wins != played) Fail(counts, counts.violations, "games won do not add up");
            if (played == games) break;
            continue;
        }
        if (!party.Move()) {
            std::fprintf(stderr, "nobody can move: %s\n", party.Why().constData());
            return false;
        }
        ++counts.moves;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int games = 200, tables = 1;
    std::uint64_t seed = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--games")) games = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--parties")) tables = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--seed")) seed = std::strtoull(argv[i + 1], nullptr, 10);
    }
    QApplication app(argc, argv);
    Counts counts;
    const int perTable = std::max(1, games / std::max(1, tables));
    bool ok = true;
    QElapsedTimer clock;
    clock.start();
    for (int t = 0; t < tables && ok; ++t) {
        NetParty party(seed + std::uint64_t{1000} * t);
        ok = PlayParty(party, perTable, counts);
    }
    std::printf("games %d\nmoves %ld\ndesyncs %d\nviolations %d\nseconds %.1f\n", counts.games, counts.moves,
                counts.desyncs, counts.violations, clock.elapsed() / 1000.0);
    return ok && counts.desyncs == 0 && counts.violations == 0 ? 0 : 1;
}
