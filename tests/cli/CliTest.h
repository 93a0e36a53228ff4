#pragma once

#include "cli/Cli.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

namespace torvm::test {

// A command-line run in a private folder, with what it printed kept for the checks.
class CliTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ScopedSettings settings;
    QString out;
    QString err;

    ~CliTest() override
    {
        if (!m_previousDir.isEmpty())
            QDir::setCurrent(m_previousDir);
    }

    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    int run(const QStringList& args)
    {
        out.clear();
        err.clear();
        QTextStream o(&out);
        QTextStream e(&err);
        return runCli(args, o, e);
    }

    // New competitions are copies of torvm.tpl, looked up first in the working folder.
    void workInFolderWithTemplate()
    {
        ASSERT_TRUE(QFile::copy(builtTemplate(), dir.filePath(QStringLiteral("torvm.tpl"))));
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(dir.path());
    }

private:
    QString m_previousDir;
};

} // namespace torvm::test
