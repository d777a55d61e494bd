#pragma once

// Where a cycle's mean pressure goes, from the fuel a swept volume of fresh charge would bring
// down to the crankshaft.
#include "friction.h"

namespace velmorant::waves {

struct EnergyBalance;

// Each step in bar, as the energy over the swept volume. From `reference` (the heat of the fuel
// in a swept volume of fresh charge at the ambient state) each loss is taken in turn:
// `delivery` what the intake does not deliver of that charge (negative when it delivers more),
// `trapping` what was delivered and went out of the exhaust, `combustion` the trapped fuel's
// heat not released (a rich mixture's spare fuel, the combustion efficiency, the burn left
// unfinished), `heat` what the walls took, `exhaust` what the gas carried out of the cylinder.
// What is left is the indicated mean pressure; the crankcase's pumping and the friction take
// it to the brake's. The steps add up exactly: reference minus the six losses is `imep`, and
// `imep - pumping - friction` is `bmep`.
struct MeanPressures
{
    double reference = 0, delivery = 0, trapping = 0, combustion = 0, heat = 0, exhaust = 0;
    double imep = 0, pumping = 0, friction = 0, bmep = 0;
};

// `referenceHeat` the fuel's heat in a swept volume `swept` (m³) of fresh charge at the ambient
// state (J), `deliveryRatio` and `chargingEfficiency` against that charge, `energy` the cycle's
// (J), `brake` its figures at the crankshaft.
MeanPressures meanPressures(double referenceHeat, double swept, double deliveryRatio,
                            double chargingEfficiency, const EnergyBalance &energy,
                            const engine::BrakeFigures &brake);

// The steps by the names the JSON and the curves give them, and by the Italian words a table
// heads them with, in the order above.
struct MeanPressureStep
{
    const char *key;
    const char *caption;
    double MeanPressures::*member;
};
constexpr MeanPressureStep MeanPressureSteps[] = {
    {"reference", "riferimento", &MeanPressures::reference},
    {"delivery", "erogazione", &MeanPressures::delivery},
    {"trapping", "intrappolamento", &MeanPressures::trapping},
    {"combustion", "combustione", &MeanPressures::combustion},
    {"heat", "pareti", &MeanPressures::heat},
    {"exhaust", "scarico", &MeanPressures::exhaust},
    {"imep", "PMI", &MeanPressures::imep},
    {"pumping", "pompaggio", &MeanPressures::pumping},
    {"friction", "attrito", &MeanPressures::friction},
    {"bmep", "PME", &MeanPressures::bmep},
};

} // namespace velmorant::waves
