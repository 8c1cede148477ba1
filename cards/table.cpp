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

std::string StateDifference(const Table& a, const Table& b) {
    auto list = [](const SortedList& l) {
        std::string s;
        for (const auto& e : l) s += e + " ";
        return s;
    };
    if (!(a.lstCardsBox == b.lstCardsBox)) return "stock: " + list(a.lstCardsBox) + "/ " + list(b.lstCardsBox);
    for (int seat = 0; seat < 4; ++seat)
        if (!(a.lstDirection[seat] == b.lstDirection[seat]))
            return "hand " + std::to_string(seat) + ": " + list(a.lstDirection[seat]) + "/ " +
                   list(b.lstDirection[seat]);
    if (!(a.lstSelected == b.lstSelected)) return "chosen: " + list(a.lstSelected) + "/ " + list(b.lstSelected);
    for (int s = 0; s < kSuits; ++s)
        for (int n = 0; n < kNumbers; ++n)
            if (a.CardLocation[s][n] != b.CardLocation[s][n]) return "location of " + CardCode(s, n + 1);
    if (a.TablePlay != b.TablePlay) return "TablePlay " + a.TablePlay + " / " + b.TablePlay;
    if (a.PlayType != b.PlayType) return "PlayType " + a.PlayType + " / " + b.PlayType;
    if (a.TheLastThrower != b.TheLastThrower)
        return "TheLastThrower " + std::to_string(a.TheLastThrower) + " / " + std::to_string(b.TheLastThrower);
    if (a.CurrentSeat != b.CurrentSeat)
        return "CurrentSeat " + std::to_string(a.CurrentSeat) + " / " + std::to_string(b.CurrentSeat);
    if (a.PassCount != b.PassCount)
        return "PassCount " + std::to_string(a.PassCount) + " / " + std::to_string(b.PassCount);
    if (a.MustLead != b.MustLead) return "MustLead";
    if (a.StockEmpty != b.StockEmpty) return "StockEmpty";
    if (a.SingleRun != b.SingleRun) return "SingleRun";
    return {};
}

}  // namespace vorn
