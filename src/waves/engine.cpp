#include "engine.h"

namespace velmorant::waves {

EngineInputs onDesign(EngineInputs engine, const DesignParameters &p)
{
    engine.displacement = p[Field::Cil];
    engine.sc = p[Field::Sc];
    engine.asp = p[Field::Asp];
    engine.pipeTemperature = p[Field::Temp1];
    return engine;
}

} // namespace velmorant::waves
