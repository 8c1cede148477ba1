// Writes every card picture into one PNG so the drawing can be looked at as a
// whole: the 52 faces in their strip order and the back below them, at the
// device pixel ratio given (2 unless told), four-colour with --four.
//
//   card_sheet [out.png] [--dpr N] [--four]

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>

#include <cstdio>

#include "display/cardpainter.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QString out = "card_sheet.png";
    qreal dpr = 2.0;
    bool four = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--dpr" && i + 1 < args.size())
            dpr = args[++i].toDouble();
        else if (args[i] == "--four")
            four = true;
        else
            out = args[i];
    }
    if (dpr <= 0) {
        std::fprintf(stderr, "card_sheet: the ratio must be above 0\n");
        return 2;
    }

    vorn::CardPainter painter(four);
    const QImage strip = painter.Strip(dpr);
    const QPixmap back = painter.Back(dpr);
    const int gap = int(8 * dpr);
    QImage sheet(strip.width() + 2 * gap, strip.height() + back.height() + 3 * gap, QImage::Format_RGB32);
    sheet.setDevicePixelRatio(1);
    {
        QPainter p(&sheet);
        QPixmap felt = painter.Felt(QSize(sheet.width(), sheet.height()), 1);
        p.drawPixmap(0, 0, felt);
        QImage raw = strip;
        raw.setDevicePixelRatio(1);
        p.drawImage(gap, gap, raw);
        QImage rawBack = back.toImage();
        rawBack.setDevicePixelRatio(1);
        p.drawImage(gap, strip.height() + 2 * gap, rawBack);
        QPixmap marker(int(20 * dpr), int(20 * dpr));
        marker.fill(Qt::transparent);
        {
            QPainter m(&marker);
            vorn::CardPainter::PaintTurnMarker(m, QRectF(0, 0, marker.width(), marker.height()));
        }
        p.drawPixmap(gap * 2 + rawBack.width(), strip.height() + 2 * gap, marker);
    }
    if (!sheet.save(out)) {
        std::fprintf(stderr, "card_sheet: cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%s: %d x %d pixels at ratio %.2f\n", qPrintable(out), sheet.width(), sheet.height(), dpr);
    return 0;
}
