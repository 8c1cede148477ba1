#include "game/tableserver.h"

#include <algorithm>
#include <limits>

#include "ai/expert.h"
#include "cards/options.h"

namespace vorn {

namespace {}  // namespace

void TableServer::SetSeat(int seat, SeatController controller) {
    seats_[size_t(seat)] = controller;
    // The seat to move changes hands at once: a computer moves when next asked.
    if (playing_ && seat == state_.CurrentSeat && !thinking_) {
        if (controller.kind != SeatKind::Computer)
            due_.reset();
        else if (!due_)
            due_ = std::numeric_limits<std::int64_t>::min();
    }
    views_[size_t(seat)].reset();
    // An expert seat searches from its view; the person here asks for hints from theirs.
    if ((controller.kind == SeatKind::Computer && controller.level >= kExpertLevel) ||
        controller.kind == SeatKind::Person)
        views_[size_t(seat)].emplace(Observe(state_, seat, scores_.lost));
    watched_ = false;
    for (const auto& view : views_) watched_ = watched_ || view.has_value();
    TellPlayers();
}

void TableServer::TellPlayers() {
    static_assert(kSearchPlayer == kExpertLevel);
    std::array<int, 4> players{};
    for (int seat = 0; seat < 4; ++seat) {
        const SeatController& c = seats_[size_t(seat)];
        // A person's way of playing is not known; a computer's is its level.
        players[size_t(seat)] =
            c.kind != SeatKind::Computer ? kUnknownPlayer : std::min(c.level, kSearchPlayer);
    }
    for (auto& view : views_)
        if (view) view->SetPlayers(players);
}

TableEvent& TableServer::Add(TableEvent::Kind kind, int seat, CardSet cards) {
    // Filled in place: an event put together elsewhere and copied in stalls
    // on its byte-sized fields, and the self-play tool emits millions.
    TableEvent& event = events_.emplace_back();
    event.kind = kind;
    event.seat = seat;
    event.cards = cards;
    return event;
}

void TableServer::Publish() {
    const TableEvent& event = events_.back();
    if (event.kind == TableEvent::Kind::NewGame) history_.clear();
    if (keepHistory && event.kind != TableEvent::Kind::Refused && event.kind != TableEvent::Kind::GameOver)
        history_.push_back(event);
    if (!watched_) return;
    for (int seat = 0; seat < 4; ++seat)
        if (views_[size_t(seat)]) views_[size_t(seat)]->Follow(VisibleTo(event, seat));
}

void TableServer::NewGame(int leader) {
    state_ = FreshTable(leader);
    playing_ = false;
    ++turn_;
    thinking_ = false;
    due_.reset();
    Add(TableEvent::Kind::NewGame, leader);
    Publish();
}

void TableServer::Resume(const GameState& state, std::int64_t now) {
    state_ = state;
    history_.clear();
    playing_ = true;
    ++turn_;
    thinking_ = false;
    due_.reset();
    for (int seat = 0; seat < 4; ++seat)
        if (views_[size_t(seat)]) views_[size_t(seat)].emplace(Observe(state_, seat, scores_.lost));
    TellPlayers();
    // A seat facing an empty table leads.
    if (state_.TablePlay.Empty()) state_.MustLead = true;
    BeginTurn(state_.CurrentSeat, false, now);
}

void TableServer::Restore(const GameState& state, const ScoreBoard& scores, bool playing,
                          const std::vector<TableEvent>& history, std::int64_t now) {
    state_ = state;
    scores_ = scores;
    playing_ = playing;
    history_ = history;
    ++turn_;
    thinking_ = false;
    due_.reset();
    // Each view follows the game again from its start, as it did the first time.
    const bool whole = !history_.empty() && history_.front().kind == TableEvent::Kind::NewGame;
    for (int seat = 0; seat < 4; ++seat) {
        std::optional<SeatView>& view = views_[size_t(seat)];
        if (!view) continue;
        view.emplace(Observe(state_, seat, scores_.lost));
        if (!whole) continue;
        view.emplace(Observe(FreshTable(history_.front().seat), seat, scores_.lost));
        for (const TableEvent& event : history_) view->Follow(VisibleTo(event, seat));
    }
    TellPlayers();
    if (playing_ && seats_[size_t(state_.CurrentSeat)].kind == SeatKind::Computer) due_ = now + thinkMs;
}

void TableServer::Deal(std::int64_t now) {
    if (playing_) return;
    playing_ = true;
    const int leader = state_.TheLastThrower;
    for (int round = 0; round < 6; ++round) DrawRound(leader);
    DrawCard(leader);
    BeginTurn(leader, false, now);
}

void TableServer::DrawCard(int seat) {
    if (state_.StockEmpty) return;
    const int count = state_.lstCardsBox.Count();
    if (count == 0) return;
    const int index = UniformIndex(random_.Uniform(), count);
    const Card card = DrawAt(state_, seat, index);
    TableEvent& draw = Add(TableEvent::Kind::Draw, seat);
    draw.card = card;
    draw.index = index;
    Publish();
}

void TableServer::DrawRound(int seat) {
    for (int k = 0; k < 4; ++k) DrawCard((seat + k) % 4);
}

void TableServer::BeginTurn(int seat, bool newRound, std::int64_t now) {
    state_.CurrentSeat = seat;
    if (newRound) {
        Add(TableEvent::Kind::NewRound, seat);
        Publish();
        DrawRound(seat);
        state_.PassCount = 0;
        state_.TablePlay.Clear();
        state_.MustLead = true;
    }
    Add(TableEvent::Kind::Turn, seat).lead = state_.MustLead;
    Publish();
    ++turn_;
    thinking_ = false;
    due_.reset();
    if (seats_[size_t(seat)].kind == SeatKind::Computer) due_ = now + thinkMs;
}

Refusal TableServer::Play(int seat, CardSet cards, std::int64_t now) {
    Refusal refusal = Refusal::NotYourTurn;
    if (playing_ && seat >= 0 && seat <= 3 && seats_[size_t(seat)].kind != SeatKind::Computer)
        refusal = Judge(state_, seat, cards);
    if (refusal != Refusal::Ok) {
        Refuse(seat, cards, refusal);
        return refusal;
    }
    Carry(seat, cards, now);
    return Refusal::Ok;
}

std::optional<std::int64_t> TableServer::Deadline() const {
    return playing_ ? due_ : std::nullopt;
}

bool TableServer::Step(std::int64_t now) {
    if (!playing_ || !due_ || *due_ > now) return false;
    due_.reset();
    GameState& t = state_;
    const int seat = t.CurrentSeat;
    const bool lead = t.MustLead;
    if (beforeDecision) beforeDecision(seat, lead);
    const int level = seats_[size_t(seat)].level;
    if (level < kExpertLevel) {
        RulesDecision(t, seat, lead, kGambleRates[level < 0 || level > 2 ? 1 : level], random_);
        Decide(seat, lead, now);
        return true;
    }
    // The search sees what the seat sees and draws from its own generator.
    const Observation seen =
        views_[size_t(seat)] ? views_[size_t(seat)]->seen() : Observe(t, seat, scores_.lost);
    if (searchLater) {
        thinking_ = true;
        searchLater(seen, turn_);
        return true;
    }
    Choose(t, seat, expertSearch ? expertSearch(seen) : ExpertChoice(seen));
    Decide(seat, lead, now);
    return true;
}

bool TableServer::Decided(std::uint64_t ticket, CardSet play, std::int64_t now) {
    if (!thinking_ || ticket != turn_ || !playing_) return false;
    thinking_ = false;
    const int seat = state_.CurrentSeat;
    Choose(state_, seat, play);
    Decide(seat, state_.MustLead, now);
    return true;
}

bool TableServer::PlayFor(int seat, std::int64_t now) {
    GameState& t = state_;
    if (!playing_ || t.CurrentSeat != seat || seats_[size_t(seat)].kind == SeatKind::Computer) return false;
    RulesDecision(t, seat, t.MustLead, kGambleRates[1], random_);
    const CardSet cards = t.lstSelected;
    if (Judge(t, seat, cards) != Refusal::Ok) {
        t.lstDirection[seat] |= t.lstSelected;
        t.lstSelected.Clear();
        return false;
    }
    forcing_ = true;
    Carry(seat, cards, now);
    forcing_ = false;
    return true;
}

void TableServer::Decide(int seat, bool lead, std::int64_t now) {
    GameState& t = state_;
    if (afterDecision) afterDecision(seat, lead);
    // The hook may have changed the choice (tests do): what is chosen now goes.
    const CardSet cards = t.lstSelected;
    const Refusal refusal = Judge(t, seat, cards);
    if (refusal != Refusal::Ok) {
        // The computer player's choices are legal; should one not be, the
        // cards go back and the seat tries again a moment later.
        t.lstDirection[seat] |= t.lstSelected;
        t.lstSelected.Clear();
        Refuse(seat, cards, refusal);
        due_ = now + thinkMs + 1;
        return;
    }
    Carry(seat, cards, now);
}

void TableServer::Refuse(int seat, CardSet cards, Refusal refusal) {
    Add(TableEvent::Kind::Refused, seat, cards).refusal = refusal;
    Publish();
}

void TableServer::Carry(int seat, CardSet cards, std::int64_t now) {
    const Applied applied = Apply(state_, Move{seat, cards});
    Add(applied.played ? TableEvent::Kind::Played : TableEvent::Kind::Passed, seat, cards).forced = forcing_;
    Publish();
    if (applied.handEmpty) {
        GameOver(seat);
        return;
    }
    BeginTurn(state_.CurrentSeat, applied.roundOver, now);
}

void TableServer::GameOver(int winner) {
    TableEvent& over = Add(TableEvent::Kind::GameOver, winner);
    over.lost = ScoreGame(state_, winner, scores_);
    over.hands = state_.lstDirection;
    Publish();
    NewGame(winner);
}

}  // namespace vorn
