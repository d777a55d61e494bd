#include "terminal.h"

#include "usertext.h"

#include <QElapsedTimer>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace velmorant {

namespace {

// Why stdout first failed, kept for the report at the end.
int stdoutError = 0;

} // namespace

void print(std::FILE *to, const QString &text)
{
    if (std::fputs(text.toUtf8().constData(), to) < 0 && to == stdout && stdoutError == 0)
        stdoutError = errno;
}

void tell(const QString &text)
{
    print(stderr, terminalSafe(text));
}

void noteStdoutFailure(int errorNumber)
{
    if (stdoutError == 0)
        stdoutError = errorNumber;
}

void guardStandardStreams()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free number: this one.
        if (::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) == fd && fd == 1)
            stdoutError = EBADF;
    }
}

int stdoutFailure()
{
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout) && stdoutError == 0)
        return 0;
    return stdoutError != 0 ? stdoutError : errno != 0 ? errno : EIO;
}

// Scripts that read stderr get the warnings alone; one line, rewritten at most ten times a
// second.
NestingProgress terminalProgress()
{
    if (!isatty(fileno(stderr)))
        return {};
    auto clock = std::make_shared<QElapsedTimer>();
    auto shown = std::make_shared<qint64>(-1);
    clock->start();
    return [clock, shown](int done, int total) {
        const qint64 now = clock->elapsed();
        const bool end = done >= total;
        if (now < 1000 || (!end && *shown >= 0 && now - *shown < 100))
            return true;
        if (end && *shown < 0)
            return true; // done within the second after all
        *shown = now;
        std::fprintf(stderr, "\rDisposizione dei pezzi: %3d %%%s",
                     total > 0 ? int(100LL * done / total) : 100, end ? "\n" : "");
        std::fflush(stderr);
        return true;
    };
}

QList<waves::SpeedResult> runWaves(const Pipe &pipe, const WaveSetup &setup)
{
    std::atomic<int> speeds{0}, cycles{0};
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
    std::thread reporter;
    if (isatty(fileno(stderr))) {
        reporter = std::thread([&] {
            std::unique_lock<std::mutex> hold(lock);
            const auto start = std::chrono::steady_clock::now();
            bool shown = false;
            while (!finished.wait_for(hold, std::chrono::milliseconds(200), [&] { return done; })) {
                if (std::chrono::steady_clock::now() - start < std::chrono::seconds(1))
                    continue;
                std::fprintf(stderr, "\rOnde: %d di %d regimi, %3d %%", speeds.load(),
                             int(setup.rpms.size()),
                             int(100LL * cycles.load() /
                                 std::max(1, int(setup.rpms.size()) * setup.options.maxCycles)));
                std::fflush(stderr);
                shown = true;
            }
            if (shown)
                std::fprintf(stderr, "\rOnde: %d di %d regimi, 100 %%\n", speeds.load(),
                             int(setup.rpms.size()));
        });
    }
    const QList<waves::SpeedResult> results = waves::simulateSpeeds(
        pipe, setup.engine, setup.options, setup.rpms, 0, nullptr, &cycles, &speeds);
    {
        std::lock_guard<std::mutex> hold(lock);
        done = true;
    }
    finished.notify_all();
    if (reporter.joinable())
        reporter.join();
    return results;
}

} // namespace velmorant
