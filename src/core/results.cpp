#include "results.h"

namespace velmorant {

const std::array<ResultInfo, ResultTableSize> &resultTable()
{
    using D = ChamberDimensions;
    using K = ResultKind;
    static const std::array<ResultInfo, ResultTableSize> table{{
        {"L1", &D::L1, K::Shown, "txtL1", "Label9", "L1=", "L1"},
        {"L2", &D::L2, K::Shown, "txtL2", "Label10", "L2=", "L2"},
        {"L3", &D::L3, K::Shown, "txtL3", "Label11", "L3=", "L3"},
        {"L4", &D::L4, K::Shown, "txtL4", "Label12", "L4=", "L4"},
        {"L5", &D::L5, K::Shown, "txtL5", "Label13", "L5=", "L5"},
        {"D1", &D::D1, K::Shown, "txtD1", "Label14", "D1=", "D1"},
        {"D2", &D::D2, K::Shown, "txtD2", "Label15", "D2=", "D2"},
        {"D3", &D::D3, K::Shown, "txtD3", "Label16", "D3=", "D3"},
        {"LTOT", &D::LTOT, K::Total, nullptr, nullptr, nullptr,
         QT_TRANSLATE_NOOP("velmorant", "Lunghezza totale")},
        {"a1", &D::a1, K::SoundSpeed, nullptr, nullptr, nullptr, nullptr},
        {"a2", &D::a2, K::SoundSpeed, nullptr, nullptr, nullptr, nullptr},
    }};
    return table;
}

} // namespace velmorant
