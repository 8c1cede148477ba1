#include "game/seatview.h"

#include "cards/rules.h"

namespace vorn {

TableEvent VisibleTo(const TableEvent& event, int seat) {
    TableEvent seen = event;
    if (event.kind == TableEvent::Kind::Draw && event.seat != seat) seen.card = Card::None();
    return seen;
}

namespace {

// The decision about to be carried out, on the table as it stood.
SeenMove Decision(const Observation& o, int seat, CardSet cards) {
    SeenMove m;
    m.seat = std::int8_t(seat);
    m.lead = o.mustLead || o.tablePlay.Empty();
    m.stockEmpty = o.stockEmpty;
    m.playType = o.playType;
    m.lastThrower = std::int8_t(o.lastThrower);
    m.passCount = std::int8_t(o.passCount);
    for (int s = 0; s < 4; ++s) {
        m.handSizes[size_t(s)] = std::int8_t(o.handSizes[size_t(s)]);
        m.singleRun[size_t(s)] = std::int8_t(o.singleRun[size_t(s)]);
    }
    m.cards = cards;
    m.tablePlay = o.tablePlay;
    m.played = o.played;
    return m;
}

}  // namespace

void SeatView::Follow(const TableEvent& e) {
    Observation& o = seen_;
    const bool mine = e.seat == o.seat;
    if (e.kind == TableEvent::Kind::Played || e.kind == TableEvent::Kind::Passed)
        o.history.push_back(Decision(o, e.seat, e.cards));
    if (e.kind == TableEvent::Kind::Draw) {
        SeenMove draw;
        draw.seat = std::int8_t(e.seat);
        draw.draw = true;
        o.history.push_back(draw);
    }
    switch (e.kind) {
        case TableEvent::Kind::NewGame: {
            Observation fresh;
            fresh.seat = o.seat;
            fresh.lost = o.lost;
            fresh.stockSize = kDeckSize;
            fresh.lastThrower = e.seat;
            fresh.players = o.players;
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
