// Times CanBeat and ClassifyPlay on the plays a game is made of. Both run for
// every choice the computer player weighs, so they have to stay well under a
// microsecond a call.

#include <benchmark/benchmark.h>

#include <string>

#include "cards/gamestate.h"
#include "cards/rules.h"

namespace {

struct Case {
    std::string onTable;  // concatenated codes, as the wire writes the play on the table
    std::string answer;   // a choice that beats it, concatenated the same way
};

const Case kSingle{"C_05", "D_06"};
const Case kPair{"C_05H_05", "D_06S_06"};
const Case kRunOfFive{"C_01D_02C_03H_04S_05", "D_02C_03H_04S_05C_06"};
const Case kDoubleRun{"C_01D_01C_02D_02C_03D_03", "H_02S_02H_03S_03H_04S_04"};
const Case kTwos{"C_11D_11", "H_13S_13"};

vorn::CardSet Split(const std::string& codes) {
    vorn::CardSet cards;
    vorn::ParseCodes(codes, cards);
    return cards;
}

vorn::GameState TableFor(const Case& c) {
    vorn::GameState table;
    table.MustLead = false;
    table.TablePlay = Split(c.onTable);
    table.PlayType = vorn::ClassifyPlay(table.TablePlay);
    table.lstSelected = Split(c.answer);
    return table;
}

void BM_CanBeat(benchmark::State& state, const Case& c) {
    vorn::GameState table = TableFor(c);
    if (!vorn::CanBeat(table)) state.SkipWithError("the answer does not beat");
    for (auto _ : state) {
        bool beats = vorn::CanBeat(table);
        benchmark::DoNotOptimize(beats);
    }
}

void BM_ClassifyPlay(benchmark::State& state, const Case& c) {
    const vorn::CardSet chosen = Split(c.answer);
    for (auto _ : state) {
        vorn::PlayType type = vorn::ClassifyPlay(chosen);
        benchmark::DoNotOptimize(type);
    }
}

}  // namespace

BENCHMARK_CAPTURE(BM_CanBeat, single, kSingle);
BENCHMARK_CAPTURE(BM_CanBeat, pair, kPair);
BENCHMARK_CAPTURE(BM_CanBeat, run_of_5, kRunOfFive);
BENCHMARK_CAPTURE(BM_CanBeat, double_run, kDoubleRun);
BENCHMARK_CAPTURE(BM_CanBeat, twos, kTwos);
BENCHMARK_CAPTURE(BM_ClassifyPlay, single, kSingle);
BENCHMARK_CAPTURE(BM_ClassifyPlay, pair, kPair);
BENCHMARK_CAPTURE(BM_ClassifyPlay, run_of_5, kRunOfFive);
BENCHMARK_CAPTURE(BM_ClassifyPlay, double_run, kDoubleRun);
BENCHMARK_CAPTURE(BM_ClassifyPlay, twos, kTwos);

BENCHMARK_MAIN();
