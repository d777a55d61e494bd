// The pipe search: on a surrogate whose optimum is known it finds it; on the wave model the
// pipe it gives keeps every limit, is never worse than the start, is the same twice, gives
// when run again what was reported, and a stopped search keeps the best so far. Shapes it
// cannot vary are refused, saying why.
#include "pipesearch.h"

#include "pipecsv.h"

#include <QtTest>

#include <cmath>

using namespace velmorant;
using namespace velmorant::tuning;

namespace {

Pipe defaultPipe()
{
    return firstSizingPipe(evaluateChamber(defaultParameters()).dimensions);
}

waves::EngineInputs defaultEngine()
{
    return waves::onDesign(waves::EngineInputs(), defaultParameters());
}

// A short search of the default design's pipe over 9500-10500 rpm.
PipeSearchInputs shortSearch(const Pipe &start = defaultPipe())
{
    PipeSearchInputs in;
    in.start = start;
    in.engine = defaultEngine();
    in.from = 9500;
    in.to = 10500;
    in.plan.evaluations = 24;
    in.threads = 2;
    return in;
}

QString sections(const Pipe &p)
{
    QStringList out;
    for (const PipeSection &s : p.sections)
        out << QStringLiteral("%1/%2/%3").arg(s.length).arg(s.dIn).arg(s.dOut);
    return out.join(QLatin1Char(' '));
}

} // namespace

class TestTuning : public QObject
{
    Q_OBJECT

private slots:
    void surrogateOptimumFound_data();
    void surrogateOptimumFound();
    void searchOnTheWaves();
    void stoppedSearchKeepsTheBest();
    void startOutsideTheLimits();
    void shapesRefused_data();
    void shapesRefused();
};

void TestTuning::surrogateOptimumFound_data()
{
    QTest::addColumn<int>("stages");
    QTest::addColumn<double>("horn");
    QTest::newRow("one diffuser cone") << 1 << 1.0;
    QTest::newRow("three stages on a trumpet") << 3 << 1.6;
}

// A smooth surrogate of the same variables, highest at a point inside the limits worked out
// here: the search ends on that point to a thousandth of each variable's range.
void TestTuning::surrogateOptimumFound()
{
    QFETCH(int, stages);
    QFETCH(double, horn);
    const Pipe start = withStages(defaultPipe(), stages, horn);
    const std::optional<PipeShape> shape = PipeShape::of(start, Limits());
    QVERIFY(shape);
    QCOMPARE(shape->diffuserCones(), stages);
    // The optimum: each variable at its own share of its range, well inside the total length.
    std::vector<double> best(std::size_t(shape->size()));
    for (int i = 0; i < shape->size(); ++i) {
        const double share = 0.2 + 0.05 * ((i * 7) % 9);
        best[std::size_t(i)] = shape->lower()[std::size_t(i)] +
                               share * (shape->upper()[std::size_t(i)] - shape->lower()[std::size_t(i)]);
    }
    // Lengths short enough for the total to hold.
    best[0] = shape->lower()[0] + 0.1 * (shape->upper()[0] - shape->lower()[0]);
    QCOMPARE(shape->violation(best), 0.0);
    auto surrogate = [&](const Pipe &p) -> std::optional<double> {
        const std::vector<double> v = shape->variables(p);
        double sum = 0;
        for (std::size_t i = 0; i < v.size(); ++i) {
            const double d = (v[i] - best[i]) / (shape->upper()[i] - shape->lower()[i]);
            sum += (1 + 0.3 * double(i)) * d * d;
        }
        return 10 - sum;
    };
    SearchPlan plan;
    plan.evaluations = 1500;
    const SearchFound found = searchShape(*shape, surrogate, plan);
    QVERIFY(found.evaluations <= plan.evaluations);
    for (std::size_t i = 0; i < best.size(); ++i) {
        const double range = shape->upper()[i] - shape->lower()[i];
        QVERIFY2(std::abs(found.x[i] - best[i]) <= 1e-3 * range,
                 qPrintable(QStringLiteral("variable %1: %2 for %3 (range %4), %5 evaluations")
                                .arg(i)
                                .arg(found.x[i])
                                .arg(best[i])
                                .arg(range)
                                .arg(found.evaluations)));
    }
}

// The wave model's search, short: the best pipe keeps the limits, is no worse than the start,
// comes out the same twice, and its figures are what it gives when run again over the band.
void TestTuning::searchOnTheWaves()
{
    const PipeSearchInputs in = shortSearch();
    QVERIFY(!searchProblem(in));
    int heard = 0;
    const PipeSearchResult r = searchPipe(in, nullptr, [&](const SearchProgress &) { ++heard; });
    QVERIFY(r.refusal.isEmpty());
    QCOMPARE(r.evaluations, in.plan.evaluations);
    QCOMPARE(heard, in.plan.evaluations);
    QVERIFY(r.startBand.ok && r.bestBand.ok);
    QVERIFY(r.startOutside.isEmpty());
    QVERIFY2(r.bestBand.value >= r.startBand.value,
             qPrintable(QStringLiteral("%1 against %2 kW").arg(r.bestBand.value).arg(r.startBand.value)));
    const PipeShape shape = *PipeShape::of(in.start, in.limits);
    QCOMPARE(shape.brokenLimits(r.best), QString());
    QVERIFY(r.best.length() <= 1.25 * in.start.length() + 1e-9);
    QCOMPARE(r.best.sections.first().dIn, in.start.sections.first().dIn);
    // The same input, the same pipe.
    const PipeSearchResult again = searchPipe(in);
    QCOMPARE(sections(again.best), sections(r.best));
    QCOMPARE(again.bestBand.value, r.bestBand.value);
    // Run again over the band at the user's cell: the figures reported.
    const QList<double> rpms = bandSpeeds(in.from, in.to, BandSpeeds, in.objective);
    QCOMPARE(rpms.size(), BandSpeeds);
    const QList<waves::SpeedResult> rerun =
        waves::simulateSpeeds(r.best, in.engine, in.options, rpms, 1);
    for (int k = 0; k < rpms.size(); ++k)
        QCOMPARE(rerun[k].brake.powerKw, r.bestBand.speeds[k].brake.powerKw);
    QCOMPARE(bandRun(rerun, in.objective).meanKw, r.bestBand.meanKw);
}

// Stopped after a few evaluations: it says so and keeps the best found so far, run over the
// band; never worse than the start.
void TestTuning::stoppedSearchKeepsTheBest()
{
    PipeSearchInputs in = shortSearch();
    in.plan.evaluations = 200;
    std::atomic<bool> stop{false};
    const PipeSearchResult r = searchPipe(in, &stop, [&](const SearchProgress &p) {
        if (p.evaluations >= 6)
            stop = true;
    });
    QVERIFY(r.cancelled);
    QVERIFY2(r.evaluations <= 7, qPrintable(QString::number(r.evaluations)));
    QVERIFY(r.bestBand.ok && r.bestBand.value >= r.startBand.value);
    QCOMPARE(r.bestBand.speeds.size(), BandSpeeds);
}

// A start whose cones are steeper than allowed: the search says which limit it breaks and gives
// a pipe inside the limits.
void TestTuning::startOutsideTheLimits()
{
    PipeSearchInputs in = shortSearch();
    in.limits.maxAngle = 2.5; // the default pipe's divergent is 3 degrees
    in.plan.evaluations = 12;
    const PipeSearchResult r = searchPipe(in);
    QVERIFY2(r.startOutside.contains("il cono 2 ha un semiangolo di 3.0"), qPrintable(r.startOutside));
    QVERIFY(!r.keptStart);
    QCOMPARE(PipeShape::of(in.start, in.limits)->brokenLimits(r.best), QString());
}

void TestTuning::shapesRefused_data()
{
    QTest::addColumn<QByteArray>("stations"); // x,d pairs
    QTest::addColumn<QString>("reason");
    QTest::newRow("a box on a pipe") << QByteArray("0,38 200,38 200,200 518,200 518,38 718,38")
                                     << "non ha la forma";
    QTest::newRow("no convergent") << QByteArray("0,30 300,30 600,60 900,60 1000,60")
                                   << "non ha la forma";
    QTest::newRow("tail wider than the header")
        << QByteArray("0,30 300,30 600,80 900,80 1000,40 1200,40") << "coda";
}

void TestTuning::shapesRefused()
{
    QFETCH(QByteArray, stations);
    QFETCH(QString, reason);
    QByteArray csv = "x_mm,d_mm\n";
    for (const QByteArray &pair : stations.split(' '))
        csv += pair + '\n';
    const PipeRead read = readPipeCsv(csv);
    QVERIFY2(read.ok(), qPrintable(read.error));
    const Pipe &p = read.pipe;
    QString why;
    QVERIFY(!PipeShape::of(p, Limits(), &why));
    QVERIFY2(why.contains(reason), qPrintable(why));
}

QTEST_GUILESS_MAIN(TestTuning)
#include "tst_tuning.moc"
