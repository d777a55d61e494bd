#pragma once

#include "cliargs.h"
#include "project.h"

namespace velmorant {

// A project of the workshop window as the command line's starting point: its design, cutting
// options, pipe and engine fill `o` (the options given on the command line are then read over
// them), its eight boxes' texts go to `texts`. The reason when the project cannot be used.
std::optional<QString> startFromProject(const Project &p, const QLocale &locale, CliOptions &o,
                                        ParameterTexts &texts);

// The project's speeds and probe for --waves, where the command line gives none; the reason
// when the project's own are not speeds the window would run.
std::optional<QString> takeProjectWaves(const Project &p, const QLocale &locale, WaveRequest &r);

} // namespace velmorant
