#pragma once

#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

#include "cards/card.h"
#include "cards/tableclient.h"
#include "display/cardpainter.h"
#include "display/language.h"
#include "display/tablecues.h"

class QLabel;
class QPainter;

namespace vorn {

// How wide text is on label at the table's unscaled size, in twips.
int TextTwips(const QLabel& label, const QString& text);
// How tall text is on label when wrapped at widthTwips, at that size, in twips.
int WrappedTextTwips(const QLabel& label, const QString& text, int widthTwips);

// The table itself: felt, the table outline, the stock and every card picture,
// drawn in twips and scaled to the widget with the proportions kept (15 twips
// are one logical pixel at the natural size). The window's other controls are
// child widgets placed here in twips too, so they scale with the table.
//
// The widget mirrors the card pictures of the model (CardImage); it never
// decides anything. What it draws for each card is the model's picture as the
// table's cues present it (the play to beat kept face up, a finished hand
// shown open), and that is what CardAt, the hit test and screen readers see.
// A left-button press on a card is reported with the card, one on the stock
// as such; keyboard focus can walk the person's own cards.
class TableWidget : public QWidget {
    Q_OBJECT
  public:
    // The scene's size in twips: the client area of the table window. It is
    // as wide on the right of the table outline as on the left, where the
    // stock, the player list, the chat and the score board are, so that the
    // table stands in the middle of the window.
    static constexpr int kSceneWidth = 15660;
    static constexpr int kSceneHeight = 8250;
    static constexpr int kCardW = 1065;
    static constexpr int kCardH = 1440;
    // The table outline encloses the four hands: from the left anchor to the right
    // anchor plus one card, from the top anchor to the bottom anchor plus one card.
    static constexpr QRect kDesk{3700, 300, 8265, 7540};

    explicit TableWidget(QWidget* parent = nullptr);

    void SetCard(Card card, const CardImage& image);
    // The picture as drawn.
    const CardImage& CardAt(Card card) const { return images_[card.Suit()][card.Number() - 1]; }
    bool IsDimmed(Card card) const { return cues_.Dimmed(card, model_[size_t(FaceCell(card))]); }

    // The cues (see TableCues); each redraws what it changes.
    void SetKeepPlay(bool keep);
    bool KeepPlay() const { return cues_.KeepPlay(); }
    void PlayLaid(const std::vector<Card>& cards);
    void ClearPlays();
    // The play to beat as it lies face up, in the order laid.
    const std::vector<Card>& PlayShown() const { return cues_.CurrentPlay(); }
    void Reveal(const std::vector<Card>& cards);
    void EndReveal();
    bool Revealing() const { return cues_.Revealing(); }
    void SetDeskShape(int shape);
    int DeskShape() const { return deskShape_; }
    void SetFourColour(bool fourColour);
    void SetTurnMarker(int seat, bool visible);
    void PlaceTurnMarker(int seat, int x, int y);
    bool TurnMarkerVisible(int seat) const { return markers_[seat].visible; }

    // A child control kept at a rectangle in twips.
    void Place(QWidget* child, QRect twips);
    void Move(QWidget* child, QPoint topLeftTwips);
    QRect PlacedRect(QWidget* child) const;

    // Twips to widget pixels and back.
    double Scale() const;
    QPointF Origin() const;
    QRect ToPixels(QRect twips) const;
    QPoint ToTwips(QPoint pixel) const;
    // The card whose picture is on top at a widget pixel, if any.
    bool CardAtPixel(QPoint pixel, Card& card) const;

    // Keyboard focus over the person's cards: the card drawn with a focus frame.
    void SetFocusCard(bool has, Card card = {});
    // Every card is drawn from the stock: its place shows an outline, not a back.
    void SetStockEmpty(bool empty);
    bool StockEmpty() const { return stockEmpty_; }
    bool HasFocusCard() const { return hasFocusCard_; }
    Card FocusCard() const { return focusCard_; }

    // Which pictures are the person's own cards. The window owns that knowledge;
    // the table asks it so screen readers can offer those cards as choosable.
    void SetOwnCardTest(std::function<bool(Card)> isOwn) { isOwn_ = std::move(isOwn); }
    bool HasOwnCardTest() const { return bool(isOwn_); }
    bool IsOwnCard(Card card) const { return isOwn_ && isOwn_(card); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The words a screen reader gets for the cards, the stock and the heap.
    void SetLanguage(const Language& words) { language_ = &words; }
    const Language& language() const { return language_ ? *language_ : SourceLanguage(); }

  signals:
    void cardPressed(vorn::Card card);
    void stockPressed();
    void keyPressed(int key);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    const Language* language_ = nullptr;
    struct Marker {
        int x = 0, y = 0;
        bool visible = false;
    };
    struct Placed {
        QPointer<QWidget> widget;
        QRect twips;
    };
    void Relayout();
    void ScaleFont(QWidget& child) const;
    void PaintDesk(QPainter& p) const;
    void RefreshShown();

    TableCues::Images model_{};
    TableCues cues_;
    CardImage images_[kSuits][kNumbers];
    std::array<Marker, 4> markers_;
    std::vector<Placed> placed_;
    CardPainter painter_;
    int deskShape_ = 0;
    bool hasFocusCard_ = false;
    bool stockEmpty_ = false;
    Card focusCard_{};
    std::function<bool(Card)> isOwn_;
    mutable QPixmap felt_;
};

}  // namespace vorn
