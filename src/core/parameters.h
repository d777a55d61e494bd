#pragma once

#include <QLocale>
#include <QString>

#include <array>
#include <cstddef>

namespace velmorant {

// The eight design parameters, in the fixed order used for validation, design files and
// comparisons.
enum class Field : std::size_t { Cil, Rpm, Asp, Sc, Conv, Div, Temp1, Rappsez };

constexpr std::size_t FieldCount = 8;

struct FieldInfo
{
    const char *name;       // field name, as in sweeps, reports and JSON
    const char *optionName; // the command line's option, without "--"
    const char *boxName;    // objectName of the input box
    const char *labelName;  // objectName of the label beside the box
    const char *caption;    // label caption (UTF-8, translatable)
    double defaultValue;
    const char *rejection; // message shown when the box is rejected (UTF-8, translatable)
};

// The one table of the eight parameters; everything else iterates over it.
const std::array<FieldInfo, FieldCount> &fieldTable();

inline const FieldInfo &fieldInfo(std::size_t index)
{
    return fieldTable()[index];
}
QString fieldCaption(std::size_t index);
QString fieldRejection(std::size_t index);

struct DesignParameters
{
    std::array<double, FieldCount> values{};

    double &operator[](Field f) { return values[static_cast<std::size_t>(f)]; }
    double operator[](Field f) const { return values[static_cast<std::size_t>(f)]; }
    bool operator==(const DesignParameters &o) const { return values == o.values; }
    bool operator!=(const DesignParameters &o) const { return !(*this == o); }
};

DesignParameters defaultParameters();

// Eight texts in table order, as typed into the input boxes.
using ParameterTexts = std::array<QString, FieldCount>;

// The texts the input boxes show for a parameter set (start-up, Default Input).
ParameterTexts parameterTexts(const DesignParameters &p, const QLocale &locale);

} // namespace velmorant
