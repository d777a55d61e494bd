#include "validation.h"

#include "number.h"

namespace velmorant {

std::optional<Rejection> readParameters(const ParameterTexts &texts, const QLocale &locale,
                                        DesignParameters &current)
{
    for (std::size_t i = 0; i < FieldCount; ++i) {
        const std::optional<double> value = parseLocaleNumber(texts[i], locale);
        if (!value || *value == 0)
            return Rejection{i, fieldRejection(i)};
        current.values[i] = *value;
    }
    return std::nullopt;
}

} // namespace velmorant
