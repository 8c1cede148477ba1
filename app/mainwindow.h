#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/chatpanel.h"
#include "app/prompter.h"
#include "cards/gamestate.h"
#include "cards/options.h"
#include "cards/random.h"
#include "cards/session.h"
#include "cards/tableclient.h"
#include "display/language.h"
#include "game/engine.h"
#include "game/hint.h"
#include "game/pictures.h"

class QAction;

namespace vorn {

class Presentation;
class SeatCues;
class SoundPlayer;
class TableMenus;

// The table window frmMain: it owns the whole state of one table (the deal,
// the program-wide values, the options, the score board and the network game)
// and shows it. It is the TableClient of its engine: every change the engine
// makes to the table arrives here and is mirrored on the screen. Menu commands
// and the network's game messages run as engine actions, one at a time.
class MainWindow : public QMainWindow, public TableScreen, public TableNews, public TableClock {
    Q_OBJECT
  public:
    // programFolder holds the settings file, the sounds and the help pages.
    explicit MainWindow(QString programFolder, std::uint64_t seed = SeededRandom::FreshSeed(),
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up and the return to a local game.
    void Form_Load();
    void ResetToLocalGame();
    // Where the table is kept, as the session's mode says: here with the
    // computer player (local) or the links (host), or at the host (joiner).
    void PlaceTable();
    void LayoutTable();

    // The menus, their commands and check marks.
    TableMenus& menus() { return *menus_; }
    // The deal as the menu offers it; tools and tests deal through it.
    void mnuDeal_Click();
    // The options the check marks stand for, applied to the table.
    void ApplyOptions();
    // The language the options name, applied to every caption of the window.
    void ApplyLanguage();
    // The English / 中文 item: the other language, at once, and kept in the settings file.
    void SwitchLanguage();
    // The score board shown or hidden: each label flips from its own state.
    void FlipScoreBoard();
    // The person's hint: the expert's plays for the table and hand, one after
    // the other as it is asked again.
    void OfferHint();
    // The local game kept beside the settings file (app/savefile.h). It is
    // written after every input once a hand has been dealt in this session or
    // a saved game taken up, never for a network game.
    QString SaveFile() const;
    void SaveGame();
    // The game on the table is the one saved.
    bool SavingGame() const { return saving_; }
    // The local game as it would be saved now; none for a network game.
    std::optional<SavedGame> LocalGame() const;
    // A new game starts: the saved one goes.
    void ForgetSavedGame();
    // Takes up a saved game: the level it was played at, the table, the scores.
    void ResumeGame(const SavedGame& game);
    // Closes the links, saves the settings and ends the program, once the
    // running action and the work queued before it are done.
    void Exit();

    // The chat and the player list.
    ChatPanel& chat() { return *chat_; }
    void AppendChat(const QString& line) { chat_->AppendChat(line); }
    static constexpr int kChatLogLines = ChatPanel::kChatLogLines;

    // The logon dialog, modal; tests replace it.
    std::function<void()> showLogon;
    // Opens it once the running action and the work queued before it are
    // done, outside any action; not once Exit is chosen.
    void OpenLogonLater();
    // Ends the program; tests replace it.
    std::function<void()> endProgram;
    // Scales every pause; tests set 0 to run without waiting.
    double waitScale = 1.0;

    Prompter prompter;
    // What the person last gave the logon dialog for a network game in this
    // run: the dialog opens with it again (after a refusal, a lost link or a
    // reset), not with what the settings file kept from the last run.
    struct NetFields {
        QString address, port, name;
    };
    std::optional<NetFields> lastNetFields;
    // The language this table's person reads; names, chat and the wire never change with it.
    const Language& language() const { return language_; }

    Engine& engine() { return *engine_; }
    GameState& table() { return table_; }
    CardPictures& pictures() { return pictures_; }
    Session& session() { return session_; }
    Options& options() { return options_; }
    NetworkGame& network() { return *network_; }
    TableWidget& tableWidget() { return *tableWidget_; }
    SeatCues& seatCues() { return *seatCues_; }
    QString ProgramFolder() const { return programFolder_; }
    QString SettingsFile() const;
    QString HelpFile() const { return helpFile_; }
    QTimer& tmrCYC() { return tmrCYC_; }
    SoundPlayer& sounds() { return *sounds_; }

    // Widgets the rest of the program (and the tests) reach by name.
    QLabel* lblName(int seat) const { return lblName_[seat]; }
    QLabel* lblScore(int seat) const { return lblScore_[seat]; }
    QLabel* lblScorer(int seat) const { return lblScorer_[seat]; }
    QLabel* lblWin(int seat) const { return lblWin_[seat]; }
    QLabel* lblWinner(int seat) const { return lblWinner_[seat]; }
    QPushButton* labThrow() const { return labThrow_; }
    QLabel* CardsLeft() const { return cardsLeft_; }
    QLabel* HintPanel() const { return hintPanel_; }
    QLabel* ProgressPanel() const { return progressPanel_; }
    QListWidget* lstConnections() const { return chat_->lstConnections(); }
    QPlainTextEdit* txtDialog() const { return chat_->txtDialog(); }
    QLineEdit* txtMessage() const { return chat_->txtMessage(); }
    QAction* Action(const char* name) const;

    // TableScreen, TableNews and TableClock.
    void UpdateCard(Card card, const CardImage& image) override;
    void ShowStockCount(int count) override;
    void SetTurnMarker(int seat, bool visible) override;
    void PlaceTurnMarker(int seat, int x, int y) override;
    void PlaceNameLabel(int seat, int x, int y, const std::string& caption, bool vertical) override;
    void SetThrowButton(bool visible, bool chosen) override;
    void ShowLeader(const std::string& name) override;
    void ShowPlay(const std::string& name, CardSet play) override;
    void SetScoreRow(int seat, const std::string& name, int lost, int won) override;
    void SetDealEnabled(bool enabled) override;
    void StartCycleTimer(int intervalMs) override;
    void StopCycleTimer() override;
    void Pause(int ms) override;
    bool Presenting() const override;
    void PlaySound(const std::string& fileName) override;
    void ShowRefusal(Refusal refusal, const GameState& table) override;
    void ShowWinner(const std::string& name) override;
    void AskNextGame(const std::string& name, std::function<void(bool)> answer) override;
    // The status panels, whole texts, and the window's boxes, each in its turn.
    void SetHintPanel(const std::string& text);
    void SetProgressPanel(const std::string& text);
    void InfoBox(const std::string& text);
    void Ask(const std::string& text, std::function<void(bool)> answer);
    void SeatPassed(int seat) override;
    void PlayLaid(int seat, const std::vector<Card>& cards) override;
    void RoundStarted(int seat) override;
    void TableCleared() override;
    void HandEnded(int winner, const std::array<std::vector<Card>, 4>& left) override;

    // Nothing left to show, no box waiting, no search running: the window
    // shows the table as it stands.
    bool Settled() const;
    // A hand is being played: cards are in the seats' hands.
    bool HandRunning() const;
    // Adds the finished game to the lasting record in the settings file.
    void GameEnded(int winnerSeat, const std::array<int, 4>& lostPoints) override;

    void ShowHintText(const QString& text);
    void ShowProgressText(const QString& text);
    // The seats the computer plays for a dropped person (Session::StandIn), marked.
    void ShowStandIns();
    // Before a network table is full, the hint line counts the players there;
    // false when it is full (or local) and says nothing.
    bool ShowWaiting();
    // Nothing has been dealt since the program started: the hint line says how.
    bool dealtOnce_ = false;
    // The seat names of a local game, as the settings file and the names
    // dialog set them; a network game's names do not outlive it.
    void KeepLocalNames() { localNames_ = session_.PlayerNames; }
    // A seat's name as this table shows it: a default name of a local game in
    // the table's language, any other name as it is.
    QString ShownName(const std::string& name) const;
    // "<name> 失分", a score board row's caption, with the name as shown.
    QString ScorerCaption(const std::string& name) const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // The progress panel as wide as its text needs, within bounds.
    void FitProgressPanel();

  private:
    void BuildControls();
    void ApplyVisibility();
    void OnCardPressed(Card card);
    void OnTableKey(int key);
    void UpdateCardAccessibility(Card card);
    bool PersonToMove() const;
    void UpdateHintEnabled();
    std::string HintKey() const;
    void RaiseHint();
    // What the hint's search sees of the person's seat.
    Observation HintObservation() const;
    // What the note by the play button says of an offered move.
    QString HintNote(const HintChoice& choice) const;
    std::vector<Card> PersonCardsInOrder() const;
    void RefreshCounts();
    void NotifyTableChanged();
    void EndHandReveal();
    // Each seat's line of a finished hand: the cards left and the points lost.
    QString HandResult() const;
    // What the table itself says, in the language just chosen: who laid the
    // play in the middle, and a finished hand's results.
    void RetellTable();
    // A box of the table, opened in its turn; answer set for a question.
    void ShowBox(const std::string& text, const std::function<void(bool)>& answer);
    void PlaceWindow();
    void RememberPlace();

    QString programFolder_;
    QString helpFile_;
    GameState table_;
    // The table as the screen shows it so far (the counts read it).
    GameState shownTable_;
    CardPictures pictures_;
    Session session_;
    Options options_;
    Language language_;
    SeededRandom random_;
    std::unique_ptr<NetworkGame> network_;
    std::unique_ptr<Engine> engine_;
    SoundPlayer* sounds_ = nullptr;
    Presentation* presentation_ = nullptr;
    TableMenus* menus_ = nullptr;
    ChatPanel* chat_ = nullptr;

    TableWidget* tableWidget_ = nullptr;
    std::array<std::string, 4> localNames_;
    SeatCues* seatCues_ = nullptr;
    // The end of a hand stays on show, counts and stock as they were, until a Yes to its box,
    // the next deal or a reset.
    bool handShown_ = false;
    QString handDetail_;
    int handWinner_ = -1;
    std::array<int, 4> handLeft_{};
    // The seat whose play lies in the middle, as its caption names it.
    int playedBySeat_ = -1;
    int stockShown_ = 52;
    QTimer tmrCYC_;
    std::array<QLabel*, 4> lblName_{};
    // Where each seat's name was last placed, to write it again when the
    // computer takes a seat or gives it back (its default name may read
    // differently then).
    struct NamePlace {
        bool placed = false;
        int x = 0, y = 0;
        bool vertical = false;
    };
    std::array<NamePlace, 4> namePlaces_{};
    std::array<QLabel*, 4> lblScorer_{};
    std::array<QLabel*, 4> lblScore_{};
    std::array<QLabel*, 4> lblWinner_{};
    std::array<QLabel*, 4> lblWin_{};
    QLabel* labShowLeft_ = nullptr;
    QLabel* cardsLeft_ = nullptr;
    QPushButton* labThrow_ = nullptr;
    QLabel* hintPanel_ = nullptr;
    QLabel* progressPanel_ = nullptr;

    std::string hintKey_;
    size_t hintCycle_ = 0;
    std::vector<HintChoice> hintChoices_;  // the expert's moves for hintKey_, best first, with their odds
    bool hintSearching_ = false;
    bool exiting_ = false;  // Exit is chosen: it waits for the running action, nothing else starts

    bool saving_ = false;    // the game on the table is the one saved
    std::string lastSaved_;  // what was written last, not written again
};

}  // namespace vorn
