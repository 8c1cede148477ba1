#include "game/seatview.h"

#include "cards/rules.h"

namespace vorn {

TableEvent VisibleTo(const TableEvent& event, int seat) {
    TableEvent seen = event;
    if (event.kind == TableEvent::Kind::Draw && event.seat != seat) seen.card = Card::None();
    return seen;
}

void SeatView::Follow(const TableEvent& e) {
    Observation& o = seen_;
    const bool mine = e.seat == o.seat;
    switch (e.kind) {
        case TableEvent::Kind::NewGame: {
            Observation fresh;
            fresh.seat = o.seat;
            fresh.lost = o.lost;
            fresh.stockSize = kDeckSize;
            fresh.lastThrower = e.seat;
            o = fresh;
            break;
        }
        case TableEvent::Kind::Draw:
            ++o.handSizes[size_t(e.seat)];
            if (mine) o.hand.Add(e.card);
            if (--o.stockSize == 0) o.stockEmpty = true;
            break;
        case TableEvent::Kind::NewRound:
            o.passCount = 0;
            o.tablePlay.Clear();
            o.mustLead = true;
            break;
        case TableEvent::Kind::Turn:
            o.mustLead = e.lead;
            break;
        case TableEvent::Kind::Played:
            o.played |= e.cards;
            o.handSizes[size_t(e.seat)] -= e.cards.Count();
            if (mine) o.hand = o.hand.Without(e.cards);
            o.tablePlay = e.cards;
            o.playType = ClassifyPlay(e.cards);
            o.lastThrower = e.seat;
            o.singleRun[size_t(e.seat)] = e.cards.Count() == 1 ? o.singleRun[size_t(e.seat)] + 1 : 0;
            o.passCount = 0;
            o.mustLead = false;
            break;
        case TableEvent::Kind::Passed:
            ++o.passCount;
            o.mustLead = false;
            break;
        case TableEvent::Kind::GameOver:
            for (int s = 0; s < 4; ++s) o.lost[size_t(s)] += e.lost[size_t(s)];
            break;
        case TableEvent::Kind::Refused:
            break;
    }
}

}  // namespace vorn
