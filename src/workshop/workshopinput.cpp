#include "workshopinput.h"

#include "number.h"
#include "validation.h"

#include <QCoreApplication>
#include <QSettings>

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
    run.plan = planWorkshop(p, evaluation.dimensions, o, progress);
    if (run.plan->nesting.cancelled) {
        run.plan.reset();
        run.cancelled = true;
        return run;
    }
    const PartsRefusal &refused = run.plan->refusal;
    if (refused.kind != PartsRefusal::Kind::None) {
        run.refusal = Message{tr("Impossibile preparare il taglio: %1.")
                                  .arg(refusalText(refused, locale)),
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
