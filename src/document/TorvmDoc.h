#pragma once

#include "db/CompetitionFile.h"
#include "db/CompetitionLock.h"
#include "db/Database.h"
#include "db/Messages.h"
#include "db/Recordset.h"

#include <QObject>
#include <QString>

#include <memory>

namespace torvm {

// One open competition: the connection to its file and the title shown in its windows. Nothing
// else is kept here; every dialog reads and writes the file directly, so there is never anything
// to save.
class CTorvmDoc : public QObject, public CompetitionSource {
    Q_OBJECT
public:
    explicit CTorvmDoc(QObject* parent = nullptr);
    ~CTorvmDoc() override;

    // What to show after New or Open failed.
    struct Failure {
        MessageIcon icon = MessageIcon::Exclamation;
        QString text;
    };

    // Copies the template over path and opens the copy. The caller has asked before replacing.
    bool OnNewDocument(const QString& path);
    // Access::ReadOnly for exports and printing: a write-protected competition opens too.
    bool OnOpenDocument(const QString& path, Access access = Access::ReadWrite);
    void OnCloseDocument();

    bool IsOpen() const { return m_open; }
    // Opened read-only (a write-protected file): it can be printed and exported, not changed.
    bool IsReadOnly() const { return m_db && m_db->isReadOnly(); }
    Database* GetDatabase() const { return m_db.get(); }
    const QString& path() const override { return m_path; }
    const Failure& failure() const { return m_failure; }

    // The stored title of the open competition; empty when none is open or none is stored.
    QString CompetitionTitle() const;
    // The title as last read, shown in every view.
    const QString& title() const { return m_title; }
    // Reads the title again and tells every view.
    void UpdateTitle();
    // Called after results were stored or imported, or what the standings are computed from was
    // edited, so the windows showing standings read them anew.
    void NotifyStandingsChanged() { emit standingsChanged(); }

    // The document that has this file open in this program, if any.
    static CTorvmDoc* findOpen(const QString& path);

signals:
    void titleChanged(const QString& title);
    void standingsChanged();

private:
    bool openDatabase(Access access);
    void setTitle(const QString& title);

    bool m_open = false;
    QString m_title;
    QString m_path;
    std::unique_ptr<Database> m_db;
    CompetitionLock m_lock;
    Failure m_failure;
};

// The framework's standard text for a file that cannot be read.
QString fileNotFoundText(const QString& path);

} // namespace torvm
