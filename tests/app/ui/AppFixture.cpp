#include "AppFixture.h"

#include "app/ui/MainFrame.h"
#include "db/CompetitionFile.h"
#include "db/Recordsets.h"
#include "db/Settings.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

#include <gtest/gtest.h>

namespace torvm::test {

AppFixture::AppFixture()
    : m_previousViewer(ui::setHelpViewer({[this] { return viewerAvailable; },
                                          [this](const QUrl& url) {
                                              openedHelp << url.toLocalFile();
                                              return true;
                                          }}))
    , m_previousDir(QDir::currentPath())
{
    EXPECT_TRUE(QFile::copy(builtTemplate(), m_dir.filePath(QStringLiteral("torvm.tpl"))));
    QDir::setCurrent(m_dir.path());
}

AppFixture::~AppFixture()
{
    m_app.reset();
    ui::setHelpViewer(m_previousViewer);
    QDir::setCurrent(m_previousDir);
}

QString AppFixture::competition(const QString& name, const QString& title)
{
    const QString path = file(name);
    QString error;
    EXPECT_TRUE(copyTemplate(builtTemplate(), path, &error)) << error.toStdString();
    if (!title.isEmpty()) {
        CTorvmDoc doc;
        EXPECT_TRUE(doc.OnOpenDocument(path));
        CRSWettbewerb(doc.GetDatabase(), &doc).SetTitle(title);
    }
    return path;
}

ui::CTorvmApp& AppFixture::start(const QString& lastFile)
{
    if (!lastFile.isEmpty())
        writeProfileString(QString::fromLatin1(kMainSection), QString::fromLatin1(kFileNameKey), lastFile);
    m_app = std::make_unique<ui::CTorvmApp>();
    m_app->setShowSplash(false);
    m_app->InitInstance();
    return *m_app;
}

void AppFixture::quit()
{
    m_app->mainFrame()->close();
    m_app.reset();
}

QStringList AppFixture::menuTitles() const
{
    QStringList titles;
    for (QAction* action : m_app->mainFrame()->menuBar()->actions()) {
        if (action->menu())
            titles << action->text();
    }
    return titles;
}

QStringList AppFixture::menuItems(const QString& title) const
{
    // "&Datei/E&xportieren" names a submenu.
    QList<QAction*> level = m_app->mainFrame()->menuBar()->actions();
    QStringList items;
    for (const QString& name : title.split(QLatin1Char('/'))) {
        const auto it =
            std::find_if(level.begin(), level.end(), [&name](QAction* a) { return a->menu() && a->text() == name; });
        if (it == level.end())
            return {};
        level = (*it)->menu()->actions();
    }
    for (QAction* item : level)
        items << (item->isSeparator() ? QStringLiteral("-") : item->text());
    return items;
}

} // namespace torvm::test
