// Times CanBeat and ClassifyPlay on the plays a game is made of. Both run for
// every choice the computer player weighs, so they have to stay well under a
// microsecond a call.

#include <benchmark/benchmark.h>

#include <string>

#include "cards/rules.h"
#include "cards/table.h"

namespace {

struct Case {
    std::string onTable;  // concatenated codes, as the play on the table is kept
    std::string answer;   // a choice that beats it, concatenated the same way
};

const Case kSingle{"C_05", "D_06"};
const Case kPair{"C_05H_05", "D_06S_06"};
const Case kRunOfFive{"C_01D_02C_03H_04S_05", "D_02C_03H_04S_05C_06"};
const Case kDoubleRun{"C_01D_01C_02D_02C_03D_03", "H_02S_02H_03S_03H_04S_04"};
const Case kTwos{"C_11D_11", "H_13S_13"};

vorn::SortedList Split(const std::string& codes) {
    vorn::SortedList list;
    for (size_t i = 0; i + 4 <= codes.size(); i += 4) list.Add(codes.substr(i, 4));
    return list;
}

vorn::Table TableFor(const Case& c) {
    vorn::Table table;
    table.MustLead = false;
    table.TablePlay = c.onTable;
    table.PlayType = vorn::ClassifyPlay(Split(c.onTable));
    table.lstSelected = Split(c.answer);
    return table;
}

void BM_CanBeat(benchmark::State& state, const Case& c) {
    vorn::Table table = TableFor(c);
    if (!vorn::CanBeat(table)) state.SkipWithError("the answer does not beat");
    for (auto _ : state) {
        bool beats = vorn::CanBeat(table);
        benchmark::DoNotOptimize(beats);
    }
}

void BM_ClassifyPlay(benchmark::State& state, const Case& c) {
    const vorn::SortedList chosen = Split(c.answer);
    for (auto _ : state) {
        std::string type = vorn::ClassifyPlay(chosen);
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
