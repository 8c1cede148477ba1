#pragma once

// Helpers of the table-window tests: the window fixture (tests/support/window.h),
// waiting for the window to settle, the mouse positions of its cards, and files.

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
#include "tests/support/window.h"

namespace vorn::apptest {

using vorn::testing::Q;
using vorn::testing::WindowFixture;

using vorn::testing::Settle;

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
