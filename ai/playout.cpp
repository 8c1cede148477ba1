#include "ai/playout.h"

#include <utility>

#include "ai/follow.h"
#include "ai/lead.h"
#include "cards/referee.h"
#include "cards/rules.h"

namespace vorn {

namespace {

template <class R>
void Decide(GameState& state, int seat, bool lead, float gambleRate, R& random) {
    const bool swapped = seat == 0;
    auto swapSeats = [&state] {
        std::swap(state.lstDirection[0], state.lstDirection[1]);
        std::swap(state.SingleRun[0], state.SingleRun[1]);
        if (state.TheLastThrower == 0)
            state.TheLastThrower = 1;
        else if (state.TheLastThrower == 1)
            state.TheLastThrower = 0;
    };
    if (swapped) swapSeats();
    const int as = swapped ? 1 : seat;
    if (lead)
        ChooseLead(state, as, gambleRate, random);
    else
        FollowDecision(state, as, gambleRate, random);
    if (swapped) swapSeats();
}

// A playout that has not ended after this many decisions is scored as it stands.
constexpr int kStepLimit = 400;

void Draw(GameState& t, int seat, SearchRandom& random) {
    if (t.StockEmpty) return;
    const int count = t.lstCardsBox.Count();
    if (count > 0) DrawAt(t, seat, UniformIndex(random.Uniform(), count));
}

// Late in the game the searching seat's own moves are searched one ply (ownMove).
bool Late(const GameState& t, const PlayoutSeats& seats) {
    return seats.ownMove && t.StockEmpty && t.HandSize(seats.me) <= seats.lookahead;
}

}  // namespace

CardSet UnsearchedOwnMove(const GameState& t, const PlayoutSeats& seats, SearchRandom& random) {
    if (Late(t, seats)) return seats.ownMove(t, seats, random);
    GameState c = t;
    const bool follow = !c.MustLead && !c.TablePlay.Empty();
    const float rate = seats.gambleRates[size_t(seats.me)];
    if (seats.beats[size_t(seats.me)])
        BeatingDecision(c, seats.me, !follow, rate, random);
    else
        RulesDecision(c, seats.me, !follow, rate, random);
    return c.lstSelected;
}

void RulesDecision(GameState& state, int seat, bool lead, float gambleRate, Random& random) {
    Decide(state, seat, lead, gambleRate, random);
}

void RulesDecision(GameState& state, int seat, bool lead, float gambleRate, SearchRandom& random) {
    Decide(state, seat, lead, gambleRate, random);
}

void BeatingDecision(GameState& state, int seat, bool lead, float gambleRate, SearchRandom& random) {
    Decide(state, seat, lead, gambleRate, random);
    if (!lead && !state.StockEmpty && state.lstSelected.Empty())
        Choose(state, seat, NextHigher(state.lstDirection[size_t(seat)], state.TablePlay));
}

CardSet NextHigher(CardSet hand, CardSet table) {
    const NumberCounts counts = CountNumbers(table);
    CardSet higher;
    for (int n = 1; n <= kNumbers; ++n) {
        if (counts.of[n] == 0) continue;
        if (n + 1 >= kTwo) return {};
        CardSet of = hand & kOfNumber[n + 1];
        if (of.Count() < counts.of[n]) return {};
        for (int k = 0; k < counts.of[n]; ++k) {
            const Card top = of.Last();
            of.Remove(top);
            higher.Add(top);
        }
    }
    return higher;
}

PlayedOut PlayOut(GameState& t, const PlayoutSeats& seats, SearchRandom& random) {
    const int me = seats.me;
    PlayedOut out;
    for (int step = 0; step < kStepLimit; ++step) {
        const int seat = t.CurrentSeat;
        const bool follow = t.PlayType != PlayType::JustBegin && t.PassCount != 3 && !t.TablePlay.Empty();
        if (!follow) {
            const bool newRound = t.PlayType != PlayType::JustBegin && t.PassCount == 3;
            t.PassCount = 0;
            t.TablePlay.Clear();
            if (newRound)
                for (int k = 0; k < 4; ++k) Draw(t, (seat + k) % 4, random);
            t.MustLead = true;
        }
        ++out.decisions;
        if (seat == me && (seats.tree || Late(t, seats))) {
            Choose(
                t, me,
                seats.tree ? seats.treeMove(*seats.tree, t, seats, random) : seats.ownMove(t, seats, random));
            // A searched move that the referee would refuse would stall the
            // real table: here it ends the playout as it stands. The rules'
            // own choices are always legal (self-play checks every one).
            if (Judge(t, seat, t.lstSelected) != Refusal::Ok) break;
        } else {
            const float rate = seats.gambleRates[size_t(seat)];
            if (seats.beats[size_t(seat)])
                BeatingDecision(t, seat, !follow, rate, random);
            else
                RulesDecision(t, seat, !follow, rate, random);
        }
        if (Apply(t, Move{seat, t.lstSelected}).handEmpty) break;
    }
    out.lost = t.HandSize(me);
    return out;
}

}  // namespace vorn
