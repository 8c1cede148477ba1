#pragma once

#include "display/language.h"

#include <QObject>
#include <QRect>
#include <QString>
#include <QTimer>

#include <array>

class QLabel;

namespace vorn {

class TableWidget;

namespace cuetexts {
inline constexpr const char* kPassed = QT_TRANSLATE_NOOP("Vorn", "不出");
inline constexpr const char* kNewRound = QT_TRANSLATE_NOOP("Vorn", "新一轮");
// By a seat the computer plays for a person whose link dropped.
inline constexpr const char* kStandIn = QT_TRANSLATE_NOOP("Vorn", "电脑代打");
// A seat's cards in hand, as a screen reader says it: %1 the name, %2 the count.
inline constexpr const char* kCardsLeft = QT_TRANSLATE_NOOP("Vorn", "%1 剩 %2 张");
}  // namespace cuetexts

// The marks around the seats that tell a person what happened without
// counting cards: each seat's hand size beside its name (in a warning colour
// when the seat is close to going out), a "不出" by a seat that passed, the
// name of the seat to move lit, a short "新一轮" when a round opens, and a
// short note by the play button. All are labels on the table, placed in twips
// so they scale with it; the window decides when each one shows.
class SeatCues : public QObject {
    Q_OBJECT
  public:
    // The warning colour is for this many cards and fewer.
    static constexpr int kFewCards = 2;

    SeatCues(TableWidget& table, const std::array<QLabel*, 4>& names,
             const Language& words = SourceLanguage());

    // Where a seat's name stands: across the top or bottom of the table, or
    // on the inner side of a side seat's hand, left of the east hand or right
    // of the west one.
    enum class NameSide { Across, LeftOfHand, RightOfHand };
    // The name label of seat was placed at nameTwips.
    void PlaceSeat(int seat, const QRect& nameTwips, NameSide side, const QString& name);
    // dealt: a hand is on the table (before the deal every count is 0 and no warning).
    void SetCount(int seat, int count, bool dealt);
    void SetPassed(int seat, bool passed);
    void SetStandIn(int seat, bool standIn);
    void ClearPasses();
    // Lights the name of seat (or none for -1).
    void SetTurn(int seat);
    void ShowRoundCue();
    // The round's first play covers the cue.
    void HideRoundCue();
    // The name of the seat whose play lies on the heap to be beaten, under it;
    // hidden once the round or the hand is over.
    void ShowPlayedBy(const QString& name);
    void HidePlayedBy();
    // The result of a hand, left of the table under the stock, until the next deal.
    void ShowResult(const QString& text);
    void HideResult();
    // Shown beside the play button at playButtonTwips for a few seconds.
    void ShowNote(const QString& text, const QRect& playButtonTwips);
    // The note has had its say: the person moved, or the hand ended.
    void HideNote();

    QLabel* Count(int seat) const { return counts_[size_t(seat)]; }
    QLabel* PassMark(int seat) const { return passes_[size_t(seat)]; }
    QLabel* StandInMark(int seat) const { return standIns_[size_t(seat)]; }
    QLabel* RoundCue() const { return round_; }
    QLabel* Note() const { return note_; }
    QLabel* PlayedBy() const { return playedBy_; }
    QLabel* Result() const { return result_; }
    int CountOf(int seat) const { return shownCount_[size_t(seat)]; }

    static constexpr int kRoundCueMs = 1500;
    static constexpr int kNoteMs = 3500;

  private:
    void StyleCount(int seat);

    TableWidget& table_;
    const Language& words_;
    std::array<QLabel*, 4> names_;
    std::array<QLabel*, 4> counts_{};
    std::array<QLabel*, 4> passes_{};
    std::array<QLabel*, 4> standIns_{};
    std::array<QString, 4> seatNames_;
    std::array<int, 4> shownCount_{-1, -1, -1, -1};
    std::array<bool, 4> warned_{};
    QLabel* round_ = nullptr;
    QLabel* note_ = nullptr;
    QLabel* playedBy_ = nullptr;
    QLabel* result_ = nullptr;
    QTimer roundTimer_;
    QTimer noteTimer_;
    int turn_ = -1;
    bool dealt_ = false;
};

}  // namespace vorn
