#pragma once

// Helpers of the table-window tests: the window fixture (tests/support/window.h),
// waiting for the window to settle, the mouse positions of its cards, and files.
// It brings the widgets the tests look at, so a test file includes only what
// it tests besides.

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <array>
#include <vector>

#include "app/mainwindow.h"
#include "cards/card.h"
#include "display/seatcues.h"
#include "display/tablewidget.h"
#include "tests/support/cards.h"
#include "tests/support/window.h"
#include "tests/testing.h"

namespace vorn::apptest {

using testing::Q;
using testing::Settle;
using testing::TickToPerson;
using testing::WindowFixture;

// No test reads or writes the machine's own settings and data folders: the
// test folders are chosen as the program starts, before any test runs.
inline const bool kTestFolders = [] {
    QStandardPaths::setTestModeEnabled(true);
    return true;
}();

// The settings file of a table that speaks English.
inline const QByteArray kEnglish = "[Option]\r\nLanguage=en\r\n";

// The 52 cards, clubs 3 first.
inline std::array<Card, kDeckSize> AllCards() {
    std::array<Card, kDeckSize> cards;
    for (int i = 0; i < kDeckSize; ++i) cards[size_t(i)] = Card::FromIndex(i);
    return cards;
}

// The cards in seat's hand (chosen ones included), left to right or top to bottom.
inline std::vector<Card> HandCards(MainWindow& w, int seat) {
    std::vector<Card> cards;
    for (Card card : AllCards())
        if (w.table().Location(card) == seat) cards.push_back(card);
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

// A click on the stock pile.
inline void ClickStock(MainWindow& w) {
    TableWidget& table = w.tableWidget();
    QTest::mouseClick(&table, Qt::LeftButton, Qt::NoModifier,
                      table.ToPixels(QRect(300, 300, 1065, 1440)).center());
}

// Shows a window and waits until it has the keyboard: the window system may
// report it active before the application has moved its own idea of the
// active window (and the focus) over to it.
inline bool ShowActive(QWidget& widget) {
    widget.show();
    widget.activateWindow();
    return QTest::qWaitForWindowActive(&widget) &&
           QTest::qWaitFor([&widget] { return QApplication::activeWindow() == &widget; }, 2000);
}

// A file's bytes (empty when it cannot be read), and a file written whole.
inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
inline bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A local game under way, with a finished game on the score board.
inline void DealAfterFinishedGame(MainWindow& w) {
    w.Action("mnuDeal")->trigger();
    w.engine().GameWon();
    Settle(w);
    w.Action("mnuDeal")->trigger();
}

// The seats' names as the session holds them.
inline QStringList Names(const Session& session) {
    QStringList names;
    for (const auto& name : session.PlayerNames) names << Q(name);
    return names;
}

// What the person can see of the table and the play button, as one text.
inline QString Picture(MainWindow& w) {
    QString text;
    for (Card card : AllCards()) {
        const CardImage& i = w.pictures().Image(card);
        text += QString("%1:%2,%3,%4,%5,%6;")
                    .arg(Q(CardCode(card)))
                    .arg(w.table().Location(card))
                    .arg(i.x)
                    .arg(i.y)
                    .arg(i.face)
                    .arg(i.raised);
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
