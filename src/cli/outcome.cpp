#include "outcome.h"

#include "optimizeoptions.h"
#include "pipeoptions.h"
#include "terminal.h"

#include <QJsonDocument>

namespace velmorant {

// The results on stdout: JSON, or the tables.
void report(const CliOptions &o, const Outcome &r)
{
    const QLocale locale(o.locale);
    const ChamberDimensions &d = r.evaluation.dimensions;
    if (o.json) {
        QJsonObject root = reportJson(r.p, r.evaluation, r.captions, *r.plan,
                                      o.sketchWidth ? r.sketch : std::nullopt, r.tuned);
        if (r.pipe)
            addPipeJson(root, o.pipe, *r.pipe, r.p, d);
        if (r.optimized)
            root.insert("optimize", optimizeJson(o.optimize, *r.optimized));
        if (r.waveRun)
            root.insert("waves", wavesJson(*r.waveRun, r.waveResults));
        if (r.waveRun && !r.waveRun->ports.json.isEmpty())
            root.insert("ports", r.waveRun->ports.json);
        print(stdout, QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented)));
        return;
    }
    print(stdout, r.evaluation.ok()
                      ? resultTable(d, locale, r.tuned)
                      : QStringLiteral("Primo dimensionamento non calcolabile: %1\n")
                            .arg(r.evaluation.refusal));
    if (r.pipe && !r.optimized)
        print(stdout, pipeTable(o.pipe, *r.pipe, r.p, d, locale));
    if (r.optimized)
        print(stdout, optimizeTable(o.optimize, *r.optimized, locale));
    if (r.waveRun)
        print(stdout, r.waveRun->ports.table + wavesTable(*r.waveRun, r.waveResults, locale));
}

} // namespace velmorant
