#pragma once

#include <array>
#include <string>

namespace vorn {

// How this computer takes part: a local game against the computer player, the
// host of a network game, or one of its joiners.
enum class Mode { Local, Host, Joiner };

// Program-wide values of one running table: the mode, whose seat is at this
// computer, the seat names and the network choices. One object per table,
// owned by whoever runs it, so that a test can run a host and three joiners
// in one process.
struct Session {
    Mode mode = Mode::Local;
    int LocalSeat = 0;
    std::array<std::string, 4> PlayerNames{"朱雀", "青龙", "玄武", "白虎"};  // untranslated: names
    std::string ServerAddress;
    int ServerPort = 0;
    int SlotCount = 0;
    // All four seats are taken: the host has sent "[Prepare]", or a joiner has had it.
    bool AllSeated = false;
    // The computer player plays these seats for a person whose link dropped
    // (on the host; a joiner reads them off the player list).
    std::array<bool, 4> StandIn{};
    // The host's choice: a dropped link ends the game for everybody, as it used to.
    bool EndOnDrop = false;
    // The host's choice: the computer player fills the seats no person holds
    // when the host deals, so the table need not wait for three joiners.
    bool FillSeats = false;
    // Before all are seated: the seats nobody holds yet (they read 空位).
    std::array<bool, 4> Vacant{};
    // The name this computer's person gave in the logon dialog.
    std::string OwnName;
    // The host: the version of the wire each seat's link speaks (0: no link
    // has said yet). A joiner: its host's, in HostWire.
    std::array<int, 4> Wire{};
    int HostWire = 0;
    // Seats whose person's link speaks only the first version, which must
    // be told every draw: their tables could know every hand.
    std::array<bool, 4> OldWire{};
    // The host's table password, or the one a joiner gives; empty for none.
    std::string Password;
    // The host's choice: seconds a person on the second version has for a
    // move before the computer makes it for them; 0 for no limit.
    int TurnLimit = 0;
    // A joiner: the token the host gave its seat, to take it back after a drop.
    std::string SeatToken;

    bool IsNet() const { return mode != Mode::Local; }
    bool IsHost() const { return mode == Mode::Host; }
    // The mode the logon dialog's two choices name: network or not, hosting or joining.
    static Mode ModeOf(bool net, bool host) { return !net ? Mode::Local : host ? Mode::Host : Mode::Joiner; }

    // Back to a local game: no network, the person at seat 0, no joiner seated.
    void ReturnToLocal() {
        mode = Mode::Local;
        LocalSeat = 0;
        SlotCount = 0;
        AllSeated = false;
        StandIn = {};
        Vacant = {};
        Wire = {};
        HostWire = 0;
        OldWire = {};
        SeatToken.clear();
    }
};

}  // namespace vorn
