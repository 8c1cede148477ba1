#include "ai/observation.h"

namespace vorn {

Observation Observe(const GameState& state, int seat, const std::array<int, 4>& lost) {
    Observation o;
    o.seat = seat;
    o.hand = state.lstDirection[seat] | state.lstSelected;
    o.tablePlay = state.TablePlay;
    o.playType = state.PlayType;
    for (int i = 0; i < kDeckSize; ++i)
        if (state.Location(Card::FromIndex(i)) == kPlayedLocation) o.played.Add(Card::FromIndex(i));
    for (int s = 0; s < 4; ++s) o.handSizes[s] = state.HandSize(s);
    o.handSizes[seat] = o.hand.Count();
    o.stockSize = state.lstCardsBox.Count();
    o.stockEmpty = state.StockEmpty;
    o.mustLead = state.MustLead;
    o.lastThrower = state.TheLastThrower;
    o.passCount = state.PassCount;
    o.singleRun = state.SingleRun;
    o.lost = lost;
    return o;
}

void TakeCounters(const Observation& seen, GameState& state) {
    state.TablePlay = seen.tablePlay;
    state.PlayType = seen.playType;
    state.StockEmpty = seen.stockEmpty;
    state.MustLead = seen.mustLead;
    state.TheLastThrower = seen.lastThrower;
    state.PassCount = seen.passCount;
    state.SingleRun = seen.singleRun;
}

std::uint64_t Observation::Hash() const {
    std::uint64_t h = 14695981039346656037ull;
    auto mix = [&h](std::uint64_t v) {
        for (int k = 0; k < 8; ++k) {
            h ^= (v >> (8 * k)) & 0xFF;
            h *= 1099511628211ull;
        }
    };
    mix(std::uint64_t(seat));
    mix(hand.Bits());
    mix(tablePlay.Bits());
    mix(std::uint64_t(playType));
    mix(played.Bits());
    for (int s = 0; s < 4; ++s) {
        mix(std::uint64_t(handSizes[s]));
        mix(std::uint64_t(singleRun[s]));
        mix(std::uint64_t(lost[s]));
    }
    mix(std::uint64_t(stockSize));
    mix(std::uint64_t(stockEmpty) | std::uint64_t(mustLead) << 1);
    mix(std::uint64_t(lastThrower));
    mix(std::uint64_t(passCount));
    for (const SeenMove& m : history) {
        mix(std::uint64_t(m.seat) | std::uint64_t(m.draw) << 8 | std::uint64_t(m.lead) << 9);
        mix(m.cards.Bits());
    }
    for (const int p : players) mix(std::uint64_t(std::int64_t(p) + 1));
    return h;
}

Observation Observation::Snapshot() const {
    Observation o = *this;
    o.history.clear();
    o.players.fill(kUnknownPlayer);
    return o;
}

}  // namespace vorn
