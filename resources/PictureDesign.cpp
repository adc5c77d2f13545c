#include "PictureDesign.h"

#include "calculator/Board.h"
#include "calculator/LetterValues.h"

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <QtMath>
#include <array>

namespace pictures {
namespace {

const QColor kSlate(0x3b, 0x3f, 0x5c);
const QColor kSlateLine(0x2c, 0x2f, 0x45);
const QColor kInk(0x2b, 0x24, 0x1a);
const QColor kPaper(0xf4, 0xee, 0xe0);

struct Premium {
    int code;
    const char* mark; // printed in the square
    const char* name; // printed in the legend
};

// Legend order: the letter squares, then the word squares.
constexpr std::array<Premium, 4> kPremiums = {{
    {calc::kDoubleLetterSquare, "2L", "Double letter"},
    {calc::kTripleLetterSquare, "3L", "Triple letter"},
    {calc::kDoubleWordSquare, "2W", "Double word"},
    {calc::kTripleWordSquare, "3W", "Triple word"},
}};

const char* MarkOf(int code) {
    for (const Premium& premium : kPremiums) {
        if (premium.code == code) {
            return premium.mark;
        }
    }
    return "";
}

// Dark fills take a light mark, light fills a dark one.
QColor MarkColor(const QColor& fill) {
    return fill.lightness() < 140 ? kPaper : kInk;
}

QFont Font(const char* family, int pixels, int weight = QFont::Normal, bool italic = false) {
    QFont font{QString::fromLatin1(family)};
    font.setPixelSize(pixels);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(italic);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QPolygonF Star(QPointF centre, qreal outer, qreal inner) {
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal radius = (i % 2 == 0) ? outer : inner;
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        star << centre + QPointF(radius * qCos(angle), radius * qSin(angle));
    }
    return star;
}

// One letter tile: ivory face, a darker rim, the letter and its value.
void DrawTile(QPainter& painter, const QRectF& box, char letter) {
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 45));
    painter.drawRoundedRect(box.translated(2, 3), 6, 6);

    QLinearGradient face(box.topLeft(), box.bottomLeft());
    face.setColorAt(0.0, QColor(0xfb, 0xef, 0xcf));
    face.setColorAt(1.0, QColor(0xe9, 0xd3, 0xa0));
    painter.setBrush(face);
    painter.setPen(QPen(QColor(0xb0, 0x8d, 0x55), 1.5));
    painter.drawRoundedRect(box.adjusted(0.75, 0.75, -0.75, -0.75), 6, 6);

    painter.setPen(kInk);
    painter.setFont(Font("DejaVu Serif", static_cast<int>(box.height() * 0.56), QFont::Bold));
    painter.drawText(box.adjusted(0, -2, -3, -2), Qt::AlignCenter, QString(QChar(letter)));

    painter.setFont(Font("DejaVu Sans", static_cast<int>(box.height() * 0.22), QFont::Bold));
    painter.drawText(box.adjusted(0, 0, -4, -2), Qt::AlignRight | Qt::AlignBottom,
                     QString::number(calc::LetterValue(static_cast<char32_t>(letter))));
    painter.restore();
}

} // namespace

QColor SquareColor(int code) {
    switch (code) {
    case calc::kDoubleLetterSquare:
        return {0x9e, 0xd9, 0xc5}; // mint
    case calc::kTripleLetterSquare:
        return {0x2e, 0x8c, 0x7e}; // teal
    case calc::kDoubleWordSquare:
        return {0xf3, 0xbd, 0x62}; // amber
    case calc::kTripleWordSquare:
        return {0xc9, 0x55, 0x2f}; // burnt orange
    default:
        return {0xef, 0xe8, 0xd4}; // parchment
    }
}

QImage DrawSplashPicture() {
    QImage image(kSplashWidth, kSplashHeight, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient paper(0, 0, 0, kSplashHeight);
    paper.setColorAt(0.0, QColor(0xfc, 0xf8, 0xee));
    paper.setColorAt(1.0, QColor(0xea, 0xdc, 0xbc));
    painter.fillRect(image.rect(), paper);

    // A corner of the board in the top left, fading out towards the middle.
    constexpr int corner = 7;
    constexpr qreal cell = 19;
    painter.setPen(Qt::NoPen);
    for (int row = 0; row < corner; ++row) {
        for (int column = 0; column < corner; ++column) {
            const qreal distance = qSqrt(row * row + column * column) / corner;
            if (distance >= 1.0) {
                continue;
            }
            const int code = calc::kBoardLayout[row][column];
            QColor fill =
                code == calc::kNormalSquare ? QColor(0xdd, 0xcf, 0xad) : SquareColor(code);
            fill.setAlphaF(0.85 * (1.0 - distance));
            painter.setBrush(fill);
            painter.drawRoundedRect(
                QRectF(16 + column * (cell + 2), 16 + row * (cell + 2), cell, cell), 3, 3);
        }
    }

    // The name, spelled in tiles.
    const QString name = QStringLiteral("TALLORIX");
    constexpr qreal tile = 44;
    constexpr qreal gap = 3;
    const qreal row = tile * name.size() + gap * (name.size() - 1);
    const qreal left = (kSplashWidth - row) / 2;
    for (int i = 0; i < name.size(); ++i) {
        const qreal lift = (i % 2 == 0) ? 0 : 3; // a hand-laid look
        DrawTile(painter, QRectF(left + i * (tile + gap), 168 + lift, tile, tile),
                 name.at(i).toLatin1());
    }

    painter.setPen(kSlate);
    painter.setFont(Font("DejaVu Serif", 16, QFont::Normal, true));
    painter.drawText(QRectF(0, 232, kSplashWidth, 26), Qt::AlignHCenter | Qt::AlignVCenter,
                     QStringLiteral("Word scores for Quadrelle"));
    painter.setPen(QPen(QColor(0xb0, 0x8d, 0x55), 1));
    painter.drawLine(QPointF(120, 266.5), QPointF(280, 266.5));

    // The middle row of the board along the foot.
    constexpr qreal strip = 24;
    const qreal stripLeft = (kSplashWidth - (calc::kBoardSize * (strip + 2) - 2)) / 2;
    painter.setPen(Qt::NoPen);
    for (int column = 0; column < calc::kBoardSize; ++column) {
        QColor fill = SquareColor(calc::kBoardLayout[calc::kCentre][column]);
        fill.setAlpha(200);
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(stripLeft + column * (strip + 2), 352, strip, strip), 3, 3);
    }
    painter.setBrush(kSlate);
    painter.drawPolygon(Star(
        QPointF(stripLeft + calc::kCentre * (strip + 2) + strip / 2, 352 + strip / 2), 8, 3.5));
    painter.end();
    return image;
}

QImage DrawBoardPicture() {
    QImage image(kBoardWidth, kBoardHeight, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(image.rect(), kSlate);

    constexpr int span = calc::kBoardSize * kSquare + kGridLine;
    painter.fillRect(kGridLeft, kGridTop, span, span, kSlateLine);

    const QFont markFont = Font("DejaVu Sans", 10, QFont::Bold);
    painter.setFont(markFont);
    for (int row = 0; row < calc::kBoardSize; ++row) {
        for (int column = 0; column < calc::kBoardSize; ++column) {
            const int code = calc::kBoardLayout[row][column];
            const QRect square(kGridLeft + column * kSquare + kGridLine,
                               kGridTop + row * kSquare + kGridLine, kSquare - kGridLine,
                               kSquare - kGridLine);
            const QColor fill = SquareColor(code);
            painter.fillRect(square, fill);
            if (row == calc::kCentre && column == calc::kCentre) {
                painter.save();
                painter.setRenderHint(QPainter::Antialiasing);
                painter.setPen(Qt::NoPen);
                painter.setBrush(MarkColor(fill));
                painter.drawPolygon(Star(QRectF(square).center(), 9, 4));
                painter.restore();
            } else if (code != calc::kNormalSquare) {
                painter.setPen(MarkColor(fill));
                painter.drawText(square, Qt::AlignCenter, QString::fromLatin1(MarkOf(code)));
            }
        }
    }

    // The legend: a swatch and the name of each premium kind, evenly spaced.
    const QFont legendFont = Font("DejaVu Sans", 12);
    const QFontMetrics metrics(legendFont);
    constexpr int swatch = 16;
    constexpr int spacing = 6;
    int total = 0;
    for (const Premium& premium : kPremiums) {
        total += swatch + spacing + metrics.horizontalAdvance(QString::fromLatin1(premium.name));
    }
    const int gaps = (span - total) / static_cast<int>(kPremiums.size() - 1);
    const int legendTop = kGridTop + span;
    const int middle = legendTop + (kBoardHeight - legendTop) / 2;
    int x = kGridLeft;
    painter.setFont(legendFont);
    for (const Premium& premium : kPremiums) {
        const QRect box(x, middle - swatch / 2, swatch, swatch);
        painter.fillRect(box, SquareColor(premium.code));
        painter.setPen(kSlateLine);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        x += swatch + spacing;
        const QString text = QString::fromLatin1(premium.name);
        painter.setPen(kPaper);
        painter.drawText(QRect(x, middle - swatch, metrics.horizontalAdvance(text), 2 * swatch),
                         Qt::AlignLeft | Qt::AlignVCenter, text);
        x += metrics.horizontalAdvance(text) + gaps;
    }
    painter.end();
    return image;
}

} // namespace pictures
