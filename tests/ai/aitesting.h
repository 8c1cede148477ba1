#pragma once

// Shared pieces of the computer player's tests: a random source that replays
// a script of draws, and a compact way to write a table as a line of text.

#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTest>

#include <deque>
#include <string>

#include "cards/card.h"
#include "cards/cardset.h"
#include "cards/gamestate.h"
#include "cards/random.h"
#include "cards/rules.h"
#include "tests/support/cards.h"
#include "tests/support/random.h"
#include "tests/support/rows.h"

namespace vorn::testing {

// "C_05,D_06" or "C_05 D_06" as a set. A bare number ("05") stands for a card
// of that number in the first suit not yet taken, so "05 05 06" is three cards.
inline CardSet Cards(const QString& codes) {
    CardSet set;
    for (const QString& code : codes.split(QRegularExpression("[ ,]"), Qt::SkipEmptyParts)) {
        if (code.size() == 2) {
            const int number = code.toInt();
            int suit = 0;
            while (suit < kSuits && set.Contains(Card{suit, number})) ++suit;
            if (number < 1 || number > kNumbers || suit == kSuits)
                QTest::qFail(qPrintable("bad number " + code), __FILE__, __LINE__);
            else
                set.Add(Card{suit, number});
            continue;
        }
        set.Add(CardOf(code.toStdString()));
    }
    return set;
}

// The numbers of a shape, "05 05 06", as counts.
inline NumberCounts Numbers(const QString& numbers) {
    return CountNumbers(Cards(numbers));
}
inline QString Text(const NumberCounts& counts) {
    QStringList items;
    for (int n = 1; n <= kNumbers; ++n)
        for (int k = 0; k < counts.of[n]; ++k) items << QString::fromStdString(TwoDigits(n));
    return items.join(' ');
}

struct Scene {
    GameState table;
    int seat = 1;
    float rate = 0.5f;
};

// A table described by key=value words, for example
//   "seat=2 hand=C_05,S_13 table=D_04 stock=empty pass=1 last=0 sizes=6,6,2,6 runs=0,0,3,0"
// hand: the deciding seat's cards. table: the play on the table (its type is
// classified unless type= is given; without a table the seat leads). sizes: the
// hand sizes of all four seats (the deciding seat's entry is ignored), filled
// with unused cards, the 2s last. played: further played cards. last: the seat
// that made the play (default the seat before). rate: the gamble rate.
// Cards in no hand stay in the stock list; the computer player only reads
// the StockEmpty flag.
inline Scene MakeScene(const QString& description) {
    QMap<QString, QString> v;
    for (const QString& word : description.split(' ', Qt::SkipEmptyParts)) {
        int eq = word.indexOf('=');
        v[word.left(eq)] = word.mid(eq + 1);
    }
    Scene scene;
    GameState& t = scene.table;
    scene.seat = v.value("seat", "1").toInt();
    scene.rate = v.value("rate", "0.5").toFloat();
    for (auto& row : t.CardLocation)
        for (auto& loc : row) loc = kStockLocation;

    auto place = [&t](Card c, int where) { t.Location(c) = std::int8_t(where); };
    const int dealt = scene.seat >= 0 && scene.seat <= 3 ? scene.seat : 1;
    for (const Card code : Cards(v.value("hand"))) {
        t.lstDirection[dealt].Add(code);
        place(code, dealt);
    }
    const CardSet onTable = Cards(v.value("table"));
    for (const Card code : onTable) place(code, kPlayedLocation);
    t.TablePlay = onTable;
    for (const Card code : Cards(v.value("played"))) place(code, kPlayedLocation);
    t.PlayType = v.contains("type") ? PlayTypeOf(v.value("type").toStdString())
                 : onTable.Empty()  ? PlayType::JustBegin
                                    : ClassifyPlay(onTable);
    t.MustLead = onTable.Empty();
    t.StockEmpty = v.value("stock") == "empty";
    t.PassCount = v.value("pass", "0").toInt();
    t.TheLastThrower = v.value("last", QString::number((dealt + 3) % 4)).toInt();
    const QStringList runs = v.value("runs", "0,0,0,0").split(',');
    for (int s = 0; s < 4; ++s) t.SingleRun[s] = runs.value(s).toInt();

    const QStringList sizes = v.value("sizes", "6,6,6,6").split(',');
    for (int s = 0; s < 4; ++s) {
        if (s == dealt) continue;
        int want = sizes.value(s).toInt();
        for (int number = 1; number <= kNumbers && t.HandSize(s) < want; ++number)
            for (int suit = 0; suit < kSuits && t.HandSize(s) < want; ++suit) {
                if (t.CardLocation[suit][number - 1] != kStockLocation) continue;
                t.CardLocation[suit][number - 1] = std::int8_t(s);
                t.lstDirection[s].Add(Card{suit, number});
            }
    }
    for (int number = 1; number <= kNumbers; ++number)
        for (int suit = 0; suit < kSuits; ++suit)
            if (t.CardLocation[suit][number - 1] == kStockLocation) t.lstCardsBox.Add(Card{suit, number});
    return scene;
}

// The seat whose hand a scene deals: its seat, or seat 1 for one out of range.
inline int Holder(const Scene& s) {
    return s.seat >= 0 && s.seat <= 3 ? s.seat : 1;
}

// After a decision on a scene with scripted draws: every draw of the script
// was taken and none past it, and the chosen cards left the hand, which held
// before, and nothing else did.
inline void CheckDecided(const Scene& s, const CardSet& before, const ScriptedRandom& random) {
    QVERIFY2(!random.Overdrawn(), "more draws than scripted");
    QCOMPARE(random.Left(), 0);
    const CardSet hand = s.table.lstDirection[Holder(s)];
    QVERIFY((hand & s.table.lstSelected).Empty());
    QCOMPARE(Text(hand | s.table.lstSelected), Text(before));
}

}  // namespace vorn::testing
