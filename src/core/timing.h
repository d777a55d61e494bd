#pragma once

namespace velmorant {

// The port timing, crank degrees from top dead centre: exhaust opens and closes, transfers
// open and close, symmetric about bottom dead centre for the exhaust (SC) and transfer (ASP)
// durations.
struct PortTiming
{
    double eo = 0, ec = 0, to = 0, tc = 0;
};
inline PortTiming portTiming(double sc, double asp)
{
    return {180 - sc / 2, 180 + sc / 2, 180 - asp / 2, 180 + asp / 2};
}

} // namespace velmorant
