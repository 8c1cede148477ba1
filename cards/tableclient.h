#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "cards/card.h"
#include "cards/cardset.h"
#include "cards/gamestate.h"
#include "cards/referee.h"

namespace vorn {

// How one card's picture lies on the table, in twips, and whether it shows its
// face. z grows every time a picture is brought to the front.
struct CardImage {
    int x = 300;
    int y = 300;
    bool face = false;
    int z = 0;
    bool raised = false;  // drawn 300 twips above its hand place (the person's chosen cards)
};

inline constexpr int kStockX = 300;
inline constexpr int kStockY = 300;
inline constexpr int kHeapX = 7200;
inline constexpr int kHeapY = 3300;

// What the person sees and hears of one table, in the order it happened: card
// pictures, the seats' labels and turn markers, the play button, the score
// board, the deal command, sounds and pauses. The window shows each change in
// turn at the pace of the pauses; nothing here blocks. Positions are in twips.
class TableScreen {
  public:
    virtual ~TableScreen() = default;

    // False for a screen nobody sees (self-play, benchmarks): what is only for
    // the eye (status lines, score captions, turn markers, the play button's
    // caption, the news of a play) is then not sent at all.
    virtual bool Shown() const { return true; }
    // A card picture moved, turned or brought to the front.
    virtual void UpdateCard(Card card, const CardImage& image) = 0;
    virtual void ShowStockCount(int count) = 0;

    virtual void SetTurnMarker(int seat, bool visible) = 0;
    virtual void PlaceTurnMarker(int seat, int x, int y) = 0;
    // caption is already written top to bottom for the side seats.
    virtual void PlaceNameLabel(int seat, int x, int y, const std::string& caption, bool vertical) = 0;
    // The play button, shown or not; chosen: cards are raised (its caption
    // says OK rather than PASS).
    virtual void SetThrowButton(bool visible, bool chosen) = 0;
    // One row of the score board: the seat's name, lost points, games won.
    virtual void SetScoreRow(int seat, const std::string& name, int lost, int won) = 0;
    virtual void SetDealEnabled(bool enabled) = 0;

    // A pause holds whatever comes after it for ms milliseconds of showing.
    // Returns at once; the table has moved on already.
    virtual void Pause(int ms) = 0;
    // True while the screen is still showing what it was told earlier. A
    // computer seat's turn and the person's clicks wait for it, so that
    // nobody plays ahead of what the person can see.
    virtual bool Presenting() const { return false; }
    // "Move.wav" or "Win.wav" from the program folder; never blocks.
    virtual void PlaySound(const std::string& fileName) = 0;
};

// What happened at the table, as facts. The client says them in its person's
// language (the hint panel, boxes, the screen reader's cues) and counts them
// (statistics). A box is shown once what came before it on the screen is shown.
class TableNews {
  public:
    virtual ~TableNews() = default;

    // The hint panel: who leads this game, or who laid the play on the table.
    virtual void ShowLeader(const std::string& name) = 0;
    virtual void ShowPlay(const std::string& name, CardSet play) = 0;
    // The person's choice was refused on this table (read it at once: the
    // table moves on).
    virtual void ShowRefusal(Refusal refusal, const GameState& table) = 0;
    // name won the game (a joiner's news).
    virtual void ShowWinner(const std::string& name) = 0;
    // name won: deal the next game? The answer comes back through answer,
    // perhaps after this call has returned.
    virtual void AskNextGame(const std::string& name, std::function<void(bool yes)> answer) = 0;

    // For the eye and ear only: nothing of the game reads these back, so a
    // client that ignores them (tests, tools) misses nothing.
    // seat passed.
    virtual void SeatPassed(int /*seat*/) {}
    // seat's play now lies on the heap; cards in the order they were laid.
    virtual void PlayLaid(int /*seat*/, const std::vector<Card>& /*cards*/) {}
    // The table is cleared for a new round that seat leads (before its draws).
    virtual void RoundStarted(int /*seat*/) {}
    // A new game's empty table: every card back in the stock.
    virtual void TableCleared() {}
    // winner laid its last card; left holds what each seat still had. Comes
    // before the table is cleared and the next game is offered.
    virtual void HandEnded(int /*winner*/, const std::array<std::vector<Card>, 4>& /*left*/) {}
    // A game was played to its end: the seat that emptied its hand and the
    // points each seat lost in it, before the board is cleared.
    virtual void GameEnded(int winnerSeat, const std::array<int, 4>& lostPoints) {
        (void)winnerSeat;
        (void)lostPoints;
    }
};

// The cycle timer: it runs while a computer seat's move falls due, and each
// tick goes back to the engine (Engine::Tick).
class TableClock {
  public:
    virtual ~TableClock() = default;
    virtual void StartCycleTimer(int intervalMs) = 0;
    virtual void StopCycleTimer() = 0;
};

// The three sides of a table's client, most often one object.
struct TableClient {
    TableScreen& screen;
    TableNews& news;
    TableClock& clock;

    template <class All>
    static TableClient Of(All& all) {
        return {all, all, all};
    }
};

// A client that shows nothing: the self-play tool, benchmarks and fuzzers use it.
class NullClient : public TableScreen, public TableNews, public TableClock {
  public:
    bool Shown() const override { return false; }
    void UpdateCard(Card, const CardImage&) override {}
    void ShowStockCount(int) override {}
    void SetTurnMarker(int, bool) override {}
    void PlaceTurnMarker(int, int, int) override {}
    void PlaceNameLabel(int, int, int, const std::string&, bool) override {}
    void SetThrowButton(bool, bool) override {}
    void SetScoreRow(int, const std::string&, int, int) override {}
    void SetDealEnabled(bool) override {}
    void Pause(int) override {}
    void PlaySound(const std::string&) override {}
    void ShowLeader(const std::string&) override {}
    void ShowPlay(const std::string&, CardSet) override {}
    void ShowRefusal(Refusal, const GameState&) override {}
    void ShowWinner(const std::string&) override {}
    void AskNextGame(const std::string&, std::function<void(bool)> answer) override { answer(false); }
    void StartCycleTimer(int) override {}
    void StopCycleTimer() override {}
};

}  // namespace vorn
