// Events that arrive while a play is in its pause: ticks, clicks and queued
// actions.

#include <QObject>
#include <QTest>

#include "cards/rules.h"
#include "tests/game/enginerig.h"
#include "tests/testing.h"

namespace vorn::gametest {
namespace {

// What a second play starting inside the pause would change.
struct Snapshot {
    int current, passCount, lastThrower;
    CardSet tablePlay;
    CardSet selected;
    std::array<CardSet, 4> hands;
    bool throwVisible;
    size_t waits, stockCounts, infoBoxes;
    int decisions;

    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const Rig& rig, int decisions) {
    const GameState& t = rig.table;
    return {t.CurrentSeat,
            t.PassCount,
            t.TheLastThrower,
            t.TablePlay,
            t.lstSelected,
            t.lstDirection,
            rig.view.throwVisible,
            rig.view.waits.size(),
            rig.view.stockCounts.size(),
            rig.view.infoBoxes.size(),
            decisions};
}

}  // namespace

class EngineReentryTest : public QObject {
    Q_OBJECT

  private slots:
    void eventDuringPause_data() {
        QTest::addColumn<int>("mover");
        QTest::addColumn<QString>("intruder");
        QTest::addColumn<bool>("animation");
        for (int mover : {0, 1})
            for (const char* intruder : {"tick", "throw", "card", "action"})
                for (bool animation : {false, true})
                    QTest::addRow("%s during %s play%s", intruder,
                                  mover == 0 ? "the person's" : "a computer's", animation ? ", animated" : "")
                        << mover << QString(intruder) << animation;
    }

    void eventDuringPause() {
        QFETCH(int, mover);
        QFETCH(QString, intruder);
        QFETCH(bool, animation);
        Rig rig(31);
        GameState& t = rig.table;
        rig.options.animation = animation;
        Setup setup;
        setup.hands = {"3 4 5 9", "6 7 8 K", "8 9 J", "10 J Q"};
        setup.current = mover;
        setup.lastThrower = mover;
        setup.mustLead = true;
        Arrange(rig, setup);
        int decisions = 0;
        rig.engine.afterDecision = [&](int, bool) { ++decisions; };
        rig.view.StartCycleTimer(rig.options.cycleInterval);
        if (mover == 0) {
            rig.engine.Tick();
            QVERIFY(rig.view.throwVisible);
            rig.engine.CardClick(CardOf(t.lstDirection[0][0]));
        }
        const int handBefore = t.HandSize(mover) + t.lstSelected.Count();
        const size_t waitsBefore = rig.view.waits.size();

        std::vector<std::string> ran;
        bool intruded = false;
        bool unchanged = false;
        rig.view.duringPause = [&](int, int index) {
            if (intruded || size_t(index) != waitsBefore) return;
            intruded = true;
            const Snapshot before = Take(rig, decisions);
            if (intruder == "tick") rig.engine.Tick();
            if (intruder == "throw") rig.engine.ThrowClick();
            if (intruder == "card") rig.engine.CardClick(CardOf(t.lstDirection[0][0]));
            if (intruder == "action") {
                for (const char* name : {"A", "B"})
                    rig.engine.RunAction([&, name] {
                        ran.push_back(std::string(name) + ":" + std::to_string(t.CurrentSeat) + ":" +
                                      std::to_string(t.TheLastThrower));
                    });
            }
            unchanged = Take(rig, decisions) == before && ran.empty();
        };

        if (mover == 0)
            rig.engine.ThrowClick();
        else
            rig.engine.Tick();

        QVERIFY(intruded);
        QVERIFY2(unchanged, "the event changed the table during the pause");
        // Exactly one play was made, and the turn moved once.
        QCOMPARE(decisions, mover == 0 ? 0 : 1);
        QCOMPARE(t.TheLastThrower, mover);
        QCOMPARE(t.CurrentSeat, mover + 1);
        QCOMPARE(t.HandSize(mover), handBefore - PlaySize(t.TablePlay));
        QVERIFY(PlaySize(t.TablePlay) >= 1);
        QVERIFY(t.lstSelected.Empty());
        QCOMPARE(rig.view.infoBoxes.size(), size_t(0));
        QCOMPARE(Q(CheckConservation(t)), QString());
        if (intruder == "action") {
            const std::string after = std::to_string(mover + 1) + ":" + std::to_string(mover);
            QCOMPARE(ran, (std::vector<std::string>{"A:" + after, "B:" + after}));
        }
        QVERIFY(!rig.engine.Busy());
    }
};

VORN_TEST(EngineReentryTest)

}  // namespace vorn::gametest

#include "reentry_test.moc"
