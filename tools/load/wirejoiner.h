#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "cards/gamestate.h"
#include "cards/random.h"

namespace vorn::load {

// A joiner of the first version of the wire without a window: it keeps its own
// copy of the table from the host's messages ("[Snatch Card]" draws by stock
// position, "[Turn]", "[Throw]", "[Game Over]"), checks every move the host
// relays against the referee, and decides its own moves with the rules'
// computer player. No sockets and no clock: the caller feeds it whole messages
// and sends what it answers.
class WireJoiner {
  public:
    WireJoiner(std::string name, std::uint64_t seed);

    // What one message from the host brought about.
    enum class Heard {
        Nothing,     // a message this joiner has no use for
        Seated,      // "[Seat]N": answer with JoinedText()
        TurnedAway,  // "[Seat]4" or more: the table had no room
        Prepared,    // "[Prepare]": the four seats' names are known
        Draw,
        Turn,      // somebody is to move; MyTurn() says whether it is this seat
        Moved,     // another seat's move, applied; Mover() names it
        GameOver,  // the game ended; the next one starts with a fresh stock
        Fault      // the host's word did not fit this table: Fault() says how
    };
    Heard Hear(std::string_view message);

    std::string JoinedText() const;
    // This seat is to move now.
    bool MyTurn() const;
    // Decides this seat's move, carries it out on the copy and returns its
    // "[Throw]", or an empty text (with a fault) should the referee refuse it.
    std::string Move();

    const std::string& Name() const { return name_; }
    int Seat() const { return seat_; }
    // The names of the seats from the last "[Prepare]".
    const std::array<std::string, 4>& Names() const { return names_; }
    // The seat of the last move heard.
    int Mover() const { return mover_; }
    const std::string& Fault() const { return fault_; }
    const GameState& Table() const { return table_; }

  private:
    Heard Snatch(std::string_view body);
    Heard Turn(std::string_view body);
    Heard Throw(std::string_view body);
    Heard Fail(std::string why);

    std::string name_;
    SeededRandom random_;
    GameState table_;
    std::array<std::string, 4> names_;
    int seat_ = 0;
    int mover_ = -1;
    bool dealt_ = false;  // the draws of this game have begun
    bool myTurn_ = false;
    std::string fault_;
};

}  // namespace vorn::load
