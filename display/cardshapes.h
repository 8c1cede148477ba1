#pragma once

// The measures, inks and shapes that the card faces and the back share
// (display/cardface.cpp, display/cardpainter.cpp); not for use outside them.

#include <QColor>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

#include "display/cardpainter.h"

namespace vorn::cardshape {

constexpr qreal kW = CardPainter::kCardWidth;
constexpr qreal kH = CardPainter::kCardHeight;
constexpr qreal kCorner = 5.0;
const QPointF kCentre(kW / 2, kH / 2);

const QColor kPaper(0xfd, 0xfd, 0xfa);
const QColor kEdge(0x80, 0x80, 0x80);
const QColor kGold(0xd9, 0xa8, 0x2a);
const QColor kGoldLight(0xf6, 0xdd, 0x85);
const QColor kGoldDark(0x6e, 0x50, 0x14);

inline QPointF Unit(const QRectF& box, qreal x, qreal y) {
    return {box.left() + x * box.width(), box.top() + y * box.height()};
}

// The outline of the whole card, shared by the faces and the back.
inline QPainterPath CardOutline() {
    QPainterPath path;
    path.addRoundedRect(QRectF(0.5, 0.5, kW - 1, kH - 1), kCorner, kCorner);
    return path;
}

inline void PaintBlank(QPainter& painter) {
    painter.setPen(QPen(kEdge, 1.0));
    painter.setBrush(kPaper);
    painter.drawPath(CardOutline());
}

// Eight-pointed star: the mark of the 2, the strongest card of the game.
inline QPainterPath StarPath(const QPointF& centre, qreal outer, qreal inner) {
    QPainterPath path;
    for (int i = 0; i < 16; ++i) {
        const qreal angle = std::numbers::pi / 8 * i - std::numbers::pi / 2;
        const qreal r = i % 2 == 0 ? outer : inner;
        const QPointF p(centre.x() + r * std::cos(angle), centre.y() + r * std::sin(angle));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

}  // namespace vorn::cardshape
