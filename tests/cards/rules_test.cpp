#include <QObject>
#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

#include "cards/rules.h"
#include "tests/cards/fakes.h"
#include "tests/support/rows.h"
#include "tests/testing.h"

namespace vorn::test {

using testing::Columns;
using testing::Row;

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
        // holds: the shape tests that say yes, of pass, single, bank, arrange, dblBank and
        // allTwos; the others say no.
        Columns<QString, QString, int, QString, QString>("cards", "holds", "twos", "refusal", "type");
        Row("pass", "", "pass", 0, "", "");
        Row("single 7", "7", "single", 0, "", "Single");
        Row("single 2", "2", "single allTwos", 1, "", "Is2");
        Row("pair", "5 5", "bank", 0, "", "Bank");
        Row("triple", "5 5 5", "bank", 0, "", "Bank");
        Row("four of a kind", "3 3 3 3", "bank", 0, "", "Bank");
        Row("pair of 2s", "2 2", "bank allTwos", 2, "", "Is2");
        Row("four 2s", "2 2 2 2", "bank allTwos", 4, "", "Is2");
        Row("four 2s and a 3", "3 2 2 2 2", "", 4, "shape", "");
        Row("run of 3", "3 4 5", "arrange", 0, "", "Arrange");
        Row("run of 4", "3 4 5 6", "arrange dblBank", 0, "", "Arrange");
        Row("run written unsorted", "Q 10 J", "arrange", 0, "", "Arrange");
        Row("run to the A", "10 J Q K A", "arrange dblBank", 0, "", "Arrange");
        Row("run of 12", "3 4 5 6 7 8 9 10 J Q K A", "arrange dblBank", 0, "", "Arrange");
        Row("two pairs", "3 3 4 4", "dblBank", 0, "", "DblBank");
        Row("three pairs", "3 3 4 4 5 5", "dblBank", 0, "", "DblBank");
        Row("two triples", "3 3 3 4 4 4", "dblBank", 0, "", "DblBank");
        Row("two fours", "9 9 9 9 10 10 10 10", "dblBank", 0, "", "DblBank");
        Row("pairs to the A", "K K A A", "dblBank", 0, "", "DblBank");
        Row("two different", "5 6", "", 0, "shape", "");
        Row("3 5 7", "3 5 7", "", 0, "shape", "");
        Row("pair and one", "3 3 4", "", 0, "shape", "");
        Row("two pairs and one", "3 3 4 4 5", "", 0, "shape", "");
        Row("triple and pair", "3 3 3 4 4", "", 0, "shape", "");
        Row("pair and four", "3 3 4 4 4 4", "", 0, "shape", "");
        Row("pairs with a gap", "3 3 5 5", "", 0, "shape", "");
        Row("run with a repeat", "3 4 4 5", "", 0, "shape", "");
        Row("K and 2", "K 2", "", 1, "shape", "");
        Row("run into the 2", "J Q K A 2", "arrange dblBank", 1, "two", "");
        Row("pairs into the 2s", "A A 2 2", "dblBank", 2, "two", "");
        Row("run of 3 into the 2", "K A 2", "arrange", 1, "two", "");
    }
    void shapes() {
        QFETCH(QString, cards);
        QFETCH(QString, holds);
        QFETCH(int, twos);
        QFETCH(QString, refusal);
        QFETCH(QString, type);
        const QStringList yes = holds.split(' ', Qt::SkipEmptyParts);
        const QStringList tests = {"pass", "single", "bank", "arrange", "dblBank", "allTwos"};
        for (const QString& test : yes) QVERIFY2(tests.contains(test), qPrintable(test));
        const CardSet list = Cards(cards.toStdString());
        QCOMPARE(IsPass(list), yes.contains("pass"));
        QCOMPARE(IsSingle(list), yes.contains("single"));
        QCOMPARE(IsBank(list), yes.contains("bank"));
        QCOMPARE(IsArrange(list), yes.contains("arrange"));
        QCOMPARE(IsDblBank(list), yes.contains("dblBank"));
        QCOMPARE(IsAllTwos(list), yes.contains("allTwos"));
        QCOMPARE(CountTwos(list), twos);
        QCOMPARE(RefusalOf(list), refusal);
        if (refusal.isEmpty() && !yes.contains("pass"))
            QCOMPARE(QString(PlayTypeName(ClassifyPlay(list))), type);
        // Suits play no part: the same numbers in other suits are the same shape.
        for (int suit = 1; suit < kSuits; ++suit) {
            const CardSet other = Cards(cards.toStdString(), suit);
            QCOMPARE(RefusalOf(other), refusal);
            QCOMPARE(ClassifyPlay(other), ClassifyPlay(list));
        }
    }

    void beat_data() {
        Columns<QString, QString, bool>("onTable", "chosen", "beats");
        Row("7: 8", "7", "8", true);
        Row("7: 9", "7", "9", false);
        Row("7: 7", "7", "7", false);
        Row("7: 6", "7", "6", false);
        Row("7: 2", "7", "2", true);
        Row("7: 8 8", "7", "8 8", false);
        Row("3: 4", "3", "4", true);
        Row("K: A", "K", "A", true);
        Row("K: 2", "K", "2", true);
        Row("A: 2", "A", "2", true);
        Row("2: 2", "2", "2", false);
        Row("7 7: 8 8", "7 7", "8 8", true);
        Row("7 7: 9 9", "7 7", "9 9", false);
        Row("7 7: 2 2", "7 7", "2 2", true);
        Row("7 7: 2", "7 7", "2", false);
        Row("7 7: 8 8 8", "7 7", "8 8 8", false);
        Row("5 5: 6 6", "5 5", "6 6", true);
        Row("5 5 5: 6 6 6", "5 5 5", "6 6 6", true);
        Row("5 5 5: 2 2 2", "5 5 5", "2 2 2", true);
        Row("5 5 5: 2 2", "5 5 5", "2 2", false);
        Row("5 5 5 5: 6 6 6 6", "5 5 5 5", "6 6 6 6", true);
        Row("5 5 5 5: 2 2 2 2", "5 5 5 5", "2 2 2 2", true);
        Row("A A: 2 2", "A A", "2 2", true);
        Row("2 2: 2 2", "2 2", "2 2", false);
        Row("2 2: A A", "2 2", "A A", false);
        Row("4 5 6: 5 6 7", "4 5 6", "5 6 7", true);
        Row("4 5 6: 6 7 8", "4 5 6", "6 7 8", false);
        Row("4 5 6: 2 2 2", "4 5 6", "2 2 2", false);
        Row("4 5 6: 5 6 7 8", "4 5 6", "5 6 7 8", false);
        Row("3 4 5: 4 5 6", "3 4 5", "4 5 6", true);
        Row("3 4 5 6: 4 5 6 7", "3 4 5 6", "4 5 6 7", true);
        Row("3 4 5 6: 2 2 2 2", "3 4 5 6", "2 2 2 2", false);
        Row("10 J Q K: J Q K A", "10 J Q K", "J Q K A", true);
        Row("3 3 4 4: 4 4 5 5", "3 3 4 4", "4 4 5 5", true);
        Row("3 3 4 4: 5 5 6 6", "3 3 4 4", "5 5 6 6", false);
        Row("3 3 4 4: 4 5 6 7", "3 3 4 4", "4 5 6 7", false);
        Row("3 3 4 4: 2 2 2 2", "3 3 4 4", "2 2 2 2", false);
        Row("K K A A: 2 2 2 2", "K K A A", "2 2 2 2", false);
        Row("3 3 3 4 4 4: 4 4 4 5 5 5", "3 3 3 4 4 4", "4 4 4 5 5 5", true);
        Row("3 3 3 4 4 4: 4 4 5 5 6 6", "3 3 3 4 4 4", "4 4 5 5 6 6", false);
        Row("nothing yet: any", "", "3 4 5", true);
        Row("nothing yet: 2", "", "2", true);
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
        Columns<QString, QString, bool>("onTable", "chosen", "beats");
        Row("run", "4 5 6 7", "5 6 7 8", true);
        Row("run, no", "4 5 6 7", "6 7 8 9", false);
        Row("pairs", "3 3 4 4", "4 4 5 5", true);
        Row("triples, no", "8 8 8 9 9 9", "9 9 9 10 10 J", false);
        Row("bank by 2s", "9 9 9", "2 2 2", true);
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
        Columns<QString, QString, QString, QString>("onTable", "caption", "playText", "beatText");
        // A single is shown as its rank and beaten by the rank above it, the X above the 2.
        const char* const shown[] = {" 3",  " 4", " 5", " 6", " 7", " 8", " 9",
                                     " 10", " J", " Q", " K", " A", " 2", " X"};
        for (int n = 1; n <= kNumbers; ++n)
            Row(kRankNames[n], kRankNames[n], QString("%1").arg(n + 2, 2, 10, QChar('0')), shown[n - 1],
                shown[n]);
        Row("pair of 5s", "5 5", "05 05", " 5 5", " 6 6");
        Row("run 8 9 10", "8 9 10", "08 09 10", " 8 9 10", " 9 10 J");
        Row("pairs Q K", "Q Q K K", "12 12 13 13", " Q Q K K", " K K A A");
        Row("run to the A", "Q K A", "12 13 14", " Q K A", " K A 2");
        Row("2s", "2 2 2", "15 15 15", " 2 2 2", " X X X");
        Row("written high to low", "A K Q J 10", "10 11 12 13 14", " 10 J Q K A", " J Q K A 2");
        Row("nothing on the table", "", "", "", "");
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
        Columns<QString, QString, QStringList>("onTable", "hint", "named");
        const QString highest = "当前牌型已是最大的！";
        auto either = [](const std::string& b, int count) {
            return QString("按规则应出“%1”或“%2”！").arg(Q(b), Q(Twos(count)));
        };
        auto only = [](const std::string& b) { return QString("按规则应出“%1”！").arg(Q(b)); };
        auto row = [](const std::string& play, const QString& hint, const QStringList& named) {
            Row(play.c_str(), Q(play), hint, named);
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
        Columns<QString, QString>("mine", "twos");
        Row("one", "6", "2");
        Row("two", "6 6", "2 2");
        Row("three 10s", "10 10 10", "2 2 2");
        Row("four", "J J J J", "2 2 2 2");
        Row("empty", "", "2");
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
