#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QTest>

#include <utility>
#include <vector>

#include "display/cardpainter.h"
#include "tests/support/rows.h"
#include "tests/testing.h"

using vorn::Card;
using vorn::CardPainter;
using vorn::testing::Columns;
using vorn::testing::Row;

namespace {

QImage Pixels(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

enum Ink { kRed, kGreen, kBlue };

// Strong, saturated pixels of one hue; the anti-aliased edges of gold or grey
// never pass, so a black suit really has no red in it.
bool IsInk(QRgb p, Ink ink) {
    const int r = qRed(p), g = qGreen(p), b = qBlue(p);
    if (qAlpha(p) < 200) return false;
    switch (ink) {
        case kRed:
            return r > 120 && r > 2 * g && r > 2 * b;
        case kGreen:
            return g > 80 && g > 2 * r && g > 1.6 * b;
        case kBlue:
            return b > 120 && b > 2 * r && b > 1.5 * g;
    }
    return false;
}

int CountInk(const QImage& image, Ink ink) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) count += IsInk(line[x], ink);
    }
    return count;
}

std::vector<Card> AllCards() {
    std::vector<Card> cards;
    for (int suit = 0; suit < vorn::kSuits; ++suit)
        for (int number = 1; number <= vorn::kNumbers; ++number) cards.push_back(Card{suit, number});
    return cards;
}

// Both colour schemes at a whole and a double ratio.
void SchemeRows() {
    Columns<qreal, bool>("dpr", "fourColour");
    Row("1x", qreal(1), false);
    Row("2x", qreal(2), false);
    Row("1x four colours", qreal(1), true);
    Row("2x four colours", qreal(2), true);
}

}  // namespace

class CardPainterTest : public QObject {
    Q_OBJECT

  private slots:
    void sizes_data() {
        Columns<qreal, QSize>("dpr", "pixels");
        Row("1x", qreal(1), QSize(71, 96));
        Row("2x", qreal(2), QSize(142, 192));
        Row("1.5x", qreal(1.5), QSize(107, 144));
        Row("a small window, 0.8x", qreal(0.8), QSize(71, 96));
    }
    void sizes() {
        QFETCH(qreal, dpr);
        QFETCH(QSize, pixels);
        CardPainter painter;
        for (const Card& card : AllCards()) {
            const QPixmap face = painter.Face(card, dpr);
            QCOMPARE(face.size(), pixels);
            QCOMPARE(face.deviceIndependentSize().toSize(), QSize(71, 96));
        }
        QCOMPARE(painter.Back(dpr).size(), pixels);
        QCOMPARE(painter.Back(dpr).deviceIndependentSize().toSize(), QSize(71, 96));
        const QImage strip = painter.Strip(dpr);
        QCOMPARE(strip.size(), QSize(pixels.width() * 13, pixels.height() * 4));
        // A cell is a whole number of pixels, so only whole ratios keep the logical size exact.
        if (pixels.width() == 71 * dpr)
            QCOMPARE(strip.deviceIndependentSize().toSize(), QSize(71 * 13, 96 * 4));
    }

    void allPicturesDiffer_data() { SchemeRows(); }
    void allPicturesDiffer() {
        QFETCH(qreal, dpr);
        QFETCH(bool, fourColour);
        CardPainter painter(fourColour);
        std::vector<QImage> faces;
        for (const Card& card : AllCards()) faces.push_back(Pixels(painter.Face(card, dpr)));
        const QImage back = Pixels(painter.Back(dpr));
        for (size_t i = 0; i < faces.size(); ++i) {
            QVERIFY2(faces[i] != back, qPrintable(QString("face %1 looks like the back").arg(i)));
            for (size_t j = i + 1; j < faces.size(); ++j)
                QVERIFY2(faces[i] != faces[j],
                         qPrintable(QString("faces %1 and %2 are alike").arg(i).arg(j)));
        }
    }

    // Which inks each suit shows, in both colour schemes.
    void suitInks_data() {
        Columns<bool, int, bool, bool, bool>("fourColour", "suit", "red", "green", "blue");
        Row("clubs", false, 0, false, false, false);
        Row("diamonds", false, 1, true, false, false);
        Row("hearts", false, 2, true, false, false);
        Row("spades", false, 3, false, false, false);
        Row("four: clubs green", true, 0, false, true, false);
        Row("four: diamonds blue", true, 1, false, false, true);
        Row("four: hearts red", true, 2, true, false, false);
        Row("four: spades black", true, 3, false, false, false);
    }
    void suitInks() {
        QFETCH(bool, fourColour);
        QFETCH(int, suit);
        QFETCH(bool, red);
        QFETCH(bool, green);
        QFETCH(bool, blue);
        CardPainter painter(fourColour);
        for (int number = 1; number <= vorn::kNumbers; ++number) {
            const QImage face = Pixels(painter.Face(Card{suit, number}, 1));
            const QString at = QString("number %1").arg(number);
            // A few dozen pixels at least: the corner index alone gives that much.
            QVERIFY2((CountInk(face, kRed) > 30) == red, qPrintable(at));
            QVERIFY2((CountInk(face, kGreen) > 30) == green, qPrintable(at));
            QVERIFY2((CountInk(face, kBlue) > 30) == blue, qPrintable(at));
            if (!red) QVERIFY2(CountInk(face, kRed) == 0, qPrintable(at));
        }
    }

    // In a hand the next card covers all but a strip of 200 twips (13.3 of the
    // 71 pixels) of the one before; the corner rank must lie wholly inside it,
    // "10" too, at any ratio. Red ink of hearts left of the strip's edge and
    // none in the band beyond it, up to where a court card's panel begins.
    void indexFitsTheOverlapStrip_data() {
        Columns<int, qreal>("number", "dpr");
        const std::pair<const char*, int> ranks[] = {{"10", 8}, {"3", 1}, {"Q", 10}, {"A", 12}};
        for (qreal dpr : {1.0, 1.25, 2.0, 3.0})
            for (const auto& [rank, number] : ranks)
                Row(QByteArray(rank).append(" at ").append(QByteArray::number(dpr)).constData(), number, dpr);
    }
    void indexFitsTheOverlapStrip() {
        QFETCH(int, number);
        QFETCH(qreal, dpr);
        const QImage face = Pixels(CardPainter().Face(Card{2, number}, dpr));
        auto tinted = [&face](int x, int y) {
            const QRgb p = face.pixel(x, y);
            return qRed(p) - qGreen(p) > 50;
        };
        const int strip = int(200.0 / 15.0 * dpr);
        const int pipsStart = int(14.3 * dpr);
        const int rankBottom = int(14.5 * dpr);
        int inside = 0, beyond = 0;
        for (int y = 0; y < rankBottom; ++y) {
            for (int x = 0; x < strip; ++x) inside += tinted(x, y);
            for (int x = strip; x < pipsStart; ++x) beyond += tinted(x, y);
        }
        QVERIFY(inside > 10);
        QCOMPARE(beyond, 0);
    }

    void switchingSchemeRedraws() {
        CardPainter painter;
        const QImage clubs = Pixels(painter.Face(Card{0, 5}, 1));
        const QImage hearts = Pixels(painter.Face(Card{2, 5}, 1));
        painter.SetFourColour(true);
        QVERIFY(Pixels(painter.Face(Card{0, 5}, 1)) != clubs);
        QCOMPARE(Pixels(painter.Face(Card{2, 5}, 1)), hearts);
        QVERIFY(CountInk(Pixels(painter.Face(Card{0, 5}, 1)), kGreen) > 30);
        painter.SetFourColour(false);
        QCOMPARE(Pixels(painter.Face(Card{0, 5}, 1)), clubs);
    }

    void stripCellIsTheFace_data() { SchemeRows(); }
    void stripCellIsTheFace() {
        QFETCH(qreal, dpr);
        QFETCH(bool, fourColour);
        CardPainter painter(fourColour);
        const QImage strip = painter.Strip(dpr).convertToFormat(QImage::Format_ARGB32);
        const int w = strip.width() / 13, h = strip.height() / 4;
        for (const Card& card : AllCards()) {
            const int cell = vorn::FaceCell(card);
            QImage piece = strip.copy((cell % 13) * w, (cell / 13) * h, w, h);
            QImage face = Pixels(painter.Face(card, dpr));
            piece.setDevicePixelRatio(1);
            face.setDevicePixelRatio(1);
            QVERIFY2(piece == face, qPrintable(QString::fromStdString(vorn::CardCode(card))));
        }
    }

    // Cards are drawn on the felt: outside the rounded corners a face is clear,
    // inside its middle it is opaque paper.
    void roundedCornersShowTheTable() {
        CardPainter painter;
        const QImage face = Pixels(painter.Face(Card{2, 1}, 2));
        QCOMPARE(qAlpha(face.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(face.pixel(face.width() - 1, face.height() - 1)), 0);
        QCOMPARE(qAlpha(face.pixel(face.width() / 2, 4)), 255);
        const QImage back = Pixels(painter.Back(2));
        QCOMPARE(qAlpha(back.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(back.pixel(back.width() / 2, back.height() / 2)), 255);
    }

    void feltIsGreenAndSized() {
        CardPainter painter;
        const QPixmap felt = painter.Felt(QSize(200, 120), 2);
        QCOMPARE(felt.size(), QSize(400, 240));
        QCOMPARE(felt.deviceIndependentSize().toSize(), QSize(200, 120));
        const QImage image = felt.toImage();
        for (QPoint p : {QPoint(0, 0), QPoint(200, 120), QPoint(399, 239)}) {
            const QRgb c = image.pixel(p);
            QVERIFY(qGreen(c) > qRed(c) + 20 && qGreen(c) > qBlue(c) + 10);
        }
        QCOMPARE(painter.Felt(QSize(200, 120), 2).toImage(), image);
    }
};

VORN_TEST(CardPainterTest)
#include "cardpainter_test.moc"
