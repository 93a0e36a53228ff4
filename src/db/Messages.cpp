#include "db/Messages.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace torvm {

namespace {

void printToStderr(MessageIcon, const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

MessageHandler& handler()
{
    static MessageHandler h = printToStderr;
    return h;
}

// Asked with the rights this thread works with, as the failed open was.
bool mayWriteInto(const QString& folder)
{
#ifdef Q_OS_UNIX
    return faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK, AT_EACCESS) == 0;
#else
    return QFileInfo(folder).isWritable();
#endif
}

} // namespace

MessageHandler setMessageHandler(MessageHandler h)
{
    MessageHandler previous = std::move(handler());
    handler() = h ? std::move(h) : MessageHandler(printToStderr);
    return previous;
}

void showMessage(MessageIcon icon, const QString& text)
{
    handler()(icon, text);
}

QString databaseErrorText(const QString& engineText)
{
    return QString::fromUtf8(kStrFehler) + QStringLiteral(": \n") + engineText;
}

void showDatabaseError(const QString& engineText)
{
    showMessage(MessageIcon::Exclamation, databaseErrorText(engineText));
}

QString systemErrorText(int errnum)
{
    switch (errnum) {
    case ENOENT:
        return QStringLiteral("Die Datei oder der Ordner ist nicht vorhanden.");
    case EACCES:
    case EPERM:
        return QStringLiteral("Der Zugriff wurde verweigert.");
    case EROFS:
        return QStringLiteral("Der Datenträger ist schreibgeschützt.");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Auf dem Datenträger ist kein Platz mehr frei.");
    case EISDIR:
        return QStringLiteral("Der Name bezeichnet einen Ordner, keine Datei.");
    case ENOTDIR:
        return QStringLiteral("Ein Teil des Pfades ist kein Ordner.");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Es sind zu viele Dateien geöffnet.");
    case ENOMEM:
    case EAGAIN:
        return QStringLiteral("Das System hat nicht genügend Speicher oder Ressourcen.");
    case EIO:
        return QStringLiteral("Beim Lesen oder Schreiben ist ein Ein-/Ausgabefehler aufgetreten.");
    case ENAMETOOLONG:
        return QStringLiteral("Der Dateiname ist zu lang.");
    default:
        return QStringLiteral("Systemfehler %1.").arg(errnum);
    }
}

QString fileErrorText(const QFileDevice& file)
{
    // Qt keeps the errno to itself; what is left on disk tells the usual causes apart.
    const QFileInfo info(file.fileName());
    switch (file.error()) {
    case QFileDevice::NoError:
        return {};
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
        if (info.isDir())
            return systemErrorText(EISDIR);
        // A missing file in a folder that takes new files can only have been read.
        if (!info.exists() && (!info.dir().exists() || mayWriteInto(info.absolutePath())))
            return systemErrorText(ENOENT);
        return systemErrorText(EACCES);
    case QFileDevice::ReadError:
        return QStringLiteral("Die Datei kann nicht gelesen werden.");
    case QFileDevice::WriteError:
        return QStringLiteral("Die Datei kann nicht geschrieben werden; ist der Datenträger voll oder "
                              "schreibgeschützt?");
    case QFileDevice::ResourceError:
        return systemErrorText(EMFILE);
    case QFileDevice::RenameError:
    case QFileDevice::CopyError:
        return QStringLiteral("Die Datei kann nicht an ihren Platz gebracht werden.");
    case QFileDevice::RemoveError:
        return QStringLiteral("Die Datei kann nicht gelöscht werden.");
    case QFileDevice::AbortError:
        return QStringLiteral("Der Vorgang wurde abgebrochen.");
    case QFileDevice::TimeOutError:
        return QStringLiteral("Die Zeit für den Vorgang ist abgelaufen.");
    default:
        return QStringLiteral("Unbekannter Dateifehler.");
    }
}

} // namespace torvm
