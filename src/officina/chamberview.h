#pragma once

#include "zoomview.h"

#include "chamber.h"

namespace velmorant {

// The chamber to true scale: the same millimetre both ways (the main window's sketch is
// stretched to its frame), with its lengths and diameters.
class ChamberView : public ZoomView
{
    Q_OBJECT

public:
    explicit ChamberView(QWidget *parent = nullptr);
    void setChamber(const ChamberDimensions &d, double sheetThickness);
};

} // namespace velmorant
