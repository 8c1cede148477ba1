#pragma once

#include <deque>
#include <functional>
#include <string>

#include "ai/observation.h"
#include "cards/referee.h"
#include "game/deal.h"

namespace vorn {

// The turn engine of one table. It owns whose turn it is and carries out every
// play and pass, whatever its source: the person's play button, a computer
// seat on the cycle timer, or a move received from the network. It talks to the
// screen only through TableView and to the other computers only through Outbox.
//
// One action at a time: a play, a draw, the deal, the end of a game and every
// message from the network run through RunAction. An action never waits: it
// changes the table at once and the view shows the change in its own time
// (its pauses return at once, its boxes open later and answer through a
// callback). What can still arrive mid-action is work started by a modal
// dialog of the person's own commands (the logon dialog): it waits in order
// and runs as soon as the running action ends.
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
    Engine(GameState& table, Session& session, Options& options, TableView& view, Outbox& outbox,
           Random& random, CardPictures* pictures = nullptr);

    GameEnv& Env() { return env_; }
    GameState& table() { return env_.table; }
    const GameState& table() const { return env_.table; }
    Session& session() { return env_.session; }
    Options& options() { return env_.options; }
    TableView& view() { return env_.view; }
    const ScoreBoard& scores() const { return scores_; }

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
    bool Thinking() const { return thinking_; }
    // Drops the queued table work; the person's commands stay queued. Only a
    // return to local play calls this.
    void DropTableActions();

    // The menu's deal command and the new-game set-up.
    void NewGame();
    void Deal();
    // No card of this game is dealt yet.
    bool DealOpen() const { return env_.table.lstCardsBox.Count() == kDeckSize; }

    // The play operation: seat acts with the cards of lstSelected (none: pass).
    void PlayCards(int seat, bool fromNet);
    // The cycle timer's tick (local games).
    void Tick();
    // A left-button press on the play button.
    void ThrowClick();
    // A left-button press on a card picture.
    void CardClick(Card card);

    void GameWon();
    void NextSeat() { env_.table.CurrentSeat = (env_.table.CurrentSeat + 1) % 4; }
    void UpdateThrowCaption();
    void ShowThrowButton();
    void HideThrowButton();
    bool ThrowVisible() const { return throwVisible_; }

    // Seats around the table with the local seat at the bottom; names, markers,
    // the lead hint and the score board captions.
    void AdjustDirection();
    // Every lost-points and games-won caption back to "0".
    void ResetScores();

    // Moves received from the host (or, on the host, from a joiner). The caller
    // has checked the fields; these apply them.
    void ReceiveThrow(int lastThrower, CardSet tablePlay, int seat);
    void ReceiveTurn(int seat, bool mustLead);
    void ReceiveSnatch(int seat, int drawIndex);
    void ReceiveGameOver(int seat);

    // Called with the decision a computer seat is about to play (the self-play
    // record and tests observe decisions through it).
    std::function<void(int seat, bool lead)> beforeDecision;
    std::function<void(int seat, bool lead)> afterDecision;

    // When set, the person's seat 0 of a local game is played by the computer
    // player too (self-play and soak runs).
    bool autoPlay = false;
    // Lets the computer player choose for seat: a follow or a lead.
    void ComputerDecision(int seat, bool lead);

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
    // The steps of PlayCards. CheckPlay refuses a choice the rules or the
    // turn do not allow; the hand-offs pass the turn on as the mode asks.
    bool CheckPlay(int seat, bool fromNet, CardSet play);
    void MoveToMiddle(int seat, CardSet play);
    void SettleOnHeap(int seat, CardSet play);
    void SweepToHeap();
    void RecordPlay(int seat, const Applied& applied);
    void HandOffLocal(int seat, const Applied& applied);
    void HandOffHost(int seat, bool fromNet, const Applied& applied);
    void HandOffJoiner(int seat, bool fromNet);

    void SearchLater(int seat, bool lead);
    void ReturnChosen(int seat);
    void ShowRefusal(int seat, Refusal refusal);
    void StartNewRound(int seat);
    void UpdateScoreRow(int seat);

    GameEnv env_;
    ScoreBoard scores_;
    bool throwVisible_ = false;
    // Counts the games set up (NewGame): a late answer names the game it was for.
    int game_ = 0;
    bool thinking_ = false;  // an expert seat's search runs elsewhere
    struct Queued {
        std::function<void()> fn;
        Work kind;
    };
    bool busy_ = false;
    std::deque<Queued> pending_;
};

}  // namespace vorn
