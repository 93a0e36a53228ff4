#pragma once

#include "document/TorvmDoc.h"

#include <QTemporaryDir>

#include <memory>

namespace torvm::test {

// Points the workplace settings (QSettings "Velmarik"/"torvm") at a folder of the test's own for
// as long as it lives, so no test sees another's window positions or last file.
class ScopedSettings {
public:
    ScopedSettings();
    ~ScopedSettings();
    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// A fresh competition made from the built template in a temporary folder, open in a document.
class TempCompetition {
public:
    TempCompetition();
    CTorvmDoc& doc() { return *m_doc; }
    Database* db() { return m_doc->GetDatabase(); }
    QString path() const { return m_path; }
    QString folder() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    ScopedSettings m_settings;
    QString m_path;
    std::unique_ptr<CTorvmDoc> m_doc;
};

// The template the build generated; tests copy it instead of relying on the working folder.
QString builtTemplate();

} // namespace torvm::test
