#include "tests/game/enginerig.h"

#include <QTest>

#include "cards/rules.h"
#include "game/deal.h"

namespace vorn::gametest {

CardSet Pick(CardSet from, const QString& ranks) {
    CardSet picked;
    for (const auto& wanted : Codes(ranks))
        for (const Card card : from.Without(picked))
            if (card.Number() == CardOf(wanted).Number()) {
                picked.Add(card);
                break;
            }
    return picked;
}

CardSet Take(GameState& t, const QString& ranks, int where) {
    const CardSet taken = Pick(t.lstCardsBox, ranks);
    for (const Card card : taken) Place(t, CardCode(card), where);
    return taken;
}

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

void MoveOn(Rig& rig) {
    if (rig.table.CurrentSeat != rig.session.LocalSeat) return rig.engine.Tick();
    QVERIFY(rig.view.throwVisible);
    rig.engine.ThrowClick();
}

void ExpectRaised(const Rig& rig, CardSet chosen) {
    QCOMPARE(Text(rig.table.lstSelected), Text(chosen));
    for (const Card card : chosen) {
        QVERIFY(!rig.table.lstDirection[0].Contains(card));
        QCOMPARE(rig.table.Location(card), 0);
        QVERIFY(rig.pictures.Image(card).raised);
        QCOMPARE(rig.view.cards[FaceCell(card)].y, rig.pictures.SeatY[0] - 300);
    }
}

}  // namespace vorn::gametest
