#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPixmap>
#include <QRectF>
#include <QSize>

#include <map>
#include <utility>

#include "cards/card.h"

class QPainter;

namespace vorn {

// Draws the card pictures of the table: the 52 faces, the one back, the felt
// and the turn marker, all with QPainter and our own vector shapes, so the
// cards look the same on every machine and stay sharp at any screen scale.
//
// A card is 71 x 96 logical pixels. Every picture is rendered at the device
// pixel ratio asked for (a face at ratio 2 holds 142 x 192 pixels) and carries
// that ratio, so Qt draws it at its logical size. Faces and backs are cached
// per ratio and colour scheme; the cache is dropped when the scheme changes.
// The same ratio always gives the very same pixels: the strip is assembled
// from the cached faces, so a strip cell and its face are identical.
class CardPainter {
  public:
    static constexpr int kCardWidth = 71;
    static constexpr int kCardHeight = 96;

    // fourColour: clubs green and diamonds blue, so the four suits part at a glance.
    explicit CardPainter(bool fourColour = false);

    bool FourColour() const { return fourColour_; }
    void SetFourColour(bool fourColour);

    // A picture at pixel ratio dpr, never under 1: a smaller one is drawn at
    // the natural size and scaled down where it is shown (painted at a ratio
    // under 1 it would keep its full size and lose its right and bottom edges).
    QPixmap Face(Card card, qreal dpr) const;
    QPixmap Back(qreal dpr) const;

    // The 52 faces as a 13 x 4 grid: rows clubs, diamonds, hearts, spades,
    // columns 3 .. 2; the face of a card sits in cell FaceCell(card). A cell is
    // exactly the face's pixel size (71 x 96 times the ratio, rounded).
    QImage Strip(qreal dpr) const;

    // Green cloth for the table, with a soft light in the middle and a fine
    // grain; the grain is seeded, so the same size gives the same cloth.
    QPixmap Felt(QSize logicalSize, qreal dpr) const;

    // The marker beside the seat to move: a lit gold disc with a dark rim, drawn
    // into box (logical coordinates of the painter).
    static void PaintTurnMarker(QPainter& painter, const QRectF& box);

    // The ink of a suit in the current scheme.
    QColor SuitColour(int suit) const;
    static QColor SuitColour(int suit, bool fourColour);

    // A suit symbol filling box (its width and height); pointing up.
    static QPainterPath SuitPath(int suit, const QRectF& box);

    // Paint into a 71 x 96 logical area at the painter's origin.
    void PaintFace(QPainter& painter, Card card) const;
    void PaintBack(QPainter& painter) const;

  private:
    using Key = std::pair<int, bool>;  // ratio in hundredths, colour scheme
    static Key MakeKey(qreal dpr, bool fourColour);
    QImage Render(qreal dpr, bool back, Card card) const;

    void PaintIndex(QPainter& painter, Card card) const;
    void PaintPips(QPainter& painter, Card card) const;
    void PaintCourt(QPainter& painter, Card card) const;

    bool fourColour_;
    mutable std::map<Key, std::map<int, QPixmap>> faces_;
    mutable std::map<Key, QPixmap> backs_;
};

}  // namespace vorn
