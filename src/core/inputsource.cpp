#include "inputsource.h"

#include "number.h"
#include "texts.h"

namespace velmorant {

namespace {

bool equalsFileSet(const DesignParameters &current, const FileSet &fileSet)
{
    for (std::size_t i = 0; i < FieldCount; ++i) {
        const double *number = std::get_if<double>(&fileSet[i]);
        if (!number || *number != current.values[i])
            return false;
    }
    return true;
}

} // namespace

ParameterTexts fileSetTexts(const FileSet &fileSet, const QLocale &locale)
{
    ParameterTexts texts;
    for (std::size_t i = 0; i < FieldCount; ++i) {
        const FileValue &v = fileSet[i];
        texts[i] = std::holds_alternative<double>(v) ? formatBoxNumber(std::get<double>(v), locale)
                                                     : std::get<QString>(v);
    }
    return texts;
}

QString classifyInputSource(const DesignParameters &current, const DesignParameters &defaults,
                            const FileSet &fileSet)
{
    if (current == defaults)
        return texts::sourceDefaults();
    if (equalsFileSet(current, fileSet))
        return texts::sourceFile();
    return texts::sourceUser();
}

} // namespace velmorant
