#include "game/shadow.h"

namespace vorn {

namespace {
CardSet& Holder(GameState& t, int location) {
    return location == kStockLocation ? t.lstCardsBox : t.lstDirection[size_t(location)];
}

// a and b change places, each keeping the other's.
void Trade(GameState& t, Card a, Card b) {
    const int la = t.Location(a), lb = t.Location(b);
    Holder(t, la).Remove(a);
    Holder(t, lb).Remove(b);
    Holder(t, la).Add(b);
    Holder(t, lb).Add(a);
    t.Location(a) = std::int8_t(lb);
    t.Location(b) = std::int8_t(la);
}
}  // namespace

CardSet UnseenBy(const GameState& t, int owner) {
    CardSet others = t.lstCardsBox;
    for (int seat = 0; seat < 4; ++seat)
        if (seat != owner) others |= t.lstDirection[size_t(seat)];
    return others;
}

bool ShadowsBecome(GameState& t, int owner, int seat, CardSet cards) {
    if (seat == owner || seat < 0 || seat > 3) return false;
    if ((cards & UnseenBy(t, owner)) != cards || cards.Count() > t.HandSize(seat)) return false;
    // Each named card the seat lacks takes the place of one of its cards that
    // is not named; there are always enough, as the seat holds at least as
    // many cards as are named.
    CardSet spare = t.lstDirection[size_t(seat)].Without(cards);
    for (const Card card : cards.Without(t.lstDirection[size_t(seat)])) {
        const Card out = spare.First();
        spare.Remove(out);
        Trade(t, card, out);
    }
    return true;
}

bool ShadowToStock(GameState& t, int owner, Card card) {
    if (!UnseenBy(t, owner).Contains(card) || t.lstCardsBox.Empty()) return false;
    if (t.Location(card) != kStockLocation) Trade(t, card, t.lstCardsBox.First());
    return true;
}

bool ShadowTable(const Observation& seen, int currentSeat, GameState& out) {
    const int owner = seen.seat;
    if (owner < 0 || owner > 3 || currentSeat < 0 || currentSeat > 3) return false;
    if (!(seen.hand & seen.played).Empty() || (seen.tablePlay & seen.played) != seen.tablePlay) return false;
    CardSet unseen = seen.Unseen();
    int hidden = seen.stockSize;
    for (int seat = 0; seat < 4; ++seat) {
        if (seen.handSizes[size_t(seat)] < 0) return false;
        if (seat != owner) hidden += seen.handSizes[size_t(seat)];
    }
    if (seen.stockSize < 0 || hidden != unseen.Count() || seen.handSizes[size_t(owner)] != seen.hand.Count())
        return false;
    GameState t;
    for (int i = 0; i < kDeckSize; ++i) t.Location(Card::FromIndex(i)) = kPlayedLocation;
    auto give = [&t](CardSet cards, int location) {
        Holder(t, location) = cards;
        for (const Card card : cards) t.Location(card) = std::int8_t(location);
    };
    give(seen.hand, owner);
    for (int seat = 0; seat < 4; ++seat) {
        if (seat == owner) continue;
        CardSet hand;
        for (int k = 0; k < seen.handSizes[size_t(seat)]; ++k) hand.Add(unseen[k]);
        unseen = unseen.Without(hand);
        give(hand, seat);
    }
    give(unseen, kStockLocation);
    TakeCounters(seen, t);
    t.CurrentSeat = currentSeat;
    out = t;
    return true;
}

}  // namespace vorn
