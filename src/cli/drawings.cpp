#include "drawings.h"

#include "safefile.h"
#include "units.h"

#include <QFileInfo>

namespace velmorant {

namespace {

std::optional<QString> saveText(const QString &path, const QByteArray &bytes)
{
    if (const std::optional<QString> reason = writeFileAtomically(path, bytes))
        return writeFailure(path, *reason);
    return std::nullopt;
}

QString num(double v)
{
    return QString::number(v, 'g', 10);
}

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QByteArray sketchSvg(const SketchGeometry &g,
                     const std::array<QString, SketchCaptionCount> &captions, double frameWidth)
{
    constexpr double FrameHeight = 3720; // the frame's height at the window's size
    QString svg;
    svg += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" "
                          "viewBox=\"0 0 %3 %4\">\n<!-- coordinates in twips -->\n"
                          "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n")
               .arg(num(frameWidth / TwipsPerPixel), num(FrameHeight / TwipsPerPixel),
                    num(frameWidth), num(FrameHeight));
    for (std::size_t i = 0; i < SketchElementCount; ++i) {
        const SketchElementInfo &info = sketchElements()[i];
        const SketchCoords &c = g.elements[i];
        const SketchPen &p = info.pen;
        const QString colour =
            p.foreground ? QStringLiteral("#000000")
            : p.inverted ? QStringLiteral("#%1").arg(~p.rgb & 0xFFFFFFu, 6, 16, QLatin1Char('0'))
                         : QStringLiteral("#%1").arg(p.rgb, 6, 16, QLatin1Char('0'));
        const QString stroke = QStringLiteral("stroke=\"%1\" stroke-width=\"%2\" fill=\"none\"%3")
                                   .arg(colour, num(p.width * TwipsPerPixel),
                                        p.style == PenStyle::DashDot
                                            ? QStringLiteral(" stroke-dasharray=\"180 60 30 60\"")
                                            : QString());
        const QString id = QString::fromLatin1(info.name);
        switch (info.kind) {
        case ElementKind::Line:
            svg += QStringLiteral("<line id=\"%1\" x1=\"%2\" y1=\"%3\" x2=\"%4\" y2=\"%5\" %6/>\n")
                       .arg(id, num(c.a), num(c.b), num(c.c), num(c.d), stroke);
            break;
        case ElementKind::Rectangle:
            svg += QStringLiteral(
                       "<rect id=\"%1\" x=\"%2\" y=\"%3\" width=\"%4\" height=\"%5\" %6/>\n")
                       .arg(id, num(c.a), num(c.b), num(c.c), num(c.d), stroke);
            break;
        case ElementKind::Circle: {
            const double d = std::min(c.c, c.d);
            svg += QStringLiteral("<circle id=\"%1\" cx=\"%2\" cy=\"%3\" r=\"%4\" %5/>\n")
                       .arg(id, num(c.a + c.c / 2.0), num(c.b + c.d / 2.0), num(d / 2), stroke);
            break;
        }
        case ElementKind::Caption: {
            const std::size_t k = i - FirstCaption;
            const bool left = i == sk::txtQDiv;
            // 7.8 pt is 156 twips; the baseline sits about 150 twips below the label's top.
            svg +=
                QStringLiteral("<text id=\"%1\" x=\"%2\" y=\"%3\" font-family=\"Liberation Sans, "
                               "DejaVu Sans, sans-serif\" font-size=\"156\"%4>%5</text>\n")
                    .arg(id, num(left ? c.a : c.a + c.c / 2.0), num(c.b + 150),
                         left ? QString() : QStringLiteral(" text-anchor=\"middle\""),
                         escaped(captions[k]));
            break;
        }
        }
    }
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

} // namespace

QString writeFailure(const QString &path, const QString &reason)
{
    return QStringLiteral("Impossibile scrivere il file %1: %2").arg(path, reason);
}

std::optional<QString> writeSketchSvg(const QString &path, const SketchGeometry &geometry,
                                      const std::array<QString, SketchCaptionCount> &captions,
                                      double frameWidth)
{
    return saveText(path, sketchSvg(geometry, captions, frameWidth));
}

} // namespace velmorant
