#pragma once

#include <cstdint>
#include <vector>

#include "ai/observation.h"
#include "ai/playout.h"
#include "cards/gamestate.h"
#include "cards/options.h"
#include "cards/random.h"

namespace vorn {

struct ExpertSettings {
    int playouts = 2400;  // games played out per decision, shared among the candidates
    std::uint64_t seed = 0x6a09e667f3bcc908ull;
    // How the rules' players of the playouts gamble: the other seats, and
    // the searching seat's own later moves (measured against three High
    // seats: its own at the High level's rate won more than at the middle one).
    float gambleRate = kGambleRates[1];
    float ownGambleRate = kGambleRates[0];
    // Near the end of a playout (the stock empty, at most this many cards in
    // its hand) the searching seat's own moves are searched one ply: each of
    // its candidates played out twice by the rules, the best taken.
    int lookahead = 4;
    // While the stock lasts, its own later follows beat wherever the hand
    // can (PlayoutSeats::beats), and so do those of the seats known to
    // search, which play at ownGambleRate too. Measured against three High
    // seats, 2,000 games of each of two seeds: 46.9% and 46.2% of the games
    // won against 44.4% and 44.5% without, and fewer points lost.
    bool ownBeats = true;
    // What a won playout is worth, in points, beyond the points it did not
    // lose: going out first also leads the next game, so a sure small loss is
    // worth less than a fair chance of winning (measured: 0 wins 29% of the
    // games against three High seats, 3 wins 39%, 8 wins 46%, each losing
    // fewer points than the last).
    int winWeight = 8;
    // Once the stock is empty the search rates a pass too well: rated again
    // on the true hands, a late pass came out about a third of a point a game
    // worse than the sampled deals said, while no other kind of move leaned.
    // So a late pass is charged that much more (the oracle, which plays on
    // the true hands, is not). Measured against three High seats, 2,000 games
    // of each of four seeds: 46.5% of the games won against 45.5% without,
    // 2.17 points lost a game against 2.24, better on every seed.
    double latePassCharge = 0.35;
    // The seat's own later moves in the playouts from a tree over them, shared
    // by the playouts of the search (OwnTree in expert.cpp): a decision met
    // this often is searched, with this weight on trying its seldom-tried
    // moves; 0 visits: no tree. Measured against three High seats, 2,000
    // paired games (--rotate-leaders) of each of two seeds: 47.1% and 47.8% of
    // the games won against 43.9% and 44.3% without, at 0.13 to 0.17 more
    // points lost a game; a weight of 1.5 won less (45.6%), a decision first
    // searched at 16 visits too (46.6%).
    int treeVisits = 8;
    double treeExplore = 3.0;
    // For measuring only (self-play's oracle level, never the game): the
    // true table, played out instead of deals sampled from what the seat sees.
    const GameState* truth = nullptr;
    // Successive halving: the budget is spent in rounds, and after each the
    // worse half of the candidates drops out, so that the two best are told
    // apart on the most playouts; off, every candidate has an even share.
    bool halving = true;
    // Play out a lone candidate too, so that its odds are known (the hint
    // shows them); a seat's own decision needs no playout for it.
    bool rateAlone = false;
};

// One candidate and what its playouts gave.
struct ExpertMove {
    CardSet play;   // empty: pass
    long lost = 0;  // points the seat lost, summed over the playouts
    int wins = 0;   // playouts the seat won
    int playouts = 0;
    double costSquares = 0;  // the squares of each playout's cost, for its noise
    double charge = 0;       // points added to every playout's cost (ExpertSettings::latePassCharge)
    double MeanLost() const { return playouts > 0 ? double(lost) / playouts : 0.0; }
    double WinShare() const { return playouts > 0 ? double(wins) / playouts : 0.0; }
    // The cost the search ranks by, per playout: lost points less the win
    // weight per win, and the charge.
    double MeanCost(int winWeight) const {
        return playouts > 0 ? double(lost - long(winWeight) * wins) / playouts + charge : 0.0;
    }
    // The standard error of MeanCost.
    double CostError(int winWeight) const;
    void Add(int lostPoints, bool won, int winWeight) {
        lost += lostPoints;
        wins += won ? 1 : 0;
        ++playouts;
        const double cost = lostPoints - (won ? winWeight : 0);
        costSquares += cost * cost;
    }
};

// The moves worth trying: on a play to beat, the same shape one rank higher,
// the 2s where they may beat it, and the pass; when leading, each distinct
// shape the hand can lay (suits never matter to the rules, so one of each).
std::vector<CardSet> ExpertCandidates(const Observation& seen);

// Determinized search: the unseen cards are dealt at random to the other hands
// (their sizes are known) and the stock, and every candidate is played out to
// the end of the game with the rules' player in every seat, each candidate on
// the same deals. Best first: fewest lost points less winWeight for each win
// (and a late pass's charge), then most wins.
// Deterministic: the same observation and settings give the same ranking.
std::vector<ExpertMove> RankMoves(const Observation& seen, const ExpertSettings& settings = {});

// The deals a search plays out: count of them, the unseen cards dealt to the
// other hands and the stock in proportion to how likely each deal makes what
// the other seats did this game (their plays, and above all their passes),
// as the rules' player at the level each is known to play at would have
// done (a middle level, and a miss counted for less, when it is not known or the
// seat searches too).
// Deals are drawn at random and kept by their weight; when few would carry
// it all, the weights are flattened. Without such moves, plain random deals.
std::vector<GameState> SampleDeals(const Observation& seen, int count, SearchRandom& random);

// The two moves' costs lie within the noise of their estimates (two
// standard errors of the difference): the search cannot tell them apart.
bool TooClose(const ExpertMove& a, const ExpertMove& b, int winWeight = ExpertSettings{}.winWeight);

// The best of RankMoves.
CardSet ExpertChoice(const Observation& seen, const ExpertSettings& settings = {});

}  // namespace vorn
