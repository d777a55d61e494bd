#include "fileinternals.h"
#include "safefile.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>

namespace velmorant {

namespace files {

QString tr(const char *text)
{
    return QCoreApplication::translate("velmorant::files", text);
}

QString notRegularReason()
{
    return tr("non \u00e8 un file normale (\u00e8 una pipe, un dispositivo o un socket)");
}

QString byteSize(qint64 bytes)
{
    if (bytes >= (1 << 20) && bytes % (1 << 20) == 0)
        return QStringLiteral("%1 MiB").arg(bytes >> 20);
    if (bytes >= 1024 && bytes % 1024 == 0)
        return QStringLiteral("%1 KiB").arg(bytes >> 10);
    return QStringLiteral("%1 byte").arg(bytes);
}

} // namespace files

using files::notRegularReason;
using files::tr;

QString systemErrorReason(int e)
{
    switch (e) {
    case ENOSPC:
        return tr("spazio esaurito sul disco");
    case EDQUOT:
        return tr("quota del disco superata");
    case EFBIG:
        return tr("il file supera la dimensione massima consentita");
    case EACCES:
    case EPERM:
        return tr("permesso negato");
    case ENOENT:
        return tr("il file o la cartella non esiste");
    case ENOTDIR:
        return tr("una parte del percorso non \u00e8 una cartella");
    case EISDIR:
        return tr("\u00e8 una cartella");
    case EROFS:
        return tr("il file system \u00e8 di sola lettura");
    case ELOOP:
        return tr("troppi collegamenti simbolici (forse un ciclo)");
    case ENAMETOOLONG:
        return tr("nome troppo lungo");
    case EBADF:
        return tr("il file non \u00e8 aperto (forse l'uscita \u00e8 stata chiusa)");
    case EPIPE:
        return tr("chi leggeva ha chiuso la pipe");
    case EIO:
        return tr("errore di lettura o scrittura del dispositivo");
    case EMFILE:
    case ENFILE:
        return tr("troppi file aperti");
    case ETXTBSY:
    case EBUSY:
        return tr("il file \u00e8 in uso");
    case ENXIO:
    case ENODEV:
        return notRegularReason();
    default:
        return tr("errore di sistema %1 (%2)").arg(e).arg(QString::fromLocal8Bit(std::strerror(e)));
    }
}

} // namespace velmorant
