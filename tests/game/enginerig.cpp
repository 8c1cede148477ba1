#include "tests/game/enginerig.h"

#include "cards/rules.h"
#include "game/deal.h"

namespace vorn::gametest {

namespace {

std::string TakeFree(GameState& t, int number) {
    for (int suit = 0; suit < kSuits; ++suit)
        if (t.lstCardsBox.Contains(Card{suit, number})) return CardCode(suit, number);
    return {};
}

CardSet Take(GameState& t, const QString& ranks, int where) {
    CardSet taken;
    for (const auto& wanted : Codes(ranks)) {
        std::string code = TakeFree(t, CardOf(wanted).Number());
        if (code.empty()) continue;
        Place(t, code, where);
        taken.Add(CardOf(code));
    }
    return taken;
}

}  // namespace

void Arrange(Rig& rig, const Setup& setup) {
    GameState& t = rig.table;
    GameEnv& env = rig.engine.Env();
    rig.engine.NewGame();
    for (int seat = 0; seat < 4; ++seat) Take(t, setup.hands[seat], seat);
    const CardSet play = Take(t, setup.onTable, kPlayedLocation);
    t.TablePlay = play;
    if (!setup.playType.empty())
        t.PlayType = PlayTypeOf(setup.playType);
    else
        t.PlayType = play.Empty() ? PlayType::JustBegin : ClassifyPlay(play);
    if (setup.stockLeft >= 0) {
        while (t.lstCardsBox.Count() > setup.stockLeft) {
            t.Location(t.lstCardsBox[0]) = kPlayedLocation;
            t.lstCardsBox.RemoveAt(0);
        }
        t.StockEmpty = t.lstCardsBox.Empty();
    }
    for (int seat = 0; seat < 4; ++seat) {
        for (const Card card : t.lstDirection[seat]) {
            PlaceCard(env, card, rig.pictures.SeatX[seat], rig.pictures.SeatY[seat]);
            if (seat == rig.session.LocalSeat) ShowFace(env, card, true);
        }
        LayoutHand(env, seat);
    }
    t.TheLastThrower = setup.lastThrower;
    t.CurrentSeat = setup.current;
    t.PassCount = setup.passCount;
    t.MustLead = setup.mustLead;
    rig.engine.Adopt();
}

}  // namespace vorn::gametest
