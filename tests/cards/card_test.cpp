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
#include "tests/testing.h"

namespace vorn::test {

// Card codes and the small text services the rest of the program builds on.
class CardCodeTest : public QObject {
    Q_OBJECT

  private slots:
    // The generator that replays every seeded game: number for number the
    // standard 64-bit Mersenne Twister, across rounds of its state and after a reseed.
    void twisterMatchesTheStandard_data() {
        QTest::addColumn<quint64>("seed");
        QTest::newRow("0") << quint64(0);
        QTest::newRow("5489") << quint64(5489);
        QTest::newRow("high bits") << quint64(0xDEADBEEFCAFEBABEull);
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
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("item");
        QTest::addColumn<float>("rate");
        QTest::newRow("high") << "high" << 0 << 0.1f;
        QTest::newRow("medium") << "medium" << 1 << 0.5f;
        QTest::newRow("low") << "low" << 2 << 0.9f;
        QTest::newRow("expert") << "expert" << kExpertLevel << 0.5f;
        QTest::newRow("no level") << "highest" << -1 << 0.0f;
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
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("number");
        QTest::newRow("2 of spades") << "S_13" << 13;
        QTest::newRow("3 of hearts") << "H_01" << 1;
        QTest::newRow("10 of clubs") << "C_08" << 8;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("three characters") << "D_7" << 7;
        QTest::newRow("five characters") << "S_013" << 0;
        QTest::newRow("one character") << "S" << 0;
        QTest::newRow("not a number") << "C_x1" << 0;
    }
    void cardNumber() {
        QFETCH(QString, code);
        QFETCH(int, number);
        QCOMPARE(CardNumber(code.toStdString()), number);
    }

    void twoDigits_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << "00";
        QTest::newRow("3") << 3 << "03";
        QTest::newRow("9") << 9 << "09";
        QTest::newRow("10") << 10 << "10";
        QTest::newRow("12") << 12 << "12";
        QTest::newRow("15") << 15 << "15";
    }
    void twoDigits() {
        QFETCH(int, n);
        QFETCH(QString, text);
        QCOMPARE(Q(TwoDigits(n)), text);
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
        QCOMPARE(Q(CardCode(Card{2, 1})), QString("H_01"));
        QCOMPARE(Q(CardCode(Card{0, 5})), QString("C_05"));
    }

    void parseRefuses_data() {
        QTest::addColumn<QString>("code");
        QTest::newRow("empty") << "";
        QTest::newRow("short") << "S_1";
        QTest::newRow("long") << "S_013";
        QTest::newRow("number 0") << "C_00";
        QTest::newRow("number 14") << "C_14";
        QTest::newRow("unknown suit") << "X_05";
        QTest::newRow("lower-case suit") << "s_05";
        QTest::newRow("no underscore") << "C-05";
        QTest::newRow("letters for digits") << "C_0A";
    }
    void parseRefuses() {
        QFETCH(QString, code);
        Card card{3, 7};
        QVERIFY(!ParseCard(code.toStdString(), card));
        QCOMPARE(card, (Card{3, 7}));
    }

    void rankText_data() {
        QTest::addColumn<int>("rank");
        QTest::addColumn<QString>("text");
        const char* const texts[] = {" 3",  " 4", " 5", " 6", " 7", " 8", " 9",
                                     " 10", " J", " Q", " K", " A", " 2", " X"};
        for (int rank = 3; rank <= 16; ++rank)
            QTest::newRow(qPrintable(QString::number(rank))) << rank << texts[rank - 3];
        QTest::newRow("below 3") << 2 << "";
        QTest::newRow("above X") << 17 << "";
    }
    void rankText() {
        QFETCH(int, rank);
        QFETCH(QString, text);
        QCOMPARE(Q(RankText(rank)), text);
    }

    void faceName_data() {
        QTest::addColumn<int>("suit");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("name");
        QTest::newRow("3 of hearts") << 2 << 1 << "红桃3";
        QTest::newRow("2 of spades") << 3 << 13 << "黑桃2";
        QTest::newRow("10 of clubs") << 0 << 8 << "梅花10";
        QTest::newRow("A of diamonds") << 1 << 12 << "方块A";
    }
    void faceName() {
        QFETCH(int, suit);
        QFETCH(int, number);
        QFETCH(QString, name);
        QCOMPARE(Q(CardFaceName(Card{suit, number})), name);
    }

    void joinPath_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("path");
        QTest::newRow("no separator") << "/opt/vorn"
                                      << "Vorn.ini"
                                      << "/opt/vorn/Vorn.ini";
        QTest::newRow("ends with /") << "/opt/vorn/"
                                     << "Vorn.ini"
                                     << "/opt/vorn/Vorn.ini";
        QTest::newRow("ends with backslash") << "C:\\Vorn\\"
                                             << "Move.wav"
                                             << "C:\\Vorn\\Move.wav";
        QTest::newRow("root") << "/"
                              << "Win.wav"
                              << "/Win.wav";
        QTest::newRow("Chinese folder") << "/home/玩家"
                                        << "Vorn.chm"
                                        << "/home/玩家/Vorn.chm";
    }
    void joinPath() {
        QFETCH(QString, folder);
        QFETCH(QString, file);
        QFETCH(QString, path);
        QCOMPARE(Q(JoinPath(folder.toStdString(), file.toStdString())), path);
    }

    void verticalLabel_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("stacked");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("one character") << "A"
                                       << "A";
        QTest::newRow("two characters") << "AB"
                                        << "A\r\nB";
        QTest::newRow("one Chinese character") << "龙"
                                               << "龙";
        QTest::newRow("Chinese name") << "青龙"
                                      << "青\r\n龙";
        QTest::newRow("mixed") << "玩家2"
                               << "玩\r\n家\r\n2";
    }
    void verticalLabel() {
        QFETCH(QString, caption);
        QFETCH(QString, stacked);
        QCOMPARE(Q(VerticalLabel(caption.toStdString())), stacked);
    }

    // The refusal and hint texts people read, byte for byte.
    void ruleTexts_data() {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        QTest::newRow("shape") << texts::kBadShape << "所选牌不符合牌型规则！";
        QTest::newRow("2 rule") << texts::kTwoAlone << "\"2\"不能与其他牌组合牌型！";
        QTest::newRow("must lead") << texts::kMustLead << "你先出牌，不能 PASS，可选任意牌型！";
        QTest::newRow("cannot beat") << texts::kCannotBeat << "所选牌管不起当前牌型。";
        QTest::newRow("highest") << texts::kHighestAlready << "当前牌型已是最大的！";
    }
    void ruleTexts() {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual.toUtf8(), expected.toUtf8());
    }
};

VORN_TEST(CardCodeTest)

}  // namespace vorn::test

#include "card_test.moc"
