#include "meanpressures.h"

#include "cycle.h"

namespace velmorant::waves {

MeanPressures meanPressures(double referenceHeat, double swept, double deliveryRatio,
                            double chargingEfficiency, const EnergyBalance &energy,
                            const engine::BrakeFigures &brake)
{
    const double bar = 1 / (swept * 1e5);
    MeanPressures m;
    m.reference = referenceHeat * bar;
    m.delivery = m.reference * (1 - deliveryRatio);
    m.trapping = m.reference * (deliveryRatio - chargingEfficiency);
    m.combustion = m.reference * chargingEfficiency - energy.fuel * bar;
    m.heat = energy.wallHeat * bar;
    // What the released heat did not give the piston or the walls left with the gas: over a
    // settled cycle the exhaust's enthalpy less the transfers', which the tests hold it to.
    m.exhaust = (energy.fuel - energy.work - energy.wallHeat) * bar;
    m.imep = brake.imep;
    m.pumping = brake.pmep;
    m.friction = brake.fmep;
    m.bmep = brake.bmep;
    return m;
}

} // namespace velmorant::waves
