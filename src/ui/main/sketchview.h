#pragma once

#include "sketch/sketch.h"

#include <QWidget>

#include <array>

class QLabel;

namespace velmorant {

// The chamber sketch inside the "Geometria" frame: paints the lines and shapes of the core's
// geometry (twips, relative to the frame) and carries the ten caption labels. Covers the whole
// frame and lets the mouse through.
class SketchView : public QWidget
{
    Q_OBJECT

public:
    explicit SketchView(QWidget *frame);

    // The frame's width in twips, which the drawing is stretched to.
    double frameWidth() const;
    // Width in twips that a caption label takes for `text` (labels are sized to their text).
    static float captionWidth(const QString &text);

    void setCaptionTexts(const std::array<QString, SketchCaptionCount> &texts);
    // Moves every element to `geometry`, with the captions centred for their current texts,
    // and shows all 38.
    void showSketch(const SketchGeometry &geometry);
    // Hides all 38 elements (start-up, Clear, and drawings that have no meaning).
    void hideSketch();

    bool isSketchShown() const { return m_shown; }
    const SketchGeometry &geometry() const { return m_geometry; }
    QLabel *caption(std::size_t index) const { return m_captions[index]; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *m_frame;
    std::array<QLabel *, SketchCaptionCount> m_captions{};
    SketchGeometry m_geometry;
    bool m_shown = false;
};

} // namespace velmorant
