// The faces: index, pips, court figures and the suit symbols.
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

namespace {

const char* const kRankTexts[kNumbers] = {"3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A", "2"};

// Paints path turned half round about the centre of box, as the lower half
// of a card shows its symbols.
void FillTurned(QPainter& painter, const QPainterPath& path, const QPointF& centre, const QBrush& brush) {
    QTransform turn;
    turn.translate(centre.x(), centre.y());
    turn.rotate(180);
    turn.translate(-centre.x(), -centre.y());
    painter.fillPath(turn.map(path), brush);
}

// The text as an outline centred in box, as tall as the reference glyph is
// when scaled to the box height (a descending J or a tailed Q may reach a little
// further, never much), squeezed sideways when it would be wider than the box.
// Font metrics differ from machine to machine; fitting the outline keeps the
// letters the same size anyway.
QPainterPath FittedText(const QString& text, const QFont& font, const QRectF& box, const QString& heightRef) {
    QPainterPath ref;
    ref.addText(0, 0, font, heightRef);
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF refBounds = ref.boundingRect();
    const QRectF bounds = path.boundingRect();
    if (refBounds.height() <= 0 || bounds.width() <= 0 || bounds.height() <= 0) return {};
    const qreal sy = std::min(box.height() / refBounds.height(), 1.12 * box.height() / bounds.height());
    const qreal sx = std::min(sy, box.width() / bounds.width());
    QTransform fit;
    fit.translate(box.center().x() - bounds.center().x() * sx, box.center().y() - bounds.center().y() * sy);
    fit.scale(sx, sy);
    return fit.map(path);
}

QFont IndexFont() {
    QFont font;
    font.setFamilies({"DejaVu Sans Condensed", "DejaVu Sans", "Liberation Sans Narrow", "Arial Narrow",
                      "Liberation Sans", "Arial", "Helvetica"});
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Bold);
    font.setPixelSize(40);
    return font;
}

QFont CourtFont() {
    QFont font;
    font.setFamilies({"DejaVu Serif", "Liberation Serif", "Times New Roman", "Times"});
    font.setStyleHint(QFont::Serif);
    font.setWeight(QFont::Bold);
    font.setPixelSize(60);
    return font;
}

// Pip centres of the number cards on a 3-column grid. Rows run from the top
// pip at y 0 to the bottom one at y 1; the classic patterns.
struct Spot {
    int column;  // 0 left, 1 middle, 2 right
    qreal row;   // 0 .. 1
};

std::vector<Spot> PipSpots(int rank) {
    const qreal third = 1.0 / 3, sixth = 1.0 / 6;
    std::vector<Spot> spots;
    auto sides = [&](std::initializer_list<qreal> rows) {
        for (qreal r : rows) {
            spots.push_back({0, r});
            spots.push_back({2, r});
        }
    };
    switch (rank) {
        case 2:
            spots = {{1, 0}, {1, 1}};
            break;
        case 3:
            spots = {{1, 0}, {1, 0.5}, {1, 1}};
            break;
        case 4:
            sides({0, 1});
            break;
        case 5:
            sides({0, 1});
            spots.push_back({1, 0.5});
            break;
        case 6:
            sides({0, 0.5, 1});
            break;
        case 7:
            sides({0, 0.5, 1});
            spots.push_back({1, 0.25});
            break;
        case 8:
            sides({0, 0.5, 1});
            spots.push_back({1, 0.25});
            spots.push_back({1, 0.75});
            break;
        case 9:
            sides({0, third, 2 * third, 1});
            spots.push_back({1, 0.5});
            break;
        case 10:
            sides({0, third, 2 * third, 1});
            spots.push_back({1, sixth});
            spots.push_back({1, 1 - sixth});
            break;
        default:
            break;
    }
    return spots;
}

// Face value printed on the card for a card number: 1 -> 3 ... 12 -> A (14), 13 -> 2.
int FaceRank(int number) {
    return number == kTwo ? 2 : number + 2;
}

QPainterPath CrownPath(const QRectF& box) {
    QPainterPath path;
    path.moveTo(Unit(box, 0.10, 0.80));
    path.lineTo(Unit(box, 0.04, 0.22));
    path.lineTo(Unit(box, 0.30, 0.52));
    path.lineTo(Unit(box, 0.50, 0.10));
    path.lineTo(Unit(box, 0.70, 0.52));
    path.lineTo(Unit(box, 0.96, 0.22));
    path.lineTo(Unit(box, 0.90, 0.80));
    path.closeSubpath();
    path.addRect(QRectF(Unit(box, 0.08, 0.78), Unit(box, 0.92, 1.0)));
    const qreal r = box.width() * 0.065;
    for (QPointF tip : {Unit(box, 0.04, 0.20), Unit(box, 0.50, 0.08), Unit(box, 0.96, 0.20)})
        path.addEllipse(tip, r, r);
    return path.simplified();
}

QPainterPath TiaraPath(const QRectF& box) {
    QPainterPath path;
    path.moveTo(Unit(box, 0.12, 0.80));
    path.cubicTo(Unit(box, 0.10, 0.45), Unit(box, 0.30, 0.28), Unit(box, 0.50, 0.20));
    path.cubicTo(Unit(box, 0.70, 0.28), Unit(box, 0.90, 0.45), Unit(box, 0.88, 0.80));
    path.closeSubpath();
    path.addRect(QRectF(Unit(box, 0.08, 0.78), Unit(box, 0.92, 1.0)));
    const qreal r = box.width() * 0.05;
    for (qreal t : {0.14, 0.30, 0.50, 0.70, 0.86}) {
        // Pearls along the arch.
        const qreal y = t == 0.50 ? 0.10 : (t < 0.2 || t > 0.8 ? 0.48 : 0.24);
        path.addEllipse(Unit(box, t, y), r, r);
    }
    return path.simplified();
}

QPainterPath CapPath(const QRectF& box) {
    QPainterPath path;
    path.moveTo(Unit(box, 0.14, 0.80));
    path.quadTo(Unit(box, 0.10, 0.40), Unit(box, 0.02, 0.14));
    path.quadTo(Unit(box, 0.36, 0.26), Unit(box, 0.50, 0.56));
    path.quadTo(Unit(box, 0.64, 0.26), Unit(box, 0.98, 0.14));
    path.quadTo(Unit(box, 0.90, 0.40), Unit(box, 0.86, 0.80));
    path.closeSubpath();
    path.addRect(QRectF(Unit(box, 0.08, 0.78), Unit(box, 0.92, 1.0)));
    const qreal r = box.width() * 0.07;
    path.addEllipse(Unit(box, 0.02, 0.13), r, r);
    path.addEllipse(Unit(box, 0.98, 0.13), r, r);
    return path.simplified();
}

}  // namespace

QPainterPath CardPainter::SuitPath(int suit, const QRectF& box) {
    QPainterPath path;
    auto at = [&](qreal x, qreal y) { return Unit(box, x, y); };
    switch (suit) {
        case 0: {  // clubs: three leaves and a flared stem
            const qreal r = 0.225;
            path.addEllipse(QRectF(at(0.5 - r, 0.27 - r * box.width() / box.height()),
                                   QSizeF(2 * r * box.width(), 2 * r * box.width())));
            path.addEllipse(QRectF(at(0.255 - r, 0.585 - r * box.width() / box.height()),
                                   QSizeF(2 * r * box.width(), 2 * r * box.width())));
            path.addEllipse(QRectF(at(0.745 - r, 0.585 - r * box.width() / box.height()),
                                   QSizeF(2 * r * box.width(), 2 * r * box.width())));
            path.addEllipse(QRectF(at(0.38, 0.38), at(0.62, 0.62)));
            QPainterPath stem;
            stem.moveTo(at(0.45, 0.55));
            stem.quadTo(at(0.46, 0.86), at(0.28, 1.0));
            stem.lineTo(at(0.72, 1.0));
            stem.quadTo(at(0.54, 0.86), at(0.55, 0.55));
            stem.closeSubpath();
            path.addPath(stem);
            break;
        }
        case 1:  // diamonds: a lozenge with gently drawn-in sides
            path.moveTo(at(0.5, 0.0));
            path.quadTo(at(0.64, 0.28), at(0.92, 0.5));
            path.quadTo(at(0.64, 0.72), at(0.5, 1.0));
            path.quadTo(at(0.36, 0.72), at(0.08, 0.5));
            path.quadTo(at(0.36, 0.28), at(0.5, 0.0));
            path.closeSubpath();
            break;
        case 2:  // hearts
            path.moveTo(at(0.5, 1.0));
            path.cubicTo(at(0.36, 0.80), at(0.0, 0.60), at(0.0, 0.31));
            path.cubicTo(at(0.0, 0.11), at(0.14, 0.0), at(0.28, 0.0));
            path.cubicTo(at(0.40, 0.0), at(0.48, 0.08), at(0.5, 0.19));
            path.cubicTo(at(0.52, 0.08), at(0.60, 0.0), at(0.72, 0.0));
            path.cubicTo(at(0.86, 0.0), at(1.0, 0.11), at(1.0, 0.31));
            path.cubicTo(at(1.0, 0.60), at(0.64, 0.80), at(0.5, 1.0));
            path.closeSubpath();
            break;
        default: {  // spades: an upturned heart on a flared stem
            path.moveTo(at(0.5, 0.0));
            path.cubicTo(at(0.62, 0.20), at(1.0, 0.38), at(1.0, 0.61));
            path.cubicTo(at(1.0, 0.76), at(0.88, 0.85), at(0.75, 0.85));
            path.cubicTo(at(0.65, 0.85), at(0.57, 0.80), at(0.53, 0.73));
            path.quadTo(at(0.55, 0.90), at(0.72, 1.0));
            path.lineTo(at(0.28, 1.0));
            path.quadTo(at(0.45, 0.90), at(0.47, 0.73));
            path.cubicTo(at(0.43, 0.80), at(0.35, 0.85), at(0.25, 0.85));
            path.cubicTo(at(0.12, 0.85), at(0.0, 0.76), at(0.0, 0.61));
            path.cubicTo(at(0.0, 0.38), at(0.38, 0.20), at(0.5, 0.0));
            path.closeSubpath();
            break;
        }
    }
    path.setFillRule(Qt::WindingFill);
    return path.simplified();
}

void CardPainter::PaintIndex(QPainter& painter, Card card) const {
    const QColor ink = SuitColour(card.Suit());
    static const QFont font = IndexFont();
    const QString text = QString::fromLatin1(kRankTexts[card.Number() - 1]);
    // In a hand only 200 twips (13.3 pixels) of a card show beside the next
    // one: the rank stays inside them, "10" squeezed a little to fit.
    const QPainterPath rank = FittedText(
        text, font, text.size() > 1 ? QRectF(1.4, 3.5, 10.8, 10.5) : QRectF(2.0, 3.5, 10.0, 10.5), "K");
    const QPainterPath pip = SuitPath(card.Suit(), QRectF(3.0, 16.5, 8.5, 9.0));
    QPainterPath index = rank;
    index.addPath(pip);
    painter.fillPath(index, ink);
    FillTurned(painter, index, kCentre, ink);
}

void CardPainter::PaintPips(QPainter& painter, Card card) const {
    const QColor ink = SuitColour(card.Suit());
    const int rank = FaceRank(card.Number());
    if (rank == 14) {
        // The ace: one big pip with a fine line traced inside it; the club's
        // leaves read better solid, an inner line would cross its stem.
        const QRectF box(kCentre.x() - 16, kCentre.y() - 17.5, 32, 35);
        const QPainterPath pip = SuitPath(card.Suit(), box);
        painter.fillPath(pip, ink);
        if (card.Suit() != 0) {
            const QRectF inner = box.adjusted(3.2, 3.6, -3.2, -3.0);
            painter.strokePath(SuitPath(card.Suit(), inner), QPen(QColor(255, 255, 255, 150), 0.8));
        }
        return;
    }
    const qreal columns[3] = {22.0, kCentre.x(), 49.0};
    const qreal top = 17.5, bottom = kH - 17.5;
    const QSizeF size(12.0, 13.0);
    for (const Spot& spot : PipSpots(rank)) {
        const QPointF at(columns[spot.column], top + spot.row * (bottom - top));
        const QRectF box(at.x() - size.width() / 2, at.y() - size.height() / 2, size.width(), size.height());
        const QPainterPath pip = SuitPath(card.Suit(), box);
        if (spot.row > 0.5)
            FillTurned(painter, pip, at, ink);
        else
            painter.fillPath(pip, ink);
    }
    if (rank == 2) {
        // The 2 beats everything: a gold star between its pips says so.
        const QPainterPath star = StarPath(kCentre, 9.5, 4.2);
        painter.setPen(QPen(kGoldDark, 0.7));
        QRadialGradient glow(kCentre, 9.5);
        glow.setColorAt(0, kGoldLight);
        glow.setColorAt(1, kGold);
        painter.setBrush(glow);
        painter.drawPath(star);
    }
}

void CardPainter::PaintCourt(QPainter& painter, Card card) const {
    const QColor ink = SuitColour(card.Suit());
    const QRectF panel(14.5, 9.5, 42, 77);

    QLinearGradient cloth(panel.topLeft(), panel.bottomLeft());
    cloth.setColorAt(0, QColor(0xfb, 0xf4, 0xdf));
    cloth.setColorAt(0.5, QColor(0xf3, 0xe4, 0xbc));
    cloth.setColorAt(1, QColor(0xfb, 0xf4, 0xdf));
    painter.setPen(QPen(ink, 1.0));
    painter.setBrush(cloth);
    painter.drawRoundedRect(panel, 2.5, 2.5);
    painter.setPen(QPen(kGold, 0.8));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(panel.adjusted(2.2, 2.2, -2.2, -2.2), 1.5, 1.5);

    const QRectF emblemBox(kCentre.x() - 13, 16.0, 26, 17);
    QPainterPath emblem;
    switch (card.Number()) {
        case 9:
            emblem = CapPath(emblemBox);
            break;
        case 10:
            emblem = TiaraPath(emblemBox);
            break;
        default:
            emblem = CrownPath(emblemBox);
            break;
    }
    QLinearGradient gilt(emblemBox.topLeft(), emblemBox.bottomLeft());
    gilt.setColorAt(0, kGoldLight);
    gilt.setColorAt(1, kGold);
    painter.setPen(QPen(kGoldDark, 0.7));
    painter.setBrush(gilt);
    painter.drawPath(emblem);
    // A jewel of the suit's ink on the band.
    const QRectF band(Unit(emblemBox, 0.08, 0.78), Unit(emblemBox, 0.92, 1.0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    const qreal jewel = band.height() * 0.32;
    for (qreal x : {0.25, 0.5, 0.75})
        painter.drawEllipse(QPointF(band.left() + x * band.width(), band.center().y()), jewel, jewel);

    static const QFont font = CourtFont();
    const QString letter = QString::fromLatin1(kRankTexts[card.Number() - 1]);
    const QPainterPath big = FittedText(letter, font, QRectF(kCentre.x() - 14, 37.0, 28, 27), "K");
    painter.fillPath(big, ink);

    const QRectF pipBox(kCentre.x() - 6.5, 68.0, 13, 14);
    painter.fillPath(SuitPath(card.Suit(), pipBox), ink);
}

void CardPainter::PaintFace(QPainter& painter, Card card) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    PaintBlank(painter);
    PaintIndex(painter, card);
    const int rank = FaceRank(card.Number());
    if (rank >= 11 && rank <= 13)
        PaintCourt(painter, card);
    else
        PaintPips(painter, card);
    painter.restore();
}

}  // namespace vorn
