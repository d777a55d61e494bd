#pragma once

// Runs the built velmorant-cli for the tests.
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QtDebug>

#include <functional>

namespace velmorant::test {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

inline Run runCli(const QStringList &args, const std::function<void()> &inChild = {})
{
    QProcess p;
    if (inChild)
        p.setChildProcessModifier(inChild);
    p.start(QStringLiteral(VELMORANT_CLI), args);
    // Generous: a search under the sanitizers, beside another test on the other core, takes
    // about a minute where the release build takes seconds.
    p.waitForFinished(240000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            QString::fromUtf8(p.readAllStandardError())};
}

inline QJsonObject runJson(const QStringList &args)
{
    const Run r = runCli(QStringList{"--json"} + args);
    if (r.exitCode != 0)
        qWarning() << r.err;
    return QJsonDocument::fromJson(r.out).object();
}

} // namespace velmorant::test
