#pragma once

#include "parameters.h"

#include <QLocale>
#include <QString>

#include <variant>

namespace velmorant {

// One value of the last opened design file: a number, or the text of a field that was not
// one. A value-initialised entry is the number 0, which is what an unset file set counts as.
using FileValue = std::variant<double, QString>;
using FileSet = std::array<FileValue, FieldCount>;

// The texts the input boxes show for an opened file: numbers in the user's notation (so the
// next Calculate reads back the same number), text fields as they are.
ParameterTexts fileSetTexts(const FileSet &fileSet, const QLocale &locale);

// "Input: Valori di Default", "Input: Valori da File" or "Input: Valori Utente", with the
// defaults tested first. A text entry of the file set equals no number.
QString classifyInputSource(const DesignParameters &current, const DesignParameters &defaults,
                            const FileSet &fileSet);

} // namespace velmorant
