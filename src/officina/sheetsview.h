#pragma once

#include "zoomview.h"

#include "plan.h"

namespace velmorant {

// The parts nested on their sheets, as they will be cut: outlines, marks and labels at their
// true size; parts that fit no sheet follow the last one.
class SheetsView : public ZoomView
{
    Q_OBJECT

public:
    explicit SheetsView(QWidget *parent = nullptr);
    void setPlan(const WorkshopPlan &plan);
};

} // namespace velmorant
