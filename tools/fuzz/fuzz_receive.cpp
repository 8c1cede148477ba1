// Bytes from the network, cut into arbitrary arrivals, through the framer,
// the code page 936 decoder and the dispatcher of a dealt network table: the
// host's (VORN_FUZZ_HOST=1, links from slots 1..4) or a joiner's (the link to
// the host). After every message the table must still hold each card once,
// with nothing chosen and the work lists empty.
//
// Input: byte 0 sets the table up (bits 0-1 the first leader, bits 2-3 the
// joiner's seat, bit 4 the answer to "next game?", bits 5-7 the deal's seed);
// byte 1 & 15 is the number n of arrival bytes that follow. Arrival byte d
// sends the next piece on slot 1 + (d & 3) (the host's links), d >> 2 bytes
// long, or up to and including the next "\r\n" when d >> 2 is 0. The pieces
// cycle through the n arrival bytes; with n = 0 everything arrives at once on
// slot 1. All bytes after the arrival bytes are the link data.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "net/framer.h"
#include "net/socket/codec.h"
#include "tools/fuzz/fuzzhost.h"

#ifndef VORN_FUZZ_HOST
#error "VORN_FUZZ_HOST must be 1 (host side) or 0 (joiner side)"
#endif

namespace {

using vorn::fuzz::FuzzHost;

[[noreturn]] void Fail(const std::string& what, const std::string& message) {
    std::fprintf(stderr, "invariant broken after \"%s\": %s\n", message.c_str(), what.c_str());
    std::abort();
}

// With VORN_FUZZ_TRACE set in the environment, every message and the table
// after it are printed: a found input can be read back move by move.
bool Tracing() {
    static const bool on = std::getenv("VORN_FUZZ_TRACE") != nullptr;
    return on;
}

void Trace(FuzzHost& host, const std::string& message, int sourceSlot) {
    const vorn::GameState& t = host.table;
    std::fprintf(stderr, "%d> %s\n   seat %d to move%s, play \"%s\" by %d, %d passes, stock %d, queued %d\n",
                 sourceSlot, message.c_str(), t.CurrentSeat, t.MustLead ? " (lead)" : "",
                 vorn::Codes(t.TablePlay).c_str(), t.TheLastThrower, t.PassCount, t.lstCardsBox.Count(),
                 host.queue.Count());
    for (int seat = 0; seat < 4; ++seat) {
        const std::string hand = " " + vorn::Codes(t.lstDirection[seat], " ");
        std::fprintf(stderr, "   hand %d:%s\n", seat, hand.c_str());
    }
}

// Delivers one arrival on a link as the network game does: every complete
// message is decoded and handled, and a message that closed the link stops
// what followed it.
void Deliver(FuzzHost& host, vorn::Framer& framer, std::string_view bytes, int sourceSlot) {
    framer.Append(bytes);
    if (framer.TailSize() > vorn::Framer::kMaxTail) Fail("framer tail past its cap", "");
    std::string raw;
    while (framer.Pop(raw)) {
        const bool up = sourceSlot < 0 ? host.HostLinkConnected() : host.SlotConnected(sourceSlot);
        if (!up) return;
        const std::string message = vorn::FromCp936(raw);
        host.dispatcher.HandleMessage(message, sourceSlot);
        std::string problem = host.CheckState();
        if (problem.empty() && !host.PlayLocalTurns(problem)) Fail(problem, message);
        if (Tracing()) Trace(host, message, sourceSlot);
        if (problem.empty()) problem = host.CheckState();
        if (!problem.empty()) Fail(problem, message);
        // The send timer would take these one by one; only their form matters here.
        host.queue.Discard();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint8_t config = data[0];
    const std::size_t arrivals = data[1] & 15;
    if (size < 2 + arrivals) return 0;
    const std::uint8_t* pattern = data + 2;
    const std::string_view stream(reinterpret_cast<const char*>(data + 2 + arrivals), size - 2 - arrivals);

    FuzzHost::Setup setup;
    setup.host = VORN_FUZZ_HOST != 0;
    setup.leader = config & 3;
    setup.localSeat = setup.host ? 0 : 1 + ((config >> 2) & 3) % 3;
    setup.nextGame = (config >> 4) & 1;
    setup.seed = 1 + (config >> 5);
    FuzzHost host(setup);
    if (std::string problem = host.CheckState(); !problem.empty()) Fail(problem, "(the deal)");
    std::string problem;
    if (!host.PlayLocalTurns(problem)) Fail(problem, "(the deal)");

    // One framer per link, as each socket keeps its own tail.
    std::array<vorn::Framer, 5> framers;
    std::size_t at = 0;
    for (std::size_t piece = 0; at < stream.size(); ++piece) {
        std::size_t length = stream.size() - at;
        int slot = 1;
        if (arrivals > 0) {
            const std::uint8_t d = pattern[piece % arrivals];
            slot = 1 + (d & 3);
            length = vorn::fuzz::PieceLength(stream, at, d);
        }
        const int source = setup.host ? slot : -1;
        Deliver(host, framers[setup.host ? slot : 0], stream.substr(at, length), source);
        at += length;
    }
    return 0;
}
