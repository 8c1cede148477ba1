#include <QObject>
#include <QTest>

#include <QStringList>

#include <cstdlib>

#include "ai/expert.h"
#include "cards/rules.h"
#include "cards/gamestate.h"
#include "game/hint.h"
#include "tests/support/cards.h"
#include "tests/testing.h"

namespace vorn {
namespace {

// The choices as "C_04 H_04|C_04 S_04".
QString Written(const std::vector<CardSet>& choices) {
    QStringList parts;
    for (const CardSet choice : choices) parts << testing::Text(choice);
    return parts.join('|');
}

GameState Scene(const QString& hand, const QString& selected, const QString& tablePlay, bool mustLead) {
    GameState t;
    t.lstDirection[0] = testing::SetOf(hand);
    t.lstSelected = testing::SetOf(selected);
    t.MustLead = mustLead;
    t.TablePlay = testing::SetOf(tablePlay);
    t.PlayType = t.TablePlay.Empty() ? PlayType::JustBegin : ClassifyPlay(t.TablePlay);
    // Hand cards belong to seat 0, the others of the deck to seat 1 or the stock.
    for (int s = 0; s < kSuits; ++s)
        for (int n = 0; n < kNumbers; ++n) t.CardLocation[s][n] = kStockLocation;
    return t;
}

// The same table with `others` cards in each other hand, the lowest of the
// deck, the table's cards played and the rest in the stock.
// With `emptyStock` the rest counts as played instead.
GameState Seated(GameState t, int others, bool emptyStock = false) {
    for (const Card c : t.TablePlay) t.Location(c) = kPlayedLocation;
    CardSet free = CardSet::Deck().Without(t.lstDirection[0] | t.lstSelected | t.TablePlay);
    for (const Card c : t.lstDirection[0] | t.lstSelected) t.Location(c) = 0;
    for (int seat = 1; seat < 4; ++seat)
        for (int k = 0; k < others; ++k) {
            const Card c = free.First();
            free.Remove(c);
            t.lstDirection[seat].Add(c);
            t.Location(c) = std::int8_t(seat);
        }
    if (emptyStock)
        for (const Card c : free) t.Location(c) = kPlayedLocation;
    else
        t.lstCardsBox = free;
    t.StockEmpty = t.lstCardsBox.Empty();
    t.TheLastThrower = t.TablePlay.Empty() ? 0 : 3;
    return t;
}

}  // namespace

class HintTest : public QObject {
    Q_OBJECT
private slots:
    void offersEveryBeatingChoice_data() {
        QTest::addColumn<QString>("hand");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("expected");
        QTest::newRow("single: each suit, then a 2") << "C_01 D_06 H_06 S_13" << "" << "C_05" << "D_06|H_06|S_13";
        QTest::newRow("single: raised cards count") << "C_01 S_13" << "D_06" << "C_05" << "D_06|S_13";
        QTest::newRow("pair: suit pairs, then two 2s")
            << "C_04 H_04 S_04 D_13 H_13 C_09" << "" << "C_03 D_03" << "C_04 H_04|C_04 S_04|H_04 S_04|D_13 H_13";
        QTest::newRow("pair: one 2 is not enough") << "C_04 S_13 C_09" << "" << "C_03 D_03" << "";
        QTest::newRow("run one rank higher") << "C_02 C_03 S_04 H_13 H_13" << "" << "C_01 D_02 H_03"
                                             << "C_02 C_03 S_04";
        QTest::newRow("run: 2s never answer") << "D_13 H_13 S_13 C_09" << "" << "C_01 D_02 H_03" << "";
        QTest::newRow("run ending with the A") << "C_13 D_11 D_12" << "" << "C_09 D_10 H_11" << "";
        QTest::newRow("double run") << "C_02 D_02 C_03 H_03 S_08" << "" << "C_01 D_01 S_02 H_02"
                                    << "C_02 C_03 D_02 H_03";
        QTest::newRow("triple beaten by three 2s only") << "C_13 D_13 S_13 C_06 D_06" << "" << "C_05 D_05 H_05"
                                                       << "C_13 D_13 S_13";
        QTest::newRow("nothing beats 2s") << "S_13 C_01" << "" << "H_13" << "";
        QTest::newRow("a higher jump does not beat") << "C_07 D_08" << "" << "C_05" << "";
    }
    void offersEveryBeatingChoice() {
        QFETCH(QString, hand);
        QFETCH(QString, selected);
        QFETCH(QString, table);
        QFETCH(QString, expected);
        const GameState t = Scene(hand, selected, table, false);
        const auto got = HintChoices(t, 0, 0.5f);
        QCOMPARE(Written(got), expected);
        // Every offered choice really beats the table.
        for (const CardSet choice : got) {
            QVERIFY(HasPlayableShape(choice));
            QVERIFY(!BreaksTwoRule(choice));
            QVERIFY(CanBeat(t, choice));
        }
    }

    void leadOffersTheComputerPlayersLead_data() {
        QTest::addColumn<QString>("hand");
        QTest::addColumn<QString>("expected");
        // As a seat 1 would: the double run is looked for before the straight.
        QTest::newRow("double run first") << "C_01 C_02 C_03 D_01 D_02" << "C_01 C_02 D_01 D_02";
        QTest::newRow("straight taken whole") << "C_01 D_02 C_04 D_05 H_06 S_07" << "C_04 D_05 H_06 S_07";
        QTest::newRow("only 2s: all of them") << "H_13 S_13" << "H_13 S_13";
        QTest::newRow("lone card") << "C_01 D_07 S_10 S_11" << "C_01";
    }
    void leadOffersTheComputerPlayersLead() {
        QFETCH(QString, hand);
        QFETCH(QString, expected);
        GameState t = Scene(hand, "", "", true);
        t.StockEmpty = true;
        QCOMPARE(Written(HintChoices(t, 0, 0.5f)), expected);
    }

    // The expert's hint: its plays in its order of merit, the pass left out.
    void expertHintInOrderOfMerit_data() {
        QTest::addColumn<QString>("hand");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("others");  // each other hand's size; negative: and the stock is empty
        QTest::addColumn<QString>("first");
        // The others hold one card each, one of them a 5, and nobody draws: the
        // 4 lets that one out, while after the 2 the 4 is led and goes out.
        QTest::newRow("the 2 first: nothing beats it, then the last card goes out")
            << "D_02 S_13" << "" << "C_01" << -1 << "S_13";
        QTest::newRow("raised cards count") << "C_01" << "S_13" << "C_05" << 5 << "S_13";
        QTest::newRow("a lead that goes out at once") << "C_05 D_05 H_05" << "" << "" << 5 << "C_05 D_05 H_05";
        QTest::newRow("only a pass is left") << "C_09 D_01" << "" << "H_13" << 5 << "";
    }
    void expertHintInOrderOfMerit() {
        QFETCH(QString, hand);
        QFETCH(QString, selected);
        QFETCH(QString, table);
        QFETCH(int, others);
        QFETCH(QString, first);
        const GameState t = Seated(Scene(hand, selected, table, table.isEmpty()), std::abs(others), others < 0);
        const std::vector<CardSet> hint = ExpertHint(t, 0);
        QCOMPARE(hint.empty() ? QString() : testing::Text(hint.front()), first);
        std::vector<CardSet> ranked;
        for (const ExpertMove& move : RankMoves(Observe(t, 0)))
            if (!move.play.Empty()) ranked.push_back(move.play);
        QCOMPARE(Written(hint), Written(ranked));
    }

    void otherSeatsAskForTheirOwnCards() {
        GameState t = Scene("", "", "C_05", false);
        t.lstDirection[2] = testing::SetOf("D_06 C_09");
        QCOMPARE(Written(HintChoices(t, 2, 0.5f)), QString("D_06"));
        QVERIFY(HintChoices(t, 0, 0.5f).empty());
        QVERIFY(HintChoices(t, 7, 0.5f).empty());
    }
};

VORN_TEST(HintTest)
}  // namespace vorn

#include "hint_test.moc"
