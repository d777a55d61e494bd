// One Calculate from the click to the repainted sketch, on the offscreen platform, with the
// message box answered by the fake platform. Also reports the process's resident memory.
#include "fakeplatform.h"
#include "fonts.h"
#include "mainwindow.h"
#include "panels.h"
#include "sketchview.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <benchmark/benchmark.h>

using namespace velmorant;

namespace {

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

} // namespace

static void BM_calculateClickToRepaint(benchmark::State &state)
{
    FakePlatform platform;
    MainWindow window(platform, nullptr, QLocale(QStringLiteral("it_IT")));
    window.show();
    QApplication::processEvents();
    auto *button = window.findChild<QPushButton *>(QStringLiteral("cmdCalcola"));
    QLineEdit *rpm = window.inputPanel().box(1);
    const QString speeds[2] = {QStringLiteral("10000"), QStringLiteral("9500")};
    int i = 0;
    for (auto _ : state) {
        rpm->setText(speeds[i++ & 1]); // a new geometry every time
        button->click();
        window.sketchView().repaint(); // the sketch and its captions, painted now
    }
    state.counters["rss_MB"] = residentMegabytes();
    platform.messages.clear();
}
BENCHMARK(BM_calculateClickToRepaint)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
