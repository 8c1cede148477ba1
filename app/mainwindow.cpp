#include "app/mainwindow.h"

#include <algorithm>

#include <QAccessible>
#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMoveEvent>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QStatusBar>
#include <QThreadPool>

#include "ai/expert.h"
#include "app/chatpanel.h"
#include "app/inifile.h"
#include "app/logondialog.h"
#include "app/networkgame.h"
#include "app/savefile.h"
#include "app/settings.h"
#include "app/statistics.h"
#include "app/tablelabel.h"
#include "app/tablemenus.h"
#include "app/texts.h"
#include "cards/textutil.h"
#include "display/presentation.h"
#include "display/seatcues.h"
#include "display/sound.h"
#include "display/tableaccessible.h"
#include "display/tablewidget.h"
#include "game/hint.h"
#include "game/texts.h"
#include "net/netoutbox.h"
#include "net/protocol.h"

namespace vorn {

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

constexpr int kCardH = TableWidget::kCardH;
constexpr int kProgressPanelTwips = 3600;

// Runs a search on a pool thread and hands its answer to done on the
// application's thread; nothing waits for it. The owner is checked there, where
// it would be deleted, so an answer for an owner that is gone is dropped.
template <typename Search, typename Done>
void OffThread(QObject* owner, Search search, Done done) {
    QThreadPool::globalInstance()->start(
        [owner = QPointer<QObject>(owner), search = std::move(search), done = std::move(done)]() mutable {
            auto answer = search();
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [owner, done = std::move(done), answer = std::move(answer)]() mutable {
                    if (owner) done(answer);
                },
                Qt::QueuedConnection);
        });
}
}  // namespace

MainWindow::MainWindow(QString programFolder, std::uint64_t seed, QWidget* parent)
    : QMainWindow(parent), programFolder_(std::move(programFolder)), random_(seed) {
    setObjectName("frmMain");
    setWindowTitle(texts::kTitle);
    prompter = Prompter::Default();
    network_ = std::make_unique<NetworkGame>(*this);
    engine_ =
        std::make_unique<Engine>(table_, session_, options_, TableClient::Of(*this), random_, &pictures_);
    presentation_ = new Presentation(this);
    // The expert thinks on another thread; its seat moves when the answer is
    // back, and the cycle timer's ticks wait for it meanwhile.
    engine_->expertSearchLater = [this](const Observation& seen, std::function<void(CardSet)> done) {
        OffThread(
            this, [seen] { return ExpertChoice(seen); }, std::move(done));
    };
    sounds_ = new SoundPlayer(programFolder_, this);
    engine_->inputShown = [this] { SaveGame(); };

    tmrCYC_.setObjectName("tmrCYC");
    tmrCYC_.setInterval(options_.cycleInterval);
    connect(&tmrCYC_, &QTimer::timeout, this, [this] { engine_->Tick(); });

    showLogon = [this] {
        LogonDialog dialog(*this);
        dialog.exec();
    };
    endProgram = [] { QCoreApplication::exit(0); };

    BuildControls();
    menus_ = new TableMenus(*this);
    Form_Load();
    shownTable_ = table_;
    PlaceWindow();
}

MainWindow::~MainWindow() {
    tmrCYC_.stop();
    network_->CloseAllConnections();
}

QString MainWindow::SettingsFile() const {
    return SettingsPath(programFolder_);
}

QString MainWindow::SaveFile() const {
    return SaveFilePath(SettingsFile());
}

std::optional<SavedGame> MainWindow::LocalGame() const {
    const TableServer* server = engine_->server();
    if (session_.IsNet() || !server) return std::nullopt;
    return SaveOf(*server, random_);
}

void MainWindow::SaveGame() {
    const std::optional<SavedGame> game = LocalGame();
    // A new game begins with its deal: from then on it is the one saved.
    if (!game || (!saving_ && !game->playing)) return;
    saving_ = true;
    std::string text = SavedGameText(*game);
    if (text == lastSaved_) return;
    if (WriteSaveFile(SaveFile(), text)) lastSaved_ = std::move(text);
}

void MainWindow::ForgetSavedGame() {
    saving_ = false;
    lastSaved_.clear();
    RemoveSaveFile(SaveFile());
}

void MainWindow::ResumeGame(const SavedGame& game) {
    // The computer seats' level is the one the game was played at.
    const SeatController& computer = game.seats[1];
    if (computer.kind == SeatKind::Computer) options_.SetLevel(computer.level);
    menus_->SyncChecks();
    engine_->Restore(game, random_);
    saving_ = true;
}

QAction* MainWindow::Action(const char* name) const {
    return findChild<QAction*>(name);
}

// ---------------------------------------------------------------------------
// Controls

namespace {
constexpr const char* kThrowButtonStyle =
    "QPushButton { color: #3b2a05; font-weight: bold; border: 2px solid #7a5a12; border-radius: 8px;"
    " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffe9a8, stop:1 #e0b548); }"
    "QPushButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fff3cc, stop:1 "
    "#ecc35c); }"
    // Leading with nothing raised: shown, but it waits for cards.
    "QPushButton:disabled { color: #8a8270; border-color: #8a7a55; background: #cfc6a8; }";
}  // namespace

void MainWindow::BuildControls() {
    tableWidget_ = new TableWidget(this);
    setCentralWidget(tableWidget_);
    connect(tableWidget_, &TableWidget::cardPressed, this, &MainWindow::OnCardPressed);
    connect(tableWidget_, &TableWidget::keyPressed, this, &MainWindow::OnTableKey);

    auto makeLabel = [this](const QString& name, const QString& text, bool fixedCaption = true) {
        return MakeTableLabel(tableWidget_, name, text, fixedCaption);
    };
    for (int i = 0; i < 4; ++i) {
        lblName_[i] = makeLabel(QString("lblName%1").arg(i), QString());
        lblName_[i]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        QFont f = lblName_[i]->font();
        f.setBold(true);
        lblName_[i]->setFont(f);
        lblScorer_[i] = makeLabel(QString("lblScorer%1").arg(i), QString());
        lblScore_[i] = makeLabel(QString("lblScore%1").arg(i), "0", false);
        lblWinner_[i] =
            MakeCaptionLabel(tableWidget_, QString("lblWinner%1").arg(i), texts::kGamesWon, language_);
        lblWin_[i] = makeLabel(QString("lblWin%1").arg(i), "0", false);
    }
    seatCues_ = new SeatCues(*tableWidget_, lblName_, language_);
    tableWidget_->SetLanguage(language_);
    connect(tableWidget_, &TableWidget::stockPressed, this, [this] { menus_->DealCommand(); });
    labShowLeft_ = MakeCaptionLabel(tableWidget_, "labShowLeft", texts::kStockLabel, language_);
    cardsLeft_ = makeLabel("CardsLeft", "52", false);

    labThrow_ = new QPushButton(texts::kPass, tableWidget_);
    labThrow_->setObjectName("labThrow");
    labThrow_->setAccessibleName(texts::kPass);
    labThrow_->setFocusPolicy(Qt::NoFocus);
    labThrow_->setCursor(Qt::PointingHandCursor);
    labThrow_->setStyleSheet(kThrowButtonStyle);
    labThrow_->hide();
    // The play button acts on the press of the left button, not its release.
    connect(labThrow_, &QPushButton::pressed, this, [this] { engine_->ThrowClick(); });

    chat_ = new ChatPanel(*tableWidget_, session_, *network_, language_, this);

    auto* status = new QStatusBar(this);
    status->setObjectName("StsStatus");
    status->setSizeGripEnabled(true);
    hintPanel_ = new QLabel(status);
    hintPanel_->setObjectName("StsStatusPanel1");
    language_.Name(hintPanel_, texts::kHintPanel);
    progressPanel_ = new QLabel(status);
    progressPanel_->setObjectName("StsStatusPanel2");
    language_.Name(progressPanel_, texts::kProgressPanel);
    // The progress panel keeps its 3600 twips; the hint panel takes the rest of
    // the width at every window size, and a long hint never widens the window.
    progressPanel_->setFixedWidth(kProgressPanelTwips / 15);
    hintPanel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    hintPanel_->setMinimumWidth(0);
    status->addWidget(hintPanel_, 1);
    status->addPermanentWidget(progressPanel_);
    setStatusBar(status);
}

// The options the menu's check marks stand for, applied to the table.
void MainWindow::ApplyLanguage() {
    if (!language_.Set(options_.english ? Lang::English : Lang::Chinese)) options_.english = false;
    UseToolkitLanguage(language_.lang());
    language_.Retitle(this);
}

void MainWindow::SwitchLanguage() {
    options_.english = !options_.english;
    ApplyLanguage();
    LayoutTable();
    RetellTable();
    // The texts the game wrote are said again: seat marks, scores, the hint
    // and the progress panel.
    engine_->RunCommand([this] {
        engine_->AdjustDirection();
        if (session_.IsNet())
            network_->ShowProgressAgain();
        else
            ShowProgressText(language_.Tr(texts::kLocalGame));
    });
    // Written now: the next logon reads the settings file again.
    WriteIniValue(SettingsFile(), "Option", "Language", options_.english ? "en" : "zh");
}

void MainWindow::ApplyOptions() {
    tmrCYC_.setInterval(options_.cycleInterval);
    tableWidget_->SetDeskShape(options_.deskShape);
    tableWidget_->SetFourColour(options_.fourColour);
    if (tableWidget_->KeepPlay() != options_.keepPlay) {
        tableWidget_->SetKeepPlay(options_.keepPlay);
        NotifyTableChanged();
    }
}

void MainWindow::ApplyVisibility() {
    for (int i = 0; i < 4; ++i) {
        lblScore_[i]->setVisible(options_.showScore);
        lblScorer_[i]->setVisible(options_.showScore);
        lblWin_[i]->setVisible(options_.showScore);
        lblWinner_[i]->setVisible(options_.showScore);
    }
    chat_->ApplyVisibility(options_.showMessage, options_.showConnections);
}

// ---------------------------------------------------------------------------
// Start-up, the local game, the layout

void MainWindow::Form_Load() {
    LoadSettings(SettingsFile(), options_, session_);
    KeepLocalNames();
    ApplyLanguage();
    menus_->SyncChecks();
    ApplyVisibility();
    engine_->AdjustDirection();
    ResetToLocalGame();
    LayoutTable();
    engine_->NewGame();
    helpFile_ = Q(JoinPath(programFolder_.toStdString(), "help"));
}

void MainWindow::ResetToLocalGame() {
    // What the old table still had to show is shown at once; its boxes follow.
    presentation_->Finish();
    // A finished hand left open after No closes with the table it belonged to.
    if (handShown_) EndHandReveal();
    if (session_.IsNet()) session_.PlayerNames = localNames_;
    session_.ReturnToLocal();
    ShowStandIns();
    PlaceTable();
    engine_->ResetScores();
    engine_->AdjustDirection();
    table_.TheLastThrower = session_.LocalSeat;
    network_->DiscardQueue();
    engine_->DropTableActions();
    network_->players().clear();
    chat_->Clear();
    ShowProgressText(language_.Tr(texts::kLocalGame));
}

void MainWindow::PlaceTable() {
    vorn::PlaceTable(*engine_, session_, network_->outbox());
    network_->WatchTurns();
}

void MainWindow::LayoutTable() {
    const CardPictures& t = pictures_;
    TableWidget& w = *tableWidget_;
    // Stock and its count.
    // The caption keeps its 500 twips unless its words need more.
    const int caption = std::max(500, TextTwips(*labShowLeft_, labShowLeft_->text()) + 90);
    w.Place(labShowLeft_, QRect(300, 60, caption, 240));
    w.Place(cardsLeft_, QRect(300 + caption, 60, 500, 240));
    // Player list beside the stock.
    chat_->PlaceConnections(w);
    // Score board. The person's own seat is drawn at the foot of the table,
    // whichever seat it is, and the seat across at its head.
    const size_t own = size_t(session_.LocalSeat & 3), across = (own + 2) % 4;
    const int deskHeight = kCardH + t.SeatY[own] - t.SeatY[across];
    for (int i = 0; i < 4; ++i) {
        const int top = deskHeight + 300 - kCardH + 150 + 360 * i;
        w.Place(lblScorer_[i], QRect(300, top, 1500, 300));
        w.Place(lblScore_[i], QRect(1800, top, 600, 300));
        w.Place(lblWinner_[i], QRect(2400, top, 600, 300));
        w.Place(lblWin_[i], QRect(3000, top, 500, 300));
    }
    chat_->PlaceChat(w);
    // The play button.
    w.Place(labThrow_, QRect(9450, t.SeatY[own] + 400, 1000, 480));
}

// ---------------------------------------------------------------------------
// The window on the screen

namespace {
// Room the window manager's frame takes before the window has one to measure.
constexpr QSize kFrameAllowance(16, 40);

// rect (the frame's top-left, the inside's size) made to lie within area,
// shrinking it first when it is larger than area.
QRect FitInto(QRect rect, const QRect& area, QSize frame) {
    rect.setWidth(std::min(rect.width(), area.width() - frame.width()));
    rect.setHeight(std::min(rect.height(), area.height() - frame.height()));
    const int x = std::clamp(rect.x(), area.left(), area.right() + 1 - rect.width() - frame.width());
    const int y = std::clamp(rect.y(), area.top(), area.bottom() + 1 - rect.height() - frame.height());
    rect.moveTo(x, y);
    return rect;
}
}  // namespace

void MainWindow::PlaceWindow() {
    // The table's natural size, then as much of it as the screen has room for;
    // the table scales to whatever size it gets.
    const QSize client(TableWidget::kSceneWidth / 15, TableWidget::kSceneHeight / 15);
    QRect place(0, 0, client.width(),
                client.height() + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    const std::optional<std::array<int, 4>> saved = LoadWindowPlace(SettingsFile());
    QScreen* screen = QGuiApplication::primaryScreen();
    if (saved) {
        place = QRect((*saved)[0], (*saved)[1], (*saved)[2], (*saved)[3]);
        if (QScreen* at = QGuiApplication::screenAt(place.center())) screen = at;
    }
    if (screen) {
        const QRect area = screen->availableGeometry();
        if (!saved)
            place.moveTo(area.x() + (area.width() - place.width() - kFrameAllowance.width()) / 2,
                         area.y() + (area.height() - place.height() - kFrameAllowance.height()) / 2);
        place = FitInto(place, area, kFrameAllowance);
    }
    resize(place.size());
    move(place.topLeft());
    if (saved) options_.window = {place.x(), place.y(), place.width(), place.height()};
}

void MainWindow::RememberPlace() {
    if (!isVisible() || (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    options_.window = {pos().x(), pos().y(), width(), height()};
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    RememberPlace();
}

void MainWindow::FitProgressPanel() {
    // 3,600 twips, wider for a longer text (English runs longer than
    // Chinese), up to half the window; the hint panel takes the rest.
    const int least = kProgressPanelTwips / 15;
    const int wanted = progressPanel_->fontMetrics().horizontalAdvance(progressPanel_->text()) + 8;
    progressPanel_->setFixedWidth(std::clamp(wanted, least, std::max(least, width() / 2)));
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FitProgressPanel();
    RememberPlace();
}

// ---------------------------------------------------------------------------
// Card selection

void MainWindow::OnCardPressed(Card card) {
    engine_->CardClick(card);
}

std::vector<Card> MainWindow::PersonCardsInOrder() const {
    std::vector<Card> cards;
    for (int s = 0; s < kSuits; ++s)
        for (int n = 1; n <= kNumbers; ++n)
            if (table_.Location(Card{s, n}) == session_.LocalSeat) cards.emplace_back(s, n);
    std::sort(cards.begin(), cards.end(),
              [this](Card a, Card b) { return pictures_.Image(a).x < pictures_.Image(b).x; });
    return cards;
}

void MainWindow::OnTableKey(int key) {
    if (!PersonToMove()) return;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        engine_->ThrowClick();
        return;
    }
    std::vector<Card> cards = PersonCardsInOrder();
    if (cards.empty()) return;
    TableWidget& w = *tableWidget_;
    auto at = std::find(cards.begin(), cards.end(), w.FocusCard());
    const bool focused = w.HasFocusCard() && at != cards.end();
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        int index = focused ? int(at - cards.begin()) : (key == Qt::Key_Left ? int(cards.size()) : -1);
        index += key == Qt::Key_Left ? -1 : 1;
        index = std::clamp(index, 0, int(cards.size()) - 1);
        w.SetFocusCard(true, cards[index]);
        UpdateCardAccessibility(cards[index]);
    } else if (key == Qt::Key_Space && focused) {
        engine_->CardClick(*at);
    }
}

// ---------------------------------------------------------------------------
// Commands

void MainWindow::mnuDeal_Click() {
    menus_->mnuDeal_Click();
}

void MainWindow::OpenLogonLater() {
    engine_->RunBetweenActions([this] {
        if (!exiting_) showLogon();
    });
}

void MainWindow::Exit() {
    // Closing the window while Exit waits must not queue a second one.
    if (exiting_) return;
    exiting_ = true;
    tmrCYC_.stop();
    engine_->RunCommand([this] {
        tmrCYC_.stop();
        network_->CloseAllConnections();
        SaveSettings(SettingsFile(), options_, session_);
        // Left in the middle of a hand, the game waits for the next start;
        // left between hands, it has ended.
        if (HandRunning())
            SaveGame();
        else if (saving_)
            ForgetSavedGame();
        endProgram();
    });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing the window is 退出 by another way, and asks the same.
    if (!exiting_ && !menus_->ConfirmLeave()) {
        event->ignore();
        return;
    }
    event->accept();
    Exit();
}

bool MainWindow::Settled() const {
    return !presentation_->Busy() && !hintSearching_ && !engine_->Thinking();
}

bool MainWindow::PersonToMove() const {
    return engine_->ThrowVisible() && table_.CurrentSeat == session_.LocalSeat && !engine_->Busy() &&
           !presentation_->Busy();
}

void MainWindow::UpdateHintEnabled() {
    // The button is shown from inside an action (the tick that hands the turn
    // to the person), so the running action must not count here; the command
    // itself ignores presses while one runs.
    if (QAction* hint = Action("mnuHint"))
        hint->setEnabled(engine_->ThrowVisible() && table_.CurrentSeat == session_.LocalSeat);
}

void MainWindow::OfferHint() {
    if (!PersonToMove() || hintSearching_) return;
    const std::string key = HintKey();
    if (key == hintKey_) return RaiseHint();
    // The search runs off the window's thread on a copy of the table; what
    // the person did meanwhile (a click, a play) makes its answer stale.
    hintSearching_ = true;
    OffThread(
        this, [seen = HintObservation()] { return ExpertHint(seen); },
        [this, key](const std::vector<HintChoice>& choices) {
            hintSearching_ = false;
            if (!PersonToMove() || HintKey() != key) return;
            hintChoices_ = choices;
            hintCycle_ = 0;
            hintKey_ = key;
            RaiseHint();
        });
}

Observation MainWindow::HintObservation() const {
    // The person's view kept by the table's server knows the game's moves, so
    // the hint reads the others' passes as an expert seat does; a joiner, or
    // a view that does not match the table shown, falls back to the table.
    const int local = session_.LocalSeat;
    Observation shown = Observe(table_, local);
    TableServer* server = engine_->server();
    const Observation* kept = server ? server->Seen(local) : nullptr;
    if (!kept) return shown;
    Observation same = kept->Snapshot();
    same.lost = shown.lost;  // the table shown does not carry the scores
    return same == shown ? *kept : shown;
}

std::string MainWindow::HintKey() const {
    // Pressing again offers the next choice for the same table and hand.
    const int local = session_.LocalSeat;
    std::string key = Codes(table_.TablePlay) + (table_.MustLead ? "L" : "F") +
                      Codes(table_.lstDirection[local]) + Codes(table_.lstSelected);
    std::sort(key.begin(), key.end());
    return key;
}

void MainWindow::RaiseHint() {
    // Lower whatever is raised, then raise the offered cards the way a click does.
    for (const Card card : CardSet(table_.lstSelected)) engine_->CardClick(card);
    // A note by the play button: the status line keeps naming the play to beat.
    const QRect button = tableWidget_->PlacedRect(labThrow_);
    if (hintChoices_.empty()) {
        seatCues_->ShowNote(language_.Tr(texts::kNoBeatingPlay), button);
        return;
    }
    const HintChoice& choice = hintChoices_[hintCycle_ % hintChoices_.size()];
    for (const Card card : choice.play) engine_->CardClick(card);
    ++hintCycle_;
    seatCues_->ShowNote(HintNote(choice), button);
}

QString MainWindow::HintNote(const HintChoice& choice) const {
    QString odds =
        language_.Tr(choice.play.Empty() ? texts::kHintPass : texts::kHintWins).arg(choice.winPercent);
    if (choice.closeToNext) return language_.Tr(texts::kHintCloseToNext).arg(odds);
    if (choice.closeToPrevious) return language_.Tr(texts::kHintCloseToPrevious).arg(odds);
    return odds;
}

void MainWindow::FlipScoreBoard() {
    // Each label flips from its own state, as the score board always has.
    for (int i = 0; i < 4; ++i)
        for (QLabel* l : {lblScore_[i], lblScorer_[i], lblWin_[i], lblWinner_[i]})
            l->setVisible(l->isHidden());
}

}  // namespace vorn
