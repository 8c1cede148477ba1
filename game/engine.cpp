#include "game/engine.h"

#include <utility>

#include "ai/expert.h"
#include "cards/referee.h"
#include "cards/rules.h"
#include "cards/textutil.h"
#include "game/shadow.h"

namespace vorn {

Engine::Engine(GameState& table, Session& session, Options& options, TableClient client, Random& random,
               CardPictures* pictures)
    : env_{table, session, options, client.screen, client.news, client.clock, random, pictures} {}

void Engine::KeepTable(const std::array<SeatKind, 4>& kinds) {
    kinds_ = kinds;
    if (!server_) {
        ++generation_;
        server_.emplace(env_.random);
        server_->beforeDecision = [this](int seat, bool lead) {
            if (beforeDecision) beforeDecision(seat, lead);
        };
        server_->afterDecision = [this](int seat, bool lead) {
            if (afterDecision) afterDecision(seat, lead);
        };
        server_->expertSearch = [this](const Observation& seen) {
            return expertSearch ? expertSearch(seen) : ExpertChoice(seen);
        };
        server_->SetScores(scores_);
        // A new server starts from a fresh table, quietly: this one is shown.
        server_->NewGame(env_.table.TheLastThrower);
        server_->TakeEvents();
    }
    SyncSeats();
}

void Engine::SetSeatKind(int seat, SeatKind kind) {
    kinds_[size_t(seat)] = kind;
    if (!server_) return;
    SyncSeats();
    Drain();
}

void Engine::FollowTable() {
    server_.reset();
}

void Engine::SyncSeats() {
    for (int seat = 0; seat < 4; ++seat) {
        SeatController wanted{kinds_[size_t(seat)], 1};
        if (seat == 0 && autoPlay && wanted.kind == SeatKind::Person) wanted.kind = SeatKind::Computer;
        if (wanted.kind == SeatKind::Computer) wanted.level = SeatLevel(seat);
        const SeatController& now = server_->Seat(seat);
        if (now.kind != wanted.kind || now.level != wanted.level) server_->SetSeat(seat, wanted);
    }
    if (!expertSearchLater) {
        server_->searchLater = nullptr;
        return;
    }
    // The search runs elsewhere; its answer is an action of its own, dropped
    // when the turn it was for is over (a reset, a new game).
    server_->searchLater = [this, generation = generation_](const Observation& seen, std::uint64_t ticket) {
        expertSearchLater(seen, [this, generation, ticket](CardSet play) {
            RunAction([this, generation, ticket, play] {
                if (!server_ || generation != generation_) return;
                if (server_->Decided(ticket, play, ++now_)) Drain();
            });
        });
    };
}

void Engine::Adopt() {
    if (!server_) return;
    SyncSeats();
    server_->Resume(env_.table, ++now_);
    Drain();
}

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

void Engine::ClearTable() {
    // Nobody has a turn until the deal, so the cycle timer must not tick into a
    // table without cards (after a reset or the logon OK, say). A question of
    // the game before belongs to that game.
    ++game_;
    env_.clock.StopCycleTimer();
    throwVisible_ = false;
    env_.news.TableCleared();
    vorn::NewGame(env_);
}

void Engine::NewGame() {
    ClearTable();
    if (!server_) return;
    SyncSeats();
    server_->NewGame(env_.table.TheLastThrower);
    Drain();
}

void Engine::Deal() {
    // Far away, the keeper deals and its draws arrive one by one.
    if (!server_) return;
    env_.screen.SetDealEnabled(false);
    SyncSeats();
    server_->Deal(++now_);
    Drain();
}

void Engine::Drain() {
    if (!server_) return;
    // Taken whole first: showing an event may reach the server again (a hook's answer).
    const std::vector<TableEvent> events = server_->TakeEvents();
    for (const TableEvent& event : events) {
        Show(event);
        if (tableEvent) tableEvent(event, env_.table);
    }
    // The cycle timer runs while a computer seat's move falls due.
    if (server_->Deadline() || AutoPassDue())
        env_.clock.StartCycleTimer(env_.options.cycleInterval);
    else
        env_.clock.StopCycleTimer();
    if (inputShown) inputShown();
}

void Engine::Restore(const SavedGame& game, SeededRandom& random) {
    if (!server_) return;
    SyncSeats();
    RestoreInto(game, *server_, random, ++now_);
    TakeUp(game.state, game.scores);
    Drain();
}

void Engine::Show(const TableEvent& event) {
    using Kind = TableEvent::Kind;
    GameState& t = env_.table;
    switch (event.kind) {
        case Kind::NewGame:
            // The end of a game shown has cleared this table already.
            if (DealOpen() && t.TheLastThrower == event.seat) return;
            t.TheLastThrower = event.seat;
            ClearTable();
            return;
        case Kind::Draw:
            DrawCard(env_, event.seat, event.index);
            return;
        case Kind::NewRound:
            ShowNewRound(event.seat);
            return;
        case Kind::Turn:
            ShowTurn(event.seat, event.lead);
            return;
        case Kind::Played:
        case Kind::Passed:
            ShowMove(event.seat, event.cards);
            return;
        case Kind::Refused:
            // Only the person at this computer is told.
            if (event.seat == env_.session.LocalSeat && PersonSeat(event.seat))
                env_.news.ShowRefusal(event.refusal, t);
            return;
        case Kind::GameOver:
            ShowGameOver(event.seat);
            return;
    }
}

bool Engine::PersonSeat(int seat) const {
    return !server_ || server_->Seat(seat).kind == SeatKind::Person;
}

void Engine::UpdateThrowCaption() {
    if (!env_.screen.Shown()) return;
    env_.screen.SetThrowButton(throwVisible_, !env_.table.lstSelected.Empty());
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

void Engine::ShowNewRound(int seat) {
    // The last pass stays in sight a moment before the table is cleared.
    env_.screen.Pause(env_.options.cycleInterval);
    env_.news.RoundStarted(seat);
    env_.table.PassCount = 0;
    env_.table.TablePlay.Clear();
    env_.table.MustLead = true;
}

void Engine::ShowTurn(int seat, bool lead) {
    GameState& t = env_.table;
    t.CurrentSeat = seat;
    t.MustLead = lead;
    ShowTurnMarker(env_, seat);
    if (seat == env_.session.LocalSeat && PersonSeat(seat)) ShowThrowButton();
    // The pass waits one tick of the cycle timer, so that the play is seen.
    if (AutoPassDue()) env_.clock.StartCycleTimer(env_.options.cycleInterval);
}

bool Engine::AutoPassDue() const {
    const GameState& t = env_.table;
    return env_.options.autoPass && throwVisible_ && t.CurrentSeat == env_.session.LocalSeat &&
           t.lstSelected.Empty() && !HasBeatingPlay(t);
}

// A move is shown in steps, in this order: the cards' way to the middle, the
// referee carrying it out on this table, the pause on the play and the sweep
// to the heap, then the record for the eye.
void Engine::ShowMove(int seat, CardSet play) {
    if (!play.Empty()) MoveToMiddle(seat, play);
    const Applied applied = Apply(env_.table, Move{seat, play});
    if (applied.played) SettleOnHeap(seat, play);
    RecordPlay(seat, applied);
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
    if (env_.options.sound) env_.screen.PlaySound("Move.wav");
    env_.screen.Pause(env_.options.playDelay);
    SweepToHeap();
    // The news of the play as laid is for the eye only.
    if (!env_.screen.Shown()) return;
    std::vector<Card> laid;
    for (const Card card : play) laid.push_back(card);
    env_.news.PlayLaid(seat, laid);
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
    if (!applied.played) env_.news.SeatPassed(seat);
    if (env_.screen.Shown()) env_.news.ShowPlay(env_.session.PlayerNames[t.TheLastThrower], t.TablePlay);
    HideThrowButton();
}

void Engine::Tick() {
    if (AutoPassDue()) return ThrowClick();
    if (!server_) return env_.clock.StopCycleTimer();
    if (Busy() || Thinking() || env_.screen.Presenting()) return;
    RunAction([this] {
        SyncSeats();
        server_->Step(++now_);
        Drain();
    });
}

int Engine::SeatLevel(int seat) const {
    if (seat >= 0 && seat < 4 && seatLevels[seat] >= 0) return seatLevels[seat];
    const int level = env_.options.levelItem;
    if (level == kExpertLevel) return seat == 0 ? 1 : kExpertLevel;
    return level;
}

void Engine::ThrowClick() {
    if (Busy() || env_.screen.Presenting()) return;
    if (!throwVisible_ || env_.table.CurrentSeat != env_.session.LocalSeat) return;
    RunAction([this] {
        GameState& t = env_.table;
        const int seat = env_.session.LocalSeat;
        const CardSet play = t.lstSelected;
        if (server_) {
            server_->Play(seat, play, ++now_);
            Drain();
            return;
        }
        // Following: judged here, shown, then sent to the keeper.
        const Refusal refusal = Judge(t, seat, play);
        if (refusal != Refusal::Ok) {
            env_.news.ShowRefusal(refusal, t);
            return;
        }
        ShowMove(seat, play);
        if (sendMove) sendMove(t.TheLastThrower, t.TablePlay, seat);
    });
}

void Engine::CardClick(Card card) {
    if (Busy() || env_.screen.Presenting()) return;
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
    if (!env_.screen.Shown()) return;
    env_.screen.SetScoreRow(seat, env_.session.PlayerNames[seat], scores_.lost[seat], scores_.won[seat]);
}

void Engine::ResetScores() {
    scores_ = ScoreBoard{};
    if (server_) server_->SetScores(scores_);
    for (int i = 0; i < 4; ++i) UpdateScoreRow(i);
}

void Engine::GameWon() {
    if (!server_) return ShowGameOver(env_.table.TheLastThrower);
    server_->EndGame(env_.table.TheLastThrower);
    Drain();
}

void Engine::ShowGameOver(int winner) {
    GameState& t = env_.table;
    Session& s = env_.session;
    t.TheLastThrower = winner;
    if (env_.options.sound) env_.screen.PlaySound("Win.wav");
    if (env_.screen.Shown()) {
        std::array<std::vector<Card>, 4> left;
        for (int i = 0; i < 4; ++i)
            for (const Card card : t.lstDirection[i]) left[size_t(i)].push_back(card);
        env_.news.HandEnded(winner, left);
    }
    const std::array<int, 4> lost = ScoreGame(t, winner, scores_);
    for (int i = 0; i < 4; ++i) UpdateScoreRow(i);
    env_.news.GameEnded(winner, lost);
    ClearTable();
    const std::string& name = s.PlayerNames[winner];
    if (!server_) {
        // Far away, the keeper asks about the next deal.
        env_.news.ShowWinner(name);
        return;
    }
    // The answer deals the next game, as an action of its own, unless the
    // table was reset or dealt meanwhile.
    const int game = game_;
    env_.news.AskNextGame(name, [this, game](bool yes) {
        if (!yes) return;
        RunAction([this, game] {
            if (game == game_ && DealOpen()) Deal();
        });
    });
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
                    env_.screen.PlaceNameLabel(seat, 7200, y + 1480, name, false);
                    env_.screen.PlaceTurnMarker(seat, 6900, y + 1480);
                    break;
                case 1:
                    env_.screen.PlaceNameLabel(seat, x + 1100, y + 500, VerticalLabel(name), true);
                    env_.screen.PlaceTurnMarker(seat, x + 1100, y + 200);
                    break;
                case 2:
                    env_.screen.PlaceNameLabel(seat, 7200, y - 250, name, false);
                    env_.screen.PlaceTurnMarker(seat, 6900, y - 250);
                    break;
                default:
                    env_.screen.PlaceNameLabel(seat, x - 260, y + 500, VerticalLabel(name), true);
                    env_.screen.PlaceTurnMarker(seat, x - 260, y + 200);
                    break;
            }
        }
    }
    // The hint line again, in today's names: before the first play who
    // leads; later the play to beat (its thrower is no leader of the game).
    if (env_.screen.Shown()) {
        const GameState& t = env_.table;
        if (t.PlayType == PlayType::JustBegin)
            env_.news.ShowLeader(LeaderName(env_));
        else if (!t.TablePlay.Empty())
            env_.news.ShowPlay(s.PlayerNames[size_t(t.TheLastThrower)], t.TablePlay);
    }
    for (int i = 0; i < 4; ++i) UpdateScoreRow(i);
}

void Engine::ReceiveThrow(int lastThrower, CardSet tablePlay, int seat) {
    GameState& t = env_.table;
    if (server_) {
        // A link's person moved at the table kept here: the server judges it.
        server_->Play(seat, lastThrower == seat ? tablePlay : CardSet{}, ++now_);
        Drain();
        return;
    }
    if (seat == env_.session.LocalSeat) {
        // The keeper moved for this seat's person, out of time: what was
        // raised goes back down first.
        for (const Card card : t.lstSelected)
            if (CardPictures* p = env_.pictures; p && p->Image(card).raised) {
                p->Image(card).raised = false;
                PlaceCard(env_, card, p->Image(card).x, p->Image(card).y + 300);
            }
        ReturnChosen(seat);
    }
    t.TheLastThrower = lastThrower;
    t.TablePlay = tablePlay;
    if (lastThrower == seat) {
        const CardSet named = t.lstDirection[seat] & tablePlay;
        t.lstSelected |= named;
        t.lstDirection[seat] = t.lstDirection[seat].Without(named);
    }
    // The keeper judged the move; the turn and the beating follow its word,
    // and only what could not be carried out here is refused.
    const Refusal refusal = Judge(t, seat, t.lstSelected);
    if (refusal != Refusal::Ok && refusal != Refusal::NotYourTurn && refusal != Refusal::CannotBeat) {
        ReturnChosen(seat);
        return;
    }
    ShowMove(seat, t.lstSelected);
}

// Turns, draws and the end of a game are the keeper's word: a table kept
// here takes them from its own server only.
void Engine::ReceiveTurn(int seat, bool mustLead) {
    if (server_) return;
    GameState& t = env_.table;
    // The keeper drew for the new round already; here the round's end shows.
    if (mustLead && t.PlayType != PlayType::JustBegin) env_.news.RoundStarted(seat);
    ShowTurn(seat, mustLead);
}

void Engine::ReceiveSnatch(int seat, int drawIndex) {
    if (server_) return;
    env_.table.CurrentSeat = seat;
    DrawCard(env_, seat, drawIndex);
}

void Engine::ReceiveGameOver(int seat) {
    if (server_) return;
    ShowGameOver(seat);
}

bool Engine::PlayFor(int seat) {
    if (!server_ || !server_->PlayFor(seat, ++now_)) return false;
    Drain();
    return true;
}

bool Engine::ReceiveDraw(int seat, Card card) {
    GameState& t = env_.table;
    const int own = env_.session.LocalSeat;
    if (server_ || t.StockEmpty || t.lstCardsBox.Empty() || (seat == own) == card.IsNone()) return false;
    if (seat != own) {
        ReceiveSnatch(seat, 0);
        return true;
    }
    if (!ShadowToStock(t, own, card)) return false;
    LayOutTable(env_);
    ReceiveSnatch(seat, t.lstCardsBox.IndexOf(card));
    return true;
}

bool Engine::Unveil(int seat, CardSet cards) {
    if (server_) return false;
    if (seat == env_.session.LocalSeat) return (env_.table.lstDirection[size_t(seat)] & cards) == cards;
    if (!ShadowsBecome(env_.table, env_.session.LocalSeat, seat, cards)) return false;
    LayOutTable(env_);
    return true;
}

void Engine::TakeUp(const GameState& table, const ScoreBoard& scores) {
    ClearTable();
    env_.table = table;
    scores_ = scores;
    // The seats' anchors first: the hands are laid out from them.
    AdjustDirection();
    LayOutTable(env_);
    const bool dealt = !DealOpen();
    env_.screen.SetDealEnabled(!dealt && server_.has_value());
    if (!dealt) return;
    if (!table.TablePlay.Empty() && env_.screen.Shown()) {
        env_.news.ShowPlay(env_.session.PlayerNames[size_t(table.TheLastThrower)], table.TablePlay);
        // The play to beat face up in the middle, as if just laid: the heap holds it face down.
        std::vector<Card> laid;
        for (const Card card : table.TablePlay) laid.push_back(card);
        env_.news.PlayLaid(table.TheLastThrower, laid);
        // The seats after its thrower that have passed on it since.
        for (int k = 1; k <= table.PassCount && k < 4; ++k)
            env_.news.SeatPassed((table.TheLastThrower + k) % 4);
    }
    ShowTurn(table.CurrentSeat, table.MustLead);
}

}  // namespace vorn
