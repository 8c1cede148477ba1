#include "tools/selfplay/selfplay.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "ai/expert.h"
#include "cards/card.h"
#include "cards/gamestate.h"
#include "cards/options.h"
#include "cards/random.h"
#include "cards/referee.h"
#include "game/tableserver.h"
#include "tools/selfplay/record.h"

namespace vorn::selfplay {

namespace {

constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;
// A game ends long before this; more ticks mean the engine is going round in circles.
constexpr int kTickLimit = 5000;

void Hash(std::uint64_t& h, std::string_view bytes) {
    for (const unsigned char c : bytes) {
        h ^= c;
        h *= kFnvPrime;
    }
}
void Hash(std::uint64_t& h, char c) {
    Hash(h, std::string_view(&c, 1));
}

// The game's draws, also kept for the record of the decision that takes them.
class RecordingRandom : public Random {
  public:
    void Reseed(std::uint64_t seed) { inner_.Reseed(seed); }
    double Uniform() override {
        const double r = inner_.Uniform();
        if (keep) taken.push_back(r);
        return r;
    }
    bool keep = false;  // only a record needs them
    std::vector<double> taken;

  private:
    SeededRandom inner_{0};
};

// Card numbers in ascending order, a small fixed array.
struct Numbers {
    std::array<int, kDeckSize> value;
    int size = 0;
    explicit Numbers(CardSet cards) {
        for (const Card c : cards) {
            int k = size++;
            for (; k > 0 && value[k - 1] > c.Number(); --k) value[k] = value[k - 1];
            value[k] = c.Number();
        }
    }
    int operator[](int k) const { return value[k]; }
    bool AllEqual() const {
        for (int k = 1; k < size; ++k)
            if (value[k] != value[0]) return false;
        return true;
    }
    int Count(int number) const { return int(std::count(value.begin(), value.begin() + size, number)); }
};

// The hand rules once more, written apart from the core so that the tool
// checks the core's rules as well as the computer player's choices.
bool PlayableShape(const Numbers& n) {
    const int size = n.size;
    if (size == 1) return true;
    if (size >= 2 && size <= 4 && n.AllEqual()) return true;
    // Runs and double runs: groups of equal size f of consecutive numbers.
    int f = 0;
    while (f < size && n[f] == n[0]) ++f;
    if (size % f != 0 || size / f < 2 || (f == 1 && size < 3) || (f > 1 && size < 4)) return false;
    for (int j = 0; j < size; ++j)
        if (n[j] != n[0] + j / f) return false;
    return true;
}

bool BreaksTwos(const Numbers& n) {
    const int twos = n.Count(kTwo);
    return twos > 0 && twos != n.size;
}

bool Beats(const Numbers& mine, const Numbers& table) {
    if (mine.size != table.size || table.size == 0) return false;
    const bool groupOnTable = table.size <= 4 && table.AllEqual() && table[0] != kTwo;
    if (groupOnTable && mine.Count(kTwo) == mine.size) return true;
    for (int k = 0; k < mine.size; ++k)
        if (mine[k] != table[k] + 1) return false;
    return true;
}

// The checksum takes the codes of a set as they are written, lowest first.
void HashCodes(std::uint64_t& h, CardSet cards) {
    static const std::array<std::array<char, 4>, kDeckSize> kCodes = [] {
        std::array<std::array<char, 4>, kDeckSize> codes{};
        for (int i = 0; i < kDeckSize; ++i) {
            const std::string code = CardCode(Card::FromIndex(i));
            std::copy(code.begin(), code.end(), codes[i].begin());
        }
        return codes;
    }();
    for (const Card c : cards) Hash(h, std::string_view(kCodes[c.Index()].data(), 4));
}

// One table's games, played on a TableServer and checked move by move.
class Driver {
  public:
    Driver(const Config& config, const Sink& sink, const SeedOf& seedOf)
        : config_(config), sink_(sink), seedOf_(seedOf), server_(random_), table_(server_.state()) {}

    // Seats the four computer players and deals the first game.
    void Start() {
        random_.keep = bool(sink_);
        const int level = std::clamp(config_.level, 0, kExpertLevel);
        for (int seat = 0; seat < 4; ++seat) {
            const int own = config_.seatLevels[seat] >= 0 ? config_.seatLevels[seat] : config_.level;
            levels_[seat] = std::clamp(own, 0, kOracleLevel);
            server_.SetSeat(seat, SeatController{SeatKind::Computer, levels_[seat]});
        }
        level_ = level;
        mixed_ = levels_ != std::array<int, 4>{level, level, level, level};
        server_.expertSearch = [this](const Observation& seen) {
            if (config_.expertMove) return config_.expertMove(table_, seen.seat);
            const auto start = std::chrono::steady_clock::now();
            ExpertSettings settings;
            if (config_.expertPlayouts > 0) settings.playouts = config_.expertPlayouts;
            if (config_.expertTreeVisits >= 0) settings.treeVisits = config_.expertTreeVisits;
            using When = Config::OracleWhen;
            const When now = seen.stockEmpty ? When::Late : When::Early;
            if (levels_[seen.seat] == kOracleLevel &&
                (config_.oracleWhen == When::Always || config_.oracleWhen == now))
                settings.truth = &table_;
            const CardSet play = ExpertChoice(seen, settings);
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            result_.expertMs.push_back(ms);
            if (ExpertCandidates(seen).size() > 1) result_.searchedMs.push_back(ms);
            return play;
        };
        server_.beforeDecision = [this](int seat, bool lead) { Before(seat, lead); };
        server_.afterDecision = [this](int seat, bool lead) { After(seat, lead); };
        result_.checksum = kFnvOffset;
        if (config_.games <= 0) return;
        server_.NewGame(0);
        StartGame(1);
        server_.Deal(0);
        Drain();
    }

    bool Done() const { return stopped_ || result_.games >= config_.games; }

    // One computer move and everything it brought about, checked.
    void Step() {
        decided_ = false;
        won_ = false;
        roundStarted_ = false;
        server_.Step(0);
        Drain();
        if (!stopped_) AfterTick();
    }

    Result Finish() {
        result_.ok = !stopped_;
        for (int i = 0; i < 4; ++i) {
            result_.wins[i] = server_.scores().won[i];
            result_.lost[i] = server_.scores().lost[i];
        }
        return result_;
    }

  private:
    // The table's events in order; a new deal's come after the game's end.
    void Drain() {
        for (server_.TakeEvents(events_); !events_.empty(); server_.TakeEvents(events_))
            for (const TableEvent& event : events_) {
                if (stopped_) return;
                switch (event.kind) {
                    case TableEvent::Kind::NewGame:
                        stock_ = kDeckSize;
                        break;
                    case TableEvent::Kind::Draw:
                        OnDraw(event);
                        break;
                    case TableEvent::Kind::NewRound:
                        roundStarted_ = true;
                        break;
                    case TableEvent::Kind::Refused:
                        Fail(std::string("the table refused a move of seat ") + std::to_string(event.seat));
                        break;
                    case TableEvent::Kind::GameOver:
                        OnGameWon(event.seat);
                        break;
                    default:
                        break;
                }
            }
        if (!stopped_ && stock_ != table_.lstCardsBox.Count()) Fail("the stock does not add up");
    }

    void OnDraw(const TableEvent& draw) {
        const Card card = draw.card;
        if (card.IsNone() || draw.seat < 0 || draw.seat > 3 || table_.lstCardsBox.Contains(card))
            return Fail("a draw does not add up");
        --stock_;
        ++result_.draws;
        if (sink_)
            Emit(record::Line("draw")
                     .Add("seat", draw.seat)
                     .Add("index", draw.index)
                     .Add("card", CardCode(card))
                     .Add("stock", stock_));
    }

    void OnGameWon(int winner) {
        won_ = true;
        if (winner != seat_ || !sizesKnown_ || sizes_[winner] != 0)
            return Fail("seat " + std::to_string(winner) + " won without emptying its hand");
        const ScoreBoard& now = server_.scores();
        for (int i = 0; i < 4; ++i) {
            if (now.lost[i] - scores_.lost[i] != sizes_[i])
                return Fail("seat " + std::to_string(i) + " lost " +
                            std::to_string(now.lost[i] - scores_.lost[i]) + " points holding " +
                            std::to_string(sizes_[i]) + " cards");
            if (now.won[i] - scores_.won[i] != (i == winner ? 1 : 0))
                return Fail("games won of seat " + std::to_string(i) + " do not add up");
        }
        scores_ = now;
        result_.outcomes.push_back({winner, sizes_});
        Hash(result_.checksum, 'W');
        Hash(result_.checksum, char('0' + winner));
        ++result_.games;
        int sum = 0;
        for (int w : now.won) sum += w;
        if (sum != result_.games)
            return Fail("games won add up to " + std::to_string(sum) + " after " +
                        std::to_string(result_.games));
        if (sink_)
            Emit(
                record::Line("won").Add("winner", winner).AddInts("lost", now.lost).AddInts("wins", now.won));
        if (Done()) return;
        if (config_.rotateLeaders) server_.NewGame(result_.games % 4);
        StartGame(result_.games + 1);
        if (!stopped_) server_.Deal(0);
    }

  public:
    void Fail(const std::string& why) {
        if (stopped_) return;
        stopped_ = true;
        result_.error =
            "game " + std::to_string(game_) + ", move " + std::to_string(movesThisGame_) + ": " + why;
    }

  private:
    void StartGame(int game) {
        game_ = game;
        ticks_ = 0;
        movesThisGame_ = 0;
        const std::uint64_t seed = seedOf_ ? seedOf_(game) : GameSeed(config_.seed, game);
        random_.Reseed(seed);
        if (sink_) {
            record::Line line("game");
            line.Add("game", game).Add("seed", seed).Add("level", level_);
            // Records of one level for all seats keep their old form.
            if (mixed_) line.AddInts("levels", levels_);
            Emit(line.Add("leader", table_.TheLastThrower));
        }
    }

    void Emit(const record::Line& line) {
        if (!stopped_ && !sink_(line.Text())) stopped_ = true;
    }

    void Before(int seat, bool lead) {
        decided_ = true;
        seat_ = seat;
        lead_ = lead;
        hand_ = table_.lstDirection[seat];
        tableBefore_ = table_.TablePlay;
        passBefore_ = table_.PassCount;
        if (!table_.lstSelected.Empty()) Fail("lstSelected not empty before a decision");
        random_.taken.clear();
        if (!sink_) return;
        CardSet played;
        for (int i = 0; i < kDeckSize; ++i)
            if (table_.Location(Card::FromIndex(i)) == kPlayedLocation) played.Add(Card::FromIndex(i));
        std::array<int, 4> sizes{};
        for (int i = 0; i < 4; ++i) sizes[i] = table_.HandSize(i);
        move_.emplace("move");
        move_->Add("seat", seat)
            .Add("lead", lead)
            .AddCards("hand", hand_)
            .Add("table", Codes(table_.TablePlay))
            .Add("type", PlayTypeName(table_.PlayType))
            .Add("pass", table_.PassCount)
            .Add("stockEmpty", table_.StockEmpty)
            .Add("lastThrower", table_.TheLastThrower)
            .AddInts("sizes", sizes)
            .AddInts("singleRun", table_.SingleRun)
            .AddCards("played", played);
    }

    void After(int seat, bool lead) {
        if (stopped_) return;
        ++movesThisGame_;
        ++result_.moves;
        const CardSet chosen = table_.lstSelected;
        const CardSet hand = table_.lstDirection[seat];
        auto who = [seat] { return "seat " + std::to_string(seat); };
        if (seat != seat_ || lead != lead_) return Fail("decision hooks out of step");
        if (lead != tableBefore_.Empty())
            return Fail(who() + (lead ? " leads onto a play" : " follows an empty table"));
        const bool fromHand = hand.Count() + chosen.Count() == hand_.Count() && (chosen & hand_) == chosen &&
                              (chosen & hand).Empty();
        if (!fromHand) return Fail(who() + " chose cards that are not its own");
        if (chosen.Empty()) {
            if (lead) return Fail(who() + " passed when it had to lead");
        } else {
            const Numbers mine(chosen);
            if (!PlayableShape(mine)) return Fail(who() + " chose no playable shape: " + Codes(chosen));
            if (BreaksTwos(mine)) return Fail(who() + " played a 2 with other cards: " + Codes(chosen));
            if (!lead && !Beats(mine, Numbers(tableBefore_)))
                return Fail(who() + " played " + Codes(chosen) + ", which does not beat " +
                            Codes(tableBefore_));
            ++result_.plays;
        }
        played_ = chosen;
        // The hand sizes matter only to the win this move may bring; a move
        // that leaves cards in the seat's hand marks them unknown.
        sizesKnown_ = hand.Empty();
        if (sizesKnown_)
            for (int i = 0; i < 4; ++i) sizes_[i] = table_.HandSize(i);
        Hash(result_.checksum, char('0' + seat));
        Hash(result_.checksum, chosen.Empty() ? 'P' : 'M');
        HashCodes(result_.checksum, chosen.Empty() ? tableBefore_ : chosen);
        Hash(result_.checksum, ';');
        if (sink_) {
            std::vector<std::string> draws;
            for (double r : random_.taken) draws.push_back(record::DrawText(r));
            move_->AddNumberTexts("draws", draws).AddCards("chosen", chosen);
            Emit(*move_);
            move_.reset();
        }
    }

    void AfterTick() {
        if (!decided_) return Fail("a tick made no decision");
        if (++ticks_ > kTickLimit) return Fail("the game does not end");
        if (!won_) {
            const GameState& t = table_;
            bool applied = t.CurrentSeat == (seat_ + 1) % 4 && t.lstSelected.Empty();
            // The third pass in a row clears the table for the next round at once.
            if (played_.Empty() && roundStarted_)
                applied = applied && passBefore_ == 2 && t.PassCount == 0 && t.TablePlay.Empty();
            else if (played_.Empty())
                applied = applied && t.PassCount == passBefore_ + 1 && t.TablePlay == tableBefore_;
            else
                applied = applied && t.TablePlay == played_ && t.TheLastThrower == seat_ && t.PassCount == 0;
            if (!applied)
                return Fail("the engine did not carry out the move of seat " + std::to_string(seat_));
        }
        const std::string problem = CheckConservation(table_);
        if (!problem.empty()) return Fail("cards not conserved: " + problem);
    }

    Config config_;
    const Sink& sink_;
    const SeedOf& seedOf_;
    RecordingRandom random_;
    TableServer server_;
    const GameState& table_;
    std::vector<TableEvent> events_;

    Result result_;
    std::array<int, 4> levels_{};
    int level_ = 1;
    bool mixed_ = false;
    bool stopped_ = false;
    int game_ = 0, ticks_ = 0, movesThisGame_ = 0, stock_ = 0;
    ScoreBoard scores_;

    // The decision of the running tick.
    bool decided_ = false, won_ = false, roundStarted_ = false;
    int seat_ = -1;
    bool lead_ = false;
    CardSet hand_, tableBefore_, played_;
    int passBefore_ = 0;
    std::array<int, 4> sizes_{};
    bool sizesKnown_ = false;
    std::optional<record::Line> move_;
};

}  // namespace

std::uint64_t GameSeed(std::uint64_t runSeed, int game) {
    // splitmix64 of the run seed stepped game times: neighbouring run seeds
    // and neighbouring games get unrelated streams.
    std::uint64_t z = runSeed + 0x9E3779B97F4A7C15ull * std::uint64_t(game);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t TableSeed(std::uint64_t runSeed, int index) {
    return GameSeed(runSeed ^ 0x2545F4914F6CDD1Dull, index);
}

namespace {

// The tables' results as one: sums, every table's expert times, the first
// violation, and the tables' checksums folded in table order.
Result Combine(const std::vector<Result>& results) {
    Result all;
    all.checksum = kFnvOffset;
    for (size_t i = 0; i < results.size(); ++i) {
        const Result& r = results[i];
        if (!r.ok && all.ok) {
            all.ok = false;
            all.error = "table " + std::to_string(i) + ", " + r.error;
        }
        all.games += r.games;
        all.moves += r.moves;
        all.plays += r.plays;
        all.draws += r.draws;
        for (int seat = 0; seat < 4; ++seat) {
            all.wins[seat] += r.wins[seat];
            all.lost[seat] += r.lost[seat];
        }
        for (int shift = 0; shift < 64; shift += 8) Hash(all.checksum, char((r.checksum >> shift) & 0xFF));
        all.expertMs.insert(all.expertMs.end(), r.expertMs.begin(), r.expertMs.end());
        all.searchedMs.insert(all.searchedMs.end(), r.searchedMs.begin(), r.searchedMs.end());
        all.outcomes.insert(all.outcomes.end(), r.outcomes.begin(), r.outcomes.end());
    }
    return all;
}

Result RunTables(const Config& config) {
    const int count = config.tables;
    const Sink noSink;
    const SeedOf ownSeeds;
    std::vector<Config> configs(size_t(count), config);
    std::vector<std::unique_ptr<Driver>> drivers;
    drivers.reserve(configs.size());
    for (int i = 0; i < count; ++i) {
        Config& own = configs[size_t(i)];
        own.tables = 0;
        own.seed = TableSeed(config.seed, i);
        own.games = config.games / count + (i < config.games % count ? 1 : 0);
        drivers.push_back(std::make_unique<Driver>(own, noSink, ownSeeds));
    }
    if (config.sequential) {
        for (auto& driver : drivers) {
            driver->Start();
            while (!driver->Done()) driver->Step();
        }
    } else {
        for (auto& driver : drivers) driver->Start();
        for (bool moved = true; moved;) {
            moved = false;
            for (auto& driver : drivers)
                if (!driver->Done()) {
                    driver->Step();
                    moved = true;
                }
        }
    }
    std::vector<Result> results;
    results.reserve(drivers.size());
    for (auto& driver : drivers) results.push_back(driver->Finish());
    return Combine(results);
}

}  // namespace

Result Run(const Config& config, const Sink& sink, const SeedOf& seedOf) {
    if (config.tables > 0) return RunTables(config);
    Driver driver(config, sink, seedOf);
    driver.Start();
    while (!driver.Done()) driver.Step();
    return driver.Finish();
}

}  // namespace vorn::selfplay
