#include "cards/gamestate.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

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

// Eight bits spread over the eight bytes of a word, one in each byte's lowest bit.
constexpr std::array<std::uint64_t, 256> kSpread = [] {
    std::array<std::uint64_t, 256> table{};
    for (int b = 0; b < 256; ++b)
        for (int k = 0; k < 8; ++k)
            if (b >> k & 1) table[b] |= std::uint64_t(1) << (8 * k);
    return table;
}();

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
    // The locations the sets call for, eight cards to a word: played unless a
    // set holds the card. The sets are disjoint, so each byte is set at most once.
    constexpr int kWords = (kDeckSize + 7) / 8;
    std::uint64_t expected[kWords];
    for (auto& word : expected) word = kSpread[0xFF] * kPlayedLocation;
    auto mark = [&](CardSet cards, int location) {
        const std::uint64_t change = std::uint8_t(location ^ kPlayedLocation);
        for (int w = 0; w < kWords; ++w) expected[w] ^= kSpread[(cards.Bits() >> (8 * w)) & 0xFF] * change;
    };
    mark(state.lstCardsBox, kStockLocation);
    mark(state.lstSelected, chosenSeat);
    for (int s = 0; s < 4; ++s) mark(state.lstDirection[s], s);
    // CardLocation is laid out by card index, like the sets; a word's first
    // byte is its lowest on the machines this runs on.
    static_assert(std::endian::native == std::endian::little);
    std::uint8_t actual[kWords * 8] = {};
    std::memcpy(actual, &state.CardLocation[0][0], kDeckSize);
    std::uint8_t wanted[kWords * 8];
    std::memcpy(wanted, expected, sizeof wanted);
    return std::memcmp(actual, wanted, kDeckSize) == 0;
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
