#include "workshopinput.h"

#include "band.h"
#include "number.h"
#include "pipefile.h"
#include "validation.h"

#include <QCoreApplication>
#include <QSettings>

#include <algorithm>

namespace velmorant {

namespace {

QString tr(const char *s)
{
    return QCoreApplication::translate("velmorant", s);
}

// Sides of a sheet the nesting can work on.
constexpr double SmallestSide = 10, LargestSide = 20000;

} // namespace

WorkshopTexts workshopTexts(const DesignParameters &p, const WorkshopOptions &o,
                            const QLocale &locale)
{
    WorkshopTexts t;
    t.parameters = parameterTexts(p, locale);
    for (std::size_t i = 0; i < workshopNumbers().size(); ++i)
        t.numbers[i] = formatBoxNumber(o.*workshopNumbers()[i].member, locale);
    t.sheetWidth = formatBoxNumber(o.sheetSize.width(), locale);
    t.sheetHeight = formatBoxNumber(o.sheetSize.height(), locale);
    t.name = o.designName;
    const PipeChoice c;
    t.pipe.horn = formatBoxNumber(c.horn, locale);
    t.pipe.engineClass = engineClassName(c.engineClass);
    t.pipe.divergentAngle = formatBoxNumber(c.divergentHalfAngle, locale);
    t.pipe.convergentAngle = formatBoxNumber(c.convergentHalfAngle, locale);
    t.pipe.bandWidth = formatBoxNumber(10, locale);
    return t;
}

WorkshopRun runWorkshop(const WorkshopTexts &texts, const QLocale &locale,
                        const NestingProgress &progress)
{
    WorkshopRun run;
    DesignParameters p = defaultParameters();
    if (const std::optional<Rejection> rejected = readParameters(texts.parameters, locale, p)) {
        run.refusal = Message{rejected->message, MessageIcon::Critical};
        run.box = QLatin1String(fieldInfo(rejected->field).boxName);
        return run;
    }
    const ChamberEvaluation evaluation = evaluateChamber(p);
    if (!evaluation.ok()) {
        run.refusal = Message{evaluation.refusal, MessageIcon::Critical};
        return run;
    }
    WorkshopOptions o;
    auto refuse = [&](const QString &caption, double low, double high, const QString &box) {
        run.refusal =
            Message{tr("Valore non valido per \u201c%1\u201d: serve un numero tra %2 e %3")
                        .arg(caption, formatBoxNumber(low, locale), formatBoxNumber(high, locale)),
                    MessageIcon::Critical};
        run.box = box;
        return run;
    };
    for (std::size_t i = 0; i < workshopNumbers().size(); ++i) {
        const WorkshopNumber &n = workshopNumbers()[i];
        const std::optional<double> v = parseSettingNumber(texts.numbers[i], locale);
        if (!v || *v < n.low || *v > n.high)
            return refuse(tr(n.caption), n.low, n.high,
                          QStringLiteral("opt_") + QLatin1String(n.key));
        o.*n.member = *v;
    }
    const std::optional<double> w = parseSettingNumber(texts.sheetWidth, locale);
    if (!w || *w < SmallestSide || *w > LargestSide)
        return refuse(tr("Larghezza lamiera (mm)"), SmallestSide, LargestSide,
                      QStringLiteral("opt_sheet-width"));
    const std::optional<double> h = parseSettingNumber(texts.sheetHeight, locale);
    if (!h || *h < SmallestSide || *h > LargestSide)
        return refuse(tr("Altezza lamiera (mm)"), SmallestSide, LargestSide,
                      QStringLiteral("opt_sheet-height"));
    o.sheetSize = QSizeF(*w, *h);
    o.designName = texts.name;

    // The pipe: every box in its range, then the pipe the choice builds.
    const PipeTexts &pt = texts.pipe;
    PipeChoice &c = run.choice;
    struct Ranged
    {
        const QString &text;
        const char *caption;
        double low, high;
        const char *box;
        double *into;
    };
    double portWidth = 0, portHeight = 0;
    const bool port = !pt.portWidth.trimmed().isEmpty() || !pt.portHeight.trimmed().isEmpty();
    const Ranged ranged[] = {
        {pt.horn, "Legge del diffusore (KH)", 1, 2, "opt_horn", &c.horn},
        {pt.portWidth, "Luce di scarico, larghezza (mm)", 1, 500, "opt_port-width", &portWidth},
        {pt.portHeight, "Luce di scarico, altezza (mm)", 1, 500, "opt_port-height", &portHeight},
        {pt.divergentAngle, "Semiangolo del divergente (\u00b0)", 0.5, 45, "opt_cone-divergent",
         &c.divergentHalfAngle},
        {pt.convergentAngle, "Semiangolo del convergente (\u00b0)", 0.5, 45, "opt_cone-convergent",
         &c.convergentHalfAngle},
        {pt.bandWidth, "Fascia di giri, \u00b1 gradi", SmallestBandWidth, LargestBandWidth,
         "opt_band", &run.bandWidth}};
    // Boxes the method does not read are not held against it.
    const bool blair = pt.method.startsWith(QLatin1String("blair"));
    const bool jennings = pt.method == QLatin1String("jennings");
    for (const Ranged &r : ranged) {
        if ((!port && (r.into == &portWidth || r.into == &portHeight)) ||
            (r.into == &c.horn && !blair && pt.stages < 2) ||
            (!jennings && (r.into == &c.divergentHalfAngle || r.into == &c.convergentHalfAngle)))
            continue;
        const std::optional<double> v = parseSettingNumber(r.text, locale);
        if (!v || *v < r.low || *v > r.high)
            return refuse(tr(r.caption), r.low, r.high, QLatin1String(r.box));
        *r.into = *v;
    }
    if (port)
        c.port = QSizeF(portWidth, portHeight);
    c.stages = std::clamp(pt.stages, 1, 4);
    c.engineClass = engineClassNamed(pt.engineClass).value_or(EngineClass::Enduro);
    if (pt.method == QLatin1String(MeasuredMethod)) {
        if (pt.pipeFile.trimmed().isEmpty()) {
            run.refusal = Message{tr("Scegliere il file del tubo misurato (CSV: x_mm,d_mm)."),
                                  MessageIcon::Critical};
            run.box = QStringLiteral("txtTuboMisurato");
            return run;
        }
        const PipeRead read = readPipeFile(pt.pipeFile);
        if (!read.ok()) {
            run.refusal = Message{read.error, MessageIcon::Critical};
            run.box = QStringLiteral("txtTuboMisurato");
            return run;
        }
        c.measured = read.pipe;
    } else if (pipeMethods().contains(pt.method)) {
        c.method = pt.method;
    }
    const PipeBuilt built = buildPipe(c, p, evaluation.dimensions);
    if (!built.refusal.isEmpty()) {
        run.refusal = Message{tr("Impossibile costruire il tubo: %1.").arg(built.refusal),
                              MessageIcon::Critical};
        run.box = QStringLiteral("cmbMetodo");
        return run;
    }
    run.pipe = built.pipe;
    run.plan = c.changesPipe()
                   ? planWorkshop(p, evaluation.dimensions, run.pipe, o, progress, c.portArea())
                   : planWorkshop(p, evaluation.dimensions, o, progress);
    if (run.plan->nesting.cancelled) {
        run.plan.reset();
        run.cancelled = true;
        return run;
    }
    const PartsRefusal &refused = run.plan->refusal;
    if (refused.kind != PartsRefusal::Kind::None) {
        run.refusal =
            Message{tr("Impossibile preparare il taglio: %1.").arg(refusalText(refused, locale)),
                    MessageIcon::Critical};
        if (!refused.optionKey.isEmpty())
            run.box = QStringLiteral("opt_") + refused.optionKey;
        run.plan.reset();
    }
    return run;
}

QString refusalText(const PartsRefusal &refusal, const QLocale &locale)
{
    if (!refusal.range)
        return refusal.text;
    return tr("%1 (serve un numero tra %2 e %3)")
        .arg(refusal.text, formatBoxNumber(refusal.range->first, locale),
             formatBoxNumber(refusal.range->second, locale));
}

WorkshopOptions readWorkshopSettings(QSettings &settings)
{
    WorkshopOptions o;
    settings.beginGroup(QStringLiteral("Officina"));
    auto read = [&](const QString &key, double low, double high, double fallback) {
        bool ok = false;
        const double v = settings.value(key).toString().toDouble(&ok);
        return ok && v >= low && v <= high ? v : fallback;
    };
    for (const WorkshopNumber &n : workshopNumbers())
        o.*n.member = read(QLatin1String(n.key), n.low, n.high, o.*n.member);
    o.sheetSize = QSizeF(
        read(QStringLiteral("sheet-width"), SmallestSide, LargestSide, o.sheetSize.width()),
        read(QStringLiteral("sheet-height"), SmallestSide, LargestSide, o.sheetSize.height()));
    settings.endGroup();
    return o;
}

PipeTexts readPipeSettings(QSettings &settings, const QLocale &locale)
{
    PipeTexts t = workshopTexts(defaultParameters(), WorkshopOptions(), locale).pipe;
    settings.beginGroup(QStringLiteral("Officina/Tubo"));
    auto number = [&](const char *key, double low, double high, QString &into) {
        bool ok = false;
        const double v = settings.value(QLatin1String(key)).toString().toDouble(&ok);
        if (ok && v >= low && v <= high)
            into = formatBoxNumber(v, locale);
    };
    const QString method = settings.value(QStringLiteral("method")).toString();
    if (pipeMethods().contains(method) || method == QLatin1String(MeasuredMethod))
        t.method = method;
    t.stages = std::clamp(settings.value(QStringLiteral("stages"), 1).toInt(), 1, 4);
    number("horn", 1, 2, t.horn);
    number("port-width", 1, 500, t.portWidth);
    number("port-height", 1, 500, t.portHeight);
    if (t.portWidth.isEmpty() != t.portHeight.isEmpty())
        t.portWidth = t.portHeight = QString();
    if (engineClassNamed(settings.value(QStringLiteral("class")).toString()))
        t.engineClass = settings.value(QStringLiteral("class")).toString();
    number("cone-divergent", 0.5, 45, t.divergentAngle);
    number("cone-convergent", 0.5, 45, t.convergentAngle);
    number("band", SmallestBandWidth, LargestBandWidth, t.bandWidth);
    t.pipeFile = settings.value(QStringLiteral("file")).toString();
    settings.endGroup();
    return t;
}

void writePipeSettings(QSettings &settings, const WorkshopRun &run, const PipeTexts &texts)
{
    const PipeChoice &c = run.choice;
    settings.beginGroup(QStringLiteral("Officina/Tubo"));
    auto number = [](double v) { return QString::number(v, 'g', 17); };
    settings.setValue(QStringLiteral("method"), texts.method);
    settings.setValue(QStringLiteral("stages"), c.stages);
    settings.setValue(QStringLiteral("horn"), number(c.horn));
    settings.setValue(QStringLiteral("port-width"), c.port ? number(c.port->width()) : QString());
    settings.setValue(QStringLiteral("port-height"), c.port ? number(c.port->height()) : QString());
    settings.setValue(QStringLiteral("class"), engineClassName(c.engineClass));
    settings.setValue(QStringLiteral("cone-divergent"), number(c.divergentHalfAngle));
    settings.setValue(QStringLiteral("cone-convergent"), number(c.convergentHalfAngle));
    settings.setValue(QStringLiteral("band"), number(run.bandWidth));
    settings.setValue(QStringLiteral("file"), texts.pipeFile);
    settings.endGroup();
}

void writeWorkshopSettings(QSettings &settings, const WorkshopOptions &o)
{
    settings.beginGroup(QStringLiteral("Officina"));
    for (const WorkshopNumber &n : workshopNumbers())
        settings.setValue(QLatin1String(n.key), QString::number(o.*n.member, 'g', 17));
    settings.setValue(QStringLiteral("sheet-width"), QString::number(o.sheetSize.width(), 'g', 17));
    settings.setValue(QStringLiteral("sheet-height"),
                      QString::number(o.sheetSize.height(), 'g', 17));
    settings.endGroup();
}

} // namespace velmorant
