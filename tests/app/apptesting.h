#pragma once

// Helpers of the table-window tests: a window on a folder of its own, whose
// message boxes, logon dialog and program end are recorded instead of shown,
// with pauses that return at once; and the mouse positions of its cards.

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/mainwindow.h"
#include "cards/card.h"
#include "display/tablewidget.h"
#include "tests/support/cards.h"

namespace vorn::apptest {

using vorn::testing::Q;

// Lets the window show all it was told, answer its boxes and finish its
// searches; false when it is still busy after ms.
inline bool Settle(MainWindow& w, int ms = 20000);
// Ticks the computer seats until the person is to move.
inline bool TickToPerson(MainWindow& w, int limit = 200);

class WindowFixture {
  public:
    WindowFixture() = default;
    WindowFixture(const WindowFixture&) = delete;
    WindowFixture& operator=(const WindowFixture&) = delete;

    // (Re)creates the window on the fixture's folder, so a second call reads
    // what the first window saved. False when the window never got exposed.
    // Unless keepOptions, card moves are switched off through the menu, so
    // that the check mark and the option agree.
    // The settings file the next Open reads, and what the window wrote there.
    void WriteSettings(const QByteArray& text) {
        QFile file(dir.filePath("Vorn.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray SettingsText() const {
        QFile file(dir.filePath("Vorn.ini"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    bool Open(std::uint64_t seed = 1, bool show = true, bool keepOptions = false) {
        window.reset();
        window = std::make_unique<MainWindow>(dir.path(), seed);
        MainWindow& w = *window;
        w.prompter.info = [this](QWidget*, const QString& text, Prompter::Icon) { infos << text; };
        w.prompter.yesNo = [this](QWidget*, const QString& text) {
            questions << text;
            return answer;
        };
        w.prompter.yesNoDefaultYes = w.prompter.yesNo;
        w.showLogon = [this] { ++logons; };
        w.endProgram = [this] { ++exits; };
        w.waitScale = 0;
        if (!keepOptions && w.options().animation) w.Action("mnuAnimal")->trigger();
        if (!show) return true;
        w.show();
        return QTest::qWaitForWindowExposed(&w);
    }

    MainWindow& operator*() { return *window; }
    MainWindow* operator->() { return window.get(); }

    // Deals and lets the computer seats move until it is the person's turn.
    bool DealToPersonsTurn() {
        window->mnuDeal_Click();
        return TickToPerson(*window);
    }
    // A key pressed on the table.
    void Key(int key) { QTest::keyClick(&window->tableWidget(), Qt::Key(key)); }
    // No box of any kind was shown.
    bool Quiet() const { return infos.isEmpty() && questions.isEmpty(); }

    QTemporaryDir dir;
    std::unique_ptr<MainWindow> window;
    QStringList infos;
    QStringList questions;
    bool answer = false;  // the answer to every Yes/No question
    int logons = 0;
    int exits = 0;
};

inline bool Settle(MainWindow& w, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!w.Settled() && clock.elapsed() < ms) QTest::qWait(1);
    return w.Settled();
}

// The cards in seat's hand (chosen ones included), left to right or top to bottom.
inline std::vector<Card> HandCards(MainWindow& w, int seat) {
    std::vector<Card> cards;
    for (int s = 0; s < kSuits; ++s)
        for (int n = 1; n <= kNumbers; ++n)
            if (w.table().Location(Card{s, n}) == seat) cards.push_back(Card{s, n});
    std::sort(cards.begin(), cards.end(), [&w](Card a, Card b) {
        const CardImage& ia = w.pictures().Image(a);
        const CardImage& ib = w.pictures().Image(b);
        return ia.x != ib.x ? ia.x < ib.x : ia.y < ib.y;
    });
    return cards;
}

// A pixel of the table where card is the topmost picture, or (-1, -1) when
// it is covered everywhere.
inline QPoint VisiblePoint(MainWindow& w, Card card) {
    const CardImage& image = w.pictures().Image(card);
    const QRect r =
        w.tableWidget().ToPixels(QRect(image.x, image.y, TableWidget::kCardW, TableWidget::kCardH));
    for (int y = r.center().y(); y > r.top(); y -= 3)
        for (int x = r.left() + 5; x < r.right(); x += 2) {
            Card hit;
            if (w.tableWidget().CardAtPixel(QPoint(x, y), hit) && hit == card) return QPoint(x, y);
        }
    return QPoint(-1, -1);
}

inline void PressCard(MainWindow& w, Card card, Qt::MouseButton button = Qt::LeftButton) {
    const QPoint at = VisiblePoint(w, card);
    QTest::mousePress(&w.tableWidget(), button, Qt::NoModifier, at);
    QTest::mouseRelease(&w.tableWidget(), button, Qt::NoModifier, at);
}

inline void PressThrow(MainWindow& w) {
    QTest::mouseClick(w.labThrow(), Qt::LeftButton);
    Settle(w);
}

// A local game under way, with a finished game on the score board.
inline void DealAfterFinishedGame(MainWindow& w) {
    w.Action("mnuDeal")->trigger();
    w.engine().GameWon();
    Settle(w);
    w.Action("mnuDeal")->trigger();
}

// Ticks the cycle timer until the person may choose, at most limit times.
inline bool TickToPerson(MainWindow& w, int limit) {
    for (int i = 0; i < limit; ++i) {
        if (!Settle(w)) return false;
        if (!w.labThrow()->isHidden() && w.table().CurrentSeat == w.session().LocalSeat) return true;
        w.engine().Tick();
    }
    return !w.labThrow()->isHidden() && w.table().CurrentSeat == w.session().LocalSeat;
}

// What the person can see of the table and the play button, as one text.
inline QString Picture(MainWindow& w) {
    QString text;
    for (int s = 0; s < kSuits; ++s)
        for (int n = 1; n <= kNumbers; ++n) {
            const Card card{s, n};
            const CardImage& i = w.pictures().Image(card);
            text += QString("%1:%2,%3,%4,%5,%6;")
                        .arg(Q(CardCode(card)))
                        .arg(w.table().Location(card))
                        .arg(i.x)
                        .arg(i.y)
                        .arg(i.face)
                        .arg(w.pictures().Image(card).raised);
        }
    text += "|sel:";
    text += Q(Codes(w.table().lstSelected));
    text += "|hand:";
    text += Q(Codes(w.table().lstDirection[0]));
    text += QString("|throw:%1,%2|seat:%3")
                .arg(w.labThrow()->isHidden())
                .arg(w.labThrow()->text())
                .arg(w.table().CurrentSeat);
    return text;
}

}  // namespace vorn::apptest
