#include "net/snapshot.h"

#include <array>
#include <vector>

#include "net/protocol.h"

namespace vorn {

namespace {
std::string Four(const std::array<int, 4>& values) {
    std::string text;
    for (size_t i = 0; i < 4; ++i) text += (i ? "," : "") + std::to_string(values[i]);
    return text;
}

std::optional<std::array<int, 4>> ReadFour(std::string_view text) {
    std::array<int, 4> values{};
    size_t start = 0;
    for (size_t i = 0; i < 4; ++i) {
        const size_t end = i == 3 ? text.size() : text.find(',', start);
        if (end == std::string_view::npos) return std::nullopt;
        auto value = ParseDecimal(text.substr(start, end - start));
        if (!value || *value < 0) return std::nullopt;
        values[i] = *value;
        start = end + 1;
    }
    return values;
}

std::optional<int> Number(const std::string& text, int below) {
    auto value = ParseDecimal(text);
    if (!value || *value < 0 || *value >= below) return std::nullopt;
    return value;
}

constexpr size_t kFields = 15;
}  // namespace

std::string SnapshotMessage(const SnapshotBody& s) {
    const Observation& o = s.seen;
    return std::string(tags2::kSnapshot) +
           JoinFields({std::to_string(o.seat), Codes(o.hand), Codes(o.played), Codes(o.tablePlay),
                       std::to_string(int(o.playType)), std::to_string(o.lastThrower),
                       std::to_string(o.passCount), std::to_string(s.currentSeat), o.mustLead ? "1" : "0",
                       Four(o.handSizes), std::to_string(o.stockSize), o.stockEmpty ? "1" : "0",
                       Four(o.singleRun), Four(s.scores.lost), Four(s.scores.won)});
}

std::optional<SnapshotBody> ParseSnapshot(std::string_view body) {
    const std::vector<std::string> f = BarFields(body);
    if (f.size() != kFields) return std::nullopt;
    SnapshotBody s;
    Observation& o = s.seen;
    auto seat = Number(f[0], 4), type = Number(f[4], int(PlayType::Is2) + 1), last = Number(f[5], 4),
         passes = Number(f[6], 4), current = Number(f[7], 4), stock = Number(f[10], kDeckSize + 1);
    auto hand = ParseCardList(f[1]), played = ParseCardList(f[2]), table = ParseCardList(f[3]);
    auto sizes = ReadFour(f[9]), runs = ReadFour(f[12]), lost = ReadFour(f[13]), won = ReadFour(f[14]);
    if (!seat || !type || !last || !passes || !current || !stock || !hand || !played || !table || !sizes ||
        !runs || !lost || !won)
        return std::nullopt;
    o.seat = *seat;
    o.hand = *hand;
    o.played = *played;
    o.tablePlay = *table;
    o.playType = PlayType(*type);
    o.lastThrower = *last;
    o.passCount = *passes;
    o.mustLead = f[8] == "1";
    o.handSizes = *sizes;
    o.stockSize = *stock;
    o.stockEmpty = f[11] == "1";
    o.singleRun = *runs;
    s.currentSeat = *current;
    s.scores = ScoreBoard{*lost, *won};
    // Byte for byte what would have been written.
    if (SnapshotMessage(s) != std::string(tags2::kSnapshot) + std::string(body)) return std::nullopt;
    return s;
}

}  // namespace vorn
