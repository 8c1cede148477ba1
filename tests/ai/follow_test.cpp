#include <QObject>
#include <QTest>

#include "ai/follow.h"
#include "tests/ai/aitesting.h"
#include "tests/testing.h"

using namespace vorn;
using namespace vorn::testing;

namespace {

const QString kLastThrower = QStringLiteral("最后出牌者还剩一两张牌，必管");
const QString kNextTwo = QStringLiteral("下两家有人还剩一两张牌，赌管");
const QString kDownstream = QStringLiteral("牌数相同者在下手，赌管");
const QString kOnRun = QStringLiteral("有人在顺牌，必管");
const QString kOneNonTwo = QStringLiteral("单张非2，必管");
const QString kOneNonTwoGamble = QStringLiteral("单张非2，赌管");
const QString kCanFinish = QStringLiteral("上手可出完，必管");
const QString kAllTwos = QStringLiteral("全是2，必管");
const QString kGoodHand = QStringLiteral("牌不错，必管");
const QString kUnformed = QStringLiteral("不成形牌，必管");
const QString kFormed = QStringLiteral("成形牌，赌管或逼管");

}  // namespace

// Whether a computer seat beats the play on the table, and with which cards.
// Each row scripts the random draws the decision must take, in order: the
// verdict only comes out as expected when every draw lands on its test.
class TestFollowDecision : public QObject {
    Q_OBJECT

  private slots:
    void decision_data() {
        Columns<QString, QString, QString, QString>("scene", "draws", "chosen", "reason");

        // Spending 2s on the last thrower about to go out.
        Row("T1 fires", "hand=C_02,D_13,S_13 table=H_08 stock=empty sizes=2,6,6,6", "", "S_13", kLastThrower);
        Row("T1 needs an empty stock", "hand=C_02,D_13,S_13 table=H_08 sizes=2,6,6,6", "0.75", "", "");
        Row("T1 needs a single or a group",
            "hand=C_06,D_13,H_13,S_13 table=C_03,D_04,H_05 stock=empty sizes=2,6,6,6", "0 0 0", "", "");

        // One of the next two seats about to go out: a gamble.
        Row("T2 fires", "hand=C_05,H_13,S_13 table=D_09 stock=empty sizes=6,6,2,6", "0.4", "S_13", kNextTwo);
        Row("T2 lost, T5 fires", "hand=C_05,H_13,S_13 table=D_09 stock=empty sizes=6,6,2,6", "0.6", "S_13",
            kOneNonTwo);
        Row("T2 draws for a straight it cannot answer",
            "hand=C_08,S_13 table=C_03,D_04,H_05 stock=empty sizes=6,6,2,6", "0 0 0 0 0 0", "", "");
        Row("T2 needs a 2 per table card", "hand=C_05,S_13 table=C_08,D_08 stock=empty sizes=6,6,1,6",
            "0 0.9 0 0.9", "", "");
        Row("T2 fires on the second table card",
            "hand=C_05,C_06,C_10,H_13,S_13 table=C_08,D_08 stock=empty sizes=6,6,1,6", "0.9 0.9 0.3",
            "H_13 S_13", kNextTwo);

        // A seat holding as many cards as the play sits downstream.
        Row("T3 fires", "hand=C_05,D_13,H_09,S_13 table=D_07 sizes=6,6,1,6", "0.7", "S_13", kDownstream);
        Row("T3 at high level", "hand=C_05,D_13,H_09,S_13 table=D_07 sizes=6,6,1,6 rate=0.1", "0.7 0.9", "",
            "");
        Row("T3 root rounded to single precision", "hand=C_05,D_13,H_09,S_13 table=D_07 sizes=6,6,1,6",
            "0.70710677", "S_13", kDownstream);
        Row("T3 just above the root", "hand=C_05,D_13,H_09,S_13 table=D_07 sizes=6,6,1,6", "0.7072 0.1", "",
            "");
        Row("T3 after a pass, holder next", "hand=C_05,D_13,H_09,S_13 table=D_07 last=3 pass=1 sizes=6,6,1,6",
            "0.1", "S_13", kDownstream);
        Row("T3 after a pass, holder has passed",
            "hand=C_05,D_13,H_09,S_13 table=D_07 last=3 pass=1 sizes=1,6,6,6", "0.1 0.9", "", "");
        Row("T3 never after two passes", "hand=C_05,D_13,H_09,S_13 table=D_07 last=2 pass=2 sizes=6,6,6,1",
            "0 0.9", "", "");
        Row("T3 barred by an A", "hand=C_05,D_13,S_13 table=D_12 sizes=6,6,1,6", "0 0.9", "", "");
        Row("A single A still falls to T6", "hand=C_05,D_13,S_13 table=D_12 sizes=6,6,1,6", "0 0.2", "S_13",
            kOneNonTwoGamble);

        // Someone running singles.
        Row("T4 fires", "hand=C_04,C_09,H_13,S_13 table=D_02 stock=empty runs=0,0,0,3", "", "S_13", kOnRun);
        Row("T4 ignores the own run, T9 fires",
            "hand=C_04,C_09,H_13,S_13 table=D_02 stock=empty runs=0,3,0,0", "0.9", "S_13", kGoodHand);

        // One card besides the 2s.
        Row("T5 fires", "hand=C_07,D_13,H_13 table=S_02 stock=empty sizes=3,6,3,3", "", "H_13", kOneNonTwo);
        Row("T5 needs a card to spare", "hand=C_07,H_13 table=C_03,D_03 stock=empty", "0 0", "", "");
        Row("T6 fires", "hand=C_02,D_13,S_13 table=H_08 sizes=2,6,6,6", "0.5", "S_13", kOneNonTwoGamble);
        Row("T6 only on a single", "hand=C_07,D_13,H_13,S_13 table=C_02,D_02", "0 0", "", "");

        // The hand goes out after the next lead.
        Row("T7 fires", "hand=C_05,D_06,H_07,S_13 table=C_01 stock=empty", "0", "S_13", kCanFinish);
        Row("T7 needs an empty stock", "hand=C_05,D_06,H_07,S_13 table=C_04", "0 0.9", "", "");
        Row("lone 2 with the stock empty goes by T7", "hand=S_13 table=D_05 stock=empty", "0.9", "S_13",
            kCanFinish);

        // Nothing but 2s.
        Row("T8 a lone 2", "hand=S_13 table=D_05", "0.9", "S_13", kAllTwos);
        Row("T8 takes all for a pair", "hand=H_13,S_13 table=C_04,D_04", "0.9", "H_13 S_13", kAllTwos);

        // A compact hand.
        Row("T9 fires", "hand=C_04,C_05,C_06,C_09,S_13 table=D_11 stock=empty", "0.5", "S_13", kGoodHand);
        Row("T9 spread hand plays its lone card", "hand=C_01,C_05,C_09,S_13 table=D_04 stock=empty", "0.5",
            "C_05", kUnformed);

        // The number search for a single.
        Row("card in one formation, gamble won", "hand=C_05,D_06,H_07,S_13 table=C_04", "0 0.3", "C_05",
            kFormed);
        Row("pair card, gamble lost", "hand=C_06,D_06,C_09 table=H_05", "0.9 0.8", "", "");
        Row("pair card, gamble won", "hand=C_06,D_06,C_09 table=H_05", "0.9 0.2", "D_06", kFormed);
        Row("pair card kept at high level", "hand=C_06,D_06,C_09 table=H_05 rate=0.1", "0.9 0.2", "", "");
        Row("pair card given up at low level", "hand=C_06,D_06,C_09 table=H_05 rate=0.9", "0.9 0.85", "D_06",
            kFormed);
        Row("pair card forced by the last thrower",
            "hand=C_06,D_06,C_09 table=H_05 stock=empty sizes=2,6,6,6", "0.9 0.99", "D_06", kFormed);
        Row("pair card forced by a next seat", "hand=C_06,D_06,C_09 table=H_05 stock=empty sizes=6,6,6,2",
            "0 0.9 0.99", "D_06", kFormed);
        Row("card in a pair and a straight", "hand=C_06,D_06,C_07,C_08 table=H_05", "0.9", "D_06", kUnformed);
        Row("no card of the number", "hand=C_07,D_07 table=H_05", "0.9", "", "");
        Row("2 does not answer an A", "hand=C_05,D_05,S_13,H_13 table=D_12", "0.9", "", "");

        // The number search for larger plays, and the undo.
        Row("straight with the highest suits", "hand=C_04,S_04,D_05,C_06,H_06 table=C_03,D_04,H_05", "0.9",
            "D_05 H_06 S_04", "");
        Row("pair of 5s, one 6", "hand=H_04,C_09,D_11 table=C_03,D_03", "0.9", "", "");
        Row("pair with the two highest 6s", "hand=C_04,H_04,S_04 table=C_03,D_03", "0.9", "H_04 S_04", "");
        Row("double run", "hand=H_04,S_04,C_05,D_05,H_05 table=C_03,D_03,C_04,D_04", "0.9",
            "D_05 H_04 H_05 S_04", "");
        Row("double run a card short", "hand=H_04,S_04,C_05,C_09 table=C_03,D_03,C_04,D_04", "0.9", "", "");
        Row("straight up to the A", "hand=C_11,D_12,C_13,S_13 table=C_10,D_11,H_12", "0.9", "", "");
        Row("2s are never followed", "hand=C_05,D_05,S_13 table=H_13 stock=empty sizes=6,6,2,6", "0 0", "",
            "");
        Row("seat 0 chooses nothing", "seat=0 hand=C_04,S_13 table=D_03", "", "", "");
        Row("seat 3", "seat=3 hand=C_04,S_13 table=D_03 sizes=6,6,6,6", "0.9", "C_04", kUnformed);
    }
    void decision() {
        QFETCH(QString, scene);
        QFETCH(QString, draws);
        QFETCH(QString, chosen);
        QFETCH(QString, reason);
        Scene s = MakeScene(scene);
        const CardSet before = s.table.lstDirection[Holder(s)];
        ScriptedRandom random(draws);
        const std::string said = FollowDecision(s.table, s.seat, s.rate, random);
        QCOMPARE(Text(s.table.lstSelected), chosen);
        QCOMPARE(QString::fromStdString(said), reason);
        CheckDecided(s, before, random);
    }
};

VORN_TEST(TestFollowDecision)
#include "follow_test.moc"
