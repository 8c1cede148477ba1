#include <QObject>
#include <QTest>

#include <QStringList>

#include <cmath>
#include <cstdlib>

#include "ai/expert.h"
#include "cards/gamestate.h"
#include "cards/rules.h"
#include "game/hint.h"
#include "tests/support/cards.h"
#include "tests/support/rows.h"
#include "tests/testing.h"

namespace vorn {
namespace {

using testing::Row;
using testing::SetOf;
using testing::Text;

// The choices as "C_04 H_04 40%|C_04 S_04 38%" (a pass written as its odds alone).
QString Written(const std::vector<HintChoice>& choices) {
    QStringList parts;
    for (const HintChoice& choice : choices)
        parts << (Text(choice.play) + " " + QString::number(choice.winPercent) + "%").trimmed();
    return parts.join('|');
}

// The table as seat 0 sees it: its hand, its raised cards and the play on the
// table (a lead is due when there is none); `others` cards in each other
// hand, the lowest of the deck; the rest in the stock, or with `emptyStock`
// played.
GameState Seated(const QString& hand, const QString& selected, const QString& tablePlay, int others,
                 bool emptyStock = false) {
    GameState t;
    t.lstDirection[0] = SetOf(hand);
    t.lstSelected = SetOf(selected);
    t.TablePlay = SetOf(tablePlay);
    t.MustLead = t.TablePlay.Empty();
    t.PlayType = t.TablePlay.Empty() ? PlayType::JustBegin : ClassifyPlay(t.TablePlay);
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
    for (const Card c : free) t.Location(c) = emptyStock ? kPlayedLocation : kStockLocation;
    if (!emptyStock) t.lstCardsBox = free;
    t.StockEmpty = t.lstCardsBox.Empty();
    t.TheLastThrower = t.TablePlay.Empty() ? 0 : 3;
    return t;
}

}  // namespace

class HintTest : public QObject {
    Q_OBJECT
  private slots:
    // The expert's hint: its plays in its order of merit with the share of
    // the search's games each won, the pass offered only where it comes first.
    void expertHintInOrderOfMerit_data() {
        QTest::addColumn<QString>("hand");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("others");  // each other hand's size; negative: and the stock is empty
        QTest::addColumn<QString>("first");
        // The others hold one card each, one of them a 5, and nobody draws: the
        // 4 lets that one out, while after the 2 the 4 is led and goes out.
        Row("the 2 first: nothing beats it, then the last card goes out", "D_02 S_13", "", "C_01", -1,
            "S_13");
        // The 2 is only raised: nothing beats it, and the 3 then goes out.
        Row("raised cards count", "C_01", "S_13", "C_05", -5, "S_13");
        Row("a lead that goes out at once", "C_05 D_05 H_05", "", "", 5, "C_05 D_05 H_05");
        // Eleven leads: the one that goes out must outlast every round of halving.
        Row("a run that goes out at once, among many leads", "C_03 D_04 H_05 S_06 C_07", "", "", 5,
            "C_03 C_07 D_04 H_05 S_06");
        Row("only a pass is left", "C_09 D_01", "", "H_13", 5, "");
    }
    void expertHintInOrderOfMerit() {
        QFETCH(QString, hand);
        QFETCH(QString, selected);
        QFETCH(QString, table);
        QFETCH(int, others);
        QFETCH(QString, first);
        const GameState t = Seated(hand, selected, table, std::abs(others), others < 0);
        const std::vector<HintChoice> hint = ExpertHint(t, 0);
        QCOMPARE(hint.empty() ? QString() : Text(hint.front().play), first);
        ExpertSettings settings;
        settings.rateAlone = true;
        std::vector<HintChoice> ranked;
        const std::vector<ExpertMove> moves = RankMoves(Observe(t, 0), settings);
        for (const ExpertMove& move : moves)
            if (!move.play.Empty() || &move == &moves.front())
                ranked.push_back({move.play, int(std::lround(100 * move.WinShare()))});
        if (ranked.size() == 1 && ranked.front().play.Empty()) ranked.clear();
        QCOMPARE(Written(hint), Written(ranked));
        // A play that empties the hand wins every game it is played out in.
        if (!hint.empty() && hint.front().play == (t.lstDirection[0] | t.lstSelected))
            QCOMPARE(hint.front().winPercent, 100);
    }

    void otherSeatsAskForTheirOwnCards() {
        const GameState t = Seated("", "", "C_05", 3);
        const std::vector<HintChoice> hint = ExpertHint(t, 2);
        QVERIFY(!hint.empty());
        for (const HintChoice& choice : hint)
            QCOMPARE(Text(choice.play & t.lstDirection[2]), Text(choice.play));
        QVERIFY(ExpertHint(t, 0).empty());
        QVERIFY(ExpertHint(t, 7).empty());
    }
};

VORN_TEST(HintTest)
}  // namespace vorn

#include "hint_test.moc"
