#include "cards/gamestate.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vorn {

namespace {
constexpr const char* kTypeNames[] = {"", "JustBegin", "Single", "Bank", "Arrange", "DblBank", "Is2"};
}  // namespace

const char* PlayTypeName(PlayType type) {
    return kTypeNames[int(type)];
}

PlayType PlayTypeOf(std::string_view name) {
    for (int k = 1; k < int(std::size(kTypeNames)); ++k)
        if (name == kTypeNames[k]) return PlayType(k);
    return PlayType::None;
}

namespace {

// The cards whose CardLocation holds each of the values -1..4, as sets.
struct LocationSets {
    CardSet of[6];  // of[location + 1]
};

LocationSets SetsOfLocations(const GameState& state) {
    LocationSets sets;
#if defined(__SSE2__)
    // Sixteen locations at a time: CardLocation is laid out by card index, like
    // the sets. The last row starts four cards early so as to stay inside it.
    const auto* bytes = reinterpret_cast<const char*>(&state.CardLocation[0][0]);
    static_assert(kDeckSize == 52);
    const __m128i rows[4] = {_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16)),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 32)),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 36))};
    for (int location = kStockLocation; location <= kPlayedLocation; ++location) {
        const __m128i wanted = _mm_set1_epi8(char(location));
        auto row = [&](int r) {
            return std::uint64_t(std::uint16_t(_mm_movemask_epi8(_mm_cmpeq_epi8(rows[r], wanted))));
        };
        const std::uint64_t bits = row(0) | row(1) << 16 | row(2) << 32 | (row(3) >> 12) << 48;
        sets.of[location + 1] = CardSet::FromBits(bits);
    }
#else
    for (int i = 0; i < kDeckSize; ++i) {
        const Card c = Card::FromIndex(i);
        const int location = state.Location(c);
        if (location >= kStockLocation && location <= kPlayedLocation) sets.of[location + 1].Add(c);
    }
#endif
    return sets;
}

// The invariant on the bits alone: no card in two places, each where its
// location says. The common case, and cheap enough to check after every move.
bool Conserved(const GameState& state, int chosenSeat) {
    CardSet seen;
    auto place = [&](CardSet cards) {
        if (!(seen & cards).Empty()) return false;
        seen |= cards;
        return true;
    };
    if (!place(state.lstCardsBox) || !place(state.lstSelected)) return false;
    for (const CardSet& hand : state.lstDirection)
        if (!place(hand)) return false;
    if (chosenSeat < kStockLocation || chosenSeat > 3) chosenSeat = kStockLocation;
    LocationSets wanted;
    wanted.of[kStockLocation + 1] = state.lstCardsBox;
    for (int s = 0; s < 4; ++s) wanted.of[s + 1] = state.lstDirection[s];
    wanted.of[chosenSeat + 1] |= state.lstSelected;
    wanted.of[kPlayedLocation + 1] = CardSet::Deck().Without(seen);
    const LocationSets actual = SetsOfLocations(state);
    for (int k = 0; k < 6; ++k)
        if (actual.of[k] != wanted.of[k]) return false;
    return true;
}

}  // namespace

std::string CheckConservation(const GameState& state, int chosenSeat) {
    if (Conserved(state, chosenSeat)) return {};
    CardSet seen;
    std::string problem;
    auto note = [&](CardSet cards, int expected, const char* where) {
        for (Card c : cards) {
            if (seen.Contains(c) && problem.empty()) problem = CardCode(c) + " twice";
            seen.Add(c);
            if (state.Location(c) != expected && problem.empty())
                problem = CardCode(c) + " in " + where + " but located " + std::to_string(state.Location(c));
        }
    };
    note(state.lstCardsBox, kStockLocation, "stock");
    for (int s = 0; s < 4; ++s) note(state.lstDirection[s], s, "hand");
    note(state.lstSelected, chosenSeat, "lstSelected");
    if (!problem.empty()) return problem;
    for (int i = 0; i < kDeckSize; ++i) {
        const Card c = Card::FromIndex(i);
        const int loc = state.Location(c);
        if (!seen.Contains(c) && loc != kPlayedLocation)
            return CardCode(c) + " missing (located " + std::to_string(loc) + ")";
    }
    return {};
}

std::string StateDifference(const GameState& a, const GameState& b) {
    auto list = [](CardSet cards) { return Codes(cards, " ") + " "; };
    auto number = [](const char* name, int x, int y) {
        return std::string(name) + " " + std::to_string(x) + " / " + std::to_string(y);
    };
    if (a.lstCardsBox != b.lstCardsBox) return "stock: " + list(a.lstCardsBox) + "/ " + list(b.lstCardsBox);
    for (int seat = 0; seat < 4; ++seat)
        if (a.lstDirection[seat] != b.lstDirection[seat])
            return "hand " + std::to_string(seat) + ": " + list(a.lstDirection[seat]) + "/ " +
                   list(b.lstDirection[seat]);
    if (a.lstSelected != b.lstSelected) return "chosen: " + list(a.lstSelected) + "/ " + list(b.lstSelected);
    for (int i = 0; i < kDeckSize; ++i)
        if (a.Location(Card::FromIndex(i)) != b.Location(Card::FromIndex(i)))
            return "location of " + CardCode(Card::FromIndex(i));
    if (a.TablePlay != b.TablePlay) return "TablePlay " + Codes(a.TablePlay) + " / " + Codes(b.TablePlay);
    if (a.PlayType != b.PlayType)
        return std::string("PlayType ") + PlayTypeName(a.PlayType) + " / " + PlayTypeName(b.PlayType);
    if (a.TheLastThrower != b.TheLastThrower)
        return number("TheLastThrower", a.TheLastThrower, b.TheLastThrower);
    if (a.CurrentSeat != b.CurrentSeat) return number("CurrentSeat", a.CurrentSeat, b.CurrentSeat);
    if (a.PassCount != b.PassCount) return number("PassCount", a.PassCount, b.PassCount);
    if (a.MustLead != b.MustLead) return "MustLead";
    if (a.StockEmpty != b.StockEmpty) return "StockEmpty";
    if (a.SingleRun != b.SingleRun) return "SingleRun";
    if (a.DrawIndex != b.DrawIndex) return number("DrawIndex", a.DrawIndex, b.DrawIndex);
    if (a.DrawnCard != b.DrawnCard) return "DrawnCard";
    return {};
}

}  // namespace vorn
