#include "document/TorvmDoc.h"

#include "db/CompetitionFile.h"
#include "db/Recordsets.h"
#include "db/SafeFile.h"
#include "db/Settings.h"

#include <QFileInfo>
#include <QList>

#include <unistd.h>

namespace torvm {

namespace {

QList<CTorvmDoc*>& openDocuments()
{
    static QList<CTorvmDoc*> docs;
    return docs;
}

QString canonical(const QString& path)
{
    const QFileInfo info(path);
    const QString resolved = info.canonicalFilePath();
    return resolved.isEmpty() ? info.absoluteFilePath() : resolved;
}

} // namespace

QString fileNotFoundText(const QString& path)
{
    return QStringLiteral("%1\nDiese Datei konnte nicht gefunden werden.\n"
                          "Überprüfen Sie, ob der korrekte Pfad und Dateiname angegeben wurde.")
        .arg(path);
}

CTorvmDoc::CTorvmDoc(QObject* parent)
    : QObject(parent)
{
}

CTorvmDoc::~CTorvmDoc()
{
    OnCloseDocument();
}

CTorvmDoc* CTorvmDoc::findOpen(const QString& path)
{
    const QString wanted = canonical(path);
    for (CTorvmDoc* doc : openDocuments()) {
        if (canonical(doc->path()) == wanted)
            return doc;
    }
    return nullptr;
}

bool CTorvmDoc::OnNewDocument(const QString& path)
{
    m_failure = {};
    if (CTorvmDoc* other = findOpen(path); other && other != this) {
        m_failure.text = QStringLiteral("Der Wettkampf %1 ist in diesem Programm geöffnet und kann nicht durch einen "
                                        "neuen ersetzt werden. Bitte schließen Sie ihn zuerst.")
                             .arg(path);
        return false;
    }
    const QString templatePath = findTemplate();
    if (templatePath.isEmpty()) {
        m_failure.text = QStringLiteral("Die Vorlage für neue Wettkämpfe „torvm.tpl“ wurde nicht gefunden. "
                                        "Bitte installieren Sie das Programm neu.");
        return false;
    }
    // Another program instance working on the file would find its competition gone.
    if (!m_lock.acquire(path, CompetitionLock::Mode::Exclusive)) {
        m_failure.text = QStringLiteral("Der Wettkampf %1 ist in einem anderen laufenden Programm geöffnet und kann "
                                        "nicht durch einen neuen ersetzt werden. Bitte schließen Sie ihn dort zuerst.")
                             .arg(displayPath(path));
        return false;
    }
    QString error;
    if (!copyTemplate(templatePath, path, &error)) {
        m_lock.release();
        m_failure.text = error;
        return false;
    }
    m_lock.share();
    m_path = path;
    writeProfileString(QLatin1String(kMainSection), QLatin1String(kFileNameKey), path);
    if (!openDatabase(Access::ReadWrite))
        return false;
    // A new file carries no title; the views start empty.
    setTitle(CompetitionTitle());
    m_open = true;
    openDocuments().append(this);
    return true;
}

bool CTorvmDoc::OnOpenDocument(const QString& path, Access access)
{
    m_failure = {};
    const QByteArray native = nativeFileName(path);
    if (::access(native.constData(), F_OK) != 0) {
        m_failure.text = fileNotFoundText(displayPath(path));
        return false;
    }
    if (const QString problem = inputFileProblem(path); !problem.isEmpty() || ::access(native.constData(), R_OK) != 0) {
        m_failure.text =
            problem.isEmpty()
                ? QStringLiteral("%1\nAuf diese Datei kann nicht zugegriffen werden.").arg(displayPath(path))
                : problem;
        return false;
    }
    if (!m_lock.acquire(path, CompetitionLock::Mode::Shared)) {
        m_failure.text =
            QStringLiteral("Der Wettkampf %1 wird gerade in einem anderen laufenden Programm neu angelegt. "
                           "Bitte versuchen Sie es gleich noch einmal.")
                .arg(displayPath(path));
        return false;
    }
    m_path = path;
    // Written before the database is tried, so the next start tries the same file again.
    writeProfileString(QLatin1String(kMainSection), QLatin1String(kFileNameKey), path);
    if (!openDatabase(access))
        return false;
    m_open = true;
    openDocuments().append(this);
    setTitle(CompetitionTitle());
    return true;
}

bool CTorvmDoc::openDatabase(Access access)
{
    QString error;
    m_db = openCompetition(m_path, &error, access);
    if (!m_db) {
        m_failure.text = databaseErrorText(error);
        m_open = false;
        m_lock.release();
        return false;
    }
    return true;
}

void CTorvmDoc::OnCloseDocument()
{
    openDocuments().removeAll(this);
    m_db.reset();
    m_lock.release();
    m_open = false;
}

QString CTorvmDoc::CompetitionTitle() const
{
    if (!m_open)
        return {};
    CRSWettbewerb title(m_db.get(), this);
    return title.GetTitle();
}

void CTorvmDoc::UpdateTitle()
{
    setTitle(CompetitionTitle());
}

void CTorvmDoc::setTitle(const QString& title)
{
    m_title = title;
    emit titleChanged(m_title);
}

} // namespace torvm
