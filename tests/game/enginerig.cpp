#include "tests/game/enginerig.h"

#include "cards/deal.h"
#include "cards/rules.h"

namespace vorn::gametest {

namespace {

std::string TakeFree(Table& t, int number) {
    for (int suit = 0; suit < kSuits; ++suit) {
        std::string code = CardCode(suit, number);
        if (t.lstCardsBox.Contains(code)) return code;
    }
    return {};
}

std::vector<std::string> Take(Table& t, const QString& ranks, int where) {
    std::vector<std::string> taken;
    for (const auto& wanted : Codes(ranks)) {
        std::string code = TakeFree(t, CardOf(wanted).number);
        if (code.empty()) continue;
        Place(t, code, where);
        taken.push_back(code);
    }
    return taken;
}

}  // namespace

void Arrange(Rig& rig, const Setup& setup) {
    Table& t = rig.table;
    GameEnv& env = rig.engine.Env();
    rig.engine.NewGame();
    for (int seat = 0; seat < 4; ++seat) Take(t, setup.hands[seat], seat);
    const auto play = Take(t, setup.onTable, kPlayedLocation);
    t.TablePlay = Concat(play);
    SortedList played;
    for (const auto& code : play) played.Add(code);
    if (!setup.playType.empty())
        t.PlayType = setup.playType;
    else
        t.PlayType = play.empty() ? "JustBegin" : ClassifyPlay(played);
    BuildPlayTexts(t);
    if (setup.stockLeft >= 0) {
        while (t.lstCardsBox.Count() > setup.stockLeft) {
            t.Location(CardOf(t.lstCardsBox[0])) = kPlayedLocation;
            t.lstCardsBox.RemoveAt(0);
        }
        t.StockEmpty = t.lstCardsBox.Empty();
    }
    for (int seat = 0; seat < 4; ++seat) {
        for (const auto& code : t.lstDirection[seat]) {
            PlaceCard(env, CardOf(code), t.SeatX[seat], t.SeatY[seat]);
            if (seat == rig.session.LocalSeat) ShowFace(env, CardOf(code), true);
        }
        LayoutHand(env, seat);
    }
    t.TheLastThrower = setup.lastThrower;
    t.CurrentSeat = setup.current;
    t.PassCount = setup.passCount;
    t.MustLead = setup.mustLead;
}

}  // namespace vorn::gametest
