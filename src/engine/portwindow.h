#pragma once

// The ports as a tuner measures them: where the crank-slider puts the piston's crown, and the
// area a window with rounded corners opens as the crown uncovers it.

namespace velmorant::engine {

// The crank-slider, mm: crank radius, rod length and the gudgeon pin's offset (positive
// towards the side the crank pin moves to just after top dead centre). Angles are crank degrees
// from true top dead centre, as a degree wheel reads them.
struct Crank
{
    double radius = 0, rod = 0, offset = 0;

    // The crown's drop below its highest place at `degrees`.
    double drop(double degrees) const;
    // The crown's whole travel, top to bottom dead centre (a little more than the stroke with
    // an offset), and the angle of bottom dead centre.
    double travel() const;
    double bottomDegrees() const;
    // Where the crown passes `drop` going down (opening a crown-controlled edge), and coming
    // back up (closing it); drop within (0, travel()).
    double downAt(double drop) const;
    double upAt(double drop) const;
};

// A window in the bore, mm: its chord width, its height and the radii of its top and bottom
// corners. Valid when each radius is at most half the width and the two fit in the height.
struct Window
{
    double width = 0, height = 0, topRadius = 0, bottomRadius = 0;

    // The area open `open` mm below the top edge (0 to the height), mm².
    double area(double open) const;
    double full() const { return area(height); }
};

} // namespace velmorant::engine
