#include "fileinternals.h"
#include "safefile.h"

#include <atomic>
#include <cctype>
#include <csignal>
#include <ctime>

#include <dirent.h>

#include <sys/stat.h>
#include <unistd.h>

namespace velmorant {

namespace {

// The hidden files of a write in progress (temporaries, and the links that keep an old set's
// files until the new set is in place), so that an interrupting signal can remove them. The
// handler only reads the slots and calls unlink, both safe in a signal handler.
constexpr int MaxPending = 2 * MaxFilesInSet + 16;
std::atomic<const char *> pendingFiles[MaxPending];

// What each signal did before: a handler of the program's own runs after ours.
struct sigaction previousActions[NSIG];

void removePending(int signal, siginfo_t *info, void *context)
{
    for (std::atomic<const char *> &slot : pendingFiles) {
        if (const char *path = slot.load())
            ::unlink(path);
    }
    const struct sigaction &before = previousActions[signal];
    if (before.sa_flags & SA_SIGINFO) {
        before.sa_sigaction(signal, info, context);
    } else if (before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN) {
        before.sa_handler(signal);
    } else {
        ::signal(signal, SIG_DFL);
        ::raise(signal);
    }
}

std::time_t processStart = std::time(nullptr);

} // namespace

namespace files {

void remember(const QByteArray &path)
{
    for (std::atomic<const char *> &slot : pendingFiles) {
        const char *empty = nullptr;
        if (slot.compare_exchange_strong(empty, path.constData()))
            return;
    }
}

void forget(const QByteArray &path)
{
    for (std::atomic<const char *> &slot : pendingFiles) {
        const char *mine = path.constData();
        if (slot.compare_exchange_strong(mine, nullptr))
            return;
    }
}

// The mark of the suite's hidden files: ".progetto.vlo.velmorant-tmp-" and six random
// characters. A user's own ".progetto.vlo.backup" or ".progetto.vlo.Abc123" never has it.
constexpr char TemporaryMark[] = ".velmorant-tmp-";

// The prefix of a hidden file beside `name`: "." + name + the mark when that leaves room for six
// random characters within the longest name the folder takes, otherwise as much of the name as
// fits, cut between characters.
QByteArray hiddenPrefix(const QByteArray &dir, const QByteArray &name)
{
    long longest = ::pathconf(dir.constData(), _PC_NAME_MAX);
    if (longest <= 0)
        longest = 255;
    const int room = int(longest) - 1 - int(sizeof TemporaryMark - 1) - 6;
    QByteArray kept = name;
    if (kept.size() > room) {
        kept.truncate(std::max(0, room));
        // Not in the middle of a UTF-8 sequence.
        int cut = int(kept.size());
        while (cut > 0 && (uchar(kept[cut - 1]) & 0xc0) == 0x80)
            --cut;
        if (cut > 0 && (uchar(kept[cut - 1]) & 0xc0) == 0xc0)
            --cut;
        kept.truncate(cut);
    }
    return "." + kept + TemporaryMark;
}

// Removes hidden files that a write of `name` left behind when its program was killed
// outright (SIGKILL, a power cut): files of the same pattern, owned by this user, last
// changed before this program started and more than a minute ago, so that no write still
// under way is touched.
void removeStaleTemporaries(const QByteArray &dir, const QByteArray &prefix)
{
    DIR *d = ::opendir(dir.constData());
    if (!d)
        return;
    const std::time_t before = std::min(processStart, std::time(nullptr) - 60);
    while (const dirent *e = ::readdir(d)) {
        const QByteArray entry(e->d_name);
        if (entry.size() != prefix.size() + 6 || !entry.startsWith(prefix))
            continue;
        bool random = true;
        for (int i = int(prefix.size()); i < entry.size(); ++i)
            random = random && std::isalnum(uchar(entry[i]));
        struct stat st
        {
        };
        const QByteArray path = dir + '/' + entry;
        if (random && ::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::geteuid() && st.st_mtime < before)
            ::unlink(path.constData());
    }
    ::closedir(d);
}

} // namespace files

void protectFileWrites()
{
    // A process over its file-size limit is killed by SIGXFSZ by default, losing whatever was
    // not saved; ignored, the limit is an ordinary failed write that is reported.
    std::signal(SIGXFSZ, SIG_IGN);
    processStart = std::time(nullptr);
    // Interrupted, a write removes its hidden files before the program ends as the signal
    // asks (or as a handler installed before this one decides). A signal the caller ignores
    // (a background job's SIGINT) stays ignored.
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        struct sigaction old
        {
        };
        if (::sigaction(sig, nullptr, &old) != 0 || old.sa_handler == SIG_IGN ||
            ((old.sa_flags & SA_SIGINFO) && old.sa_sigaction == removePending))
            continue;
        previousActions[sig] = old;
        struct sigaction act
        {
        };
        act.sa_sigaction = removePending;
        act.sa_flags = SA_SIGINFO;
        sigemptyset(&act.sa_mask);
        ::sigaction(sig, &act, nullptr);
    }
}

} // namespace velmorant
