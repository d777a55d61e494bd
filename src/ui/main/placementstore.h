#pragma once

class QWidget;

namespace velmorant {

// Where the main window keeps its screen placement between runs.
class PlacementStore
{
public:
    virtual ~PlacementStore() = default;
    // The window's load step: apply the remembered placement.
    virtual void load(QWidget &window) = 0;
    // The unload step: remember the placement (not called while minimised).
    virtual void save(const QWidget &window) = 0;
};

} // namespace velmorant
