#include "cards/table.h"

namespace vorn {

std::string CheckConservation(const Table& table, int chosenSeat) {
    int seen[kSuits][kNumbers] = {};
    std::string problem;
    auto note = [&](const std::string& code, int expected, const char* where) {
        Card c;
        if (!ParseCard(code, c)) {
            if (problem.empty()) problem = std::string("bad code ") + code + " in " + where;
            return;
        }
        if (++seen[c.suit][c.number - 1] > 1 && problem.empty()) problem = code + " twice";
        if (table.Location(c) != expected && problem.empty())
            problem = code + " in " + where + " but located " + std::to_string(table.Location(c));
    };
    for (const auto& code : table.lstCardsBox) note(code, kStockLocation, "stock");
    for (int s = 0; s < 4; ++s)
        for (const auto& code : table.lstDirection[s]) note(code, s, "hand");
    for (const auto& code : table.lstSelected) note(code, chosenSeat, "lstSelected");
    if (!problem.empty()) return problem;
    for (int s = 0; s < kSuits; ++s)
        for (int n = 0; n < kNumbers; ++n) {
            int loc = table.CardLocation[s][n];
            if (seen[s][n] == 0 && loc != kPlayedLocation)
                return CardCode(s, n + 1) + " missing (located " + std::to_string(loc) + ")";
        }
    return {};
}

}  // namespace vorn
