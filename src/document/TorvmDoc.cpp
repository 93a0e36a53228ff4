#include "document/TorvmDoc.h"

#include "db/CompetitionFile.h"
#include "db/Recordsets.h"
#include "db/Settings.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

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
    QString error;
    if (!copyTemplate(templatePath, path, &error)) {
        m_failure.text = error;
        return false;
    }
    m_path = path;
    writeProfileString(QLatin1String(kMainSection), QLatin1String(kFileNameKey), path);
    if (!openDatabase())
        return false;
    // A new file carries no title; the views start empty.
    setTitle(CompetitionTitle());
    m_open = true;
    openDocuments().append(this);
    return true;
}

bool CTorvmDoc::OnOpenDocument(const QString& path)
{
    m_failure = {};
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        m_failure.text = probe.error() == QFileDevice::OpenError && !probe.exists()
                             ? fileNotFoundText(path)
                             : QStringLiteral("%1\nAuf diese Datei kann nicht zugegriffen werden.").arg(path);
        return false;
    }
    probe.close();
    m_path = path;
    // Written before the database is tried, so the next start tries the same file again.
    writeProfileString(QLatin1String(kMainSection), QLatin1String(kFileNameKey), path);
    if (!openDatabase())
        return false;
    m_open = true;
    openDocuments().append(this);
    setTitle(CompetitionTitle());
    return true;
}

bool CTorvmDoc::openDatabase()
{
    QString error;
    m_db = openCompetition(m_path, &error);
    if (!m_db) {
        m_failure.text = databaseErrorText(error);
        m_open = false;
        return false;
    }
    return true;
}

void CTorvmDoc::OnCloseDocument()
{
    openDocuments().removeAll(this);
    m_db.reset();
    m_open = false;
}

QString CTorvmDoc::CompetitionTitle() const
{
    if (!m_open)
        return {};
    CRSWettbewerb title(m_db.get(), const_cast<CTorvmDoc*>(this));
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
