#include "display/seatcues.h"

#include <algorithm>

#include <QFontMetrics>
#include <QLabel>

#include "display/tablewidget.h"

namespace vorn {

namespace {
constexpr const char* kNameStyle = "color: #f4ecd2; background: transparent;";
constexpr const char* kNameLitStyle =
    "color: #2b1d00; background: #ffd24a; border-radius: 4px; padding: 0px 2px;";
constexpr const char* kCountStyle =
    "color: #f4ecd2; background: rgba(0, 0, 0, 110); border: 1px solid rgba(244, 236, 210, 120);"
    " border-radius: 7px; font-weight: bold;";
constexpr const char* kCountFewStyle =
    "color: #ffffff; background: #c0281c; border: 1px solid #ffd0c8; border-radius: 7px; font-weight: bold;";
constexpr const char* kPassStyle =
    "color: #ffffff; background: rgba(60, 60, 72, 200); border: 1px solid rgba(255, 255, 255, 150);"
    " border-radius: 6px; font-weight: bold;";
constexpr const char* kStandInStyle =
    "color: #2b1d00; background: rgba(170, 200, 255, 225); border: 1px solid #1c3a70; border-radius: 6px;";
constexpr const char* kRoundStyle =
    "color: #2b1d00; background: rgba(255, 214, 90, 230); border: 2px solid #7a5a12; border-radius: 10px;"
    " font-weight: bold;";
constexpr const char* kPlayedByStyle =
    "color: #f4ecd2; background: rgba(0, 0, 0, 120); border: 1px solid rgba(244, 236, 210, 140);"
    " border-radius: 6px; font-weight: bold;";
constexpr const char* kNoteStyle =
    "color: #2b1d00; background: rgb(255, 246, 214); border: 1px solid #7a5a12; border-radius: 6px;";

// A cue's label: centred text in the given style, never in the way of a click.
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const char* style) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(style);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}
}  // namespace

SeatCues::SeatCues(TableWidget& table, const std::array<QLabel*, 4>& names, const Language& words)
    : QObject(&table), table_(table), words_(words), names_(names) {
    for (int seat = 0; seat < 4; ++seat) {
        counts_[size_t(seat)] = MakeLabel(&table, QString("lblCount%1").arg(seat), "0", kCountStyle);
        counts_[size_t(seat)]->hide();
        passes_[size_t(seat)] =
            MakeLabel(&table, QString("lblPass%1").arg(seat), words_.Tr(cuetexts::kPassed), kPassStyle);
        passes_[size_t(seat)]->hide();
        standIns_[size_t(seat)] = MakeLabel(&table, QString("lblStandIn%1").arg(seat),
                                            words_.Tr(cuetexts::kStandIn), kStandInStyle);
        standIns_[size_t(seat)]->hide();
    }
    round_ = MakeLabel(&table, "lblNewRound", QString(), kRoundStyle);
    words_.Caption(round_, cuetexts::kNewRound);
    words_.Name(round_, cuetexts::kNewRound);
    QFont big = round_->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    round_->setFont(big);
    round_->hide();
    note_ = MakeLabel(&table, "lblNote", QString(), kNoteStyle);
    note_->setWordWrap(true);
    note_->hide();
    playedBy_ = MakeLabel(&table, "lblPlayedBy", QString(), kPlayedByStyle);
    playedBy_->hide();
    result_ = MakeLabel(&table, "lblHandResult", QString(), kNoteStyle);
    result_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    result_->setMargin(4);
    result_->setWordWrap(true);
    result_->hide();
    // Right of the table outline, where no card ever lies.
    table_.Place(result_, QRect(TableWidget::kDesk.right() + 120, 2600, 3540, 1300));
    // The round cue sits over the heap, which a new round has just cleared.
    table_.Place(round_, QRect(kHeapX + TableWidget::kCardW / 2 - 1100, kHeapY + 460, 2200, 520));

    roundTimer_.setSingleShot(true);
    noteTimer_.setSingleShot(true);
    connect(&roundTimer_, &QTimer::timeout, round_, &QLabel::hide);
    connect(&noteTimer_, &QTimer::timeout, note_, &QLabel::hide);
}

void SeatCues::PlaceSeat(int seat, const QRect& nameTwips, NameSide side, const QString& name) {
    seatNames_[size_t(seat)] = name;
    QLabel* count = counts_[size_t(seat)];
    QLabel* pass = passes_[size_t(seat)];
    QLabel* standIn = standIns_[size_t(seat)];
    const QString standInText = words_.Tr(cuetexts::kStandIn);
    if (side != NameSide::Across) {
        // A side seat: the mark above the name, the count and "不出" beneath
        // it, all lined up with the name's end toward the hand.
        const bool handRight = side == NameSide::LeftOfHand;
        const auto along = [&nameTwips, handRight](int width) {
            return handRight ? nameTwips.right() + 1 - width : nameTwips.x();
        };
        standIn->setText(standInText);
        const int standInWidth = TextTwips(*standIn, standInText) + 160;
        table_.Place(standIn, QRect(along(standInWidth), nameTwips.y() - 380, standInWidth, 300));
        table_.Place(count, QRect(along(480), nameTwips.bottom() + 80, 480, 300));
        pass->setText(words_.Tr(cuetexts::kPassed));
        const int passWidth = std::max(720, TextTwips(*pass, pass->text()) + 160);
        table_.Place(pass, QRect(along(passWidth), nameTwips.bottom() + 460, passWidth, 300));
    } else {
        // The name's label is as wide as its text, so that lit it is a tag, not a bar;
        // room to spare for the tag's padding, which does not shrink with a small table.
        const int nameWidth = TextTwips(*names_[size_t(seat)], name) + 240;
        table_.Place(names_[size_t(seat)],
                     QRect(nameTwips.x(), nameTwips.y(), nameWidth, nameTwips.height()));
        const int right = nameTwips.x() + nameWidth + 90;
        table_.Place(count, QRect(right, nameTwips.y(), 480, 300));
        pass->setText(words_.Tr(cuetexts::kPassed));
        table_.Place(pass, QRect(right + 600, nameTwips.y(), 720, 300));
        // Left of the name.
        standIn->setText(standInText);
        const int width = TextTwips(*standIn, standInText) + 160;
        table_.Place(standIn, QRect(nameTwips.x() - width - 90, nameTwips.y(), width, 300));
    }
    standIn->setAccessibleName(name + " " + standInText);
    pass->setAccessibleName(name + " " + words_.Tr(cuetexts::kPassed));
    // The name may have changed: say the count again with it.
    const int shown = std::max(0, shownCount_[size_t(seat)]);
    shownCount_[size_t(seat)] = -1;
    SetCount(seat, shown, dealt_);
}

void SeatCues::SetCount(int seat, int count, bool dealt) {
    dealt_ = dealt;
    const bool warn = dealt && count <= kFewCards;
    if (shownCount_[size_t(seat)] == count && warned_[size_t(seat)] == warn) return;
    shownCount_[size_t(seat)] = count;
    warned_[size_t(seat)] = warn;
    QLabel* label = counts_[size_t(seat)];
    label->setText(QString::number(count));
    label->setAccessibleName(
        words_.Tr(cuetexts::kCardsLeft).arg(seatNames_[size_t(seat)], QString::number(count)));
    label->setStyleSheet(warn ? kCountFewStyle : kCountStyle);
    label->show();
}

void SeatCues::SetPassed(int seat, bool passed) {
    passes_[size_t(seat)]->setVisible(passed);
}

void SeatCues::SetStandIn(int seat, bool standIn) {
    standIns_[size_t(seat)]->setVisible(standIn);
}

void SeatCues::ClearPasses() {
    for (QLabel* pass : passes_) pass->hide();
}

void SeatCues::SetTurn(int seat) {
    if (seat == turn_) return;
    turn_ = seat;
    for (int s = 0; s < 4; ++s) names_[size_t(s)]->setStyleSheet(s == seat ? kNameLitStyle : kNameStyle);
}

void SeatCues::ShowRoundCue() {
    round_->show();
    round_->raise();
    roundTimer_.start(kRoundCueMs);
}

void SeatCues::HideRoundCue() {
    roundTimer_.stop();
    round_->hide();
}

void SeatCues::ShowPlayedBy(const QString& name) {
    playedBy_->setText(name);
    playedBy_->setAccessibleName(name);
    // Centred under the heap, where the play to beat is fanned.
    const int width = TextTwips(*playedBy_, name) + 240;
    table_.Place(playedBy_, QRect(kHeapX + TableWidget::kCardW / 2 - width / 2,
                                  kHeapY + TableWidget::kCardH + 60, width, 300));
    playedBy_->show();
}

void SeatCues::HidePlayedBy() {
    playedBy_->hide();
}

void SeatCues::ShowResult(const QString& text) {
    result_->setText(text);
    result_->setAccessibleName(text);
    result_->show();
    result_->raise();
}

void SeatCues::HideResult() {
    result_->hide();
}

void SeatCues::ShowNote(const QString& text, const QRect& playButtonTwips) {
    note_->setText(text);
    note_->setAccessibleName(text);
    // Beside the button, at least as tall: wider for a longer text, up to a
    // limit, and as many lines as the rest needs.
    constexpr int kLeastWidth = 1750, kMostWidth = 3000, kPadding = 240;
    const int width = std::clamp(TextTwips(*note_, text) + kPadding, kLeastWidth, kMostWidth);
    const int height =
        std::max(playButtonTwips.height(), WrappedTextTwips(*note_, text, width - kPadding) + kPadding);
    table_.Place(note_, QRect(playButtonTwips.right() + 60, playButtonTwips.y(), width, height));
    note_->show();
    note_->raise();
    noteTimer_.start(kNoteMs);
}

void SeatCues::HideNote() {
    noteTimer_.stop();
    note_->hide();
}

}  // namespace vorn
