#include "support/Fixtures.h"

#include "db/CompetitionFile.h"

#include <QSettings>

#include <gtest/gtest.h>

namespace torvm::test {

ScopedSettings::ScopedSettings()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
}

ScopedSettings::~ScopedSettings()
{
    QSettings().sync();
}

QString builtTemplate()
{
    return QStringLiteral(TORVM_TEST_TEMPLATE);
}

TempCompetition::TempCompetition()
    : m_path(m_dir.filePath(QStringLiteral("wettkampf.mdb")))
    , m_doc(std::make_unique<CTorvmDoc>())
{
    QString error;
    if (!copyTemplate(builtTemplate(), m_path, &error))
        ADD_FAILURE() << error.toStdString();
    if (!m_doc->OnOpenDocument(m_path))
        ADD_FAILURE() << m_doc->failure().text.toStdString();
}

} // namespace torvm::test
