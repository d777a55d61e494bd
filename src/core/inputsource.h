#pragma once

#include "parameters.h"

#include <QString>

#include <variant>

namespace velmorant {

// One value of the last opened design file: a number, or the text of a field that was not
// one. A value-initialised entry is the number 0, which is what an unset file set counts as.
using FileValue = std::variant<double, QString>;
using FileSet = std::array<FileValue, FieldCount>;

// "Input: Valori di Default", "Input: Valori da File" or "Input: Valori Utente", with the
// defaults tested first. A text entry of the file set equals no number.
QString classifyInputSource(const DesignParameters &current, const DesignParameters &defaults,
                            const FileSet &fileSet);

} // namespace velmorant
