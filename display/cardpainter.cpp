#include "display/cardpainter.h"
#include "display/cardshapes.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QTransform>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <vector>

namespace vorn {

using namespace cardshape;

CardPainter::CardPainter(bool fourColour) : fourColour_(fourColour) {}

void CardPainter::SetFourColour(bool fourColour) {
    if (fourColour == fourColour_) return;
    fourColour_ = fourColour;
    faces_.clear();
}

CardPainter::Key CardPainter::MakeKey(qreal dpr, bool fourColour) {
    return {int(std::lround(dpr * 100)), fourColour};
}

QColor CardPainter::SuitColour(int suit) const {
    return SuitColour(suit, fourColour_);
}

QColor CardPainter::SuitColour(int suit, bool fourColour) {
    switch (suit) {
        case 0:
            return fourColour ? QColor(0x1b, 0x7a, 0x2c) : QColor(0x1a, 0x1a, 0x1a);
        case 1:
            return fourColour ? QColor(0x16, 0x4f, 0xb8) : QColor(0xc8, 0x12, 0x2c);
        case 2:
            return QColor(0xc8, 0x12, 0x2c);
        default:
            return QColor(0x1a, 0x1a, 0x1a);
    }
}

namespace {
// The back's pattern: a diagonal lattice with a small lozenge at every crossing, inside field.
void PaintLattice(QPainter& painter, const QRectF& field, const QPainterPath& fieldPath) {
    painter.setClipPath(fieldPath);
    const qreal step = 7.0;
    painter.setPen(QPen(QColor(0x5b, 0x7f, 0xc4), 0.7));
    for (qreal d = -kH; d < kW + kH; d += step) {
        painter.drawLine(QPointF(d, 0), QPointF(d + kH, kH));
        painter.drawLine(QPointF(d, kH), QPointF(d + kH, 0));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xb8, 0xcb, 0xee));
    // Crossings of the two line families lie on a grid of step / 2 across, step / 2 down.
    for (int i = -40; i < 40; ++i) {
        for (int j = -40; j < 40; ++j) {
            if ((i + j) % 2 != 0) continue;
            const QPointF c(i * step / 2, j * step / 2);
            if (!field.adjusted(-2, -2, 2, 2).contains(c)) continue;
            QPolygonF lozenge(
                {c + QPointF(0, -1.1), c + QPointF(1.1, 0), c + QPointF(0, 1.1), c + QPointF(-1.1, 0)});
            painter.drawPolygon(lozenge);
        }
    }
    painter.setClipping(false);
}
}  // namespace

void CardPainter::PaintBack(QPainter& painter) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    PaintBlank(painter);

    const QRectF field(4.0, 4.0, kW - 8, kH - 8);
    QPainterPath fieldPath;
    fieldPath.addRoundedRect(field, 3, 3);
    QLinearGradient deep(field.topLeft(), field.bottomRight());
    deep.setColorAt(0, QColor(0x23, 0x47, 0x8c));
    deep.setColorAt(1, QColor(0x12, 0x2a, 0x5c));
    painter.fillPath(fieldPath, deep);

    PaintLattice(painter, field, fieldPath);

    // Frame lines and a medallion with the four suits around a star.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xe4, 0xea, 0xf7), 1.0));
    painter.drawRoundedRect(field.adjusted(2, 2, -2, -2), 2, 2);
    painter.setPen(QPen(QColor(0xe4, 0xea, 0xf7, 160), 0.5));
    painter.drawRoundedRect(field.adjusted(3.5, 3.5, -3.5, -3.5), 1.5, 1.5);

    const QRectF medal(kCentre.x() - 17, kCentre.y() - 22, 34, 44);
    QRadialGradient lit(kCentre, 22);
    lit.setColorAt(0, QColor(0x2f, 0x5c, 0xaa));
    lit.setColorAt(1, QColor(0x16, 0x30, 0x66));
    painter.setPen(QPen(QColor(0xe4, 0xea, 0xf7), 1.2));
    painter.setBrush(lit);
    painter.drawEllipse(medal);
    painter.setPen(QPen(kGold, 0.6));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(medal.adjusted(2.5, 2.5, -2.5, -2.5));

    painter.setPen(QPen(kGoldDark, 0.5));
    painter.setBrush(kGold);
    painter.drawPath(StarPath(kCentre, 8, 3.2));
    const qreal pip = 7.0, reach = 12.5;
    const QPointF spots[kSuits] = {kCentre + QPointF(-reach + 3, 0), kCentre + QPointF(0, -reach - 3),
                                   kCentre + QPointF(reach - 3, 0), kCentre + QPointF(0, reach + 3)};
    for (int s = 0; s < kSuits; ++s) {
        const QRectF box(spots[s].x() - pip / 2, spots[s].y() - pip / 2, pip, pip);
        painter.fillPath(SuitPath(s, box), QColor(0xe4, 0xea, 0xf7));
    }
    painter.restore();
}

QImage CardPainter::Render(qreal dpr, bool back, Card card) const {
    QImage image(int(std::lround(kW * dpr)), int(std::lround(kH * dpr)), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    if (back)
        PaintBack(painter);
    else
        PaintFace(painter, card);
    painter.end();
    return image;
}

QPixmap CardPainter::Face(Card card, qreal dpr) const {
    dpr = std::max<qreal>(1.0, dpr);
    auto& faces = faces_[MakeKey(dpr, fourColour_)];
    const int cell = FaceCell(card);
    auto found = faces.find(cell);
    if (found == faces.end()) found = faces.emplace(cell, QPixmap::fromImage(Render(dpr, false, card))).first;
    return found->second;
}

QPixmap CardPainter::Back(qreal dpr) const {
    dpr = std::max<qreal>(1.0, dpr);
    const Key key = MakeKey(dpr, false);
    auto found = backs_.find(key);
    if (found == backs_.end())
        found = backs_.emplace(key, QPixmap::fromImage(Render(dpr, true, Card{}))).first;
    return found->second;
}

QImage CardPainter::Strip(qreal dpr) const {
    dpr = std::max<qreal>(1.0, dpr);
    const int w = int(std::lround(kW * dpr));
    const int h = int(std::lround(kH * dpr));
    QImage strip(w * kNumbers, h * kSuits, QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    // Rows are copied byte for byte, so every cell is exactly its face.
    for (int suit = 0; suit < kSuits; ++suit) {
        for (int number = 1; number <= kNumbers; ++number) {
            const QImage face = Face(Card{suit, number}, dpr).toImage().convertToFormat(strip.format());
            const int x0 = (number - 1) * w;
            const int y0 = suit * h;
            for (int y = 0; y < h; ++y)
                std::memcpy(strip.scanLine(y0 + y) + ptrdiff_t(x0) * 4, face.constScanLine(y), size_t(w) * 4);
        }
    }
    strip.setDevicePixelRatio(dpr);
    return strip;
}

QPixmap CardPainter::Felt(QSize logicalSize, qreal dpr) const {
    const QSize pixels(int(std::lround(logicalSize.width() * dpr)),
                       int(std::lround(logicalSize.height() * dpr)));
    QImage image(pixels.expandedTo(QSize(1, 1)), QImage::Format_RGB32);

    const QPointF middle(pixels.width() / 2.0, pixels.height() / 2.0);
    QRadialGradient light(middle, std::max(pixels.width(), pixels.height()) * 0.7);
    light.setColorAt(0, QColor(0x23, 0x7a, 0x45));
    light.setColorAt(0.6, QColor(0x1a, 0x63, 0x37));
    light.setColorAt(1, QColor(0x0e, 0x42, 0x23));
    QPainter painter(&image);
    painter.fillRect(image.rect(), light);

    // The grain: a small tile of faint light and dark specks, repeated. A fixed
    // seed gives the same cloth every run.
    const int tileSize = 96;
    QImage tile(tileSize, tileSize, QImage::Format_ARGB32_Premultiplied);
    std::uint32_t seed = 0x2545f491u;
    for (int y = 0; y < tileSize; ++y) {
        auto* line = reinterpret_cast<QRgb*>(tile.scanLine(y));
        for (int x = 0; x < tileSize; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int v = int(seed >> 24);  // 0..255
            const int alpha = std::abs(v - 128) / 10;
            line[x] =
                v > 128 ? qPremultiply(qRgba(255, 255, 255, alpha)) : qPremultiply(qRgba(0, 0, 0, alpha));
        }
    }
    painter.fillRect(image.rect(), QBrush(tile));
    painter.end();

    image.setDevicePixelRatio(dpr);
    return QPixmap::fromImage(image);
}

void CardPainter::PaintTurnMarker(QPainter& painter, const QRectF& box) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal r = std::min(box.width(), box.height()) / 2;
    const QPointF c = box.center();
    QRadialGradient glow(c - QPointF(r * 0.3, r * 0.3), r * 1.2);
    glow.setColorAt(0, QColor(0xff, 0xf4, 0xb8));
    glow.setColorAt(0.5, kGold);
    glow.setColorAt(1, QColor(0x9a, 0x6c, 0x10));
    painter.setPen(QPen(kGoldDark, std::max<qreal>(1.0, r * 0.12)));
    painter.setBrush(glow);
    painter.drawEllipse(c, r * 0.9, r * 0.9);
    painter.restore();
}

}  // namespace vorn
