#include "tools/selfplay/selfplay.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "cards/card.h"
#include "cards/options.h"
#include "cards/random.h"
#include "cards/session.h"
#include "cards/table.h"
#include "cards/tableview.h"
#include "game/engine.h"
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
    void Reseed(std::uint64_t seed) { inner_ = SeededRandom(seed); }
    double Uniform() override {
        const double r = inner_.Uniform();
        taken.push_back(r);
        return r;
    }
    std::vector<double> taken;

  private:
    SeededRandom inner_{0};
};

// Sorted card numbers of a list or of a concatenated play.
std::vector<int> Numbers(const SortedList& cards) {
    std::vector<int> numbers;
    for (const auto& code : cards) numbers.push_back(CardNumber(code));
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}
std::vector<int> Numbers(const std::string& play) {
    std::vector<int> numbers;
    for (size_t k = 0; k + 4 <= play.size(); k += 4) numbers.push_back(CardNumber(play.substr(k, 4)));
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

// The hand rules once more, written apart from the core so that the tool
// checks the core's rules as well as the computer player's choices.
bool AllEqual(const std::vector<int>& n) {
    return std::all_of(n.begin(), n.end(), [&](int x) { return x == n[0]; });
}

bool PlayableShape(const std::vector<int>& n) {
    const size_t size = n.size();
    if (size == 1) return true;
    if (size >= 2 && size <= 4 && AllEqual(n)) return true;
    // Runs and double runs: groups of equal size f of consecutive numbers.
    size_t f = 0;
    while (f < size && n[f] == n[0]) ++f;
    if (size % f != 0 || size / f < 2 || (f == 1 && size < 3) || (f > 1 && size < 4)) return false;
    for (size_t j = 0; j < size; ++j)
        if (n[j] != n[0] + int(j / f)) return false;
    return true;
}

bool BreaksTwos(const std::vector<int>& n) {
    const auto twos = std::count(n.begin(), n.end(), kTwo);
    return twos > 0 && size_t(twos) != n.size();
}

bool Beats(const std::vector<int>& mine, const std::vector<int>& table) {
    if (mine.size() != table.size() || table.empty()) return false;
    const bool groupOnTable = table.size() <= 4 && AllEqual(table) && table[0] != kTwo;
    if (groupOnTable && std::all_of(mine.begin(), mine.end(), [](int x) { return x == kTwo; })) return true;
    for (size_t k = 0; k < mine.size(); ++k)
        if (mine[k] != table[k] + 1) return false;
    return true;
}

std::string Concat(const SortedList& cards) {
    std::string text;
    for (const auto& code : cards) text += code;
    return text;
}

class Driver;

// No screen at all, except for what the tool must notice: each card drawn,
// a refusal (which a computer seat's legal choice never meets) and the
// next-game question that ends a game.
class DriverView : public NullView {
  public:
    explicit DriverView(Driver& driver) : driver_(driver) {}
    void ShowStockCount(int count) override;
    void InfoBox(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;

  private:
    Driver& driver_;
};

class Driver {
  public:
    Driver(const Config& config, const Sink& sink, const SeedOf& seedOf)
        : config_(config),
          sink_(sink),
          seedOf_(seedOf),
          view_(*this),
          engine_(table_, session_, options_, view_, outbox_, random_) {}

    Result Run() {
        options_.animation = false;
        options_.sound = false;
        options_.SetLevel(std::clamp(config_.level, 0, 2));
        engine_.autoPlay = true;
        engine_.beforeDecision = [this](int seat, bool lead) { Before(seat, lead); };
        engine_.afterDecision = [this](int seat, bool lead) { After(seat, lead); };
        result_.checksum = kFnvOffset;
        if (config_.games <= 0) return result_;
        engine_.NewGame();
        StartGame(1);
        engine_.Deal();
        while (!stopped_ && result_.games < config_.games) {
            decided_ = false;
            won_ = false;
            engine_.Tick();
            if (!stopped_) AfterTick();
        }
        result_.ok = !stopped_;
        for (int i = 0; i < 4; ++i) {
            result_.wins[i] = engine_.scores().won[i];
            result_.lost[i] = engine_.scores().lost[i];
        }
        return result_;
    }

    void OnStock(int count) {
        if (stopped_) return;
        if (table_.DrawnCard.empty()) {  // a new game's full stock
            stock_ = count;
            return;
        }
        Card card;
        const int seat = ParseCard(table_.DrawnCard, card) ? table_.Location(card) : -1;
        if (seat < 0 || seat > 3 || count != stock_ - 1 || table_.lstCardsBox.Contains(table_.DrawnCard))
            return Fail("draw of " + table_.DrawnCard + " does not add up");
        stock_ = count;
        ++result_.draws;
        if (sink_)
            Emit(record::Line("draw")
                     .Add("seat", seat)
                     .Add("index", table_.DrawIndex)
                     .Add("card", table_.DrawnCard)
                     .Add("stock", count));
    }

    bool OnGameWon() {
        if (stopped_) return false;
        won_ = true;
        const int winner = table_.TheLastThrower;
        if (winner != seat_ || sizes_[winner] != 0) {
            Fail("seat " + std::to_string(winner) + " won without emptying its hand");
            return false;
        }
        const ScoreBoard& now = engine_.scores();
        for (int i = 0; i < 4; ++i) {
            if (now.lost[i] - scores_.lost[i] != sizes_[i]) {
                Fail("seat " + std::to_string(i) + " lost " + std::to_string(now.lost[i] - scores_.lost[i]) +
                     " points holding " + std::to_string(sizes_[i]) + " cards");
                return false;
            }
            if (now.won[i] - scores_.won[i] != (i == winner ? 1 : 0)) {
                Fail("games won of seat " + std::to_string(i) + " do not add up");
                return false;
            }
        }
        scores_ = now;
        Hash(result_.checksum, 'W');
        Hash(result_.checksum, char('0' + winner));
        ++result_.games;
        int sum = 0;
        for (int w : now.won) sum += w;
        if (sum != result_.games) {
            Fail("games won add up to " + std::to_string(sum) + " after " + std::to_string(result_.games));
            return false;
        }
        if (sink_)
            Emit(
                record::Line("won").Add("winner", winner).AddInts("lost", now.lost).AddInts("wins", now.won));
        if (stopped_ || result_.games >= config_.games) return false;
        StartGame(result_.games + 1);
        return !stopped_;
    }

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
        if (sink_)
            Emit(record::Line("game")
                     .Add("game", game)
                     .Add("seed", seed)
                     .Add("level", options_.levelItem)
                     .Add("leader", table_.TheLastThrower));
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
        std::vector<std::string> played;
        for (int suit = 0; suit < kSuits; ++suit)
            for (int number = 1; number <= kNumbers; ++number)
                if (table_.CardLocation[suit][number - 1] == kPlayedLocation)
                    played.push_back(CardCode(suit, number));
        std::array<int, 4> sizes{};
        for (int i = 0; i < 4; ++i) sizes[i] = table_.HandSize(i);
        move_.emplace("move");
        move_->Add("seat", seat)
            .Add("lead", lead)
            .AddStrings("hand", hand_)
            .Add("table", table_.TablePlay)
            .Add("type", table_.PlayType)
            .Add("pass", table_.PassCount)
            .Add("stockEmpty", table_.StockEmpty)
            .Add("lastThrower", table_.TheLastThrower)
            .AddInts("sizes", sizes)
            .AddInts("singleRun", table_.SingleRun)
            .AddStrings("played", played);
    }

    void After(int seat, bool lead) {
        if (stopped_) return;
        ++movesThisGame_;
        ++result_.moves;
        const SortedList& chosen = table_.lstSelected;
        const SortedList& hand = table_.lstDirection[seat];
        const std::string who = "seat " + std::to_string(seat);
        if (seat != seat_ || lead != lead_) return Fail("decision hooks out of step");
        if (lead != tableBefore_.empty())
            return Fail(who + (lead ? " leads onto a play" : " follows an empty table"));
        bool fromHand = hand.Count() + chosen.Count() == hand_.Count();
        for (const auto& code : chosen) fromHand = fromHand && hand_.Contains(code) && !hand.Contains(code);
        if (!fromHand) return Fail(who + " chose cards that are not its own");
        const std::string shown = Concat(chosen);
        if (chosen.Empty()) {
            if (lead) return Fail(who + " passed when it had to lead");
        } else {
            const std::vector<int> mine = Numbers(chosen);
            if (!PlayableShape(mine)) return Fail(who + " chose no playable shape: " + shown);
            if (BreaksTwos(mine)) return Fail(who + " played a 2 with other cards: " + shown);
            if (!lead && !Beats(mine, Numbers(tableBefore_)))
                return Fail(who + " played " + shown + ", which does not beat " + tableBefore_);
            ++result_.plays;
        }
        played_ = shown;
        for (int i = 0; i < 4; ++i) sizes_[i] = table_.HandSize(i);
        Hash(result_.checksum, char('0' + seat));
        Hash(result_.checksum, chosen.Empty() ? 'P' : 'M');
        Hash(result_.checksum, chosen.Empty() ? tableBefore_ : shown);
        Hash(result_.checksum, ';');
        if (sink_) {
            std::vector<std::string> draws;
            for (double r : random_.taken) draws.push_back(record::DrawText(r));
            move_->AddNumberTexts("draws", draws).AddStrings("chosen", chosen);
            Emit(*move_);
            move_.reset();
        }
    }

    void AfterTick() {
        if (!decided_) return Fail("a tick made no decision");
        if (++ticks_ > kTickLimit) return Fail("the game does not end");
        if (!won_) {
            const Table& t = table_;
            bool applied = t.CurrentSeat == (seat_ + 1) % 4 && t.lstSelected.Empty();
            if (played_.empty())
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
    Table table_;
    Session session_;
    Options options_;
    DriverView view_;
    NullOutbox outbox_;
    RecordingRandom random_;
    Engine engine_;

    Result result_;
    bool stopped_ = false;
    int game_ = 0, ticks_ = 0, movesThisGame_ = 0, stock_ = 0;
    ScoreBoard scores_;

    // The decision of the running tick.
    bool decided_ = false, won_ = false;
    int seat_ = -1;
    bool lead_ = false;
    SortedList hand_;
    std::string tableBefore_, played_;
    int passBefore_ = 0;
    std::array<int, 4> sizes_{};
    std::optional<record::Line> move_;
};

void DriverView::ShowStockCount(int count) {
    driver_.OnStock(count);
}
void DriverView::InfoBox(const std::string& text) {
    driver_.Fail("the engine refused a move: " + text);
}
bool DriverView::AskYesNo(const std::string&) {
    return driver_.OnGameWon();
}

}  // namespace

std::uint64_t GameSeed(std::uint64_t runSeed, int game) {
    // splitmix64 of the run seed stepped game times: neighbouring run seeds
    // and neighbouring games get unrelated streams.
    std::uint64_t z = runSeed + 0x9E3779B97F4A7C15ull * std::uint64_t(game);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

Result Run(const Config& config, const Sink& sink, const SeedOf& seedOf) {
    return Driver(config, sink, seedOf).Run();
}

Result Replay(std::istream& in) {
    Result failed;
    failed.ok = false;
    std::vector<record::Object> lines;
    std::vector<int> lineNumbers;
    std::vector<std::uint64_t> seeds;
    int level = -1;
    std::string text, error;
    for (int number = 1; std::getline(in, text); ++number) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (text.empty()) continue;
        record::Object object;
        if (!record::ParseLine(text, object, error)) {
            failed.error = "line " + std::to_string(number) + ": " + error;
            return failed;
        }
        const record::Value* ev = record::Find(object, "ev");
        if (ev && ev->text == "game") {
            const record::Value* seed = record::Find(object, "seed");
            const record::Value* lv = record::Find(object, "level");
            if (!seed || !lv || seed->kind != record::Value::Kind::Number ||
                lv->kind != record::Value::Kind::Number) {
                failed.error = "line " + std::to_string(number) + ": a game without a seed or level";
                return failed;
            }
            try {
                seeds.push_back(std::stoull(seed->text));
                if (level < 0) level = std::stoi(lv->text);
            } catch (...) {
                failed.error = "line " + std::to_string(number) + ": seed or level is not a number";
                return failed;
            }
        }
        lines.push_back(std::move(object));
        lineNumbers.push_back(number);
    }
    if (seeds.empty()) {
        failed.error = "the record holds no game";
        return failed;
    }

    size_t next = 0;
    std::string difference;
    const Sink compare = [&](const std::string& produced) {
        if (next >= lines.size()) {
            difference = "the replay goes on past the record's last line: " + produced;
            return false;
        }
        record::Object actual;
        std::string parseError;
        record::ParseLine(produced, actual, parseError);
        const record::Value* ev = record::Find(lines[next], "ev");
        const std::string diff = record::FirstDifference(lines[next], actual);
        if (!diff.empty()) {
            difference = "line " + std::to_string(lineNumbers[next]) + " (" + (ev ? ev->text : "?") +
                         " event) differs: " + diff;
            return false;
        }
        ++next;
        return true;
    };
    const SeedOf seedOf = [&](int game) { return seeds[size_t(game - 1)]; };
    Config config;
    config.games = int(seeds.size());
    config.level = level;
    Result result = Run(config, compare, seedOf);
    if (!difference.empty()) {
        result.ok = false;
        result.error = difference;
    } else if (result.ok && next < lines.size()) {
        result.ok = false;
        result.error =
            "line " + std::to_string(lineNumbers[next]) + ": the record goes on after the replay ends";
    }
    return result;
}

}  // namespace vorn::selfplay
