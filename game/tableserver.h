#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "ai/observation.h"
#include "cards/gamestate.h"
#include "cards/random.h"
#include "cards/referee.h"
#include "game/seatview.h"
#include "game/tableevent.h"

namespace vorn {

// Who plays a seat: the person at this machine, a person at the far end of a
// link, or the computer player at a level (0..2 the rules' levels, 3 and up
// the search, through expertSearch when it is set).
enum class SeatKind : std::uint8_t { Person, Remote, Computer };

struct SeatController {
    SeatKind kind = SeatKind::Computer;
    int level = 1;
};

// One table's authority: its state, its random source, the scores and who
// plays each seat. It never waits and never shows anything: it advances only
// on inputs (a move, the deal, the clock reaching a computer seat's deadline)
// and reports what happened as an ordered stream of events, which its owner
// takes with TakeEvents and shows, sends or checks as it likes. Times are
// milliseconds of the owner's clock, passed in with every input, so tests and
// tools drive it with a clock of their own and many tables share one thread.
//
// Invariant between inputs: the state's 52 cards are conserved, lstSelected
// is empty, and the seat to move has a Turn event as the last word on it.
class TableServer {
  public:
    explicit TableServer(Random& random) : random_(random) {}

    void SetSeat(int seat, SeatController controller);
    const SeatController& Seat(int seat) const { return seats_[seat]; }
    // How long a computer seat takes over its move.
    int thinkMs = 0;

    const GameState& state() const { return state_; }
    // The state, for an owner that must set up a position (tests, tools).
    GameState& MutableState() { return state_; }
    const ScoreBoard& scores() const { return scores_; }
    // The seats' views count the points lost from these on.
    void SetScores(const ScoreBoard& scores) {
        scores_ = scores;
        for (auto& view : views_)
            if (view) view->SetLost(scores.lost);
    }
    // Playing: from the deal to the end of a game.
    bool Playing() const { return playing_; }

    // A fresh table for a game that leader leads; the deal waits for Deal.
    void NewGame(int leader);
    // Takes up a game at a position set up elsewhere (tests and tools): the
    // seat of its CurrentSeat is to move (a Turn event says so).
    void Resume(const GameState& state, std::int64_t now);
    // Takes up a saved game: the table, the scores, whether a hand is being
    // played and the game's events so far (History), from which the seats'
    // views are made again as they were. Tells nothing: the owner shows the
    // table as it stands. The seat to move moves when next asked.
    void Restore(const GameState& state, const ScoreBoard& scores, bool playing,
                 const std::vector<TableEvent>& history, std::int64_t now);
    // The events of the game being played, from its NewGame on (refusals
    // left out); empty when the game was taken up by Resume.
    const std::vector<TableEvent>& History() const { return history_; }
    // Off where no game is ever saved (the dedicated server): History stays
    // empty, which saves a few hundred events a table.
    bool keepHistory = true;
    // Deals the game NewGame set up: seven cards to the leader, six to the
    // others, then the leader's turn. Ignored while a game is being played.
    void Deal(std::int64_t now);
    // A person's move (a pass when cards is empty), from this machine or a
    // link. Refused moves change nothing and are reported to that seat.
    Refusal Play(int seat, CardSet cards, std::int64_t now);

    // Ends the game now as if winner had emptied its hand: scored as it
    // stands, then a fresh table (tests and tools end games early with it).
    void EndGame(int winner) {
        if (playing_) GameOver(winner);
    }

    // The computer player makes the move of seat, a person's that has run out
    // of time: false when it is not that seat's turn or the computer plays it.
    bool PlayFor(int seat, std::int64_t now);
    // When the next computer move falls due; none while a person is to move
    // or no game is being played.
    std::optional<std::int64_t> Deadline() const;
    // Carries out the computer move due by now, if any: true when it moved.
    bool Step(std::int64_t now);
    // Steps until nothing more is due by now.
    void Advance(std::int64_t now) {
        while (Step(now)) {
        }
    }

    // The events since the last call, oldest first.
    std::vector<TableEvent> TakeEvents() { return std::exchange(events_, {}); }
    // The same into out, whose old contents go; the two buffers are swapped,
    // so an owner that calls this in a loop allocates nothing.
    void TakeEvents(std::vector<TableEvent>& out) {
        out.clear();
        out.swap(events_);
    }

    // Around each computer decision, with the decision in lstSelected when
    // after runs (the self-play tool checks and records decisions through them).
    std::function<void(int seat, bool lead)> beforeDecision;
    std::function<void(int seat, bool lead)> afterDecision;
    // The expert's search; unset, it runs here and now.
    std::function<CardSet(const Observation&)> expertSearch;
    // When set, an expert seat's search is started through this instead and
    // Step returns at once: the seat moves when Decided brings the answer back
    // with the same ticket. A ticket goes stale with the turn it was for.
    std::function<void(const Observation&, std::uint64_t ticket)> searchLater;
    bool Decided(std::uint64_t ticket, CardSet play, std::int64_t now);
    // What seat knows of the table, history included, when the server keeps
    // its view (an expert seat, the person here); else none.
    const Observation* Seen(int seat) const {
        return seat >= 0 && seat < 4 && views_[size_t(seat)] ? &views_[size_t(seat)]->seen() : nullptr;
    }
    // A search started through searchLater has not answered yet.
    bool Thinking() const { return thinking_; }

  private:
    // A new event at the end of the stream, filled in by the caller; Publish
    // then lets the seats' views follow it.
    TableEvent& Add(TableEvent::Kind kind, int seat, CardSet cards = {});
    void Publish();
    void DrawCard(int seat);
    void DrawRound(int seat);
    void BeginTurn(int seat, bool newRound, std::int64_t now);
    void Carry(int seat, CardSet cards, std::int64_t now);
    void Refuse(int seat, CardSet cards, Refusal refusal);
    void GameOver(int winner);
    void Decide(int seat, bool lead, std::int64_t now);
    // Tells the seats' views how each seat plays, as far as the table knows.
    void TellPlayers();

    Random& random_;
    GameState state_;
    ScoreBoard scores_;
    std::array<SeatController, 4> seats_{};
    // What each expert seat knows, kept from the events it may see: its
    // search starts from this, never from the whole table.
    std::array<std::optional<SeatView>, 4> views_;
    bool watched_ = false;  // some seat keeps a view
    std::vector<TableEvent> events_;
    std::vector<TableEvent> history_;
    bool playing_ = false;
    std::optional<std::int64_t> due_;
    std::uint64_t turn_ = 0;  // counts the turns begun: a search's ticket
    bool thinking_ = false;
    bool forcing_ = false;  // the move carried out is one PlayFor made
};

}  // namespace vorn
