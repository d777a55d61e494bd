#include "workshopinput.h"

#include "band.h"
#include "number.h"
#include "pipefile.h"
#include "searchedpipe.h"
#include "texts.h"
#include "usertext.h"
#include "validation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSettings>

#include <algorithm>
#include <cmath>

namespace velmorant {

namespace {

QString tr(const char *s)
{
    return QCoreApplication::translate("velmorant", s);
}


// What the workshop takes in each design box: an engine the wave model can run, durations
// within a turn, cones the workshop can roll.
constexpr std::pair<double, double> DesignRanges[FieldCount] = {
    {2, 2000}, {500, 30000}, {1, 359}, {1, 359}, {0.5, 45}, {0.5, 45}, {7, 1500}, {1, 25}};

QString quotedCaption(std::size_t field)
{
    return QStringLiteral("\u201c%1\u201d").arg(workshopCaption(field));
}

// Why the first sizing gives a negative L3, and what would mend it: the divergent cone is
// longer than the plugging wave's length leaves it, so a steeper cone or a narrower belly.
QString negativeL3(const DesignParameters &p, const ChamberDimensions &d, const QLocale &locale)
{
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    const double plugging = d.L1 + d.L2 + d.L3; // where the plugging wave turns back
    const double room = plugging - d.L1;        // what the divergent cone may take
    const double div = p[Field::Div];
    if (!(room > 0)) {
        // The suction wave turns back after the plugging one: the durations themselves.
        const double asp = p[Field::Sc] * (d.a1 - d.a2) / (d.a1 + d.a2);
        return tr("Lunghezza L3 negativa (%1 mm): l'onda di aspirazione tornerebbe dopo quella "
                  "di tappo. Con questa %2 serve una %3 di almeno %4 (ora %5)")
            .arg(l.toString(d.L3, 'f', 1), quotedCaption(std::size_t(Field::Sc)),
                 quotedCaption(std::size_t(Field::Asp)), l.toString(std::ceil(asp * 10) / 10, 'f', 1),
                 l.toString(p[Field::Asp]));
    }
    constexpr double Deg = 3.14159265358979323846 / 180;
    const double divMin = std::atan(0.5 * (d.D2 - d.D1) / room) / Deg;
    const double ratioMax = std::pow((d.D1 + 2 * room * std::tan(div * Deg)) / d.D1, 2);
    return tr("Lunghezza L3 negativa (%1 mm): il cono divergente (L2 %2 mm) \u00e8 pi\u00f9 lungo "
              "dei %3 mm che l'onda di tappo gli lascia. Serve un %4 di almeno %5 (ora %6), oppure "
              "un %7 non oltre %8 (ora %9)")
        .arg(l.toString(d.L3, 'f', 1), l.toString(d.L2, 'f', 1), l.toString(room, 'f', 1),
             quotedCaption(std::size_t(Field::Div)), l.toString(std::ceil(divMin * 100) / 100, 'f', 2),
             l.toString(div), quotedCaption(std::size_t(Field::Rappsez)),
             l.toString(std::floor(ratioMax * 100) / 100, 'f', 2), l.toString(p[Field::Rappsez]));
}

} // namespace

QString workshopCaption(std::size_t field)
{
    return fieldCaption(field).replace(QStringLiteral("Deg)"), QStringLiteral("gradi)"));
}

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

WorkshopChoices readWorkshopChoices(const WorkshopTexts &texts, const QLocale &locale)
{
    WorkshopChoices ch;
    WorkshopOptions &o = ch.options;
    auto refuse = [&](const QString &caption, double low, double high, const QString &box,
                      const QString &typed) {
        ch.refusal =
            Message{tr("Valore non valido per \u201c%1\u201d: serve un numero tra %2 e %3%4")
                        .arg(caption, formatBoxNumber(low, locale), formatBoxNumber(high, locale),
                             decimalSeparatorHint(typed, locale)),
                    MessageIcon::Critical};
        ch.box = box;
        return ch;
    };
    for (std::size_t i = 0; i < workshopNumbers().size(); ++i) {
        const WorkshopNumber &n = workshopNumbers()[i];
        const std::optional<double> v = parseSettingNumber(texts.numbers[i], locale);
        if (!v || *v < n.low || *v > n.high)
            return refuse(tr(n.caption), n.low, n.high,
                          QStringLiteral("opt_") + QLatin1String(n.key), texts.numbers[i]);
        o.*n.member = *v;
    }
    const std::optional<double> w = parseSettingNumber(texts.sheetWidth, locale);
    if (!w || *w < SmallestSheetSide || *w > LargestSheetSide)
        return refuse(tr("Larghezza lamiera (mm)"), SmallestSheetSide, LargestSheetSide,
                      QStringLiteral("opt_sheet-width"), texts.sheetWidth);
    const std::optional<double> h = parseSettingNumber(texts.sheetHeight, locale);
    if (!h || *h < SmallestSheetSide || *h > LargestSheetSide)
        return refuse(tr("Altezza lamiera (mm)"), SmallestSheetSide, LargestSheetSide,
                      QStringLiteral("opt_sheet-height"), texts.sheetHeight);
    o.sheetSize = QSizeF(*w, *h);
    o.designName = texts.name;
    if (!texts.space.route.straight())
        o.route = texts.space.route;
    o.seamSide = texts.space.seam;
    o.maxJointDeg = texts.space.maxJointDeg;
    o.surroundings = texts.space.surroundings;
    o.numbers = locale; // the parts and templates say numbers as the window's boxes do
    const PipeTexts &cut = texts.pipe;
    if (cut.method == QLatin1String(MeasuredMethod))
        o.pipeName = measuredPipeCaption(cut.pipeFile);
    else if (cut.method == QLatin1String(SearchedMethod) && cut.searched)
        o.pipeName = searchedPipeCaption(cut.searched->source);
    else if (cut.method != QLatin1String("own"))
        o.pipeName = methodCaption(cut.method);

    // The pipe: every box in its range, then the pipe the choice builds.
    const PipeTexts &pt = texts.pipe;
    PipeChoice &c = ch.choice;
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
        {pt.horn, "Legge del diffusore, esponente (1-2)", 1, 2, "opt_horn", &c.horn},
        {pt.portWidth, "Luce di scarico, larghezza (mm)", 1, 500, "opt_port-width", &portWidth},
        {pt.portHeight, "Luce di scarico, altezza (mm)", 1, 500, "opt_port-height", &portHeight},
        {pt.divergentAngle, "Semiangolo del divergente (\u00b0)", 0.5, 45, "opt_cone-divergent",
         &c.divergentHalfAngle},
        {pt.convergentAngle, "Semiangolo del convergente (\u00b0)", 0.5, 45, "opt_cone-convergent",
         &c.convergentHalfAngle},
        {pt.bandWidth, "Fascia di giri, \u00b1 gradi", SmallestBandWidth, LargestBandWidth,
         "opt_band", &ch.bandWidth}};
    // Boxes the method does not read are not held against it.
    const bool blair = pt.method.startsWith(QLatin1String("blair"));
    const bool jennings = pt.method == QLatin1String("jennings");
    const bool staged = !blair && pt.method != QLatin1String(MeasuredMethod) &&
                        pt.method != QLatin1String(SearchedMethod) &&
                        pt.stages.trimmed().toInt() > 1;
    for (const Ranged &r : ranged) {
        if ((!port && (r.into == &portWidth || r.into == &portHeight)) ||
            (r.into == &c.horn && !blair && !staged) ||
            (!jennings && (r.into == &c.divergentHalfAngle || r.into == &c.convergentHalfAngle)))
            continue;
        const std::optional<double> v = parseSettingNumber(r.text, locale);
        if (!v || *v < r.low || *v > r.high)
            return refuse(tr(r.caption), r.low, r.high, QLatin1String(r.box), r.text);
        *r.into = *v;
    }
    if (port)
        c.port = QSizeF(portWidth, portHeight);
    // Stages only where the method cuts them: Blair's set their own, a measured pipe keeps
    // its sections.
    const bool searched = pt.method == QLatin1String(SearchedMethod);
    const bool measured = pt.method == QLatin1String(MeasuredMethod);
    if (!blair && !measured && !searched) {
        bool whole = false;
        const int stages = pt.stages.trimmed().toInt(&whole);
        if (!whole || stages < 1 || stages > 4) {
            ch.refusal = Message{tr("Valore non valido per \u201cStadi del diffusore\u201d: serve "
                                     "un numero intero tra 1 e 4"),
                                  MessageIcon::Critical};
            ch.box = QStringLiteral("opt_stages");
            return ch;
        }
        c.stages = stages;
    }
    c.engineClass = engineClassNamed(pt.engineClass).value_or(EngineClass::Enduro);
    if (measured) {
        if (pt.pipeFile.trimmed().isEmpty()) {
            ch.refusal = Message{tr("Scegliere il file del tubo misurato (CSV: x_mm,d_mm)."),
                                  MessageIcon::Critical};
            ch.box = QStringLiteral("txtTuboMisurato");
            return ch;
        }
        if (pt.measured && pt.measured->source == pt.pipeFile) {
            ch.measured = pt.measured;
        } else {
            const PipeRead read = readPipeFile(pt.pipeFile);
            if (!read.ok()) {
                ch.refusal = Message{read.error, MessageIcon::Critical};
                ch.box = QStringLiteral("txtTuboMisurato");
                return ch;
            }
            ch.measured = MeasuredPipe{pt.pipeFile, read.pipe};
        }
        c.measured = ch.measured->pipe;
    } else if (searched) {
        if (!pt.searched) {
            ch.refusal = Message{tr("Nessun tubo ottimizzato da tagliare: cercarlo con "
                                    "Ottimizza... nella scheda Onde."),
                                 MessageIcon::Critical};
            ch.box = QStringLiteral("cmbMetodo");
            return ch;
        }
        c.measured = pt.searched->pipe;
    } else if (pipeMethods().contains(pt.method)) {
        c.method = pt.method;
    } else {
        // Only a file can hold another key; its pipe is not to be replaced by another method's.
        ch.refusal = Message{tr("Metodo del tubo sconosciuto: %1").arg(quotedUserText(pt.method)),
                             MessageIcon::Critical};
        ch.box = QStringLiteral("cboMetodo");
    }
    return ch;
}

WorkshopRun runWorkshop(const WorkshopTexts &texts, const QLocale &locale,
                        const NestingProgress &progress)
{
    WorkshopRun run;
    DesignParameters p = defaultParameters();
    // The main window's message for the box, then the box by its caption and its range.
    auto designRange = [&](std::size_t i) {
        return tr("%1 vuole un numero tra %2 e %3")
            .arg(quotedCaption(i), formatBoxNumber(DesignRanges[i].first, locale),
                 formatBoxNumber(DesignRanges[i].second, locale));
    };
    if (const std::optional<Rejection> rejected = readParameters(texts.parameters, locale, p)) {
        const std::size_t i = rejected->field;
        run.refusal = Message{tr("%1: %2%3").arg(rejected->message, designRange(i),
                                                 decimalSeparatorHint(texts.parameters[i], locale)),
                              MessageIcon::Critical};
        run.box = QLatin1String(fieldInfo(i).boxName);
        return run;
    }
    for (std::size_t i = 0; i < FieldCount; ++i) {
        if (!(p.values[i] >= DesignRanges[i].first && p.values[i] <= DesignRanges[i].second)) {
            run.refusal = Message{fieldRejection(i) + QStringLiteral(": ") + designRange(i),
                                  MessageIcon::Critical};
            run.box = QLatin1String(fieldInfo(i).boxName);
            return run;
        }
    }
    // A measured pipe does not come from the first sizing: it need not hold for it.
    const ChamberEvaluation evaluation = evaluateChamber(p);
    if (!evaluation.ok() && texts.pipe.method != QLatin1String(MeasuredMethod) &&
        texts.pipe.method != QLatin1String(SearchedMethod)) {
        const bool l3 = evaluation.refusal == texts::negativeL3();
        run.refusal = Message{l3 ? negativeL3(p, evaluation.dimensions, locale) : evaluation.refusal,
                              MessageIcon::Critical};
        if (l3)
            run.box = QLatin1String(fieldInfo(std::size_t(Field::Div)).boxName);
        return run;
    }
    WorkshopChoices choices = readWorkshopChoices(texts, locale);
    if (choices.refusal) {
        run.refusal = choices.refusal;
        run.box = choices.box;
        return run;
    }
    const WorkshopOptions &o = choices.options;
    const PipeChoice &c = choices.choice;
    run.choice = c;
    run.bandWidth = choices.bandWidth;
    run.measured = choices.measured;
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
        else if (!run.plan->layout.ok())
            run.box = QStringLiteral("tblCurve"); // the bends the route could not lay
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

} // namespace velmorant
