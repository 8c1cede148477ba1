#include "tools/load/wirejoiner.h"

#include <utility>

#include "ai/playout.h"
#include "cards/options.h"
#include "cards/referee.h"
#include "game/shadow.h"
#include "net/protocol.h"
#include "net/snapshot.h"

namespace vorn::load {

WireJoiner::WireJoiner(std::string name, std::uint64_t seed, bool second, int pick)
    : name_(std::move(name)), random_(seed), second_(second), pick_(pick) {}

std::string WireJoiner::JoinedText() const {
    return JoinedMessage(name_);
}

std::string WireJoiner::GreetingText() const {
    return JoinerHelloMessage({}, {}) + "\r\n" + JoinedMessage(name_);
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
    if (second_) {
        if (tag == lobby::kLobby) return Lobby(body);
        if (tag == tags2::kHello && !greeted_) {
            greeted_ = ParseHostHello(body).has_value();
            return greeted_ ? Heard::Greeted : Fail("a bad greeting: " + std::string(message));
        }
        if (tag == tags2::kRefused) return Heard::TurnedAway;
        if (tag == tags2::kDraw) return Draw(body);
        if (tag == tags2::kSnapshot) return Snapshot(body);
        if (tag == tags::kSnatchCard) return Fail("a draw by stock position on the second version");
    }
    if (tag == tags::kSnatchCard) return Snatch(body);
    if (tag == tags::kTurn) return Turn(body);
    if (tag == tags::kThrow) return Throw(body);
    if (tag == tags::kGameOver) {
        if (!ParseSeat(body) || !dealt_) return Fail("a game over out of place: " + std::string(message));
        dealt_ = false;
        myTurn_ = false;
        return Heard::GameOver;
    }
    if (tag == tags::kSeat) return Seat(message, body);
    if (tag == tags::kPrepare) {
        const auto names = ParsePrepare(body);
        if (!names) return Fail("a bad name list: " + std::string(message));
        names_ = *names;
        return Heard::Prepared;
    }
    return Heard::Nothing;
}

WireJoiner::Heard WireJoiner::Seat(std::string_view message, std::string_view body) {
    const std::optional<int> slot = ParseDecimal(body);
    // Seat 0 only from a server that greeted this joiner.
    if (!slot || *slot < (greeted_ ? 0 : 1)) return Fail("a bad seat: " + std::string(message));
    // A full table that greeted this joiner may still give it a seat.
    if (*slot > 3) return greeted_ ? Heard::Nothing : Heard::TurnedAway;
    seat_ = *slot;
    return Heard::Seated;
}

WireJoiner::Heard WireJoiner::Lobby(std::string_view body) {
    if (body.empty()) {
        listed_ = 0;
        return Heard::Nothing;
    }
    const std::optional<TableAd> ad = ParseTableAd(body);
    if (!ad) return Fail("a bad table in the lobby: " + std::string(body));
    if (listed_++ != pick_ || !pickText_.empty()) return Heard::Nothing;
    pickText_ = PickMessage(ad->id);
    return Heard::Picked;
}

WireJoiner::Heard WireJoiner::Draw(std::string_view body) {
    const std::optional<DrawBody> draw = ParseDraw(body);
    if (!draw || (draw->seat == seat_) == draw->card.IsNone())
        return Fail("a bad draw: " + std::string(body));
    // Nobody knows the stock's order: its cards are shadows of each other.
    if (!dealt_) table_ = FreshTable(draw->seat);
    dealt_ = true;
    if (draw->seat == seat_ && !ShadowToStock(table_, seat_, draw->card))
        return Fail("a draw of a card this seat has seen: " + std::string(body));
    const int at = draw->seat == seat_ ? table_.lstCardsBox.IndexOf(draw->card) : 0;
    if (DrawAt(table_, draw->seat, at).IsNone()) return Fail("a draw beyond the stock: " + std::string(body));
    return Heard::Draw;
}

WireJoiner::Heard WireJoiner::Snapshot(std::string_view body) {
    const std::optional<SnapshotBody> snapshot = ParseSnapshot(body);
    if (!snapshot || snapshot->seen.seat != seat_ ||
        !ShadowTable(snapshot->seen, snapshot->currentSeat, table_))
        return Fail("a snapshot that does not add up: " + std::string(body));
    // Between hands there is nothing to follow until the next deal.
    dealt_ = table_.HandSize(seat_) > 0;
    myTurn_ = dealt_ && table_.CurrentSeat == seat_;
    return Heard::Turn;
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
    // A host of the second version tells a seat the move it made for it out of time.
    if (move->seat == seat_ && !second_)
        return Fail("this seat's own move relayed back: " + std::string(body));
    if (move->seat == seat_) myTurn_ = false;
    if (second_ && move->seat != seat_ && !cards.Empty() && !ShadowsBecome(table_, seat_, move->seat, cards))
        return Fail("a play of cards this seat has seen: " + std::string(body));
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
