#include "game/engine.h"

#include <utility>

#include "ai/expert.h"
#include "cards/referee.h"
#include "cards/rules.h"
#include "cards/textutil.h"

namespace vorn {

Engine::Engine(GameState& table, Session& session, Options& options, TableView& view, Outbox& outbox,
               Random& random, CardPictures* pictures)
    : env_{table, session, options, view, outbox, random, pictures} {}

void Engine::RunAction(std::function<void()> fn, Work kind) {
    // Work queued earlier goes first, also while a step between two actions
    // (a modal dialog) has the queue paused.
    if (busy_ || !pending_.empty()) {
        pending_.push_back({std::move(fn), kind});
        return;
    }
    // Nothing waits: the action runs without a trip through the queue (the
    // self-play and the expert's playouts run millions of them).
    busy_ = kind != Work::Between;
    fn();
    busy_ = false;
    while (!pending_.empty()) {
        Queued next = std::move(pending_.front());
        pending_.pop_front();
        busy_ = next.kind != Work::Between;
        next.fn();
        busy_ = false;
        // A step between actions may itself have started the queue again
        // (the logon dialog's OK, with nothing waiting); that call drained it.
    }
}

void Engine::DropTableActions() {
    std::erase_if(pending_, [](const Queued& q) { return q.kind == Work::Table; });
}

void Engine::NewGame() {
    // Nobody has a turn until the deal, so the cycle timer must not tick into a
    // table without cards (after a reset or the logon OK, say). A search or a
    // question of the game before belongs to that game.
    ++game_;
    thinking_ = false;
    env_.view.StopCycleTimer();
    throwVisible_ = false;
    env_.view.TableCleared();
    vorn::NewGame(env_);
}

void Engine::Deal() {
    vorn::Deal(env_);
    if (env_.session.IsNet() && env_.table.TheLastThrower == env_.session.LocalSeat) ShowThrowButton();
}

void Engine::UpdateThrowCaption() {
    if (!env_.view.Shown()) return;
    env_.view.SetThrowButton(throwVisible_, !env_.table.lstSelected.Empty());
}

void Engine::ShowThrowButton() {
    throwVisible_ = true;
    UpdateThrowCaption();
}

void Engine::HideThrowButton() {
    throwVisible_ = false;
    UpdateThrowCaption();
}

void Engine::ReturnChosen(int seat) {
    GameState& t = env_.table;
    t.lstDirection[seat] |= t.lstSelected;
    t.lstSelected.Clear();
}

void Engine::ShowRefusal(int seat, Refusal refusal) {
    // Only the person at this computer is told; any other seat's refused
    // choice goes back to its hand without a word.
    if (seat != env_.session.LocalSeat) {
        ReturnChosen(seat);
        return;
    }
    env_.view.ShowRefusal(refusal, env_.table);
}

void Engine::StartNewRound(int seat) {
    env_.view.RoundStarted(seat);
    DrawRound(env_, seat);
    env_.table.PassCount = 0;
    env_.table.TablePlay.Clear();
    env_.table.MustLead = true;
}

// A play or pass runs in steps, in this order: the referee's judgement, the
// cards' way to the middle, the referee carrying the move out, the pause on
// the play and the sweep to the heap, the record for the eye, then the
// hand-off for the session's mode.
void Engine::PlayCards(int seat, bool fromNet) {
    if (seat < 0 || seat > 3) return;
    const CardSet play = env_.table.lstSelected;
    if (!CheckPlay(seat, fromNet, play)) return;
    if (!play.Empty()) MoveToMiddle(seat, play);
    const Applied applied = Apply(env_.table, Move{seat, play});
    if (applied.played) SettleOnHeap(seat, play);
    RecordPlay(seat, applied);
    switch (env_.session.mode) {
        case Mode::Host:
            HandOffHost(seat, fromNet, applied);
            break;
        case Mode::Joiner:
            HandOffJoiner(seat, fromNet);
            break;
        case Mode::Local:
            HandOffLocal(seat, applied);
            break;
    }
}

bool Engine::CheckPlay(int seat, bool fromNet, CardSet play) {
    Refusal refusal = Judge(env_.table, seat, play);
    // A move from the network was judged where it was made: the host judges
    // a joiner's before it runs, and a joiner carries out the host's moves as
    // the host sent them.
    if (fromNet && (refusal == Refusal::NotYourTurn || refusal == Refusal::CannotBeat)) refusal = Refusal::Ok;
    if (refusal == Refusal::Ok) return true;
    ShowRefusal(seat, refusal);
    return false;
}

void Engine::MoveToMiddle(int seat, CardSet play) {
    CardPictures* p = env_.pictures;
    if (!p) return;
    for (const Card card : play) {
        CardImage& image = p->Image(card);
        int x = image.x;
        int y = image.y + (image.raised ? 300 : 0);
        image.raised = false;
        ShowFace(env_, card, true);
        TowardMiddle(env_, seat, x, y);
        MoveCard(env_, card, x, y);
    }
}

void Engine::SettleOnHeap(int seat, CardSet play) {
    LayoutHand(env_, seat);
    if (env_.options.sound) env_.view.PlaySound("Move.wav");
    env_.view.Pause(env_.options.playDelay);
    SweepToHeap();
    // The view is told the play as laid, for the eye only.
    if (!env_.view.Shown()) return;
    std::vector<Card> laid;
    for (const Card card : play) laid.push_back(card);
    env_.view.PlayLaid(seat, laid);
}

void Engine::SweepToHeap() {
    CardPictures* p = env_.pictures;
    if (!p) return;
    for (int suit = 0; suit < kSuits; ++suit)
        for (int number = 1; number <= kNumbers; ++number) {
            Card card{suit, number};
            if (env_.table.Location(card) != kPlayedLocation) continue;
            CardImage& image = p->Image(card);
            if (image.x == kHeapX && image.y == kHeapY && !image.face) continue;
            image.face = false;
            PlaceCard(env_, card, kHeapX, kHeapY);
        }
}

void Engine::RecordPlay(int seat, const Applied& applied) {
    const GameState& t = env_.table;
    if (!applied.played) env_.view.SeatPassed(seat);
    if (env_.view.Shown()) env_.view.ShowPlay(env_.session.PlayerNames[t.TheLastThrower], t.TablePlay);
    HideThrowButton();
}

void Engine::HandOffHost(int seat, bool fromNet, const Applied& applied) {
    GameState& t = env_.table;
    Session& s = env_.session;
    env_.outbox.Throw(t.TheLastThrower, Codes(t.TablePlay), seat, fromNet ? seat : -1);
    if (applied.handEmpty) {
        env_.outbox.GameOver(t.TheLastThrower);
        if (env_.options.sound) env_.view.PlaySound("Win.wav");
        GameWon();
        return;
    }
    ShowTurnMarker(env_, t.CurrentSeat);
    if (applied.roundOver) StartNewRound(t.CurrentSeat);
    env_.outbox.Turn(t.CurrentSeat, t.MustLead);
    if (t.CurrentSeat == s.LocalSeat) ShowThrowButton();
}

void Engine::HandOffJoiner(int seat, bool fromNet) {
    GameState& t = env_.table;
    if (!fromNet) env_.outbox.ThrowToHost(t.TheLastThrower, Codes(t.TablePlay), seat);
}

void Engine::HandOffLocal(int seat, const Applied& applied) {
    if (!applied.handEmpty && seat == env_.session.LocalSeat)
        env_.view.StartCycleTimer(env_.options.cycleInterval);
    if (applied.handEmpty) {
        if (env_.options.sound) env_.view.PlaySound("Win.wav");
        GameWon();
    }
}

void Engine::Tick() {
    if (Busy() || env_.session.IsNet() || thinking_ || env_.view.Presenting()) return;
    RunAction([this] {
        GameState& t = env_.table;
        ShowTurnMarker(env_, t.CurrentSeat);
        const int seat = t.CurrentSeat;
        if (seat == 0 && !autoPlay) {
            if (t.PassCount == 3) StartNewRound(0);
            ShowThrowButton();
            env_.view.StopCycleTimer();
            return;
        }
        // An empty table also means a lead: a seat whose lead was refused is
        // asked to lead again, without a second drawing round.
        const bool lead = t.PlayType == PlayType::JustBegin || t.PassCount == 3 || t.TablePlay.Empty();
        if (lead) {
            const bool newRound = t.PlayType != PlayType::JustBegin && t.PassCount == 3;
            t.PassCount = 0;
            t.TablePlay.Clear();
            if (newRound) {
                env_.view.RoundStarted(seat);
                DrawRound(env_, seat);
            }
            // Every leader must lead, so a computer seat's pass here is refused too.
            t.MustLead = true;
        }
        if (SeatLevel(seat) == kExpertLevel && expertSearchLater) return SearchLater(seat, lead);
        ComputerDecision(seat, lead);
        PlayCards(seat, false);
    });
}

void Engine::SearchLater(int seat, bool lead) {
    if (beforeDecision) beforeDecision(seat, lead);
    thinking_ = true;
    const int game = game_;
    // The search runs elsewhere; its answer is an action of its own, dropped
    // when the table was reset or a new game began meanwhile.
    expertSearchLater(Observe(env_.table, seat, scores_.lost), [this, game, seat, lead](CardSet play) {
        RunAction([this, game, seat, lead, play] {
            if (game != game_ || !thinking_) return;
            thinking_ = false;
            Choose(env_.table, seat, play);
            if (afterDecision) afterDecision(seat, lead);
            PlayCards(seat, false);
        });
    });
}

int Engine::SeatLevel(int seat) const {
    if (seat >= 0 && seat < 4 && seatLevels[seat] >= 0) return seatLevels[seat];
    const int level = env_.options.levelItem;
    if (level == kExpertLevel) return seat == 0 ? 1 : kExpertLevel;
    return level;
}

void Engine::ComputerDecision(int seat, bool lead) {
    GameState& t = env_.table;
    if (beforeDecision) beforeDecision(seat, lead);
    const int level = SeatLevel(seat);
    if (level == kExpertLevel) {
        // The search sees what the seat sees and draws from its own generator.
        const Observation seen = Observe(t, seat, scores_.lost);
        Choose(t, seat, expertSearch ? expertSearch(seen) : ExpertChoice(seen));
    } else {
        // A seat of its own level gambles at that level's rate.
        const float rate = seat >= 0 && seat < 4 && seatLevels[seat] >= 0 && seatLevels[seat] < 3
                               ? kGambleRates[seatLevels[seat]]
                               : env_.options.gambleRate;
        RulesDecision(t, seat, lead, rate, env_.random);
    }
    if (afterDecision) afterDecision(seat, lead);
}

void Engine::ThrowClick() {
    if (Busy() || env_.view.Presenting()) return;
    if (!throwVisible_ || env_.table.CurrentSeat != env_.session.LocalSeat) return;
    RunAction([this] { PlayCards(env_.session.LocalSeat, false); });
}

void Engine::CardClick(Card card) {
    if (Busy() || env_.view.Presenting()) return;
    GameState& t = env_.table;
    const int local = env_.session.LocalSeat;
    if (t.Location(card) != local || !throwVisible_ || t.CurrentSeat != local) return;
    // A raised card is a chosen one: the person's choice lives in lstSelected.
    const bool raise = !t.lstSelected.Contains(card);
    if (raise) {
        t.lstSelected.Add(card);
        t.lstDirection[local].Remove(card);
    } else {
        t.lstSelected.Remove(card);
        t.lstDirection[local].Add(card);
    }
    if (CardPictures* p = env_.pictures) {
        CardImage& image = p->Image(card);
        image.raised = raise;
        PlaceCard(env_, card, image.x, image.y + (raise ? -300 : 300));
    }
    UpdateThrowCaption();
}

void Engine::UpdateScoreRow(int seat) {
    if (!env_.view.Shown()) return;
    env_.view.SetScoreRow(seat, env_.session.PlayerNames[seat], scores_.lost[seat], scores_.won[seat]);
}

void Engine::ResetScores() {
    scores_ = ScoreBoard{};
    for (int i = 0; i < 4; ++i) UpdateScoreRow(i);
}

void Engine::GameWon() {
    GameState& t = env_.table;
    Session& s = env_.session;
    if (env_.view.Shown()) {
        std::array<std::vector<Card>, 4> left;
        for (int i = 0; i < 4; ++i)
            for (const Card card : t.lstDirection[i]) left[size_t(i)].push_back(card);
        env_.view.HandEnded(t.TheLastThrower, left);
    }
    const std::array<int, 4> lost = ScoreGame(t, t.TheLastThrower, scores_);
    for (int i = 0; i < 4; ++i) UpdateScoreRow(i);
    env_.view.GameEnded(t.TheLastThrower, lost);
    NewGame();
    const std::string& winner = s.PlayerNames[t.TheLastThrower];
    if (!s.IsNet()) env_.view.StopCycleTimer();
    if (!s.IsNet() || s.IsHost()) {
        // The answer deals the next game, as an action of its own, unless
        // the table was reset or dealt meanwhile.
        const int game = game_;
        env_.view.AskNextGame(winner, [this, game](bool yes) {
            if (!yes) return;
            RunAction([this, game] {
                if (game == game_ && DealOpen()) Deal();
            });
        });
    } else {
        env_.view.ShowWinner(winner);
    }
}

void Engine::AdjustDirection() {
    Session& s = env_.session;
    if (s.LocalSeat >= 0 && s.LocalSeat < 4) {
        static const int kX[4] = {7200, 10900, 7200, 3700};
        static const int kY[4] = {6400, 3000, 300, 3000};
        std::array<int, 4> seatX, seatY;
        for (int seat = 0; seat < 4; ++seat) {
            int pos = ScreenPosition(seat, s.LocalSeat);
            seatX[seat] = kX[pos];
            seatY[seat] = kY[pos];
        }
        if (CardPictures* p = env_.pictures) {
            p->SeatX = seatX;
            p->SeatY = seatY;
        }
        for (int seat = 0; seat < 4; ++seat) {
            const int x = seatX[seat], y = seatY[seat];
            const std::string& name = s.PlayerNames[seat];
            switch (ScreenPosition(seat, s.LocalSeat)) {
                case 0:
                    env_.view.PlaceNameLabel(seat, 7200, y + 1480, name, false);
                    env_.view.PlaceTurnMarker(seat, 6900, y + 1480);
                    break;
                case 1:
                    env_.view.PlaceNameLabel(seat, x + 1100, y + 500, VerticalLabel(name), true);
                    env_.view.PlaceTurnMarker(seat, x + 1100, y + 200);
                    break;
                case 2:
                    env_.view.PlaceNameLabel(seat, 7200, y - 250, name, false);
                    env_.view.PlaceTurnMarker(seat, 6900, y - 250);
                    break;
                default:
                    env_.view.PlaceNameLabel(seat, x - 260, y + 500, VerticalLabel(name), true);
                    env_.view.PlaceTurnMarker(seat, x - 260, y + 200);
                    break;
            }
        }
    }
    if (env_.view.Shown()) env_.view.ShowLeader(LeaderName(env_));
    for (int i = 0; i < 4; ++i) UpdateScoreRow(i);
}

void Engine::ReceiveThrow(int lastThrower, CardSet tablePlay, int seat) {
    GameState& t = env_.table;
    t.TheLastThrower = lastThrower;
    t.TablePlay = tablePlay;
    if (lastThrower == seat) {
        const CardSet named = t.lstDirection[seat] & tablePlay;
        t.lstSelected |= named;
        t.lstDirection[seat] = t.lstDirection[seat].Without(named);
    }
    PlayCards(seat, true);
}

void Engine::ReceiveTurn(int seat, bool mustLead) {
    GameState& t = env_.table;
    t.CurrentSeat = seat;
    // The host drew for the new round already; here the round's end shows.
    if (mustLead && t.PlayType != PlayType::JustBegin) env_.view.RoundStarted(seat);
    ShowTurnMarker(env_, seat);
    t.MustLead = mustLead;
    if (env_.session.LocalSeat == seat) ShowThrowButton();
}

void Engine::ReceiveSnatch(int seat, int drawIndex) {
    env_.table.CurrentSeat = seat;
    env_.table.DrawIndex = drawIndex;
    DrawCard(env_, seat);
}

void Engine::ReceiveGameOver(int seat) {
    env_.table.TheLastThrower = seat;
    if (env_.options.sound) env_.view.PlaySound("Win.wav");
    GameWon();
}

}  // namespace vorn
