// The table window as its engine's TableClient: every change the engine makes
// to the table arrives here and is shown in turn, at the pace of the pauses
// (Presentation); the engine has moved on already.
#include <QLabel>
#include <QPushButton>
#include <QStringList>

#include "app/mainwindow.h"
#include "app/networkgame.h"
#include "app/seatnames.h"
#include "app/settings.h"
#include "app/statistics.h"
#include "app/texts.h"
#include "cards/rules.h"
#include "cards/textutil.h"
#include "display/presentation.h"
#include "display/seatcues.h"
#include "display/sound.h"
#include "display/tableaccessible.h"
#include "display/tablewidget.h"
#include "game/tablewords.h"
#include "game/texts.h"

namespace vorn {

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
}  // namespace

QString MainWindow::ShownName(const std::string& name) const {
    return ShownSeatName(session_, language_, name);
}

QString MainWindow::ScorerCaption(const std::string& name) const {
    return Q(ScorerText(language_, ShownName(name).toStdString()));
}

// ---------------------------------------------------------------------------
// TableScreen, TableNews and TableClock

void MainWindow::UpdateCard(Card card, const CardImage& image) {
    // The counts shown are those of the table as it stood when this picture
    // changed, not as it stands now: the table runs ahead of the screen.
    presentation_->Run([=, this, now = table_] {
        shownTable_ = now;
        tableWidget_->SetCard(card, image);
        UpdateCardAccessibility(card);
        RefreshCounts();
    });
}

void MainWindow::UpdateCardAccessibility(Card card) {
    // Screen readers offer the person's own cards as choosable; the table asks us which they are.
    if (!tableWidget_->HasOwnCardTest())
        tableWidget_->SetOwnCardTest([this](Card c) { return table_.Location(c) == session_.LocalSeat; });
    NotifyCardChanged(tableWidget_, card);
    NotifyFocus(tableWidget_, card);
}

void MainWindow::ShowStockCount(int count) {
    if (count < kDeckSize && !dealtOnce_) {
        // The first deal: the cue gives way to who leads.
        dealtOnce_ = true;
        ShowLeader(session_.PlayerNames[size_t(table_.TheLastThrower)]);
    }
    presentation_->Run([=, this, now = table_] {
        // The finished hand stays open until the next deal draws.
        if (handShown_ && count < kDeckSize) EndHandReveal();
        shownTable_ = now;
        stockShown_ = count;
        // A finished hand stays on show with the stock as it was until then.
        if (!handShown_) {
            tableWidget_->SetStockEmpty(count == 0);
            cardsLeft_->setText(QString::number(count));
        }
        RefreshCounts();
    });
}

void MainWindow::SetTurnMarker(int seat, bool visible) {
    presentation_->Run([=, this] {
        tableWidget_->SetTurnMarker(seat, visible);
        if (visible)
            seatCues_->SetTurn(seat);
        else if (!tableWidget_->TurnMarkerVisible(0) && !tableWidget_->TurnMarkerVisible(1) &&
                 !tableWidget_->TurnMarkerVisible(2) && !tableWidget_->TurnMarkerVisible(3))
            seatCues_->SetTurn(-1);
    });
}

void MainWindow::PlaceTurnMarker(int seat, int x, int y) {
    presentation_->Run([=, this] { tableWidget_->PlaceTurnMarker(seat, x, y); });
}

void MainWindow::PlaceNameLabel(int seat, int x, int y, const std::string& /*caption*/, bool vertical) {
    namePlaces_[size_t(seat)] = {true, x, y, vertical};
    // The label is written from the seat's name as this table shows it (the
    // engine's caption is for a screen of its own); a seat of a network table
    // that nobody holds yet reads 空位.
    const bool vacant = session_.Vacant[size_t(seat)];
    const QString name = vacant ? language_.Tr(texts::kVacantSeat) : ShownName(session_.PlayerNames[seat]);
    presentation_->Run([=, this] {
        // Every seat reads across, in any script; a side seat's name stands
        // beside its hand on the side facing the middle, so that nothing
        // reaches past the table's right edge, nor under the chat boxes and
        // the player list left of the table.
        lblName_[seat]->setText(name);
        lblName_[seat]->setAccessibleName(name);
        QRect place(x, y, 3000, 300);
        const bool east = x > kHeapX;
        lblName_[seat]->setAlignment((vertical && east ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        using Side = SeatCues::NameSide;
        Side side = Side::Across;
        if (vertical) {
            // Room to spare: a small table keeps its text at a legible size.
            const int width = TextTwips(*lblName_[seat], name) + 360;
            // x stands 260 left of the west hand (a card wide) or 1,100 right of the east one.
            place = east ? QRect(x - 1160 - width, y, width, 300)
                         : QRect(x + 260 + TableWidget::kCardW + 60, y, width, 300);
            side = east ? Side::LeftOfHand : Side::RightOfHand;
        }
        tableWidget_->Place(lblName_[seat], place);
        seatCues_->PlaceSeat(seat, place, side, name);
    });
}

void MainWindow::ShowStandIns() {
    presentation_->Run([this, marks = session_.StandIn] {
        for (int seat = 0; seat < 4; ++seat) seatCues_->SetStandIn(seat, marks[size_t(seat)]);
    });
    // A seat the computer holds shows a default name in the table's language.
    for (int seat = 0; seat < 4; ++seat) {
        const NamePlace& at = namePlaces_[size_t(seat)];
        if (at.placed) PlaceNameLabel(seat, at.x, at.y, {}, at.vertical);
        presentation_->Run([this, seat, scorer = ScorerCaption(session_.PlayerNames[size_t(seat)])] {
            lblScorer_[size_t(seat)]->setText(scorer);
        });
    }
}

void MainWindow::SetThrowButton(bool visible, bool chosen) {
    // Leading, a pass is never allowed: the button waits for raised cards
    // rather than offering a PASS that would only be refused.
    const bool leading = table_.MustLead || table_.TablePlay.Empty();
    presentation_->Run([=, this] {
        const QString caption = ThrowCaption(chosen);
        labThrow_->setText(caption);
        labThrow_->setAccessibleName(caption);
        labThrow_->setEnabled(chosen || !leading);
        labThrow_->setVisible(visible);
        if (!visible) tableWidget_->SetFocusCard(false);
        UpdateHintEnabled();
    });
}

void MainWindow::ShowLeader(const std::string& name) {
    if (ShowWaiting()) return;
    // Nothing dealt yet, on a table this computer deals: how to deal.
    const bool cue = !dealtOnce_ && session_.mode != Mode::Joiner;
    SetHintPanel(HintLine(language_, cue ? language_.Tr(texts::kFirstDealCue).toStdString()
                                         : LeaderText(language_, ShownName(name).toStdString())));
}

bool MainWindow::ShowWaiting() {
    // Until the table is full nobody leads: the line says how many are here.
    if (!session_.IsNet() || session_.AllSeated) return false;
    int present = 0;
    for (const Person& person : network_->players())
        if (person.slot >= 1 && person.slot <= 3) ++present;
    SetHintPanel(HintLine(language_, language_.Tr(texts::kWaitingForPlayers).arg(present).toStdString()));
    return true;
}

void MainWindow::ShowPlay(const std::string& name, CardSet play) {
    SetHintPanel(HintLine(language_, PlayedText(language_, ShownName(name).toStdString(), play)));
}

void MainWindow::SetHintPanel(const std::string& text) {
    presentation_->Run([=, this] { hintPanel_->setText(Q(text)); });
}

void MainWindow::SetProgressPanel(const std::string& text) {
    presentation_->Run([=, this] {
        progressPanel_->setText(Q(text));
        FitProgressPanel();
    });
}

void MainWindow::ShowHintText(const QString& text) {
    SetHintPanel(HintLine(language_, text.toStdString()));
}

void MainWindow::ShowProgressText(const QString& text) {
    SetProgressPanel(ProgressLine(language_, text.toStdString()));
}

void MainWindow::SetScoreRow(int seat, const std::string& name, int lost, int won) {
    presentation_->Run([=, this, scorer = ScorerCaption(name)] {
        lblScorer_[seat]->setText(scorer);
        lblScore_[seat]->setText(QString::number(lost));
        lblWin_[seat]->setText(QString::number(won));
    });
}

void MainWindow::SetDealEnabled(bool enabled) {
    presentation_->Run([=, this] { Action("mnuDeal")->setEnabled(enabled); });
}

void MainWindow::StartCycleTimer(int intervalMs) {
    presentation_->Run([=, this] {
        tmrCYC_.setInterval(intervalMs);
        tmrCYC_.start();
    });
}

void MainWindow::StopCycleTimer() {
    presentation_->Run([=, this] { tmrCYC_.stop(); });
}

void MainWindow::Pause(int ms) {
    presentation_->Hold(int(ms * waitScale));
}

bool MainWindow::Presenting() const {
    return presentation_->Busy();
}

void MainWindow::PlaySound(const std::string& fileName) {
    presentation_->Run([=, this] { sounds_->Play(Q(fileName)); });
}

void MainWindow::ShowRefusal(Refusal refusal, const GameState& table) {
    const std::string text = RefusalText(refusal, table, language_);
    if (text.empty()) return;
    if (options_.refusalBoxes) return InfoBox(text);
    // A note beside the play button that fades by itself: nothing to click away.
    presentation_->Run(
        [this, note = Q(text)] { seatCues_->ShowNote(note, tableWidget_->PlacedRect(labThrow_)); });
}

void MainWindow::ShowWinner(const std::string& name) {
    InfoBox(WinnerText(language_, ShownName(name).toStdString()));
}

void MainWindow::AskNextGame(const std::string& name, std::function<void(bool)> answer) {
    Ask(NextGameText(language_, ShownName(name).toStdString()), std::move(answer));
}

void MainWindow::InfoBox(const std::string& text) {
    presentation_->Box([this, text] { ShowBox(text, nullptr); });
}

void MainWindow::Ask(const std::string& text, std::function<void(bool)> answer) {
    presentation_->Box([this, text, answer = std::move(answer)] { ShowBox(text, answer); });
}

void MainWindow::ShowBox(const std::string& text, const std::function<void(bool)>& answer) {
    // The box that ends a hand hands its answerers what each seat was left
    // with, which the table shows beside it; after No the hand and its result
    // stay open on the table until the next deal.
    const bool handEnd = handShown_;
    if (handEnd) *prompter.detail = handDetail_;
    if (answer) {
        const bool yes = prompter.yesNoDefaultYes(this, Q(text));
        prompter.detail->clear();
        if (handEnd && yes) EndHandReveal();
        answer(yes);
        return;
    }
    prompter.Info(this, Q(text));
    prompter.detail->clear();
}

// ---------------------------------------------------------------------------
// What the table shows of the play

void MainWindow::SeatPassed(int seat) {
    presentation_->Run([=, this] {
        seatCues_->SetPassed(seat, true);
        if (seat == session_.LocalSeat) seatCues_->HideNote();
    });
}

void MainWindow::PlayLaid(int seat, const std::vector<Card>& cards) {
    presentation_->Run([=, this] {
        seatCues_->SetPassed(seat, false);
        if (seat == session_.LocalSeat) seatCues_->HideNote();
        seatCues_->HideRoundCue();
        playedBySeat_ = seat;
        seatCues_->ShowPlayedBy(ShownName(session_.PlayerNames[size_t(seat)]));
        tableWidget_->PlayLaid(cards);
        NotifyTableChanged();
    });
}

void MainWindow::RoundStarted(int seat) {
    presentation_->Run([=, this] {
        tableWidget_->ClearPlays();
        seatCues_->ClearPasses();
        seatCues_->HidePlayedBy();
        seatCues_->ShowRoundCue();
        // The last play named in the status line is off the table now.
        if (seat >= 0 && seat < 4)
            ShowHintText(language_.Tr(texts::kNewRound).arg(ShownName(session_.PlayerNames[seat])));
        NotifyTableChanged();
    });
}

void MainWindow::TableCleared() {
    presentation_->Run([=, this] {
        tableWidget_->ClearPlays();
        if (!handShown_) {
            seatCues_->ClearPasses();
            seatCues_->HidePlayedBy();
        }
        NotifyTableChanged();
    });
}

void MainWindow::HandEnded(int winner, const std::array<std::vector<Card>, 4>& left) {
    presentation_->Run([=, this] {
        std::vector<Card> open;
        handWinner_ = winner;
        for (int seat = 0; seat < 4; ++seat) {
            open.insert(open.end(), left[size_t(seat)].begin(), left[size_t(seat)].end());
            handLeft_[size_t(seat)] = int(left[size_t(seat)].size());
            seatCues_->SetCount(seat, handLeft_[size_t(seat)], true);
        }
        handDetail_ = HandResult();
        seatCues_->HideNote();
        seatCues_->ShowResult(handDetail_);
        tableWidget_->Reveal(open);
        handShown_ = true;
        NotifyTableChanged();
    });
}

QString MainWindow::HandResult() const {
    QStringList lines;
    for (int seat = 0; seat < 4; ++seat) {
        const int n = handLeft_[size_t(seat)];
        // Every card left in a hand costs its seat one point.
        lines << language_.Tr(texts::kHandLeft)
                     .arg(ShownName(session_.PlayerNames[seat]), language_.Tr(texts::kCardsLeftCount, n),
                          language_.Tr(texts::kPointsLostCount, seat == handWinner_ ? 0 : n));
    }
    return lines.join('\n');
}

void MainWindow::RetellTable() {
    if (playedBySeat_ >= 0 && !seatCues_->PlayedBy()->isHidden())
        seatCues_->ShowPlayedBy(ShownName(session_.PlayerNames[size_t(playedBySeat_)]));
    if (handShown_) {
        handDetail_ = HandResult();
        seatCues_->ShowResult(handDetail_);
    }
}

void MainWindow::EndHandReveal() {
    handShown_ = false;
    seatCues_->HideResult();
    tableWidget_->EndReveal();
    seatCues_->ClearPasses();
    seatCues_->HidePlayedBy();
    tableWidget_->SetStockEmpty(stockShown_ == 0);
    cardsLeft_->setText(QString::number(stockShown_));
    RefreshCounts();
    NotifyTableChanged();
}

void MainWindow::NotifyTableChanged() {
    NotifyCardChanged(tableWidget_, Card{});
}

void MainWindow::RefreshCounts() {
    if (handShown_) return;
    std::array<int, 4> counts{};
    bool dealt = false;
    for (int s = 0; s < kSuits; ++s)
        for (int n = 1; n <= kNumbers; ++n) {
            const int at = shownTable_.Location(Card{s, n});
            if (at >= 0 && at < 4) ++counts[size_t(at)];
            if (at != kStockLocation) dealt = true;
        }
    for (int seat = 0; seat < 4; ++seat) seatCues_->SetCount(seat, counts[size_t(seat)], dealt);
}

bool MainWindow::HandRunning() const {
    for (int s = 0; s < kSuits; ++s)
        for (int n = 1; n <= kNumbers; ++n) {
            const int at = table_.Location(Card{s, n});
            if (at >= 0 && at < 4) return true;
        }
    return false;
}

// Written at once, so a record survives a crash or a lost session; the rest of
// the file is only touched at exit.
void MainWindow::GameEnded(int winnerSeat, const std::array<int, 4>& lostPoints) {
    const int seat = session_.LocalSeat;
    if (seat < 0 || seat > 3) return;
    const int key = session_.IsNet() ? Statistics::kNetwork : options_.levelItem;
    if (!session_.IsNet() && key < 0) return;
    Statistics stats = Statistics::Load(SettingsFile());
    stats.Record(key, winnerSeat == seat, lostPoints[size_t(seat)]);
    stats.Save(SettingsFile());
}

}  // namespace vorn
