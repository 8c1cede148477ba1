#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "cards/tableclient.h"
#include "tests/support/headlesshost.h"

namespace vorn::fuzz {

// A screen that shows nothing and answers every Yes/No question the same way
// (the host's "next game?" after a win).
class QuietView : public NullClient {
  public:
    bool answer = false;
    void AskNextGame(const std::string&, std::function<void(bool)> reply) override { reply(answer); }
};

// One computer of a network game as the network layer sees it, for the fuzz
// targets: a real table, engine, send queue and dispatcher behind a NetHost
// whose links are all up until a message closes them. The table is dealt
// before any input arrives, so that moves can be tried against real hands.
//
// The person at this computer is played by the computer player: whenever the
// play button is up for the local seat, its choice is clicked through the
// engine as the person's own play. What the host does with its own seat then
// reaches the joiners' links just as a person's play would.
// Empty when a network table is sound between actions: no action running,
// every card in one place, nothing chosen, the seats in range, every queued
// message one of the protocol's (either version).
std::string CheckTable(const Engine& engine, const GameState& table, const Session& session,
                       const SendQueue& queue);

// The length of the piece of stream that arrives next, from at, by arrival
// byte d: d >> 2 bytes, or up to and including the next "\r\n" when that is 0.
inline std::size_t PieceLength(std::string_view stream, std::size_t at, std::uint8_t d) {
    if (d >> 2) return std::min<std::size_t>(d >> 2, stream.size() - at);
    const std::size_t end = stream.find("\r\n", at);
    return end == std::string_view::npos ? stream.size() - at : end + 2 - at;
}

class FuzzHost : public testing::HeadlessHost<QuietView> {
  public:
    struct Setup {
        bool host = true;
        int localSeat = 0;  // joiner: 1..3
        int leader = 0;     // who leads the first game
        bool nextGame = false;
        std::uint64_t seed = 1;
    };

    explicit FuzzHost(const Setup& setup);

    // Lets the local seat move while its play button is up. A host's own
    // choice is legal by construction, so a refusal there is a fault (false);
    // a joiner's table follows whatever the host sent, so a refused choice goes
    // back to the hand and the seat passes where it may, as a person would.
    bool PlayLocalTurns(std::string& problem);

    // Empty when the state between actions is sound: no action running, every
    // card in one place, nothing chosen, the work lists empty, every queued
    // message one of the protocol's.
    std::string CheckState() const;

  private:
    bool strict_ = true;
};

}  // namespace vorn::fuzz
