#include <QObject>
#include <QTest>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "cards/rules.h"
#include "tests/cards/fakes.h"
#include "tests/support/rows.h"
#include "tests/testing.h"

namespace vorn::test {

namespace {

// The beat rule said plainly, on card numbers: the same count, every card
// exactly one rank higher (which keeps the shape); a single card or a group of
// one rank may instead be met by as many 2s; nothing beats 2s. Nothing on the
// table yet means any play will do.
bool RuleSaysBeats(std::vector<int> onTable, std::vector<int> chosen) {
    if (onTable.empty()) return true;
    if (onTable.size() != chosen.size()) return false;
    auto isTwo = [](int n) { return n == kTwo; };
    if (std::all_of(onTable.begin(), onTable.end(), isTwo)) return false;
    const bool oneRank = std::all_of(onTable.begin(), onTable.end(), [&](int n) { return n == onTable[0]; });
    if (oneRank && std::all_of(chosen.begin(), chosen.end(), isTwo)) return true;
    std::sort(onTable.begin(), onTable.end());
    std::sort(chosen.begin(), chosen.end());
    for (size_t i = 0; i < onTable.size(); ++i)
        if (chosen[i] != onTable[i] + 1) return false;
    return true;
}

// Makes plays of every shape that may be laid, as card numbers.
class PlayMaker {
  public:
    explicit PlayMaker(unsigned seed) : engine_(seed) {}

    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine_); }

    // Runs stop at the A: a run holding a 2 is refused before any beat test.
    std::vector<int> AnyPlay() {
        switch (Between(0, 4)) {
            case 0:
                return Group(Between(1, 13), 1);
            case 1:
                return Group(Between(1, 13), Between(2, 4));
            case 2: {
                int length = Between(3, 12);
                return Run(Between(1, 13 - length), length, 1);
            }
            case 3: {
                int width = Between(2, 4);
                int groups = Between(2, std::min(6, 12 / width));
                return Run(Between(1, 13 - groups), groups, width);
            }
            default:
                return Group(kTwo, Between(1, 4));
        }
    }

    // An answer to a play: often the play one up or by 2s, else moved by a
    // few ranks, else anything at all.
    std::vector<int> AnswerTo(const std::vector<int>& play) {
        std::vector<int> answer = play;
        int roll = Between(0, 99);
        if (roll < 35) {
            for (int& n : answer) ++n;
        } else if (roll < 50) {
            std::fill(answer.begin(), answer.end(), kTwo);
        } else if (roll < 70) {
            int delta = Between(-2, 3);
            for (int& n : answer) n += delta;
        } else if (roll < 78) {
            answer[Between(0, int(answer.size()) - 1)] += Between(-1, 1);
        } else {
            answer = AnyPlay();
        }
        return answer;
    }

    // Codes for the numbers, no code twice; empty when they do not fit a deck.
    std::vector<std::string> CodesFor(const std::vector<int>& numbers) {
        std::vector<std::string> codes;
        int used[kNumbers + 1] = {};
        int firstSuit = Between(0, 3);
        for (int n : numbers) {
            if (n < 1 || n > kNumbers || used[n] == kSuits) return {};
            codes.push_back(CardCode((firstSuit + used[n]++) % kSuits, n));
        }
        std::shuffle(codes.begin(), codes.end(), engine_);
        return codes;
    }

  private:
    std::vector<int> Group(int number, int width) { return std::vector<int>(width, number); }
    std::vector<int> Run(int low, int groups, int width) {
        std::vector<int> numbers;
        for (int g = 0; g < groups; ++g)
            for (int k = 0; k < width; ++k) numbers.push_back(low + g);
        return numbers;
    }

    std::mt19937 engine_;
};

CardSet SetOfCodes(const std::vector<std::string>& codes) {
    CardSet set;
    for (const auto& code : codes) set.Add(CardOf(code));
    return set;
}

bool Layable(const CardSet& cards) {
    return !cards.Empty() && HasPlayableShape(cards) && !BreaksTwoRule(cards);
}

}  // namespace

// CanBeat against the rule written out independently, over many plays of every
// shape, each answered by a choice that passes the shape and the 2 rule.
class BeatModelTest : public QObject {
    Q_OBJECT

  private slots:
    void agreesWithTheRule_data() {
        testing::Columns<unsigned>("seed");
        for (unsigned seed : {1u, 77u, 20240611u})
            testing::Row(qPrintable(QString("seed %1").arg(seed)), seed);
    }
    void agreesWithTheRule() {
        QFETCH(unsigned, seed);
        PlayMaker maker(seed);
        int cases = 0, beaten = 0;
        while (cases < 1500) {
            const std::vector<int> onTable = maker.Between(0, 30) == 0 ? std::vector<int>{} : maker.AnyPlay();
            const std::vector<std::string> tableCodes = maker.CodesFor(onTable);
            const std::vector<int> chosen = maker.AnswerTo(onTable.empty() ? maker.AnyPlay() : onTable);
            const std::vector<std::string> chosenCodes = maker.CodesFor(chosen);
            if (chosenCodes.empty() || (tableCodes.empty() && !onTable.empty())) continue;

            GameState t;
            t.MustLead = false;
            t.TablePlay = SetOfCodes(tableCodes);
            t.PlayType = onTable.empty() ? PlayType::JustBegin : ClassifyPlay(t.TablePlay);
            t.lstSelected = SetOfCodes(chosenCodes);
            if (!Layable(t.lstSelected)) continue;
            QVERIFY2(onTable.empty() || Layable(t.TablePlay), Codes(t.TablePlay).c_str());

            const bool expected = RuleSaysBeats(onTable, chosen);
            if (CanBeat(t) != expected) {
                std::string what = "on " + Codes(t.TablePlay) + " (" + PlayTypeName(t.PlayType) + ") chose " +
                                   Codes(t.lstSelected, " ");
                QFAIL(what.c_str());
            }
            ++cases;
            beaten += expected ? 1 : 0;
        }
        // Both answers must be well represented, or the comparison proves little.
        QVERIFY2(beaten > cases / 5, qPrintable(QString::number(beaten)));
        QVERIFY2(cases - beaten > cases / 5, qPrintable(QString::number(beaten)));
    }
};

VORN_TEST(BeatModelTest)

}  // namespace vorn::test

#include "beat_model_test.moc"
