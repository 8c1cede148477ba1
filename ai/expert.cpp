#include "ai/expert.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "cards/referee.h"
#include "cards/rules.h"

namespace vorn {

namespace {

// More candidates than this on a lead are cut, the longest shapes kept last.
constexpr size_t kMostLeads = 24;

// `count` cards of number, the highest suits first.
CardSet TakeNumber(CardSet hand, int number, int count) {
    CardSet of = hand & kOfNumber[number], taken;
    for (int k = 0; k < count && !of.Empty(); ++k) {
        const Card top = of.Last();
        of.Remove(top);
        taken.Add(top);
    }
    return taken;
}

bool Legal(const Observation& seen, CardSet play) {
    GameState table;
    table.CurrentSeat = seen.seat;
    table.lstDirection[seen.seat] = seen.hand;
    table.TablePlay = seen.tablePlay;
    table.PlayType = seen.playType;
    table.MustLead = seen.Leads();
    return Judge(table, seen.seat, play) == Refusal::Ok;
}

void AddOnce(std::vector<CardSet>& out, CardSet play) {
    if (std::find(out.begin(), out.end(), play) == out.end()) out.push_back(play);
}

// Every run of `width` copies of consecutive numbers below the 2, `least`
// numbers long or more, that the counts allow.
void AddRuns(const NumberCounts& counts, CardSet hand, int width, int least, std::vector<CardSet>& out) {
    for (int first = 1; first < kTwo; ++first)
        for (int last = first; last < kTwo && counts.of[last] >= width; ++last) {
            if (last - first + 1 < least) continue;
            CardSet run;
            for (int n = first; n <= last; ++n) run |= TakeNumber(hand, n, width);
            out.push_back(run);
        }
}

void DealUnseen(const Observation& seen, SearchRandom& random, GameState& state) {
    std::array<Card, kDeckSize> unseen;
    int count = 0;
    for (const Card c : seen.Unseen()) unseen[count++] = c;
    for (int k = count - 1; k > 0; --k)
        std::swap(unseen[k], unseen[int(random.Next() % std::uint64_t(k + 1))]);
    int next = 0;
    for (int s = 0; s < 4; ++s) {
        if (s == seen.seat) continue;
        for (int k = 0; k < seen.handSizes[s] && next < count; ++k) {
            state.lstDirection[s].Add(unseen[next]);
            state.Location(unseen[next++]) = std::int8_t(s);
        }
    }
    for (; next < count; ++next) {
        state.lstCardsBox.Add(unseen[next]);
        state.Location(unseen[next]) = kStockLocation;
    }
}

// The table as the seat sees it, the hidden cards dealt by the sample's generator.
GameState Determinize(const Observation& seen, SearchRandom& random) {
    GameState state;
    for (int i = 0; i < kDeckSize; ++i) state.Location(Card::FromIndex(i)) = kPlayedLocation;
    state.lstDirection[seen.seat] = seen.hand;
    for (const Card c : seen.hand) state.Location(c) = std::int8_t(seen.seat);
    DealUnseen(seen, random, state);
    TakeCounters(seen, state);
    state.CurrentSeat = seen.seat;
    return state;
}

// The true table as the search starts from it: the seat's chosen cards back
// in its hand, the seat to move.
GameState AsDealt(GameState truth, int seat) {
    truth.lstDirection[seat] |= truth.lstSelected;
    truth.lstSelected.Clear();
    truth.CurrentSeat = seat;
    return truth;
}

// ---- Reading the other seats' moves.

// How much less likely a deal grows for each decision of a seat that the
// rules' player would not have made on the hand the deal gives it: for a
// seat known to play by the rules, and for one whose way is not known.
constexpr double kRulesMissLog = -3.0;    // about 1 in 20
constexpr double kUnknownMissLog = -1.2;  // about 1 in 3
// Deals drawn for every one played out, when the others' moves say something.
constexpr int kDealsPerSample = 4;
constexpr int kMostDealsDrawn = 2400;

// The table seat decided on, with the hand a deal gives it; the other hands
// only count their cards, and of the played cards only the 2s matter.
GameState DecisionTable(const SeenMove& m, CardSet hand) {
    GameState g;
    for (int s = 0; s < 4; ++s) {
        g.lstDirection[s] = CardSet::FromBits((std::uint64_t(1) << m.handSizes[s]) - 1);
        g.SingleRun[s] = m.singleRun[s];
    }
    g.lstDirection[m.seat] = hand;
    const CardSet playedTwos = m.played & kTwos;
    for (const Card two : playedTwos) g.Location(two) = kPlayedLocation;
    g.TablePlay = m.lead ? CardSet{} : m.tablePlay;
    g.PlayType = m.playType;
    g.StockEmpty = m.stockEmpty;
    g.MustLead = m.lead;
    g.TheLastThrower = m.lastThrower;
    g.PassCount = m.passCount;
    g.CurrentSeat = m.seat;
    return g;
}

// The logarithm of how likely the seat's decision is on that hand, by the
// rules' player at the seat's level; a seat that searches as the rules would
// play its own later moves in a search's playouts (its gamble rate, beating
// while the stock lasts), one not known by the middle level. The rules
// foretell a person or a search only roughly, so a miss of theirs counts for
// less. Asked twice, the gambles drawn afresh, before it counts as a miss.
double DecisionOdds(const SeenMove& m, CardSet hand, int player, SearchRandom& random) {
    constexpr ExpertSettings kSearcher{};
    const bool known = player >= 0 && player < kSearchPlayer;
    const bool searches = player == kSearchPlayer;
    const float rate = known ? kGambleRates[player] : searches ? kSearcher.ownGambleRate : kGambleRates[1];
    for (int attempt = 0; attempt < 2; ++attempt) {
        GameState g = DecisionTable(m, hand);
        if (searches && kSearcher.ownBeats)
            BeatingDecision(g, m.seat, m.lead, rate, random);
        else
            RulesDecision(g, m.seat, m.lead, rate, random);
        if (g.lstSelected == m.cards) return attempt == 0 ? 0.0 : -0.7;
    }
    return known ? kRulesMissLog : kUnknownMissLog;
}

// How likely a deal makes everything the other seats did this game, as a
// logarithm. The history is read backwards from the deal's hands, a play
// giving its cards back to the hand. A draw since a decision leaves the hand
// then unknown by a card the deal does not name: the hand is read with it,
// and a miss there counts for less (after two draws, not at all).
double DealOdds(const Observation& seen, const GameState& deal, SearchRandom& random) {
    std::array<CardSet, 4> hands = deal.lstDirection;
    std::array<int, 4> drawsSince{};
    double odds = 0.0;
    for (size_t i = seen.history.size(); i-- > 0;) {
        const SeenMove& m = seen.history[i];
        const size_t s = size_t(m.seat);
        if (int(s) == seen.seat) continue;
        if (m.draw) {
            ++drawsSince[s];
            continue;
        }
        hands[s] |= m.cards;
        if (drawsSince[s] > 1) continue;
        odds += DecisionOdds(m, hands[s], seen.players[s], random) / (1 + 2 * drawsSince[s]);
    }
    return odds;
}

// Something the others did can be read: a decision by another seat.
bool HasEvidence(const Observation& seen) {
    for (const SeenMove& m : seen.history)
        if (!m.draw && m.seat != seen.seat) return true;
    return false;
}

}  // namespace

std::vector<GameState> SampleDeals(const Observation& seen, int count, SearchRandom& random) {
    std::vector<GameState> deals;
    if (count <= 0) return deals;
    deals.reserve(size_t(count));
    if (!HasEvidence(seen)) {
        for (int k = 0; k < count; ++k) {
            SearchRandom dealer(random.Next());
            deals.push_back(Determinize(seen, dealer));
        }
        return deals;
    }
    const int drawn = std::max(count, std::min(kMostDealsDrawn, count * kDealsPerSample));
    std::vector<GameState> pool;
    std::vector<double> odds;
    pool.reserve(size_t(drawn));
    odds.reserve(size_t(drawn));
    for (int k = 0; k < drawn; ++k) {
        SearchRandom dealer(random.Next());
        pool.push_back(Determinize(seen, dealer));
        odds.push_back(DealOdds(seen, pool.back(), dealer));
    }
    // Weights from the odds; when few deals would carry nearly all of the
    // weight, the odds are flattened (halved, as often as needed) so that the
    // search does not stake everything on a handful of deals.
    const double best = *std::max_element(odds.begin(), odds.end());
    std::vector<double> weights(odds.size());
    for (double flatten = 1.0; flatten > 0.1; flatten /= 2) {
        double sum = 0, squares = 0;
        for (size_t k = 0; k < odds.size(); ++k) {
            weights[k] = std::exp((odds[k] - best) * flatten);
            sum += weights[k];
            squares += weights[k] * weights[k];
        }
        if (sum * sum / squares >= count / 8.0) break;
    }
    // Systematic resampling: count deals in proportion to their weights.
    double total = 0;
    for (const double w : weights) total += w;
    const double step = total / count;
    double at = random.Uniform() * step, reached = 0;
    for (size_t k = 0; k < pool.size() && int(deals.size()) < count; ++k) {
        reached += weights[k];
        while (at < reached && int(deals.size()) < count) {
            deals.push_back(pool[k]);
            at += step;
        }
    }
    while (int(deals.size()) < count) deals.push_back(pool.back());
    return deals;
}

std::vector<CardSet> ExpertCandidates(const Observation& seen) {
    std::vector<CardSet> out;
    const CardSet hand = seen.hand;
    if (hand.Empty()) return out;
    if (!seen.Leads()) {
        // A single A's next number is the 2, which the 2s below offer.
        const CardSet higher = NextHigher(hand, seen.tablePlay);
        if (!higher.Empty() && Legal(seen, higher)) AddOnce(out, higher);
        const CardSet twos = TakeNumber(hand, kTwo, seen.tablePlay.Count());
        if (twos.Count() == seen.tablePlay.Count() && Legal(seen, twos)) AddOnce(out, twos);
        out.emplace_back();
        return out;
    }
    const NumberCounts counts = CountNumbers(hand);
    std::vector<CardSet> small, large;
    for (int n = 1; n <= kNumbers; ++n)
        for (int size = 1; size <= counts.of[n]; ++size) small.push_back(TakeNumber(hand, n, size));
    AddRuns(counts, hand, 1, 3, large);
    for (int width = 2; width <= 4; ++width) AddRuns(counts, hand, width, 2, large);
    // Long shapes shed the most cards at once: they go first among the runs.
    std::stable_sort(large.begin(), large.end(), [](CardSet a, CardSet b) { return a.Count() > b.Count(); });
    for (const CardSet play : small)
        if (Legal(seen, play)) AddOnce(out, play);
    for (const CardSet play : large)
        if (out.size() < kMostLeads && Legal(seen, play)) AddOnce(out, play);
    return out;
}

namespace {

// What the seat's candidates read of a playout's table: only the hand and
// the play to beat, no need to observe the whole table.
Observation OwnView(const GameState& t, int me) {
    Observation own;
    own.seat = me;
    own.hand = t.lstDirection[size_t(me)];
    own.tablePlay = t.TablePlay;
    own.playType = t.PlayType;
    own.mustLead = t.MustLead;
    return own;
}

// The searching seat's own move late in a playout: each candidate played out
// twice more by the rules (the same two streams for all), the one that lost
// least, wins weighted as in the search, taken.
CardSet OwnMove(const GameState& t, const PlayoutSeats& seats, SearchRandom& random) {
    constexpr int kTries = 2;
    constexpr long kWinWeight = ExpertSettings{}.winWeight;
    const std::vector<CardSet> candidates = ExpertCandidates(OwnView(t, seats.me));
    std::array<std::uint64_t, kTries> streams{};
    for (std::uint64_t& stream : streams) stream = random.Next();
    PlayoutSeats plain = seats;
    plain.ownMove = nullptr;
    plain.tree = nullptr;
    CardSet best;
    long bestCost = 0;
    for (size_t k = 0; k < candidates.size(); ++k) {
        long cost = 0;
        for (const std::uint64_t stream : streams) {
            GameState c = t;
            SearchRandom tries(stream);
            int lost = 0;
            if (!Apply(c, Move{seats.me, candidates[k]}).handEmpty) lost = PlayOut(c, plain, tries).lost;
            cost += lost - (lost == 0 ? kWinWeight : 0);
        }
        if (k == 0 || cost < bestCost) {
            best = candidates[k];
            bestCost = cost;
        }
    }
    return best;
}

}  // namespace

// The searching seat's own decisions in the playouts of one search, each as
// the seat could know it (its hand, the table, the cards out of play, the
// hand sizes and turn counters: the same for every deal that reaches it),
// with what each of its moves there has cost so far. Until a decision has
// been met often enough its moves are the unsearched ones; then each move
// is tried once and the best by its mean cost, less a bonus for moves tried
// seldom (UCB1), is taken. So the seat's later moves in a playout are those
// that have done best for it across the deals, not the rules' alone.
struct OwnTree {
    struct Entry {
        CardSet move;
        int tries = 0;
        double cost = 0;
    };
    // A decision's moves are entries[first, first + count), with room for
    // more before the block has to move to the end.
    struct Node {
        std::uint32_t first = 0;
        std::uint32_t count = 0;
        std::uint32_t room = 0;
        int met = 0;
    };
    std::vector<Node> nodes;
    std::vector<Entry> entries;
    // Open addressing over nodes, by key: node is the index of a node plus
    // one, 0 for an empty slot.
    struct Slot {
        std::uint64_t key = 0;
        std::uint32_t node = 0;
    };
    std::vector<Slot> slots;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> path;  // this playout's decisions: node, move
    int visits = 0;
    double explore = 0;

    // The node of key, made (with no moves yet) when new.
    std::uint32_t Find(std::uint64_t key) {
        if ((nodes.size() + 1) * 2 > slots.size()) Grow();
        const size_t mask = slots.size() - 1;
        for (size_t at = size_t(key) & mask;; at = (at + 1) & mask) {
            Slot& slot = slots[at];
            if (slot.node == 0) {
                nodes.emplace_back();
                slot = {key, std::uint32_t(nodes.size())};
                return slot.node - 1;
            }
            if (slot.key == key) return slot.node - 1;
        }
    }
    void Grow() {
        std::vector<Slot> old(std::max<size_t>(1024, slots.size() * 2));
        old.swap(slots);
        const size_t mask = slots.size() - 1;
        for (const Slot& slot : old) {
            if (slot.node == 0) continue;
            size_t at = size_t(slot.key) & mask;
            while (slots[at].node != 0) at = (at + 1) & mask;
            slots[at] = slot;
        }
    }
    // A new decision's moves, with room for two more.
    void Open(Node& node, const std::vector<CardSet>& moves) {
        node.first = std::uint32_t(entries.size());
        node.count = std::uint32_t(moves.size());
        node.room = node.count + 2;
        entries.resize(entries.size() + node.room);
        for (std::uint32_t k = 0; k < node.count; ++k) entries[node.first + k].move = moves[k];
    }
    void Append(Node& node, CardSet move) {
        if (node.count == node.room) {
            const auto moved = std::uint32_t(entries.size());
            node.room *= 2;
            entries.resize(entries.size() + node.room);
            std::copy_n(entries.begin() + node.first, node.count, entries.begin() + moved);
            node.first = moved;
        }
        entries[node.first + node.count++] = {move};
    }
};

namespace {

std::uint64_t Mix(std::uint64_t h, std::uint64_t v) {
    h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
    return h * 0xff51afd7ed558ccdull;
}

std::uint64_t DecisionKey(const GameState& t, int me) {
    CardSet inPlay = t.lstCardsBox;
    for (const CardSet& hand : t.lstDirection) inPlay |= hand;
    std::uint64_t key = Mix(t.lstDirection[size_t(me)].Bits(), t.TablePlay.Bits());
    key = Mix(key, inPlay.Bits());
    for (int s = 0; s < 4; ++s) key = Mix(key, std::uint64_t(t.HandSize(s)));
    return Mix(key, std::uint64_t(t.MustLead) | std::uint64_t(t.PassCount) << 1 |
                        std::uint64_t(t.TheLastThrower) << 4);
}

bool SameNumbers(CardSet a, CardSet b) {
    if (a.Count() != b.Count()) return false;
    const NumberCounts x = CountNumbers(a), y = CountNumbers(b);
    return std::equal(std::begin(x.of), std::end(x.of), std::begin(y.of));
}

CardSet TreeMove(OwnTree& tree, const GameState& t, const PlayoutSeats& seats, SearchRandom& random) {
    const std::uint32_t at = tree.Find(DecisionKey(t, seats.me));
    if (tree.nodes[at].count == 0) {
        std::vector<CardSet> moves = ExpertCandidates(OwnView(t, seats.me));
        if (moves.empty()) moves.emplace_back();
        tree.Open(tree.nodes[at], moves);
    }
    OwnTree::Node& node = tree.nodes[at];
    if (node.count == 1) return tree.entries[node.first].move;
    std::uint32_t pick = node.count;
    if (node.met < tree.visits) {
        const CardSet unsearched = UnsearchedOwnMove(t, seats, random);
        for (std::uint32_t k = 0; k < node.count && pick == node.count; ++k)
            if (SameNumbers(tree.entries[node.first + k].move, unsearched)) pick = k;
        if (pick == node.count) tree.Append(node, unsearched);
    } else {
        const double logMet = std::log(double(node.met));
        double best = 0;
        for (std::uint32_t k = 0; k < node.count; ++k) {
            const OwnTree::Entry& e = tree.entries[node.first + k];
            if (e.tries == 0) {
                pick = k;
                break;
            }
            const double value = -e.cost / e.tries + tree.explore * std::sqrt(logMet / e.tries);
            if (pick == node.count || value > best) {
                pick = k;
                best = value;
            }
        }
    }
    tree.path.emplace_back(at, pick);
    return tree.entries[node.first + pick].move;
}

// What the playout just ended cost, to every decision of the tree on its way.
void Backup(OwnTree& tree, double cost) {
    for (const auto& [at, k] : tree.path) {
        OwnTree::Node& node = tree.nodes[at];
        OwnTree::Entry& e = tree.entries[node.first + k];
        ++e.tries;
        e.cost += cost;
        ++node.met;
    }
    tree.path.clear();
}

// The playouts of each round: an even share of the budget for every
// candidate still in the running. Halving, the worse half of the candidates
// drops out after each round, until two are left for the last.
std::vector<int> Schedule(size_t candidates, int playouts, bool halving) {
    int rounds = 1;
    if (halving)
        for (size_t n = candidates; n > 2; n = (n + 1) / 2) ++rounds;
    std::vector<int> schedule;
    for (size_t n = candidates; int(schedule.size()) < rounds; n = (n + 1) / 2)
        schedule.push_back(std::max(8, playouts / rounds / int(n)));
    return schedule;
}

// Fewer lost points less the win weight for each win, then more wins.
// Both have the same number of playouts: the sums compare exactly.
bool Better(const ExpertMove& a, const ExpertMove& b, long weight) {
    const double costA = double(a.lost - weight * a.wins) + a.charge * a.playouts;
    const double costB = double(b.lost - weight * b.wins) + b.charge * b.playouts;
    if (costA != costB) return costA < costB;
    return a.wins > b.wins;
}

void PlayCandidate(const GameState& deal, const PlayoutSeats& seats, std::uint64_t playSeed, long weight,
                   ExpertMove& move) {
    GameState t = deal;
    SearchRandom random(playSeed);
    int lost = 0;
    if (!Apply(t, Move{seats.me, move.play}).handEmpty) lost = PlayOut(t, seats, random).lost;
    move.Add(lost, lost == 0, int(weight));
    if (seats.tree) Backup(*seats.tree, double(lost - (lost == 0 ? weight : 0)));
}

// How the seats of the search's playouts play; the seat's own moves from
// tree when the settings grow one. A seat known to search plays as this one
// would without its search.
PlayoutSeats SearchSeats(const Observation& seen, const ExpertSettings& settings, OwnTree& tree) {
    const int me = seen.seat;
    PlayoutSeats seats;
    seats.me = me;
    for (size_t s = 0; s < 4; ++s) {
        const bool searches = int(s) == me || seen.players[s] == kSearchPlayer;
        seats.gambleRates[s] = searches ? settings.ownGambleRate : settings.gambleRate;
        seats.beats[s] = searches && settings.ownBeats;
    }
    seats.lookahead = settings.lookahead;
    seats.ownMove = OwnMove;
    if (settings.treeVisits > 0) {
        tree.visits = settings.treeVisits;
        tree.explore = settings.treeExplore;
        seats.tree = &tree;
        seats.treeMove = TreeMove;
    }
    return seats;
}

}  // namespace

std::vector<ExpertMove> RankMoves(const Observation& seen, const ExpertSettings& settings) {
    std::vector<ExpertMove> moves;
    std::vector<CardSet> candidates = ExpertCandidates(seen);
    if (candidates.empty()) return moves;
    SearchRandom root(seen.Hash() ^ settings.seed);
    // What the rules would lead from this hand belongs among the candidates
    // even when the cut left it out.
    if (seen.Leads()) {
        SearchRandom sampler(root.Next());
        GameState probe = Determinize(seen, sampler);
        RulesDecision(probe, seen.seat, true, settings.gambleRate, sampler);
        if (Legal(seen, probe.lstSelected)) AddOnce(candidates, probe.lstSelected);
    }
    for (const CardSet play : candidates) moves.push_back({play});
    if (!seen.Leads() && seen.stockEmpty && !settings.truth)
        for (ExpertMove& move : moves)
            if (move.play.Empty()) move.charge = settings.latePassCharge;
    if (moves.size() == 1 && !settings.rateAlone) return moves;

    const long weight = settings.winWeight;
    const std::vector<int> schedule = Schedule(moves.size(), settings.playouts, settings.halving);
    int samples = 0;
    for (const int round : schedule) samples += round;
    const std::vector<GameState> deals =
        settings.truth ? std::vector<GameState>(size_t(samples), AsDealt(*settings.truth, seen.seat))
                       : SampleDeals(seen, samples, root);
    OwnTree tree;
    const PlayoutSeats seats = SearchSeats(seen, settings, tree);
    // The candidates still in the running, and how many rounds each lasted.
    std::vector<size_t> alive(moves.size());
    for (size_t k = 0; k < alive.size(); ++k) alive[k] = k;
    std::vector<int> lasted(moves.size(), 0);
    auto better = [&moves, &lasted, weight](size_t a, size_t b) {
        if (lasted[a] != lasted[b]) return lasted[a] > lasted[b];
        return Better(moves[a], moves[b], weight);
    };
    size_t first = 0;
    for (size_t r = 0; r < schedule.size(); ++r) {
        for (int k = 0; k < schedule[r]; ++k) {
            // One deal and one stream of playout draws for every candidate alike,
            // so that they differ by the move and not by the luck of the deal.
            const GameState& deal = deals[first++];
            const std::uint64_t playSeed = root.Next();
            for (const size_t m : alive) PlayCandidate(deal, seats, playSeed, weight, moves[m]);
        }
        for (const size_t m : alive) lasted[m] = int(r);
        // The better half goes on to the next round.
        std::stable_sort(alive.begin(), alive.end(), better);
        alive.resize((alive.size() + 1) / 2);
    }
    std::vector<size_t> order(moves.size());
    for (size_t k = 0; k < order.size(); ++k) order[k] = k;
    std::stable_sort(order.begin(), order.end(), better);
    std::vector<ExpertMove> ranked;
    ranked.reserve(moves.size());
    for (const size_t k : order) ranked.push_back(moves[k]);
    return ranked;
}

double ExpertMove::CostError(int winWeight) const {
    if (playouts < 2) return 0.0;
    const double mean = MeanCost(winWeight) - charge;
    const double variance = std::max(0.0, costSquares / playouts - mean * mean);
    return std::sqrt(variance / playouts);
}

bool TooClose(const ExpertMove& a, const ExpertMove& b, int winWeight) {
    const double noise = 2.0 * std::hypot(a.CostError(winWeight), b.CostError(winWeight));
    return std::fabs(a.MeanCost(winWeight) - b.MeanCost(winWeight)) <= noise;
}

CardSet ExpertChoice(const Observation& seen, const ExpertSettings& settings) {
    const std::vector<ExpertMove> moves = RankMoves(seen, settings);
    return moves.empty() ? CardSet{} : moves.front().play;
}

}  // namespace vorn
