#include "tools/load/wirejoiner.h"

#include <utility>

#include "ai/playout.h"
#include "cards/options.h"
#include "cards/referee.h"
#include "net/protocol.h"

namespace vorn::load {

WireJoiner::WireJoiner(std::string name, std::uint64_t seed) : name_(std::move(name)), random_(seed) {}

std::string WireJoiner::JoinedText() const {
    return JoinedMessage(name_);
}

bool WireJoiner::MyTurn() const {
    return myTurn_;
}

WireJoiner::Heard WireJoiner::Fail(std::string why) {
    fault_ = std::move(why);
    return Heard::Fault;
}

WireJoiner::Heard WireJoiner::Hear(std::string_view message) {
    std::string_view tag, body;
    SplitMessage(message, tag, body);
    if (tag == tags::kSnatchCard) return Snatch(body);
    if (tag == tags::kTurn) return Turn(body);
    if (tag == tags::kThrow) return Throw(body);
    if (tag == tags::kGameOver) {
        if (!ParseSeat(body) || !dealt_) return Fail("a game over out of place: " + std::string(message));
        dealt_ = false;
        myTurn_ = false;
        return Heard::GameOver;
    }
    if (tag == tags::kSeat) {
        const std::optional<int> slot = ParseDecimal(body);
        if (!slot || *slot < 1) return Fail("a bad seat: " + std::string(message));
        if (*slot > 3) return Heard::TurnedAway;
        seat_ = *slot;
        return Heard::Seated;
    }
    if (tag == tags::kPrepare) {
        const auto names = ParsePrepare(body);
        if (!names) return Fail("a bad name list: " + std::string(message));
        names_ = *names;
        return Heard::Prepared;
    }
    return Heard::Nothing;
}

WireJoiner::Heard WireJoiner::Snatch(std::string_view body) {
    const std::optional<SnatchBody> draw = ParseSnatch(body);
    if (!draw) return Fail("a bad draw: " + std::string(body));
    // The first draw of a game is the leader's, from a full stock.
    if (!dealt_) table_ = FreshTable(draw->seat);
    dealt_ = true;
    if (DrawAt(table_, draw->seat, draw->drawIndex).IsNone())
        return Fail("a draw beyond the stock: " + std::string(body));
    return Heard::Draw;
}

WireJoiner::Heard WireJoiner::Turn(std::string_view body) {
    const std::optional<TurnBody> turn = ParseTurn(body);
    if (!turn || !dealt_) return Fail("a turn out of place: " + std::string(body));
    if (turn->mustLead) {
        // A new round, or the first lead: the table is cleared.
        table_.PassCount = 0;
        table_.TablePlay.Clear();
        table_.MustLead = true;
    }
    if (table_.CurrentSeat != turn->seat && !table_.MustLead)
        return Fail("a turn for the wrong seat: " + std::string(body));
    table_.CurrentSeat = turn->seat;
    myTurn_ = turn->seat == seat_;
    return Heard::Turn;
}

WireJoiner::Heard WireJoiner::Throw(std::string_view body) {
    const std::optional<ThrowBody> move = ParseThrow(body);
    if (!move || !dealt_) return Fail("a move out of place: " + std::string(body));
    const CardSet cards = move->IsPass() ? CardSet{} : move->cards;
    if (move->seat == seat_) return Fail("this seat's own move relayed back: " + std::string(body));
    if (move->IsPass() && (move->lastThrower != table_.TheLastThrower || move->cards != table_.TablePlay))
        return Fail("a pass naming another table: " + std::string(body));
    if (Judge(table_, move->seat, cards) != Refusal::Ok)
        return Fail("a move the referee refuses here: " + std::string(body));
    Apply(table_, vorn::Move{move->seat, cards});
    mover_ = move->seat;
    return Heard::Moved;
}

std::string WireJoiner::Move() {
    GameState& t = table_;
    myTurn_ = false;
    RulesDecision(t, seat_, t.MustLead || t.TablePlay.Empty(), kGambleRates[1], random_);
    const CardSet cards = t.lstSelected;
    if (Judge(t, seat_, cards) != Refusal::Ok) {
        fault_ = "the rules chose a move the referee refuses: " + Codes(cards);
        return {};
    }
    std::string text = cards.Empty() ? ThrowMessage(t.TheLastThrower, Codes(t.TablePlay), seat_)
                                     : ThrowMessage(seat_, Codes(cards), seat_);
    Apply(t, vorn::Move{seat_, cards});
    mover_ = seat_;
    return text;
}

}  // namespace vorn::load
