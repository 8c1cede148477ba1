#include "display/tablewidget.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace vorn {

namespace {
// The label's font at the table's unscaled size.
QFont BaseFont(const QLabel& label) {
    QFont f = label.font();
    const QVariant base = label.property("basePointSize");
    if (base.isValid()) f.setPointSizeF(base.toDouble());
    return f;
}
}  // namespace

int TextTwips(const QLabel& label, const QString& text) {
    return QFontMetrics(BaseFont(label)).horizontalAdvance(text) * 15;
}

int WrappedTextTwips(const QLabel& label, const QString& text, int widthTwips) {
    const QRect lines(0, 0, std::max(1, widthTwips / 15), 1 << 20);
    return QFontMetrics(BaseFont(label)).boundingRect(lines, Qt::TextWordWrap, text).height() * 15;
}

namespace {
constexpr QRect kStock(300, 300, TableWidget::kCardW, TableWidget::kCardH);
constexpr int kMarkerSize = 200;
}  // namespace

TableWidget::TableWidget(QWidget* parent) : QWidget(parent) {
    setObjectName("tableView");
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(minimumSizeHint());
}

QSize TableWidget::sizeHint() const {
    return QSize(kSceneWidth / 15, kSceneHeight / 15);
}
QSize TableWidget::minimumSizeHint() const {
    // Half the natural height, and the width the window had as its least before
    // the scene grew a band on the right: a narrower window scales the whole scene.
    return QSize(kSceneWidth / 38, kSceneHeight / 30);
}

void TableWidget::SetCard(Card card, const CardImage& image) {
    model_[size_t(FaceCell(card))] = image;
    images_[card.Suit()][card.Number() - 1] = cues_.Shown(card, image);
    update();
}

void TableWidget::RefreshShown() {
    for (int s = 0; s < kSuits; ++s)
        for (int n = 0; n < kNumbers; ++n) {
            const Card card{s, n + 1};
            images_[s][n] = cues_.Shown(card, model_[size_t(FaceCell(card))]);
        }
    update();
}

void TableWidget::SetKeepPlay(bool keep) {
    cues_.SetKeepPlay(keep);
    RefreshShown();
}

void TableWidget::PlayLaid(const std::vector<Card>& cards) {
    cues_.PlayLaid(cards);
    RefreshShown();
}

void TableWidget::ClearPlays() {
    cues_.ClearPlays();
    RefreshShown();
}

void TableWidget::Reveal(const std::vector<Card>& cards) {
    cues_.Reveal(model_, cards);
    RefreshShown();
}

void TableWidget::EndReveal() {
    cues_.EndReveal();
    RefreshShown();
}

void TableWidget::SetDeskShape(int shape) {
    deskShape_ = shape;
    update();
}

void TableWidget::SetFourColour(bool fourColour) {
    painter_.SetFourColour(fourColour);
    update();
}

void TableWidget::SetTurnMarker(int seat, bool visible) {
    markers_[seat].visible = visible;
    update();
}

void TableWidget::PlaceTurnMarker(int seat, int x, int y) {
    markers_[seat].x = x;
    markers_[seat].y = y;
    update();
}

void TableWidget::SetStockEmpty(bool empty) {
    if (empty == stockEmpty_) return;
    stockEmpty_ = empty;
    update();
}

void TableWidget::SetFocusCard(bool has, Card card) {
    hasFocusCard_ = has;
    focusCard_ = card;
    update();
}

double TableWidget::Scale() const {
    return std::min(double(width()) / kSceneWidth, double(height()) / kSceneHeight);
}

QPointF TableWidget::Origin() const {
    double s = Scale();
    return QPointF((width() - kSceneWidth * s) / 2.0, (height() - kSceneHeight * s) / 2.0);
}

QRect TableWidget::ToPixels(QRect twips) const {
    double s = Scale();
    QPointF o = Origin();
    return QRect(int(std::lround(o.x() + twips.x() * s)), int(std::lround(o.y() + twips.y() * s)),
                 int(std::lround(twips.width() * s)), int(std::lround(twips.height() * s)));
}

QPoint TableWidget::ToTwips(QPoint pixel) const {
    double s = Scale();
    QPointF o = Origin();
    return QPoint(int((pixel.x() - o.x()) / s), int((pixel.y() - o.y()) / s));
}

void TableWidget::Place(QWidget* child, QRect twips) {
    // A control placed after the last resize gets the table's scale at once,
    // its text included, or its words would overrun a rectangle already scaled.
    ScaleFont(*child);
    for (auto& p : placed_)
        if (p.widget == child) {
            p.twips = twips;
            child->setGeometry(ToPixels(twips));
            return;
        }
    placed_.push_back({child, twips});
    child->setGeometry(ToPixels(twips));
}

void TableWidget::ScaleFont(QWidget& child) const {
    // Text scales with the table so labels keep their place on the cloth.
    const double s = Scale() * 15.0;  // 1.0 at the natural size
    QFont f = child.font();
    QVariant base = child.property("basePointSize");
    if (!base.isValid()) {
        child.setProperty("basePointSize", f.pointSizeF());
        base = f.pointSizeF();
    }
    f.setPointSizeF(std::max(6.0, base.toDouble() * std::clamp(s, 0.5, 3.0)));
    child.setFont(f);
}

void TableWidget::Move(QWidget* child, QPoint topLeftTwips) {
    QRect r = PlacedRect(child);
    r.moveTopLeft(topLeftTwips);
    Place(child, r);
}

QRect TableWidget::PlacedRect(QWidget* child) const {
    for (const auto& p : placed_)
        if (p.widget == child) return p.twips;
    return {};
}

void TableWidget::Relayout() {
    placed_.erase(std::remove_if(placed_.begin(), placed_.end(), [](const Placed& p) { return !p.widget; }),
                  placed_.end());
    for (auto& p : placed_) {
        p.widget->setGeometry(ToPixels(p.twips));
        ScaleFont(*p.widget);
    }
}

void TableWidget::resizeEvent(QResizeEvent*) {
    felt_ = QPixmap();
    Relayout();
}

bool TableWidget::CardAtPixel(QPoint pixel, Card& card) const {
    QPoint t = ToTwips(pixel);
    int bestZ = -1;
    bool found = false;
    for (int s = 0; s < kSuits; ++s)
        for (int n = 0; n < kNumbers; ++n) {
            const CardImage& img = images_[s][n];
            QRect r(img.x, img.y, kCardW, kCardH);
            if (r.contains(t) && img.z >= bestZ) {
                bestZ = img.z;
                card = Card{s, n + 1};
                found = true;
            }
        }
    return found;
}

void TableWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (kStock.contains(ToTwips(event->position().toPoint()))) {
        emit stockPressed();
        return;
    }
    Card card;
    if (CardAtPixel(event->position().toPoint(), card)) emit cardPressed(card);
}

void TableWidget::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit keyPressed(event->key());
            event->accept();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

// The table outline: a darker inlay with a soft rim.
void TableWidget::PaintDesk(QPainter& p) const {
    QRectF desk = ToPixels(kDesk);
    QPen rim(QColor(222, 196, 120, 200), std::max(1.5, Scale() * 45));
    p.setPen(rim);
    p.setBrush(QColor(0, 0, 0, 38));
    if (deskShape_ == 0) {
        p.drawRoundedRect(desk, 6, 6);
    } else if (deskShape_ == 3) {
        p.drawEllipse(desk);
    } else {
        p.drawRoundedRect(desk, desk.height() / 5, desk.height() / 5);
    }
}

void TableWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const qreal dpr = devicePixelRatioF();
    if (felt_.isNull() || felt_.deviceIndependentSize().toSize() != size())
        felt_ = painter_.Felt(size(), dpr);
    p.drawPixmap(0, 0, felt_);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);

    PaintDesk(p);

    // Cards are drawn from the stock up by z, so later pictures overlap earlier ones.
    struct Item {
        int z;
        Card card;
    };
    std::vector<Item> items;
    items.reserve(kDeckSize);
    for (int s = 0; s < kSuits; ++s)
        for (int n = 0; n < kNumbers; ++n) items.push_back({images_[s][n].z, Card{s, n + 1}});
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.z < b.z; });

    // The stock image under the pile; an empty stock leaves only its place.
    const double scale = Scale() * 15.0;
    const qreal cardDpr = dpr * scale;
    const QPixmap back = painter_.Back(cardDpr);
    if (stockEmpty_) {
        p.setPen(QPen(QColor(244, 236, 210, 110), 1.5, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(ToPixels(kStock)).adjusted(1, 1, -1, -1), 5, 5);
    } else {
        p.drawPixmap(ToPixels(kStock), back);
    }

    for (const Item& item : items) {
        const CardImage& img = images_[item.card.Suit()][item.card.Number() - 1];
        QRect target = ToPixels(QRect(img.x, img.y, kCardW, kCardH));
        // A soft shadow lifts each card from the cloth.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 60));
        p.drawRoundedRect(QRectF(target).translated(1.5, 2), 4, 4);
        const bool dimmed = IsDimmed(item.card);
        if (dimmed) p.setOpacity(0.55);
        p.drawPixmap(target, img.face ? painter_.Face(item.card, cardDpr) : back);
        if (dimmed) p.setOpacity(1.0);
        if (hasFocusCard_ && item.card == focusCard_) {
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(QColor(255, 200, 40), std::max(2.0, 3 * scale)));
            p.drawRoundedRect(QRectF(target).adjusted(-2, -2, 2, 2), 5, 5);
        }
    }

    for (const Marker& m : markers_) {
        if (!m.visible) continue;
        QRectF box = ToPixels(QRect(m.x, m.y, kMarkerSize, kMarkerSize));
        CardPainter::PaintTurnMarker(p, box);
    }
}

}  // namespace vorn
