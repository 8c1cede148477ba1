#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "ai/observation.h"
#include "cards/referee.h"
#include "game/deal.h"
#include "game/savedgame.h"
#include "game/tableserver.h"

namespace vorn {

// The client of one table: it shows the table as it goes, takes the person's
// clicks, and carries out on its own copy (the table it was given) every move
// the table's keeper tells it of. The keeper is either this engine's own
// TableServer (KeepTable: a local game with three computer seats, or a table
// whose other seats are links) or a table far away (FollowTable: the engine
// hears its moves through the Receive calls and sends the person's own with
// sendMove). It talks to the window only through its TableClient.
//
// One action at a time: a play, a tick, the deal and every message from the
// network run through RunAction. An action never waits: it changes the table
// at once and the screen shows the change in its own time (its pauses return at
// once, its boxes open later and answer through a callback). What can still
// arrive mid-action is work started by a modal dialog of the person's own
// commands (the logon dialog): it waits in order and runs as soon as the
// running action ends.
//
// What waits is of two kinds. Table work (a game message, a lost link) belongs
// to the table it arrived for, and a return to local play drops it. The
// person's commands (Reset, the logon OK, Disconnect, Deal, Exit) are never
// dropped: they run completely and in the order chosen. A step may also be
// queued to run between two actions rather than as one (the logon dialog,
// which runs actions of its own while it is open).
class Engine {
  public:
    // pictures: the window's card pictures; none for a table nobody looks at.
    Engine(GameState& table, Session& session, Options& options, TableClient client, Random& random,
           CardPictures* pictures = nullptr);

    GameEnv& Env() { return env_; }
    // The table as this engine knows it and shows it.
    GameState& table() { return env_.table; }
    const GameState& table() const { return env_.table; }
    Session& session() { return env_.session; }
    Options& options() { return env_.options; }
    const ScoreBoard& scores() const { return scores_; }

    // Where the table is kept. Here: this engine's TableServer, each seat
    // played as kinds say (the options give the computer seats' levels);
    // the server draws from the engine's random source. Or far away: moves
    // come through the Receive calls and the person's go out by sendMove.
    void KeepTable(const std::array<SeatKind, 4>& kinds);
    void FollowTable();
    // One seat of the table kept here changes hands (a dropped link's seat goes
    // to the computer player, and back to a person who takes it again); a
    // computer seat that is to move moves at the next tick.
    void SetSeatKind(int seat, SeatKind kind);
    // The table kept here, or none.
    TableServer* server() { return server_ ? &*server_ : nullptr; }
    // Each event of the table kept here, after this engine has shown it and
    // its table is as the event left it (the network host's links hear of
    // the table through it).
    std::function<void(const TableEvent& event, const GameState& after)> tableEvent;
    // After each input to the table kept here, once its events are shown
    // (the window saves a local game then).
    std::function<void()> inputShown;
    // Takes up a saved game on the table kept here: the server and the
    // random source where the game left them, the table laid out and the
    // turn shown. The seats' levels are the options' as the caller set them.
    void Restore(const SavedGame& game, SeededRandom& random);
    // Following: the person's own move, for the keeper.
    std::function<void(int lastThrower, CardSet tablePlay, int seat)> sendMove;
    // The table kept here takes up the position this engine's table shows
    // (tests and tools set one up by hand).
    void Adopt();

    enum class Work {
        Table,    // stale once the table is reset: dropped by DropTableActions
        Command,  // the person's choice: never dropped
        Between,  // runs in order, but outside any action
    };

    // Runs fn now when nothing runs or waits, else queues it behind the others.
    void RunAction(std::function<void()> fn, Work kind = Work::Table);
    void RunCommand(std::function<void()> fn) { RunAction(std::move(fn), Work::Command); }
    // Runs fn once the running action and everything queued before it are
    // done, with no action running, so that fn may open a modal dialog whose
    // own commands run at once.
    void RunBetweenActions(std::function<void()> fn) { RunAction(std::move(fn), Work::Between); }
    // An action runs, or work waits for its turn.
    bool Busy() const { return busy_ || !pending_.empty(); }
    // An expert seat's search runs elsewhere (expertSearchLater).
    bool Thinking() const { return server_ && server_->Thinking(); }
    // Drops the queued table work; the person's commands stay queued. Only a
    // return to local play calls this.
    void DropTableActions();

    // The menu's deal command and the new-game set-up.
    void NewGame();
    void Deal();
    // No card of this game is dealt yet.
    bool DealOpen() const { return env_.table.lstCardsBox.Count() == kDeckSize; }

    // The cycle timer's tick: the computer seat whose move is due moves.
    void Tick();
    // A left-button press on the play button.
    void ThrowClick();
    // A left-button press on a card picture.
    void CardClick(Card card);

    // Ends the game now, won by TheLastThrower (tests end games early).
    void GameWon();
    void UpdateThrowCaption();
    void ShowThrowButton();
    void HideThrowButton();
    bool ThrowVisible() const { return throwVisible_; }

    // Seats around the table with the local seat at the bottom; names, markers,
    // the lead hint and the score board captions.
    void AdjustDirection();
    // Every lost-points and games-won caption back to "0".
    void ResetScores();

    // A move of the table's keeper, or of a link's person when it is kept
    // here. The caller has checked the fields; these carry them out.
    void ReceiveThrow(int lastThrower, CardSet tablePlay, int seat);
    void ReceiveTurn(int seat, bool mustLead);
    void ReceiveSnatch(int seat, int drawIndex);
    void ReceiveGameOver(int seat);
    // A keeper that deals fair names a card only to the seat that may see it,
    // and this table fills the rest with unseen cards standing in for each
    // other (game/shadow.h). A draw: card for this computer's seat, none for
    // another. A play or the end of a game shows which cards seat holds. False,
    // and nothing done, when that cannot be so here.
    bool ReceiveDraw(int seat, Card card);
    bool Unveil(int seat, CardSet cards);
    // The table kept here: the computer makes the move of seat, whose person
    // has run out of time. False when it is not that seat's person's turn.
    bool PlayFor(int seat);
    // The whole table at once (a seat taken back in the middle of a game):
    // table as this seat may see it, the scores, the pictures laid out and the
    // turn shown.
    void TakeUp(const GameState& table, const ScoreBoard& scores);

    // Called with the decision a computer seat is about to play (the self-play
    // record and tests observe decisions through it); after runs with the
    // choice in the kept table's lstSelected, where it may be changed.
    std::function<void(int seat, bool lead)> beforeDecision;
    std::function<void(int seat, bool lead)> afterDecision;

    // When set, the person's seat 0 of a local game is played by the computer
    // player too (self-play and soak runs).
    bool autoPlay = false;

    // Each seat's level when it is not the options' (self-play sets them one
    // by one): 0..2 the rules' levels, kExpertLevel the search; -1 the options'.
    std::array<int, 4> seatLevels{-1, -1, -1, -1};
    // The level seat plays at: the expert level plays seats 1 to 3 only.
    int SeatLevel(int seat) const;
    // Runs the expert's search for a seat; unset, it runs here and now.
    std::function<CardSet(const Observation&)> expertSearch;
    // When set, an expert seat's search is started through this instead and
    // the seat moves once done is called with its play (the window runs the
    // search on another thread and calls done back on its own). Until then
    // the cycle timer's ticks wait.
    std::function<void(const Observation&, std::function<void(CardSet)> done)> expertSearchLater;

  private:
    void ClearTable();
    void SyncSeats();
    void Drain();
    void Show(const TableEvent& event);
    void ShowGameOver(int winner);
    void ShowNewRound(int seat);
    // The steps of a move shown: the cards' way to the middle, the referee
    // carrying it out on this table, the pause on the play and the sweep to
    // the heap, the record for the eye.
    void ShowMove(int seat, CardSet play);
    void MoveToMiddle(int seat, CardSet play);
    void SettleOnHeap(int seat, CardSet play);
    void SweepToHeap();
    void RecordPlay(int seat, const Applied& applied);
    void ShowTurn(int seat, bool lead);
    // The person at this computer plays seat (a computer may play it for them).
    bool PersonSeat(int seat) const;
    // The person is to follow with nothing in hand that may beat the table,
    // and chose to pass by itself then: the next tick passes.
    bool AutoPassDue() const;

    void ReturnChosen(int seat);
    void UpdateScoreRow(int seat);

    GameEnv env_;
    ScoreBoard scores_;
    std::optional<TableServer> server_;
    int generation_ = 0;  // counts the servers made: a late search answer names its own
    std::array<SeatKind, 4> kinds_{SeatKind::Person, SeatKind::Computer, SeatKind::Computer,
                                   SeatKind::Computer};
    // The kept table's clock: one step per input, so a computer seat's move
    // falls due at the next tick of the cycle timer.
    std::int64_t now_ = 0;
    bool throwVisible_ = false;
    // Counts the games set up (NewGame): a late answer names the game it was for.
    int game_ = 0;
    struct Queued {
        std::function<void()> fn;
        Work kind;
    };
    bool busy_ = false;
    std::deque<Queued> pending_;
};

}  // namespace vorn
