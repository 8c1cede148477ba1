#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "cards/gamestate.h"
#include "cards/random.h"

namespace vorn::load {

// A joiner without a window: it keeps its own copy of the table from the
// host's messages ("[Snatch Card]" draws by stock position, "[Turn]",
// "[Throw]", "[Game Over]"), checks every move the host relays against the
// referee, and decides its own moves with the rules' computer player. No
// sockets and no clock: the caller feeds it whole messages and sends what it
// answers.
//
// One made for the second version picks a table at a server's lobby, answers
// the greeting, and plays a seat it is given in the middle of a hand: its
// copy starts from the "[Snapshot]", names only its own draws ("[Draw]"), and
// the cards it cannot see stand in for each other (game/shadow).
class WireJoiner {
  public:
    // second: speaks the second version, and picks the lobby's table number pick (from 0).
    WireJoiner(std::string name, std::uint64_t seed, bool second = false, int pick = 0);

    // What one message from the host brought about.
    enum class Heard {
        Nothing,     // a message this joiner has no use for
        Picked,      // the lobby listed its table: send PickText()
        Greeted,     // the host's "[Hello]": send GreetingText()
        Seated,      // "[Seat]N": answer with JoinedText() on the first version
        TurnedAway,  // "[Seat]4" or more, or "[Refused]": the table had no room
        Prepared,    // "[Prepare]": the four seats' names are known
        Draw,
        Turn,      // somebody is to move; MyTurn() says whether it is this seat
        Moved,     // another seat's move, applied; Mover() names it
        GameOver,  // the game ended; the next one starts with a fresh stock
        Fault      // the host's word did not fit this table: Fault() says how
    };
    Heard Hear(std::string_view message);

    std::string JoinedText() const;
    std::string PickText() const { return pickText_; }
    // The answer to the greeting, and the name.
    std::string GreetingText() const;
    bool Second() const { return second_; }
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
    Heard Draw(std::string_view body);
    Heard Snapshot(std::string_view body);
    Heard Seat(std::string_view message, std::string_view body);
    Heard Lobby(std::string_view body);
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
    bool second_ = false;
    bool greeted_ = false;
    int pick_ = 0;
    int listed_ = 0;  // tables listed since the lobby's last list began
    std::string pickText_;
    std::string fault_;
};

}  // namespace vorn::load
