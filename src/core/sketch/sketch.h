#pragma once

#include "../chamber.h"

#include <array>
#include <cstddef>

namespace velmorant {

enum class ElementKind { Line, Rectangle, Circle, Caption };
enum class PenStyle { Solid, DashDot };

struct SketchPen
{
    int width = 1;          // pixels
    unsigned rgb = 0;       // 0xRRGGBB; ignored when `foreground` is set
    bool foreground = true; // the default foreground colour of the frame
    bool inverted = false;  // each pixel drawn in the inverse of the pen colour
    PenStyle style = PenStyle::Solid;
};

struct SketchElementInfo
{
    const char *name;
    ElementKind kind;
    SketchPen pen;
};

constexpr std::size_t SketchElementCount = 38;
constexpr std::size_t SketchLineCount = 24; // chamber lines, first in the sketch order
constexpr std::size_t SketchCaptionCount = 10;
constexpr std::size_t FirstCaption = SketchLineCount;

// Indices into the sketch order.
namespace sk {
constexpr std::size_t Linea1 = 0;   // Linea1..Linea5: upper wall
constexpr std::size_t Linea1b = 5;  // Linea1b..Linea5b: lower wall
constexpr std::size_t LineaD1 = 10; // LineaD1..LineaD6: section lines
constexpr std::size_t LineaQ0 = 16; // dimension line, then LineaQ1..LineaQ6
constexpr std::size_t LineaAsse = 23;
constexpr std::size_t txtQL1 = 24; // txtQL1..txtQL5
constexpr std::size_t txtQD1 = 29; // txtQD1..txtQD3
constexpr std::size_t txtQDiv = 32;
constexpr std::size_t txtQConv = 33;
constexpr std::size_t shPistone = 34;
constexpr std::size_t shSpinotto = 35;
constexpr std::size_t Fascia1 = 36;
constexpr std::size_t Fascia2 = 37;
} // namespace sk

// The 38 elements in the sketch order (the order they are shown and hidden in).
const std::array<SketchElementInfo, SketchElementCount> &sketchElements();

// Coordinates of one element in twips, as single-precision values:
// lines (a, b, c, d) = (X1, Y1, X2, Y2); shapes and captions (Left, Top, Width, Height).
struct SketchCoords
{
    float a = 0, b = 0, c = 0, d = 0;
};

struct SketchGeometry
{
    std::array<SketchCoords, SketchElementCount> elements{};
    // False when the drawing has no meaning (coordinates that are not finite as floats, as
    // with a total length of 0): the sketch then stays hidden.
    bool drawable = false;
};

constexpr float CaptionHeight = 192;
constexpr float DivCaptionWidth = 732;
constexpr float DivCaptionHeight = 252;

// The sketch for the given dimensions in a frame `frameWidth` twips wide. The captions are
// placed for a width of zero (centred on their segment) but for the Div caption's fixed box:
// their widths depend on the font, which only the window knows (see placeCaptions).
SketchGeometry drawSketch(const ChamberDimensions &d, double frameWidth);

// Sets the width of every caption but Div's and centres it on its reference segment:
// Left = (X1 + X2) * 0.5 - Width * 0.5, from the segment's stored ends. `widths` are in the
// caption order (txtQL1..txtQL5, txtQD1..txtQD3, txtQDiv, txtQConv); Div's entry is not used.
void placeCaptions(SketchGeometry &g, const std::array<float, SketchCaptionCount> &widths);

} // namespace velmorant
