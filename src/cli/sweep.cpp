#include "sweep.h"

#include "chamber.h"
#include "results.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <string>

namespace velmorant {

namespace {

// Shortest text that reads back as the same double.
void appendNumber(std::string &line, double v)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    line.append(buffer, result.ptr);
}

void appendQuoted(std::string &line, const QString &text)
{
    line += '"';
    for (char c : text.toStdString()) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

} // namespace

double sweepRowCount(const SweepSpec &spec)
{
    // In double, so that any range gives a count to compare with the bound; NaN when the step
    // runs away from the end.
    const double steps = (spec.to - spec.from) / spec.step;
    if (!(steps >= 0))
        return std::nan("");
    return std::floor(steps + 1e-9) + 1;
}

int writeSweep(std::FILE *out, const DesignParameters &base, const SweepSpec &spec)
{
    std::string buffer;
    buffer.reserve(1 << 20);
    for (std::size_t i = 0; i < FieldCount; ++i)
        buffer.append(fieldInfo(i).name).append(",");
    std::size_t resultColumns = 0;
    for (const ResultInfo &r : resultTable()) {
        if (r.kind != ResultKind::SoundSpeed) {
            buffer.append(r.name).append(",");
            ++resultColumns;
        }
    }
    buffer += "status\n";
    const std::string refusedCells(resultColumns, ',');

    // A full disk or a closed pipe ends the sweep with its own reason.
    auto flush = [&]() -> int {
        errno = 0;
        const std::size_t written = std::fwrite(buffer.data(), 1, buffer.size(), out);
        const int failed = written == buffer.size() ? 0 : errno != 0 ? errno : EIO;
        buffer.clear();
        return failed;
    };
    const long long rows = static_cast<long long>(sweepRowCount(spec)); // checked when parsed
    DesignParameters p = base;
    for (long long k = 0; k < rows; ++k) {
        // From the start each time, so that steps do not add up rounding.
        p.values[spec.field] = spec.from + double(k) * spec.step;
        for (double v : p.values) {
            appendNumber(buffer, v);
            buffer += ',';
        }
        if (p.values[spec.field] == 0) {
            // The input box would refuse it.
            buffer += refusedCells;
            appendQuoted(buffer, fieldRejection(spec.field));
        } else if (const ChamberEvaluation e = evaluateChamber(p); !e.ok()) {
            buffer += refusedCells;
            appendQuoted(buffer, e.refusal);
        } else if (const std::optional<QString> unbuildable = unbuildableChamber(e.dimensions)) {
            buffer += refusedCells;
            appendQuoted(buffer, *unbuildable);
        } else {
            for (const ResultInfo &r : resultTable()) {
                if (r.kind == ResultKind::SoundSpeed)
                    continue;
                appendNumber(buffer, e.dimensions.*r.member);
                buffer += ',';
            }
            buffer += "ok";
        }
        buffer += '\n';
        if (buffer.size() > (1u << 20) - 4096) {
            if (const int failed = flush())
                return failed;
        }
    }
    return flush();
}

} // namespace velmorant
