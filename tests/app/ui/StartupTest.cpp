#include "AppFixture.h"

#include "app/ui/ChildFrame.h"
#include "app/ui/MainFrame.h"
#include "app/ui/TorvmView.h"
#include "db/Placement.h"
#include "db/Settings.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QPushButton>
#include <QScreen>
#include <QSplashScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace torvm {
namespace {

using test::AppFixture;

QString storedFileName()
{
    return profileString(QString::fromLatin1(kMainSection), QString::fromLatin1(kFileNameKey), QString());
}

TEST(Startup, FirstStartWithoutSettingsOrFileShowsTheStartPageAndNoMessage)
{
    AppFixture f;
    ui::CTorvmApp& app = f.start({});

    EXPECT_TRUE(f.prompter.messages.empty());
    EXPECT_TRUE(app.documents().empty());
    QWidget* start = app.mainFrame()->startPage();
    EXPECT_TRUE(start->isVisible());
    for (const char* choice : {"startNeu", "startOeffnen", "startBeispiel"}) {
        auto* button = start->findChild<QPushButton*>(QString::fromLatin1(choice));
        ASSERT_NE(button, nullptr) << choice;
        EXPECT_TRUE(button->isVisible()) << choice;
    }
    EXPECT_EQ(f.menuTitles(),
              (QStringList{QStringLiteral("&Datei"), QStringLiteral("&Ansicht"), QStringLiteral("&?")}));
    EXPECT_EQ(app.mainFrame()->windowTitle(), QStringLiteral("Velmarik Wettkampfverwaltung"));

    const QRect available = app.mainFrame()->screen()->availableGeometry();
    const QSize size(available.width() * 4 / 5, available.height() * 4 / 5);
    EXPECT_EQ(app.mainFrame()->size(), size);
    EXPECT_EQ(app.mainFrame()->pos(), available.topLeft() + QPoint((available.width() - size.width()) / 2,
                                                                   (available.height() - size.height()) / 2));
}

TEST(Startup, MissingLastFileLeavesTheProgramUsable)
{
    AppFixture f;
    const QString missing = f.file(QStringLiteral("weg.mdb"));
    ui::CTorvmApp& app = f.start(missing);
    EXPECT_EQ(f.prompter.texts(), QStringList{fileNotFoundText(missing)});
    EXPECT_TRUE(app.documents().empty());
    EXPECT_FALSE(app.mainFrame()->competitionMenuShown());

    // The program goes on: a competition opens normally afterwards.
    f.prompter.files.push_back(f.competition(QStringLiteral("da.mdb")));
    app.OnFileOpen();
    EXPECT_EQ(app.documents().size(), 1u);
}

TEST(Startup, LastCompetitionOpensMaximisedWithItsTitle)
{
    AppFixture f;
    const QString path = f.competition(QStringLiteral("liga.mdb"), QStringLiteral("Rundenwettkampf 2024"));
    ui::CTorvmApp& app = f.start(path);
    EXPECT_TRUE(f.prompter.messages.empty()) << f.prompter.texts().join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(app.documents().size(), 1u);
    ui::CChildFrame* child = app.mainFrame()->activeChild();
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(child->isMaximized());
    EXPECT_EQ(child->view()->programLabel(), QStringLiteral("Velmarik Wettkampfverwaltung"));
    EXPECT_EQ(child->view()->titleLabel(), QStringLiteral("Rundenwettkampf 2024"));
    EXPECT_NE(child->view()->OnGetRecordset(), nullptr);
    EXPECT_TRUE(app.mainFrame()->competitionMenuShown());
    EXPECT_EQ(app.mainFrame()->windowTitle(), QStringLiteral("Velmarik Wettkampfverwaltung - [liga.mdb]"));
}

TEST(Startup, ANonDatabaseFileShowsFehlerAndIsTriedAgainNextTime)
{
    AppFixture f;
    const QString junk = f.file(QStringLiteral("brief.mdb"));
    {
        QFile out(junk);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("Sehr geehrte Damen und Herren, dies ist keine Datenbank.\n");
    }
    f.start({});
    f.prompter.messages.clear();
    f.prompter.files.push_back(junk);
    f.app().OnFileOpen();
    ASSERT_EQ(f.prompter.messages.size(), 1u);
    EXPECT_TRUE(f.prompter.messages[0].text.startsWith(QStringLiteral("Fehler: \n")))
        << f.prompter.messages[0].text.toStdString();
    EXPECT_EQ(f.prompter.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(f.app().documents().empty());
    EXPECT_EQ(storedFileName(), junk);
    // Not something to offer again from the file menu.
    EXPECT_TRUE(f.app().recentFiles().isEmpty());
}

TEST(Startup, OnlyTheFirstWindowAfterStartIsMaximised)
{
    AppFixture f;
    const QString first = f.competition(QStringLiteral("eins.mdb"));
    const QString second = f.competition(QStringLiteral("zwei.mdb"));
    const QString third = f.competition(QStringLiteral("drei.mdb"));
    ui::CTorvmApp& app = f.start(first);
    ASSERT_TRUE(app.mainFrame()->activeChild()->isMaximized());
    app.mainFrame()->activeChild()->showNormal();

    ASSERT_NE(app.OpenDocumentFile(second), nullptr);
    ui::CChildFrame* secondFrame = app.mainFrame()->activeChild();
    EXPECT_FALSE(secondFrame->isMaximized());
    // A window that is not maximised is large enough to read the overview and stays inside the area.
    const QRect area = app.mainFrame()->mdiArea()->viewport()->rect();
    EXPECT_TRUE(area.contains(secondFrame->geometry()));
    EXPECT_GE(secondFrame->width(), area.width() * 2 / 3);
    EXPECT_GE(secondFrame->height(), area.height() * 2 / 3);
    // One that follows a maximised window opens maximised too, and comes back at that size.
    secondFrame->showMaximized();
    ASSERT_NE(app.OpenDocumentFile(f.competition(QStringLiteral("vier.mdb"))), nullptr);
    ui::CChildFrame* fourthFrame = app.mainFrame()->activeChild();
    EXPECT_TRUE(fourthFrame->isMaximized());
    fourthFrame->showNormal();
    EXPECT_TRUE(area.contains(fourthFrame->geometry()));
    EXPECT_GE(fourthFrame->width(), area.width() * 2 / 3);

    // Closing everything does not bring the start-up maximising back.
    for (CTorvmDoc* doc : app.documents())
        app.CloseDocument(*doc);
    ASSERT_NE(app.OpenDocumentFile(third), nullptr);
    EXPECT_FALSE(app.mainFrame()->activeChild()->isMaximized());
}

TEST(Startup, ExitStoresThePositionAndTheNextStartReopensTheCompetitionThere)
{
    AppFixture f;
    const QString path = f.competition(QStringLiteral("liga.mdb"), QStringLiteral("Kreisliga"));
    ui::CTorvmApp& app = f.start(path);
    app.mainFrame()->setGeometry(QRect(30, 40, 500, 360));
    const QPoint pos = app.mainFrame()->pos();
    f.quit();

    const StoredRect stored = loadStoredRect(QString::fromLatin1(kMainSection));
    EXPECT_EQ(stored.x, pos.x());
    EXPECT_EQ(stored.y, pos.y());
    EXPECT_EQ(stored.xend, pos.x() + 500);
    EXPECT_EQ(stored.yend, pos.y() + 360);

    ui::CTorvmApp& again = f.start({});
    EXPECT_EQ(again.mainFrame()->pos(), pos);
    EXPECT_EQ(again.mainFrame()->size(), QSize(500, 360));
    ASSERT_EQ(again.documents().size(), 1u);
    EXPECT_EQ(again.documents().front()->path(), path);
    EXPECT_EQ(again.mainFrame()->activeChild()->view()->titleLabel(), QStringLiteral("Kreisliga"));
}

TEST(Startup, OffScreenMainWindowIsPulledBackOntoASmallerScreen)
{
    AppFixture f;
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    storeRect(QString::fromLatin1(kMainSection), QRect(-20, 50, screen.width() + 300, screen.height() + 200));
    ui::CTorvmApp& app = f.start(f.file(QStringLiteral("keine.mdb")));
    EXPECT_EQ(app.mainFrame()->pos(), QPoint(0, 50));
    EXPECT_EQ(app.mainFrame()->size(), QSize(screen.width() - 1, screen.height() - 1 - 50));
}

// The three ways in: new and open ask for a file in the competitions' folder, the demo opens at
// once; with a competition open the start page gives way, and comes back when it is closed.
TEST(Startup, TheStartPageLeadsIntoTheProgram)
{
    AppFixture f;
    QFile::remove(ui::CTorvmApp::demoPath());
    ui::CTorvmApp& app = f.start({});
    QWidget* start = app.mainFrame()->startPage();

    start->findChild<QPushButton*>(QStringLiteral("startNeu"))->click();
    start->findChild<QPushButton*>(QStringLiteral("startOeffnen"))->click();
    ASSERT_EQ(f.prompter.fileRequests.size(), 2u);
    EXPECT_EQ(f.prompter.fileRequests[0].kind, ui::FileRequest::Kind::Save);
    EXPECT_EQ(f.prompter.fileRequests[1].kind, ui::FileRequest::Kind::Open);
    for (const ui::FileRequest& request : f.prompter.fileRequests)
        EXPECT_EQ(request.lastFolder, ui::FileRequest::LastFolder::Competitions);

    start->findChild<QPushButton*>(QStringLiteral("startBeispiel"))->click();
    ASSERT_EQ(app.documents().size(), 1u);
    EXPECT_EQ(app.documents().front()->path(), ui::CTorvmApp::demoPath());
    EXPECT_FALSE(app.documents().front()->title().isEmpty());
    EXPECT_FALSE(start->isVisible());
    EXPECT_TRUE(f.prompter.messages.empty());

    // A second time the demo made before is opened again, not made anew.
    const QDateTime made = QFileInfo(ui::CTorvmApp::demoPath()).lastModified();
    app.CloseDocument(*app.documents().front());
    QCoreApplication::processEvents();
    EXPECT_TRUE(start->isVisible());
    start->findChild<QPushButton*>(QStringLiteral("startBeispiel"))->click();
    ASSERT_EQ(app.documents().size(), 1u);
    EXPECT_EQ(QFileInfo(ui::CTorvmApp::demoPath()).lastModified(), made);
    f.quit();
    QFile::remove(ui::CTorvmApp::demoPath());
}

// The start page lists the competitions opened last, and its buttons answer Enter.
TEST(Startup, TheStartPageListsTheRecentCompetitionsAndAnswersEnter)
{
    AppFixture f;
    ui::CTorvmApp& app = f.start({});
    const QString path = f.competition(QStringLiteral("liga.mdb"));
    ASSERT_NE(app.OpenDocumentFile(path), nullptr);
    app.CloseDocument(*app.documents().front());
    QCoreApplication::processEvents();
    QWidget* start = app.mainFrame()->startPage();
    auto* recent = start->findChild<QPushButton*>(QStringLiteral("startZuletzt1"));
    ASSERT_NE(recent, nullptr);
    EXPECT_TRUE(recent->text().startsWith(QStringLiteral("liga.mdb\n"))) << recent->text().toStdString();
    EXPECT_EQ(start->findChild<QPushButton*>(QStringLiteral("startZuletzt2")), nullptr);
    recent->setFocus();
    QTest::keyClick(recent, Qt::Key_Return);
    ASSERT_EQ(app.documents().size(), 1u);
    EXPECT_EQ(QFileInfo(app.documents().front()->path()).fileName(), QStringLiteral("liga.mdb"));
    f.quit();
}

// The picture never holds the work up: the last competition is open and in the caption when the
// start returns, while the picture still lies over the window for a moment.
TEST(Startup, TheSplashDoesNotDelayTheLastCompetition)
{
    AppFixture f;
    const QString path = f.competition(QStringLiteral("liga.mdb"));
    writeProfileString(QString::fromLatin1(kMainSection), QString::fromLatin1(kFileNameKey), path);
    ui::CTorvmApp app;
    app.setShowSplash(true);
    app.InitInstance();
    ASSERT_EQ(app.documents().size(), 1u);
    EXPECT_EQ(app.mainFrame()->windowTitle(), QStringLiteral("Velmarik Wettkampfverwaltung - [liga.mdb]"));
    auto splashes = [] {
        int shown = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            shown += qobject_cast<QSplashScreen*>(w) && w->isVisible();
        return shown;
    };
    EXPECT_EQ(splashes(), 1);
    for (int waited = 0; waited < 3000 && splashes() > 0; waited += 20)
        QTest::qWait(20);
    EXPECT_EQ(splashes(), 0);
}

TEST(Startup, HelpViewerIsCheckedOnceAtStart)
{
    AppFixture f;
    f.viewerAvailable = false;
    f.start(f.file(QStringLiteral("keine.mdb")));
    ASSERT_GE(f.prompter.messages.size(), 1u);
    EXPECT_EQ(f.prompter.messages[0].text, QString::fromUtf8(ui::kStrHelpMissing));
    EXPECT_EQ(f.prompter.messages[0].icon, MessageIcon::None);
    // The start goes on and tries the last file as well.
    EXPECT_EQ(f.prompter.messages.size(), 2u);
}

} // namespace
} // namespace torvm
