// The hand rules and the computer player on arbitrary inputs.
//
// Byte 0 even: the rest is decoded into a sound table (see DecodeTable) and
// FollowDecision and ChooseLead run for every seat on copies of it; each
// verdict must be a legal move out of the seat's own hand, with every card
// still in one place afterwards.
// Byte 0 odd: any set of cards, and a play on the table as the wire writes it
// when the rest reads as one; the shape tests, ClassifyPlay, CanBeat, the play
// texts and BeatHint run on them; they must agree with each other and never fail.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "ai/follow.h"
#include "ai/lead.h"
#include "cards/card.h"
#include "cards/cardset.h"
#include "cards/gamestate.h"
#include "cards/options.h"
#include "cards/random.h"
#include "cards/rules.h"

namespace {

using vorn::Card;
using vorn::CardSet;
using vorn::GameState;

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "rules/ai: %s\n", what.c_str());
    std::abort();
}

// Reads the input front to back; past its end every byte is 0.
class Bytes {
  public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }
    std::string_view Rest() const {
        return {reinterpret_cast<const char*>(data_ + at_), size_ - std::min(at_, size_)};
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// The draws the computer player takes, scripted by the input's last bytes and
// then 0.5 for ever.
class ScriptedRandom : public vorn::Random {
  public:
    explicit ScriptedRandom(std::string_view script) : script_(script) {}
    double Uniform() override {
        if (at_ >= script_.size()) return 0.5;
        return static_cast<unsigned char>(script_[at_++]) / 256.0;
    }

  private:
    std::string_view script_;
    std::size_t at_ = 0;
};

std::string Describe(CardSet cards) {
    return vorn::Codes(cards, " ") + " ";
}

// The numbers of a play on the table, chosen by shape so that every kind of
// play occurs: nothing, a single, a group, a straight, a double run, 2s.
std::vector<int> PlayNumbers(Bytes& in) {
    const int kind = in.Next() % 6;
    const int a = in.Next();
    const int b = in.Next();
    std::vector<int> numbers;
    switch (kind) {
        case 1:
            numbers.push_back(1 + a % 13);
            break;
        case 2:
            numbers.assign(2 + b % 3, 1 + a % 12);
            break;
        case 3: {
            const int length = 3 + b % 10;  // 3..12 numbers below the 2
            const int first = 1 + a % (13 - length);
            for (int n = first; n < first + length; ++n) numbers.push_back(n);
            break;
        }
        case 4: {
            const int length = 2 + b % 5;
            const int times = 2 + (b / 5) % 3;
            const int first = 1 + a % (13 - length);
            for (int n = first; n < first + length; ++n)
                for (int t = 0; t < times; ++t) numbers.push_back(n);
            break;
        }
        case 5:
            numbers.assign(1 + a % 4, vorn::kTwo);
            break;
        default:
            break;
    }
    return numbers;
}

// A table as it can stand when a seat is to move: the play on the table (its
// cards on the played heap), every other card in the stock, a hand or played
// as the input says, the counters and the runs of singles.
GameState DecodeTable(Bytes& in) {
    GameState t;
    bool placed[vorn::kSuits][vorn::kNumbers] = {};

    // The play: for each number the suits are taken in an order the input
    // rotates, so that different suits get used.
    CardSet play;
    const int rotate = in.Next();
    int used[vorn::kNumbers + 1] = {};
    for (int number : PlayNumbers(in)) {
        const int suit = (rotate + used[number]++) % vorn::kSuits;
        play.Add(Card{suit, number});
        placed[suit][number - 1] = true;
    }
    if (!play.Empty() && (!vorn::HasPlayableShape(play) || vorn::BreaksTwoRule(play)))
        Fail("decoder built an illegal play " + Describe(play));

    const bool emptyStock = in.Next() & 1;
    for (int suit = 0; suit < vorn::kSuits; ++suit)
        for (int number = 1; number <= vorn::kNumbers; ++number) {
            const Card code{suit, number};
            int where = vorn::kPlayedLocation;
            if (!placed[suit][number - 1]) {
                // 0 stock, 1..4 a hand, 5 played.
                const int pick = in.Next() % 6;
                if (pick == 0 && !emptyStock)
                    where = vorn::kStockLocation;
                else if (pick >= 1 && pick <= 4)
                    where = pick - 1;
            }
            t.CardLocation[suit][number - 1] = std::int8_t(where);
            if (where == vorn::kStockLocation)
                t.lstCardsBox.Add(code);
            else if (where != vorn::kPlayedLocation)
                t.lstDirection[where].Add(code);
        }
    t.StockEmpty = t.lstCardsBox.Empty();

    t.TablePlay = play;
    t.PlayType = play.Empty() ? vorn::PlayType::JustBegin : vorn::ClassifyPlay(play);
    t.MustLead = play.Empty();
    t.PassCount = in.Next() % 3;
    t.TheLastThrower = in.Next() % 4;
    for (auto& run : t.SingleRun) run = in.Next() % 4;
    t.CurrentSeat = in.Next() % 4;
    return t;
}

// The chosen cards came out of the seat's hand and nothing else moved.
void CheckTakenFromHand(const GameState& before, const GameState& after, int seat, const char* what) {
    const CardSet hand = after.lstDirection[seat];
    if (!(hand & after.lstSelected).Empty() || (hand | after.lstSelected) != before.lstDirection[seat])
        Fail(std::string(what) + " of seat " + std::to_string(seat) +
             " chose cards outside its hand: " + Describe(after.lstSelected));
    for (int other = 0; other < 4; ++other)
        if (other != seat && !(after.lstDirection[other] == before.lstDirection[other]))
            Fail(std::string(what) + " changed the hand of seat " + std::to_string(other));
    if (!(after.lstCardsBox == before.lstCardsBox)) Fail(std::string(what) + " changed the stock");
    const std::string lost = vorn::CheckConservation(after, seat);
    if (!lost.empty()) Fail(std::string(what) + ": " + lost);
}

void CheckFollow(const GameState& table, int seat, float gambleRate, std::string_view script) {
    GameState t = table;
    ScriptedRandom random(script);
    const std::string reason = vorn::FollowDecision(t, seat, gambleRate, random);
    CheckTakenFromHand(table, t, seat, "FollowDecision");
    const int n = vorn::PlaySize(table.TablePlay);
    if (t.lstSelected.Empty()) {
        if (!reason.empty()) Fail("a pass with the reason " + reason);
        return;
    }
    if (seat < 1 || seat > 3) Fail("FollowDecision chose for seat " + std::to_string(seat));
    if (t.lstSelected.Count() != n)
        Fail("FollowDecision chose " + std::to_string(t.lstSelected.Count()) + " cards against " +
             vorn::Codes(table.TablePlay));
    if (!vorn::HasPlayableShape(t.lstSelected) || vorn::BreaksTwoRule(t.lstSelected) || !vorn::CanBeat(t))
        Fail("seat " + std::to_string(seat) + " follows " + vorn::Codes(table.TablePlay) + " (" +
             vorn::PlayTypeName(table.PlayType) + ") with the illegal " + Describe(t.lstSelected));
}

void CheckLead(const GameState& table, int seat, float gambleRate, std::string_view script) {
    GameState t = table;
    // A lead starts on an empty table.
    t.TablePlay.Clear();
    t.MustLead = true;
    t.PassCount = 0;
    ScriptedRandom random(script);
    const vorn::LeadRule rule = vorn::ChooseLead(t, seat, gambleRate, random);
    CheckTakenFromHand(table, t, seat, "ChooseLead");
    if (seat < 1 || seat > 3) {
        if (rule != vorn::LeadRule::None || !t.lstSelected.Empty()) Fail("ChooseLead chose for seat 0");
        return;
    }
    if (table.lstDirection[seat].Empty()) return;
    if (t.lstSelected.Empty())
        Fail("seat " + std::to_string(seat) + " led nothing from " + Describe(table.lstDirection[seat]));
    if (!vorn::HasPlayableShape(t.lstSelected) || vorn::BreaksTwoRule(t.lstSelected))
        Fail("seat " + std::to_string(seat) + " leads the illegal " + Describe(t.lstSelected) + "(rule " +
             std::to_string(int(rule)) + ")");
}

void FuzzTable(Bytes& in) {
    const float gambleRate = vorn::kGambleRates[in.Next() % 3];
    const GameState table = DecodeTable(in);
    const std::string lost = vorn::CheckConservation(table);
    if (!lost.empty()) Fail("decoded table: " + lost);
    const std::string_view script = in.Rest();
    for (int seat = 0; seat < 4; ++seat) {
        if (!table.TablePlay.Empty()) CheckFollow(table, seat, gambleRate, script);
        CheckLead(table, seat, gambleRate, script);
    }
}

// Any set of cards (seven bytes of bits), and a play on the table as the wire
// writes it (the rest of the input, read as codes).
void FuzzCodes(Bytes& in) {
    std::uint64_t bits = 0;
    for (int k = 0; k < 7; ++k) bits |= std::uint64_t(in.Next()) << (8 * k);
    const CardSet chosen = CardSet::FromBits(bits);
    const bool shape = vorn::HasPlayableShape(chosen);
    const vorn::PlayType type = vorn::ClassifyPlay(chosen);
    // The shape tests and the play type must name the same plays.
    if (!chosen.Empty() && shape != (type != vorn::PlayType::None))
        Fail("shape tests and ClassifyPlay disagree on " + Describe(chosen));
    if (vorn::IsAllTwos(chosen) && (vorn::BreaksTwoRule(chosen) || vorn::CountTwos(chosen) != chosen.Count()))
        Fail("2 rule disagrees on " + Describe(chosen));
    (void)vorn::IsPass(chosen);
    (void)vorn::IsSingle(chosen);
    (void)vorn::IsBank(chosen);
    (void)vorn::IsArrange(chosen);
    (void)vorn::IsDblBank(chosen);

    GameState t;
    t.lstSelected = chosen;
    t.PlayType = vorn::PlayType(in.Next() % 7);
    const std::string_view written = in.Rest();
    if (!vorn::ParseCodes(written, t.TablePlay)) return;
    if (vorn::Codes(t.TablePlay).size() != written.size()) Fail("codes read back at another length");
    t.MustLead = false;
    vorn::CanBeat(t);
    vorn::BeatHint(t);
    const std::string beat = vorn::BeatText(t.TablePlay);
    vorn::ReplaceWithTwo(beat);
    if (vorn::PlayText(t.TablePlay).size() < 2 * size_t(t.TablePlay.Count()))
        Fail("a text for every card of the play");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    Bytes in(data + 1, size - 1);
    if (data[0] & 1)
        FuzzCodes(in);
    else
        FuzzTable(in);
    return 0;
}
