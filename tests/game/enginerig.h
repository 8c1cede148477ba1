#pragma once

// The turn engine's test bench: a screen that records what the engine shows
// and answers its boxes from a script, and a local table built around it.

#include <QString>
#include <QStringList>

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cards/card.h"
#include "cards/options.h"
#include "cards/random.h"
#include "cards/session.h"
#include "cards/cardset.h"
#include "cards/gamestate.h"
#include "cards/tableview.h"
#include "game/engine.h"
#include "tests/support/cards.h"

namespace vorn::gametest {

using vorn::testing::CardOf;
using vorn::testing::SetOf;
using vorn::testing::Q;
using vorn::testing::Text;

inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// Every call the engine makes on the screen, kept for the test to read. Wait
// returns at once, but a test may hand it work to run inside a chosen pause, as
// a tick or a click would arrive while the real window waits.
class FakeView : public TableView {
  public:
    struct NameLabel {
        int x = 0, y = 0;
        std::string caption;
        bool vertical = false;
    };
    struct ScoreRow {
        std::string scorer;
        int lost = -1, won = -1;
    };

    std::array<CardImage, kDeckSize> cards{};
    std::vector<int> stockCounts;
    std::array<bool, 4> markers{};
    std::array<std::pair<int, int>, 4> markerPlaces{};
    std::array<NameLabel, 4> names{};
    bool throwVisible = false;
    std::string throwCaption;
    std::string hint;
    std::vector<std::string> hints;
    std::string progress;
    std::array<ScoreRow, 4> scores{};
    bool dealEnabled = false;
    // Cycle timer: +interval for a start, -1 for a stop, in order.
    std::vector<int> timer;
    std::vector<int> waits;
    int moveSounds = 0, winSounds = 0;
    std::vector<std::string> infoBoxes;
    std::vector<std::string> questions;
    // The hint panel as it read when each question was asked.
    std::vector<std::string> hintAtQuestion;
    std::deque<bool> answers;  // scripted Yes/No answers; No once they run out

    // Runs during every Wait with the pause's length and its number (from 0).
    std::function<void(int ms, int index)> duringWait;
    // Runs at each stock count change.
    std::function<void(int count)> onStockCount;

    bool TimerRunning() const { return !timer.empty() && timer.back() > 0; }

    void UpdateCard(Card card, const CardImage& image) override { cards[FaceCell(card)] = image; }
    void ShowStockCount(int count) override {
        stockCounts.push_back(count);
        if (onStockCount) onStockCount(count);
    }
    void SetTurnMarker(int seat, bool visible) override { markers[seat] = visible; }
    void PlaceTurnMarker(int seat, int x, int y) override { markerPlaces[seat] = {x, y}; }
    void PlaceNameLabel(int seat, int x, int y, const std::string& caption, bool vertical) override {
        names[seat] = {x, y, caption, vertical};
    }
    void SetThrowButton(bool visible, const std::string& caption) override {
        throwVisible = visible;
        throwCaption = caption;
    }
    void SetHintPanel(const std::string& text) override {
        hint = text;
        hints.push_back(text);
    }
    void SetProgressPanel(const std::string& text) override { progress = text; }
    void SetScoreRow(int seat, const std::string& scorer, int lost, int won) override {
        scores[seat] = {scorer, lost, won};
    }
    void SetDealEnabled(bool enabled) override { dealEnabled = enabled; }
    void StartCycleTimer(int intervalMs) override { timer.push_back(intervalMs); }
    void StopCycleTimer() override { timer.push_back(-1); }
    void Wait(int ms) override {
        const int index = int(waits.size());
        waits.push_back(ms);
        if (duringWait) duringWait(ms, index);
    }
    void PlaySound(const std::string& fileName) override {
        if (fileName == "Move.wav") ++moveSounds;
        if (fileName == "Win.wav") ++winSounds;
    }
    void InfoBox(const std::string& text) override { infoBoxes.push_back(text); }
    bool AskYesNo(const std::string& text) override {
        questions.push_back(text);
        hintAtQuestion.push_back(hint);
        if (answers.empty()) return false;
        bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
};

// A local game on the real engine with the recording screen and a fixed seed.
struct Rig {
    GameState table;
    CardPictures pictures;
    Session session;
    Options options;
    FakeView view;
    NullOutbox outbox;
    SeededRandom random;
    Engine engine;

    explicit Rig(std::uint64_t seed = 1)
        : random(seed), engine(table, session, options, view, outbox, random, &pictures) {
        options.animation = false;
        options.sound = true;
        engine.AdjustDirection();
    }
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;
};

// Card codes of a play written as rank names ("3 3 4 4"), repeats taking the
// next suit from firstSuit on, so that two plays can avoid each other's cards.
inline std::vector<std::string> Codes(const QString& ranks, int firstSuit = 0) {
    static const QStringList kNames{"3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A", "2"};
    std::vector<std::string> codes;
    int used[kNumbers + 1] = {};
    for (const QString& name : ranks.split(' ', Qt::SkipEmptyParts)) {
        const int number = int(kNames.indexOf(name)) + 1;
        if (number > 0) codes.push_back(CardCode((firstSuit + used[number]++) % kSuits, number));
    }
    return codes;
}

// Takes a card out of the stock into a seat's hand (seat 0..3) or onto the
// played heap (4), keeping the stock list and CardLocation in step.
inline void Place(GameState& t, const std::string& code, int where) {
    const Card card = CardOf(code);
    t.lstCardsBox.Remove(card);
    t.Location(card) = std::int8_t(where);
    if (where >= 0 && where < 4) t.lstDirection[where].Add(card);
}

// Sets up a table mid-game: hands as rank lists, a play on the table made by
// lastThrower, and the stock cut down to stockLeft cards by moving its lowest
// entries onto the heap. Every rank name takes the lowest suit of that number
// still in the stock, hands 0..3 first, then the table.
struct Setup {
    std::array<QString, 4> hands;
    QString onTable;
    std::string playType;  // empty: the type of onTable, or "JustBegin" when nothing is on the table
    int lastThrower = 3;
    int current = 0;
    int passCount = 0;
    bool mustLead = false;
    int stockLeft = -1;  // -1: leave the stock as it is
};

inline std::string Concat(const std::vector<std::string>& codes) {
    std::string text;
    for (const auto& c : codes) text += c;
    return text;
}

void Arrange(Rig& rig, const Setup& setup);

}  // namespace vorn::gametest
