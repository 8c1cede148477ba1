#include <QObject>
#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

#include "cards/rules.h"
#include "tests/cards/fakes.h"
#include "tests/testing.h"

namespace vorn::test {

namespace {

// The first refusal a choice meets when it is laid: the shape rule, then the 2 rule.
QString RefusalOf(const CardSet& cards) {
    if (!HasPlayableShape(cards)) return "shape";
    if (BreaksTwoRule(cards)) return "two";
    return "";
}

// A table holding the given play, as the play operation leaves it: the type of
// the play set and the turn on a seat that has to beat it.
GameState TableWith(const QString& notation) {
    GameState t;
    t.TablePlay = Cards(notation.toStdString());
    t.PlayType = t.TablePlay.Empty() ? PlayType::JustBegin : ClassifyPlay(t.TablePlay);
    t.MustLead = false;
    return t;
}

const char* const kRankNames[kNumbers + 1] = {"",  "3",  "4", "5", "6", "7", "8",
                                              "9", "10", "J", "Q", "K", "A", "2"};

// Rank names of a run of groups: numbers low..high, each `width` times, blank-separated.
std::string Spelled(int low, int high, int width) {
    std::string text;
    for (int n = low; n <= high; ++n)
        for (int k = 0; k < width; ++k) {
            if (!text.empty()) text += ' ';
            text += kRankNames[n];
        }
    return text;
}

std::string Twos(int count) {
    return Spelled(13, 13, count);
}

}  // namespace

// The hand types, the two refusals, what beats what, and the texts that name a
// play and the play that would beat it.
class RulesTest : public QObject {
    Q_OBJECT

  private slots:
    void shapes_data() {
        QTest::addColumn<QString>("cards");
        QTest::addColumn<bool>("pass");
        QTest::addColumn<bool>("single");
        QTest::addColumn<bool>("bank");
        QTest::addColumn<bool>("arrange");
        QTest::addColumn<bool>("dblBank");
        QTest::addColumn<int>("twos");
        QTest::addColumn<bool>("allTwos");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("type");
        // clang-format off
        QTest::newRow("pass")               << "" << true << false << false << false << false << 0 << false << "" << "";
        QTest::newRow("single 7")           << "7" << false << true << false << false << false << 0 << false << "" << "Single";
        QTest::newRow("single 2")           << "2" << false << true << false << false << false << 1 << true << "" << "Is2";
        QTest::newRow("pair")               << "5 5" << false << false << true << false << false << 0 << false << "" << "Bank";
        QTest::newRow("triple")             << "5 5 5" << false << false << true << false << false << 0 << false << "" << "Bank";
        QTest::newRow("four of a kind")     << "3 3 3 3" << false << false << true << false << false << 0 << false << "" << "Bank";
        QTest::newRow("pair of 2s")         << "2 2" << false << false << true << false << false << 2 << true << "" << "Is2";
        QTest::newRow("four 2s")            << "2 2 2 2" << false << false << true << false << false << 4 << true << "" << "Is2";
        QTest::newRow("run of 3")           << "3 4 5" << false << false << false << true << false << 0 << false << "" << "Arrange";
        QTest::newRow("run of 4")           << "3 4 5 6" << false << false << false << true << true << 0 << false << "" << "Arrange";
        QTest::newRow("run written unsorted") << "Q 10 J" << false << false << false << true << false << 0 << false << "" << "Arrange";
        QTest::newRow("run to the A")       << "10 J Q K A" << false << false << false << true << true << 0 << false << "" << "Arrange";
        QTest::newRow("run of 12")          << "3 4 5 6 7 8 9 10 J Q K A" << false << false << false << true << true << 0 << false << "" << "Arrange";
        QTest::newRow("two pairs")          << "3 3 4 4" << false << false << false << false << true << 0 << false << "" << "DblBank";
        QTest::newRow("three pairs")        << "3 3 4 4 5 5" << false << false << false << false << true << 0 << false << "" << "DblBank";
        QTest::newRow("two triples")        << "3 3 3 4 4 4" << false << false << false << false << true << 0 << false << "" << "DblBank";
        QTest::newRow("two fours")          << "9 9 9 9 10 10 10 10" << false << false << false << false << true << 0 << false << "" << "DblBank";
        QTest::newRow("pairs to the A")     << "K K A A" << false << false << false << false << true << 0 << false << "" << "DblBank";
        QTest::newRow("two different")      << "5 6" << false << false << false << false << false << 0 << false << "shape" << "";
        QTest::newRow("3 5 7")              << "3 5 7" << false << false << false << false << false << 0 << false << "shape" << "";
        QTest::newRow("pair and one")       << "3 3 4" << false << false << false << false << false << 0 << false << "shape" << "";
        QTest::newRow("two pairs and one")  << "3 3 4 4 5" << false << false << false << false << false << 0 << false << "shape" << "";
        QTest::newRow("triple and pair")    << "3 3 3 4 4" << false << false << false << false << false << 0 << false << "shape" << "";
        QTest::newRow("pair and four")      << "3 3 4 4 4 4" << false << false << false << false << false << 0 << false << "shape" << "";
        QTest::newRow("pairs with a gap")   << "3 3 5 5" << false << false << false << false << false << 0 << false << "shape" << "";
        QTest::newRow("run with a repeat")  << "3 4 4 5" << false << false << false << false << false << 0 << false << "shape" << "";
        QTest::newRow("K and 2")            << "K 2" << false << false << false << false << false << 1 << false << "shape" << "";
        QTest::newRow("run into the 2")     << "J Q K A 2" << false << false << false << true << true << 1 << false << "two" << "";
        QTest::newRow("pairs into the 2s")  << "A A 2 2" << false << false << false << false << true << 2 << false << "two" << "";
        QTest::newRow("run of 3 into the 2") << "K A 2" << false << false << false << true << false << 1 << false << "two" << "";
        // clang-format on
    }
    void shapes() {
        QFETCH(QString, cards);
        QFETCH(bool, pass);
        QFETCH(bool, single);
        QFETCH(bool, bank);
        QFETCH(bool, arrange);
        QFETCH(bool, dblBank);
        QFETCH(int, twos);
        QFETCH(bool, allTwos);
        QFETCH(QString, refusal);
        QFETCH(QString, type);
        const CardSet list = Cards(cards.toStdString());
        QCOMPARE(IsPass(list), pass);
        QCOMPARE(IsSingle(list), single);
        QCOMPARE(IsBank(list), bank);
        QCOMPARE(IsArrange(list), arrange);
        QCOMPARE(IsDblBank(list), dblBank);
        QCOMPARE(CountTwos(list), twos);
        QCOMPARE(IsAllTwos(list), allTwos);
        QCOMPARE(RefusalOf(list), refusal);
        if (refusal.isEmpty() && !pass) QCOMPARE(QString(PlayTypeName(ClassifyPlay(list))), type);
    }

    // Suits play no part: the same numbers in other suits are the same shape.
    void shapesIgnoreSuits() {
        const char* const plays[] = {"7", "5 5 5", "3 4 5 6", "3 3 4 4", "2 2", "3 5 7", "A A 2 2"};
        for (const char* play : plays) {
            const CardSet first = Cards(play, 0);
            for (int suit = 1; suit < kSuits; ++suit) {
                const CardSet other = Cards(play, suit);
                QCOMPARE(RefusalOf(other), RefusalOf(first));
                QCOMPARE(ClassifyPlay(other), ClassifyPlay(first));
            }
        }
    }

    void allTwosNeedsOneToFour() {
        QVERIFY(!IsAllTwos(CardSet{}));
        QCOMPARE(CountTwos(CardSet{}), 0);
        QVERIFY(IsAllTwos(kTwos));
        CardSet twosAndThree = kTwos;
        twosAndThree.Add(Card{0, 1});
        QVERIFY(!IsAllTwos(twosAndThree));
    }

    void beat_data() {
        QTest::addColumn<QString>("onTable");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("beats");
        QTest::newRow("7: 8") << "7"
                              << "8" << true;
        QTest::newRow("7: 9") << "7"
                              << "9" << false;
        QTest::newRow("7: 7") << "7"
                              << "7" << false;
        QTest::newRow("7: 6") << "7"
                              << "6" << false;
        QTest::newRow("7: 2") << "7"
                              << "2" << true;
        QTest::newRow("7: 8 8") << "7"
                                << "8 8" << false;
        QTest::newRow("3: 4") << "3"
                              << "4" << true;
        QTest::newRow("K: A") << "K"
                              << "A" << true;
        QTest::newRow("K: 2") << "K"
                              << "2" << true;
        QTest::newRow("A: 2") << "A"
                              << "2" << true;
        QTest::newRow("2: 2") << "2"
                              << "2" << false;
        QTest::newRow("7 7: 8 8") << "7 7"
                                  << "8 8" << true;
        QTest::newRow("7 7: 9 9") << "7 7"
                                  << "9 9" << false;
        QTest::newRow("7 7: 2 2") << "7 7"
                                  << "2 2" << true;
        QTest::newRow("7 7: 2") << "7 7"
                                << "2" << false;
        QTest::newRow("7 7: 8 8 8") << "7 7"
                                    << "8 8 8" << false;
        QTest::newRow("5 5: 6 6") << "5 5"
                                  << "6 6" << true;
        QTest::newRow("5 5 5: 6 6 6") << "5 5 5"
                                      << "6 6 6" << true;
        QTest::newRow("5 5 5: 2 2 2") << "5 5 5"
                                      << "2 2 2" << true;
        QTest::newRow("5 5 5: 2 2") << "5 5 5"
                                    << "2 2" << false;
        QTest::newRow("5 5 5 5: 6 6 6 6") << "5 5 5 5"
                                          << "6 6 6 6" << true;
        QTest::newRow("5 5 5 5: 2 2 2 2") << "5 5 5 5"
                                          << "2 2 2 2" << true;
        QTest::newRow("A A: 2 2") << "A A"
                                  << "2 2" << true;
        QTest::newRow("2 2: 2 2") << "2 2"
                                  << "2 2" << false;
        QTest::newRow("2 2: A A") << "2 2"
                                  << "A A" << false;
        QTest::newRow("4 5 6: 5 6 7") << "4 5 6"
                                      << "5 6 7" << true;
        QTest::newRow("4 5 6: 6 7 8") << "4 5 6"
                                      << "6 7 8" << false;
        QTest::newRow("4 5 6: 2 2 2") << "4 5 6"
                                      << "2 2 2" << false;
        QTest::newRow("4 5 6: 5 6 7 8") << "4 5 6"
                                        << "5 6 7 8" << false;
        QTest::newRow("3 4 5: 4 5 6") << "3 4 5"
                                      << "4 5 6" << true;
        QTest::newRow("3 4 5 6: 4 5 6 7") << "3 4 5 6"
                                          << "4 5 6 7" << true;
        QTest::newRow("3 4 5 6: 2 2 2 2") << "3 4 5 6"
                                          << "2 2 2 2" << false;
        QTest::newRow("10 J Q K: J Q K A") << "10 J Q K"
                                           << "J Q K A" << true;
        QTest::newRow("3 3 4 4: 4 4 5 5") << "3 3 4 4"
                                          << "4 4 5 5" << true;
        QTest::newRow("3 3 4 4: 5 5 6 6") << "3 3 4 4"
                                          << "5 5 6 6" << false;
        QTest::newRow("3 3 4 4: 4 5 6 7") << "3 3 4 4"
                                          << "4 5 6 7" << false;
        QTest::newRow("3 3 4 4: 2 2 2 2") << "3 3 4 4"
                                          << "2 2 2 2" << false;
        QTest::newRow("K K A A: 2 2 2 2") << "K K A A"
                                          << "2 2 2 2" << false;
        QTest::newRow("3 3 3 4 4 4: 4 4 4 5 5 5") << "3 3 3 4 4 4"
                                                  << "4 4 4 5 5 5" << true;
        QTest::newRow("3 3 3 4 4 4: 4 4 5 5 6 6") << "3 3 3 4 4 4"
                                                  << "4 4 5 5 6 6" << false;
        QTest::newRow("nothing yet: any") << ""
                                          << "3 4 5" << true;
        QTest::newRow("nothing yet: 2") << ""
                                        << "2" << true;
    }
    void beat() {
        QFETCH(QString, onTable);
        QFETCH(QString, chosen);
        QFETCH(bool, beats);
        GameState t = TableWith(onTable);
        t.lstSelected = Cards(chosen.toStdString(), 2);
        QCOMPARE(RefusalOf(t.lstSelected), QString());  // the core only ever asks about laid-able choices
        QCOMPARE(CanBeat(t), beats);
        // A leading seat may lay anything, whatever still lies on the table.
        t.MustLead = true;
        QVERIFY(CanBeat(t));
    }

    // Neither the order in which the cards were chosen nor the order in which
    // the play on the table was written changes the answer.
    void orderDoesNotMatter_data() {
        QTest::addColumn<QString>("onTable");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("beats");
        QTest::newRow("run") << "4 5 6 7"
                             << "5 6 7 8" << true;
        QTest::newRow("run, no") << "4 5 6 7"
                                 << "6 7 8 9" << false;
        QTest::newRow("pairs") << "3 3 4 4"
                               << "4 4 5 5" << true;
        QTest::newRow("triples, no") << "8 8 8 9 9 9"
                                     << "9 9 9 10 10 J" << false;
        QTest::newRow("bank by 2s") << "9 9 9"
                                    << "2 2 2" << true;
    }
    void orderDoesNotMatter() {
        QFETCH(QString, onTable);
        QFETCH(QString, chosen);
        QFETCH(bool, beats);
        std::vector<std::string> tableCodes = Codes(onTable.toStdString());
        std::vector<std::string> chosenCodes = Codes(chosen.toStdString(), 2);
        std::sort(tableCodes.begin(), tableCodes.end());
        std::sort(chosenCodes.begin(), chosenCodes.end());
        const PlayType type = ClassifyPlay(Cards(onTable.toStdString()));
        // The play as the wire may write it, in any order.
        auto check = [&](const std::vector<std::string>& playOrder, const std::vector<std::string>& picks) {
            GameState t;
            t.MustLead = false;
            t.PlayType = type;
            std::string written;
            for (auto& code : playOrder) written += code;
            if (!ParseCodes(written, t.TablePlay)) return !beats;
            for (auto& code : picks) t.lstSelected.Add(CardOf(code));
            return CanBeat(t);
        };
        int tried = 0;
        std::vector<std::string> order = tableCodes;
        do {
            QCOMPARE(check(order, chosenCodes), beats);
            ++tried;
        } while (std::next_permutation(order.begin(), order.end()));
        order = chosenCodes;
        do {
            QCOMPARE(check(tableCodes, order), beats);
            ++tried;
        } while (std::next_permutation(order.begin(), order.end()));
        QVERIFY(tried >= 12);
    }

    void playTextsOfEveryRank_data() {
        QTest::addColumn<QString>("onTable");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("playText");
        QTest::addColumn<QString>("beatText");
        const char* const shown[] = {" 3",  " 4", " 5", " 6", " 7", " 8", " 9",
                                     " 10", " J", " Q", " K", " A", " 2"};
        const char* const above[] = {" 4", " 5", " 6", " 7", " 8", " 9", " 10",
                                     " J", " Q", " K", " A", " 2", " X"};
        for (int n = 1; n <= kNumbers; ++n)
            QTest::newRow(kRankNames[n]) << kRankNames[n] << QString("%1").arg(n + 2, 2, 10, QChar('0'))
                                         << shown[n - 1] << above[n - 1];
        QTest::newRow("pair of 5s") << "5 5"
                                    << "05 05"
                                    << " 5 5"
                                    << " 6 6";
        QTest::newRow("run 8 9 10") << "8 9 10"
                                    << "08 09 10"
                                    << " 8 9 10"
                                    << " 9 10 J";
        QTest::newRow("pairs Q K") << "Q Q K K"
                                   << "12 12 13 13"
                                   << " Q Q K K"
                                   << " K K A A";
        QTest::newRow("run to the A") << "Q K A"
                                      << "12 13 14"
                                      << " Q K A"
                                      << " K A 2";
        QTest::newRow("2s") << "2 2 2"
                            << "15 15 15"
                            << " 2 2 2"
                            << " X X X";
        QTest::newRow("written high to low") << "A K Q J 10"
                                             << "10 11 12 13 14"
                                             << " 10 J Q K A"
                                             << " J Q K A 2";
        QTest::newRow("nothing on the table") << ""
                                              << ""
                                              << ""
                                              << "";
    }
    void playTextsOfEveryRank() {
        QFETCH(QString, onTable);
        QFETCH(QString, caption);
        QFETCH(QString, playText);
        QFETCH(QString, beatText);
        GameState t = TableWith(onTable);
        // The rank values of the play, ascending.
        QStringList captions;
        const NumberCounts counts = CountNumbers(t.TablePlay);
        for (int n = 1; n <= kNumbers; ++n)
            for (int k = 0; k < counts.of[n]; ++k) captions << Q(TwoDigits(n + 2));
        QCOMPARE(captions.join(' '), caption);
        QCOMPARE(Q(PlayText(t.TablePlay)), playText);
        QCOMPARE(Q(BeatText(t.TablePlay)), beatText);
    }

    // The hint names the plays that beat the table, and each of them does.
    void beatHintOfEveryPlay_data() {
        QTest::addColumn<QString>("onTable");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QStringList>("named");
        const QString highest = "当前牌型已是最大的！";
        auto either = [](const std::string& b, int count) {
            return QString("按规则应出“%1”或“%2”！").arg(Q(b), Q(Twos(count)));
        };
        auto only = [](const std::string& b) { return QString("按规则应出“%1”！").arg(Q(b)); };
        auto row = [](const std::string& play, const QString& hint, const QStringList& named) {
            QTest::newRow(play.c_str()) << Q(play) << hint << named;
        };
        // Singles and same-rank groups: the next rank or as many 2s; an A only
        // by 2s; 2s by nothing.
        for (int width = 1; width <= 4; ++width)
            for (int n = 1; n <= kNumbers; ++n) {
                const std::string play = Spelled(n, n, width);
                const std::string next = n < 13 ? Spelled(n + 1, n + 1, width) : "";
                if (n == 13)
                    row(play, highest, {});
                else if (n == 12)
                    row(play, only(next), {Q(next)});
                else
                    row(play, either(next, width), {Q(next), Q(Twos(width))});
            }
        // Runs and double runs: only the same shape one up; nothing above the A.
        struct Shape {
            int groups;
            int width;
        };
        for (Shape shape : {Shape{3, 1}, Shape{5, 1}, Shape{2, 2}, Shape{3, 2}, Shape{2, 3}})
            for (int high = shape.groups; high <= 12; ++high) {
                const int low = high - shape.groups + 1;
                const std::string play = Spelled(low, high, shape.width);
                const std::string next = Spelled(low + 1, high + 1, shape.width);
                if (high == 12)
                    row(play, highest, {});
                else
                    row(play, only(next), {Q(next)});
            }
    }
    void beatHintOfEveryPlay() {
        QFETCH(QString, onTable);
        QFETCH(QString, hint);
        QFETCH(QStringList, named);
        GameState t = TableWith(onTable);
        QCOMPARE(Q(BeatHint(t)), hint);
        for (const QString& play : named) {
            t.lstSelected = Cards(play.toStdString(), 2);
            QVERIFY2(CanBeat(t), qPrintable(play));
        }
    }

    void replaceWithTwo_data() {
        QTest::addColumn<QString>("mine");
        QTest::addColumn<QString>("twos");
        QTest::newRow("one") << "6"
                             << "2";
        QTest::newRow("two") << "6 6"
                             << "2 2";
        QTest::newRow("three 10s") << "10 10 10"
                                   << "2 2 2";
        QTest::newRow("four") << "J J J J"
                              << "2 2 2 2";
        QTest::newRow("empty") << ""
                               << "2";
    }
    void replaceWithTwo() {
        QFETCH(QString, mine);
        QFETCH(QString, twos);
        QCOMPARE(Q(ReplaceWithTwo(mine.toStdString())), twos);
    }
};

VORN_TEST(RulesTest)

}  // namespace vorn::test

#include "rules_test.moc"
