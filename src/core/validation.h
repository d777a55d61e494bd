#pragma once

#include "parameters.h"

#include <QLocale>

#include <optional>

namespace velmorant {

struct Rejection
{
    std::size_t field; // index into the field table
    QString message;
};

// Validates the eight texts in table order. Each field that passes is stored in `current`
// at once, as the number its text reads as under `locale`; the first rejected field stops
// the reading, and the fields stored before it keep their new values.
std::optional<Rejection> readParameters(const ParameterTexts &texts, const QLocale &locale,
                                        DesignParameters &current);

} // namespace velmorant
