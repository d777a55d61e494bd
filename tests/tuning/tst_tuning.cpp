// The pipe search: on a surrogate whose optimum is known it finds it; on the wave model the
// pipe it gives keeps every limit, is never worse than the start, is the same twice, gives
// when run again what was reported, and a stopped search keeps the best so far. Shapes it
// cannot vary are refused, saying why.
#include "pipesearch.h"

#include "pipechoice.h"
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
    void bandMeanOfALinearCurve();
    void localPassStartsFromTheBetter_data();
    void localPassStartsFromTheBetter();
    void shapeGivesBackItsStart_data();
    void shapeGivesBackItsStart();
    void searchStartsFromSettledGas();
    void absoluteLimitsHold();
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

// The band's mean power is the mean over the speeds, not over the samples: a power rising in a
// straight line over unevenly spaced speeds has the mean of its middle speed.
void TestTuning::bandMeanOfALinearCurve()
{
    QList<waves::SpeedResult> speeds;
    for (double rpm : {9000.0, 9250.0, 10500.0, 11000.0}) {
        waves::SpeedResult r;
        r.rpm = rpm;
        r.brake.powerKw = 2 + 0.001 * rpm;
        speeds << r;
    }
    const BandRun b = bandRun(speeds, Objective::Mean);
    QVERIFY(b.ok);
    QCOMPARE(b.meanKw, 2 + 0.001 * 10000);
    QCOMPARE(b.peakKw, 2 + 0.001 * 11000);
}

void TestTuning::localPassStartsFromTheBetter_data()
{
    QTest::addColumn<double>("start"); // on a hill whose top is at 0.8
    QTest::addColumn<bool>("global");  // the global pass finds better than the start
    QTest::newRow("global pass better") << 0.05 << true;
    QTest::newRow("start better") << 0.8 << false;
}

// After the global pass the local one starts from the better of its best point and the start:
// its first evaluation is there.
void TestTuning::localPassStartsFromTheBetter()
{
    QFETCH(double, start);
    QFETCH(bool, global);
    std::vector<std::vector<double>> seen;
    std::vector<double> values;
    auto hill = [&](const std::vector<double> &x) {
        seen.push_back(x);
        const double v = -std::pow(x[0] - 0.8, 2) - std::pow(x[1] - 0.3, 2);
        values.push_back(v);
        return v;
    };
    SearchPlan plan;
    plan.evaluations = 60;
    const std::vector<double> x0{start, 0.3};
    maximize(hill, {0, 0}, {1, 1}, x0, plan);
    const std::size_t globalEnd = 1 + std::size_t(std::lround(60 * plan.globalShare));
    QVERIFY(seen.size() > globalEnd);
    // The best of what came before the local pass.
    const auto best = std::max_element(values.begin(), values.begin() + long(globalEnd));
    const std::vector<double> &expected =
        global ? seen[std::size_t(best - values.begin())] : x0;
    QCOMPARE(global, *best > values[0]);
    QCOMPARE(seen[globalEnd], expected);
}

void TestTuning::shapeGivesBackItsStart_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<int>("stages");
    QTest::addColumn<double>("horn");
    QTest::newRow("one cone") << "own" << 1 << 1.0;
    QTest::newRow("three stages, horn 1.6") << "own" << 3 << 1.6;
    QTest::newRow("four stages, horn 2") << "own" << 4 << 2.0;
    QTest::newRow("Blair's three stages") << "blair3" << 1 << 1.0;
}

// The start's own variables give back the start, staged diffuser and horn law included.
void TestTuning::shapeGivesBackItsStart()
{
    QFETCH(QString, method);
    QFETCH(int, stages);
    QFETCH(double, horn);
    PipeChoice c;
    c.method = method;
    c.stages = stages;
    c.horn = horn;
    const DesignParameters p = defaultParameters();
    const PipeBuilt built = buildPipe(c, p, evaluateChamber(p).dimensions);
    QVERIFY2(built.refusal.isEmpty(), qPrintable(built.refusal));
    const std::optional<PipeShape> shape = PipeShape::of(built.pipe, Limits());
    QVERIFY(shape);
    const Pipe again = shape->pipe(shape->start());
    QCOMPARE(again.sections.size(), built.pipe.sections.size());
    for (int i = 0; i < again.sections.size(); ++i) {
        const PipeSection &a = again.sections[i], &b = built.pipe.sections[i];
        QVERIFY2(std::abs(a.length - b.length) < 1e-9 && std::abs(a.dIn - b.dIn) < 1e-9 &&
                     std::abs(a.dOut - b.dOut) < 1e-9,
                 qPrintable(sections(again) + " / " + sections(built.pipe)));
    }
}

// While searching, each pipe's speeds start from the gas the pipe before left: they settle in
// fewer cycles than the start's own speeds do from still gas (11.5 against 12.2 a speed), though
// the pipes tried are far more varied than the start (from still gas they take 16.4). The
// search is deterministic, so the figures are too.
void TestTuning::searchStartsFromSettledGas()
{
    const PipeSearchInputs in = shortSearch();
    const PipeSearchResult r = searchPipe(in);
    QVERIFY(r.refusal.isEmpty() && r.searchSpeedRuns > 0);
    waves::WaveOptions coarse = in.options;
    coarse.cellMm = SearchCellMm;
    int cold = 0;
    const QList<double> rpms = bandSpeeds(in.from, in.to, SearchSpeeds, in.objective);
    for (const waves::SpeedResult &s : waves::simulateSpeeds(in.start, in.engine, coarse, rpms, 2))
        cold += s.cycles;
    const double perSpeedCold = double(cold) / rpms.size();
    const double perSpeedSearching = double(r.searchCycles) / double(r.searchSpeedRuns);
    QVERIFY2(perSpeedSearching < perSpeedCold,
             qPrintable(QStringLiteral("%1 against %2").arg(perSpeedSearching).arg(perSpeedCold)));
}

// What the chassis allows holds whatever the start: a search from a long pipe ends within the
// length in mm and the widest diameter, the start said to break them.
void TestTuning::absoluteLimitsHold()
{
    PipeSearchInputs in = shortSearch();
    in.limits.maxLengthMm = 900;
    in.limits.maxDiameterMm = 40;
    in.plan.evaluations = 12;
    const PipeSearchResult r = searchPipe(in);
    QVERIFY2(r.refusal.isEmpty(), qPrintable(r.refusal));
    QVERIFY(!r.startOutside.isEmpty()); // the start is 1026.5 mm long, 46.1 mm wide
    QVERIFY(!r.keptStart);
    QVERIFY2(r.best.length() <= 900 + 1e-9, qPrintable(sections(r.best)));
    for (const PipeSection &s : r.best.sections)
        QVERIFY2(std::max(s.dIn, s.dOut) <= 40 + 1e-9, qPrintable(sections(r.best)));
    Limits wrong;
    wrong.maxLengthMm = 50;
    QVERIFY(limitsProblem(wrong));
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
