#include <QObject>
#include <QTest>

#include <random>

#include "cards/card.h"
#include "cards/options.h"
#include "cards/random.h"
#include "cards/texts.h"
#include "cards/textutil.h"
#include "game/deal.h"
#include "tests/cards/fakes.h"
#include "tests/support/rows.h"
#include "tests/testing.h"

namespace vorn::test {

using testing::Columns;
using testing::Row;

// Card codes and the small text services the rest of the program builds on.
class CardCodeTest : public QObject {
    Q_OBJECT

  private slots:
    // The generator that replays every seeded game: number for number the
    // standard 64-bit Mersenne Twister, across rounds of its state and after a reseed.
    void twisterMatchesTheStandard_data() {
        Columns<quint64>("seed");
        Row("0", quint64(0));
        Row("5489", quint64(5489));
        Row("high bits", quint64(0xDEADBEEFCAFEBABEull));
    }
    void twisterMatchesTheStandard() {
        QFETCH(quint64, seed);
        std::mt19937_64 standard(seed);
        LazyMt64 lazy(1);
        lazy();
        lazy.Seed(seed);
        for (int k = 0; k < 1000; ++k) QCOMPARE(lazy(), standard());
    }

    // The tools name the levels in English: "high" is the level that gambles least, as in the menu.
    void levelNames_data() {
        Columns<QString, int, float>("name", "item", "rate");
        Row("high", "high", 0, 0.1f);
        Row("medium", "medium", 1, 0.5f);
        Row("low", "low", 2, 0.9f);
        Row("expert", "expert", kExpertLevel, 0.5f);
        Row("no level", "highest", -1, 0.0f);
    }
    void levelNames() {
        QFETCH(QString, name);
        QFETCH(int, item);
        QFETCH(float, rate);
        QCOMPARE(LevelItemOfName(name.toStdString()), item);
        if (item < 0) return;
        Options options;
        options.SetLevel(item);
        QCOMPARE(options.gambleRate, rate);
    }

    void cardNumber_data() {
        Columns<QString, int>("code", "number");
        Row("2 of spades", "S_13", 13);
        Row("3 of hearts", "H_01", 1);
        Row("10 of clubs", "C_08", 8);
        Row("empty", "", 0);
        Row("three characters", "D_7", 7);
        Row("five characters", "S_013", 0);
        Row("one character", "S", 0);
        Row("not a number", "C_x1", 0);
    }
    void cardNumber() {
        QFETCH(QString, code);
        QFETCH(int, number);
        QCOMPARE(CardNumber(code.toStdString()), number);
    }

    // Every card of the deck writes to a code that reads back as the same card,
    // and its face cell is the suit offset plus number - 1.
    void everyCodeRoundTrips() {
        const char* const letters = "CDHS";
        for (int suit = 0; suit < kSuits; ++suit)
            for (int number = 1; number <= kNumbers; ++number) {
                std::string code = CardCode(suit, number);
                QCOMPARE(code.size(), size_t(4));
                QCOMPARE(code[0], letters[suit]);
                QCOMPARE(code[1], '_');
                QCOMPARE(CardNumber(code), number);
                QCOMPARE(IsTwoCode(code), number == 13);
                Card card;
                QVERIFY(ParseCard(code, card));
                QCOMPARE(card, (Card{suit, number}));
                QCOMPARE(FaceCell(card), suit * 13 + number - 1);
            }
    }

    void parseRefuses_data() {
        Columns<QString>("code");
        Row("empty", "");
        Row("short", "S_1");
        Row("long", "S_013");
        Row("number 0", "C_00");
        Row("number 14", "C_14");
        Row("unknown suit", "X_05");
        Row("lower-case suit", "s_05");
        Row("no underscore", "C-05");
        Row("letters for digits", "C_0A");
    }
    void parseRefuses() {
        QFETCH(QString, code);
        Card card{3, 7};
        QVERIFY(!ParseCard(code.toStdString(), card));
        QCOMPARE(card, (Card{3, 7}));
    }

    // The texts people and files read, as each text service writes them, byte for byte.
    void textServices_data() {
        Columns<QString, QString>("actual", "expected");
        Row("code of hearts 3", Q(CardCode(Card{2, 1})), "H_01");
        Row("code of clubs 7", Q(CardCode(Card{0, 5})), "C_05");
        Row("two digits 0", Q(TwoDigits(0)), "00");
        Row("two digits 3", Q(TwoDigits(3)), "03");
        Row("two digits 9", Q(TwoDigits(9)), "09");
        Row("two digits 10", Q(TwoDigits(10)), "10");
        Row("two digits 12", Q(TwoDigits(12)), "12");
        Row("two digits 15", Q(TwoDigits(15)), "15");
        const char* const ranks[] = {" 3",  " 4", " 5", " 6", " 7", " 8", " 9",
                                     " 10", " J", " Q", " K", " A", " 2", " X"};
        for (int rank = 3; rank <= 16; ++rank)
            Row(qPrintable(QString("rank %1").arg(rank)), Q(RankText(rank)), ranks[rank - 3]);
        Row("rank below 3", Q(RankText(2)), "");
        Row("rank above X", Q(RankText(17)), "");
        Row("name of hearts 3", Q(CardFaceName(Card{2, 1})), "红桃3");
        Row("name of spades 2", Q(CardFaceName(Card{3, 13})), "黑桃2");
        Row("name of clubs 10", Q(CardFaceName(Card{0, 8})), "梅花10");
        Row("name of diamonds A", Q(CardFaceName(Card{1, 12})), "方块A");
        Row("path, no separator", Q(JoinPath("/opt/vorn", "Vorn.ini")), "/opt/vorn/Vorn.ini");
        Row("path ends with /", Q(JoinPath("/opt/vorn/", "Vorn.ini")), "/opt/vorn/Vorn.ini");
        Row("path ends with backslash", Q(JoinPath("C:\\Vorn\\", "Move.wav")), "C:\\Vorn\\Move.wav");
        Row("path at the root", Q(JoinPath("/", "Win.wav")), "/Win.wav");
        Row("path in a Chinese folder", Q(JoinPath("/home/玩家", "Vorn.chm")), "/home/玩家/Vorn.chm");
        Row("vertical, empty", Q(VerticalLabel("")), "");
        Row("vertical, one character", Q(VerticalLabel("A")), "A");
        Row("vertical, two characters", Q(VerticalLabel("AB")), "A\r\nB");
        Row("vertical, one Chinese character", Q(VerticalLabel("龙")), "龙");
        Row("vertical Chinese name", Q(VerticalLabel("青龙")), "青\r\n龙");
        Row("vertical, mixed", Q(VerticalLabel("玩家2")), "玩\r\n家\r\n2");
        Row("shape refused", texts::kBadShape, "所选牌不符合牌型规则！");
        Row("2 rule", texts::kTwoAlone, "\"2\"不能与其他牌组合牌型！");
        Row("must lead", texts::kMustLead, "你先出牌，不能 PASS，可选任意牌型！");
        Row("cannot beat", texts::kCannotBeat, "所选牌管不起当前牌型。");
        Row("highest", texts::kHighestAlready, "当前牌型已是最大的！");
    }
    void textServices() {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual.toUtf8(), expected.toUtf8());
    }
};

VORN_TEST(CardCodeTest)

}  // namespace vorn::test

#include "card_test.moc"
