#include "pipechoice.h"

namespace velmorant {

QStringList pipeMethods()
{
    return {QStringLiteral("own"), QStringLiteral("blair2"), QStringLiteral("blair3"),
            QStringLiteral("jennings")};
}

QString methodCaption(const QString &method)
{
    if (method == QLatin1String("blair2"))
        return QStringLiteral("Blair, 2 stadi");
    if (method == QLatin1String("blair3"))
        return QStringLiteral("Blair, 3 stadi");
    if (method == QLatin1String("jennings"))
        return QStringLiteral("Jennings, un cono");
    if (method == QLatin1String("misurato"))
        return QStringLiteral("tubo misurato");
    if (method == QLatin1String("ottimizzato"))
        return QStringLiteral("tubo ottimizzato");
    return QStringLiteral("primo dimensionamento");
}

Pipe methodPipe(const QString &method, const PipeChoice &c, const DesignParameters &p,
                const ChamberDimensions &d)
{
    MethodInputs in;
    in.rpm = p[Field::Rpm];
    in.sc = p[Field::Sc];
    in.engineClass = c.engineClass;
    if (c.port) {
        in.portWidth = c.port->width();
        in.portHeight = c.port->height();
    }
    in.headerD1 = d.D1;
    in.divergentHalfAngle = c.divergentHalfAngle;
    in.convergentHalfAngle = c.convergentHalfAngle;
    in.horn = c.horn;
    if (method == QLatin1String("blair2"))
        return blairPipe(in, 2);
    if (method == QLatin1String("blair3"))
        return blairPipe(in, 3);
    if (method == QLatin1String("jennings"))
        return jenningsPipe(in);
    return firstSizingPipe(d);
}

PipeBuilt buildPipe(const PipeChoice &c, const DesignParameters &p, const ChamberDimensions &d)
{
    PipeBuilt built;
    built.pipe = c.measured ? *c.measured : methodPipe(c.method, c, p, d);
    // A measured pipe is cut as it was measured: its stages, if any, are in its stations.
    if (!c.measured && c.stages > 1 && !built.pipe.method.startsWith(QLatin1String("blair")))
        built.pipe = withStages(built.pipe, c.stages, c.horn);
    if (const std::optional<QString> problem = pipeProblem(built.pipe))
        built.refusal = *problem;
    return built;
}

} // namespace velmorant
