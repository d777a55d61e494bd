#pragma once

#include "project.h"

#include <QList>
#include <QString>

#include <optional>

namespace velmorant {

// A file that a project reads besides itself, with the words that name it in a refusal.
struct ProjectInput
{
    QString what; // "il tubo misurato", "la curva al banco", ...
    QString path;
};

// Every file the project reads: the measured pipe, the pipe compared, the intake pipe, the
// port-area table, the bench curve and the measured trace (those it names).
QList<ProjectInput> projectInputFiles(const Project &p);

// The input among `inputs` that `output` would overwrite (the same file by device and inode, or
// by place when neither exists yet), if any.
std::optional<ProjectInput> inputOverwrittenBy(const QString &output,
                                               const QList<ProjectInput> &inputs);

} // namespace velmorant
