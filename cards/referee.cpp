#include "cards/referee.h"

#include <vector>

#include "cards/rules.h"

namespace vorn {

Refusal Judge(const GameState& state, int seat, CardSet play) {
    if (seat < 0 || seat > 3 || seat != state.CurrentSeat) return Refusal::NotYourTurn;
    const CardSet own = state.lstDirection[seat] | state.lstSelected;
    if ((play & own) != play) return Refusal::NotYourCards;
    if (play.Empty()) return state.MustLead ? Refusal::MustLead : Refusal::Ok;
    // A choice has a playable shape exactly when it classifies as a type.
    if (ClassifyPlay(play) == PlayType::None) return Refusal::BadShape;
    if (BreaksTwoRule(play)) return Refusal::TwoNotAlone;
    if (!CanBeat(state, play)) return Refusal::CannotBeat;
    return Refusal::Ok;
}

GameState FreshTable(int leader) {
    GameState fresh;
    fresh.lstCardsBox = CardSet::Deck();
    for (auto& row : fresh.CardLocation)
        for (auto& location : row) location = kStockLocation;
    fresh.TheLastThrower = leader;
    fresh.CurrentSeat = leader;
    return fresh;
}

CardSet Choose(GameState& state, int seat, CardSet play) {
    play = play & state.lstDirection[seat];
    state.lstDirection[seat] = state.lstDirection[seat].Without(play);
    state.lstSelected |= play;
    return play;
}

Card DrawAt(GameState& state, int seat, int index) {
    const int count = state.lstCardsBox.Count();
    if (state.StockEmpty || seat < 0 || seat > 3 || index < 0 || index >= count) return Card::None();
    const Card card = state.lstCardsBox[index];
    state.DrawIndex = index;
    state.DrawnCard = card;
    state.lstDirection[seat].Add(card);
    state.Location(card) = std::int8_t(seat);
    state.lstCardsBox.Remove(card);
    if (state.lstCardsBox.Empty()) state.StockEmpty = true;
    return card;
}

std::array<int, 4> ScoreGame(const GameState& state, int winner, ScoreBoard& board) {
    std::array<int, 4> lost{};
    for (int i = 0; i < 4; ++i) {
        lost[size_t(i)] = state.HandSize(i);
        board.lost[size_t(i)] += lost[size_t(i)];
    }
    if (winner >= 0 && winner < 4) board.won[size_t(winner)] += 1;
    return lost;
}

bool HasBeatingPlay(const GameState& state) {
    const int seat = state.CurrentSeat;
    if (seat < 0 || seat > 3) return false;
    if (state.MustLead || state.TablePlay.Empty()) return true;
    std::vector<Card> cards;
    for (const Card card : state.lstDirection[size_t(seat)] | state.lstSelected) cards.push_back(card);
    const int n = int(cards.size());
    const int k = state.TablePlay.Count();
    if (k > n) return false;
    // Every k of the n cards, in index order.
    std::vector<int> at(static_cast<size_t>(k), 0);
    for (int i = 0; i < k; ++i) at[size_t(i)] = i;
    for (;;) {
        CardSet play;
        for (const int i : at) play.Add(cards[size_t(i)]);
        if (Judge(state, seat, play) == Refusal::Ok) return true;
        int i = k - 1;
        while (i >= 0 && at[size_t(i)] == n - k + i) --i;
        if (i < 0) return false;
        ++at[size_t(i)];
        for (int j = i + 1; j < k; ++j) at[size_t(j)] = at[size_t(j - 1)] + 1;
    }
}

}  // namespace vorn
