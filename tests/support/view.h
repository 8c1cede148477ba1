#pragma once

// A screen for the core's tests: it records every call the core makes on it,
// a pause returns at once and the boxes answer from a script at once.

#include <array>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "cards/card.h"
#include "cards/rules.h"
#include "cards/tableclient.h"
#include "game/tablewords.h"

namespace vorn::testing {

// Where a card's picture lies, x then y.
inline std::pair<int, int> At(const CardImage& image) {
    return {image.x, image.y};
}

class RecordingView : public TableScreen, public TableNews, public TableClock {
  public:
    struct Update {
        Card card;
        CardImage image;
    };
    struct NameLabel {
        int x = 0, y = 0;
        std::string caption;
        bool vertical = false;
    };
    struct ScoreRow {
        std::string scorer;
        int lost = -1, won = -1;
    };

    // Card pictures: every update in order, and each card as last shown.
    std::vector<Update> updates;
    std::array<CardImage, kDeckSize> cards{};
    std::vector<int> stockCounts;
    std::array<bool, 4> markers{};
    std::array<std::pair<int, int>, 4> markerPlaces{};
    std::array<NameLabel, 4> names{};
    bool throwVisible = false;
    std::string throwCaption;
    std::string hint;
    std::vector<std::string> hints;
    std::array<ScoreRow, 4> scores{};
    int dealEnabledCalls = 0;
    bool dealEnabled = false;
    // Cycle timer: the starts' intervals and the stops; and both in one
    // list in order, +interval for a start, -1 for a stop.
    std::vector<int> cycleStarts;
    int cycleStops = 0;
    std::vector<int> timer;
    std::vector<int> waits;
    std::vector<std::string> sounds;
    int moveSounds = 0, winSounds = 0;
    std::vector<std::string> infoBoxes;
    std::vector<std::string> questions;
    // The hint panel as it read when each question was asked.
    std::vector<std::string> hintAtQuestion;
    // Yes/No answers: the scripted ones in order, then `answer`.
    std::deque<bool> answers;
    bool answer = false;

    // The view is still showing earlier work: the table's ticks and the
    // person's clicks must wait.
    bool presenting = false;
    // Runs at every stock count change, that is at the end of each draw.
    std::function<void(int count)> onStockCount;

    bool TimerRunning() const { return !timer.empty() && timer.back() > 0; }

    void UpdateCard(Card card, const CardImage& image) override {
        updates.push_back({card, image});
        cards[FaceCell(card)] = image;
    }
    void ShowStockCount(int count) override {
        stockCounts.push_back(count);
        if (onStockCount) onStockCount(count);
    }
    void SetTurnMarker(int seat, bool visible) override { markers[seat] = visible; }
    void PlaceTurnMarker(int seat, int x, int y) override { markerPlaces[seat] = {x, y}; }
    void PlaceNameLabel(int seat, int x, int y, const std::string& caption, bool vertical) override {
        names[seat] = {x, y, caption, vertical};
    }
    // Facts are recorded as the window says them, in the source language.
    void SetThrowButton(bool visible, bool chosen) override {
        throwVisible = visible;
        throwCaption = ThrowCaption(chosen);
    }
    void ShowLeader(const std::string& name) override {
        SetHintPanel(HintLine(SourceWords(), LeaderText(SourceWords(), name)));
    }
    void ShowPlay(const std::string& name, CardSet play) override {
        SetHintPanel(HintLine(SourceWords(), PlayedText(SourceWords(), name, play)));
    }
    void SetHintPanel(const std::string& text) {
        hint = text;
        hints.push_back(text);
    }
    void SetScoreRow(int seat, const std::string& name, int lost, int won) override {
        scores[seat] = {ScorerText(SourceWords(), name), lost, won};
    }
    void SetDealEnabled(bool enabled) override {
        ++dealEnabledCalls;
        dealEnabled = enabled;
    }
    void StartCycleTimer(int intervalMs) override {
        cycleStarts.push_back(intervalMs);
        timer.push_back(intervalMs);
    }
    void StopCycleTimer() override {
        ++cycleStops;
        timer.push_back(-1);
    }
    void Pause(int ms) override { waits.push_back(ms); }
    bool Presenting() const override { return presenting; }
    void PlaySound(const std::string& fileName) override {
        sounds.push_back(fileName);
        if (fileName == "Move.wav") ++moveSounds;
        if (fileName == "Win.wav") ++winSounds;
    }
    void ShowRefusal(Refusal refusal, const GameState& table) override {
        const std::string text = RefusalText(refusal, table);
        if (!text.empty()) infoBoxes.push_back(text);
    }
    void ShowWinner(const std::string& name) override {
        infoBoxes.push_back(WinnerText(SourceWords(), name));
    }
    // Questions are answered at once, from answers while it lasts.
    void AskNextGame(const std::string& name, std::function<void(bool)> reply) override {
        questions.push_back(NextGameText(SourceWords(), name));
        hintAtQuestion.push_back(hint);
        bool yes = answer;
        if (!answers.empty()) {
            yes = answers.front();
            answers.pop_front();
        }
        reply(yes);
    }

    // Forgets the card updates, pauses, stock counts and sounds seen so far.
    void Forget() {
        updates.clear();
        waits.clear();
        stockCounts.clear();
        sounds.clear();
    }
    // The recorded states of one card, in order.
    std::vector<CardImage> UpdatesOf(Card card) const {
        std::vector<CardImage> seen;
        for (const auto& u : updates)
            if (u.card == card) seen.push_back(u.image);
        return seen;
    }
};

}  // namespace vorn::testing
