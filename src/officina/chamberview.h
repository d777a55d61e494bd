#pragma once

#include "zoomview.h"

#include "pipe.h"

namespace velmorant {

// The pipe to true scale: the same millimetre both ways (the main window's sketch is stretched
// to its frame), with each section's length, the diameters, the sheet's thickness outside and
// the points where the waves turn back.
class ChamberView : public ZoomView
{
    Q_OBJECT

public:
    explicit ChamberView(QWidget *parent = nullptr);
    void setPipe(const Pipe &pipe, double sheetThickness);
};

} // namespace velmorant
