#pragma once

#include "nesting.h"
#include "waveoptions.h"

#include <QString>

#include <cstdio>

namespace velmorant {

// What the command line prints: stdout's first failure is kept for the report at the end.
void print(std::FILE *to, const QString &text);
// Messages may quote what the user typed: on stderr nothing reaches the terminal as a command.
void tell(const QString &text);
// 0 when everything printed reached stdout, otherwise why not (an errno).
int stdoutFailure();
// A failure of a write to stdout made elsewhere, kept if it is the first.
void noteStdoutFailure(int errorNumber);
// A standard stream the program was started without (closed) is opened on /dev/null, so that
// no file the program opens takes its number and receives what was meant for it; a closed
// stdout is then reported as a failure at the end.
void guardStandardStreams();

// Nesting that takes more than a second shows how far it is, on a terminal only.
NestingProgress terminalProgress();
// The speeds of the wave model, computed on every core; on a terminal, how many are done.
QList<waves::SpeedResult> runWaves(const Pipe &pipe, const WaveSetup &setup);

} // namespace velmorant
