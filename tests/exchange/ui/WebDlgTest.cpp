#include "exchange/ui/WebDlg.h"

#include "controls/ui/HyperLink.h"
#include "db/Messages.h"
#include "exchange/ui/FortschrittDlg.h"
#include "masterdata/ui/DialogDriver.h"
#include "output/LeagueData.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"
#include "widgets/OutputNotifier.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <vector>

namespace torvm {
namespace {

using ui::CHyperLink;
using ui::CWebDlg;
using ui::CWebFertigDlg;

class WebDlgTest : public ::testing::Test {
protected:
    test::ScriptedPrompter prompter;
    test::TempCompetition comp;
    QString site = comp.file(QStringLiteral("web"));

    void SetUp() override
    {
        test::LeagueData data(*comp.db());
        data.exec("INSERT INTO Verein (Vereinsnummer, Name) VALUES (10, 'SV Tell'), (11, 'FSG Au')");
        data.exec("INSERT INTO Gruppe (ID, Name, Anzahl, Plan, Verein01, VNr01, Verein02, VNr02) "
                  "VALUES (0, 'Gauliga', 1, 0, 10, '1', 11, '1')");
        data.exec("INSERT INTO Plan (PlanID, Name, Datum1, A1, B1) VALUES (0, 'P', '2025-09-26 19:30:00', 1, 2)");
    }
};

TEST_F(WebDlgTest, ShowsTheStoredChoicesAndTheSiteFolder)
{
    ASSERT_TRUE(storeWebOptions(comp.doc(), {false, true, true, 4}));
    ASSERT_TRUE(storeOrganiser(comp.doc(), QStringLiteral("Gau Süd")));
    CWebDlg dlg(comp.doc(), site);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Web erstellen"));
    EXPECT_FALSE(test::child<QCheckBox>(&dlg, "termin")->isChecked());
    EXPECT_TRUE(test::child<QCheckBox>(&dlg, "tabelle")->isChecked());
    EXPECT_TRUE(test::child<QCheckBox>(&dlg, "einzel")->isChecked());
    auto* round = test::child<QComboBox>(&dlg, "durchgang");
    EXPECT_EQ(round->count(), 20);
    EXPECT_EQ(round->itemText(0), QStringLiteral("1"));
    EXPECT_EQ(round->currentText(), QStringLiteral("5"));
    EXPECT_EQ(test::child<QLineEdit>(&dlg, "veranstalter")->text(), QStringLiteral("Gau Süd"));
    EXPECT_EQ(test::child<QLabel>(&dlg, "ordner")->text(), QDir::toNativeSeparators(site));
}

// The round proposed is the last one with results; the stored one only while none has any.
TEST_F(WebDlgTest, ProposesTheLastRoundWithResults)
{
    ASSERT_TRUE(storeWebOptions(comp.doc(), {true, true, false, 4}));
    const std::pair<const char*, const char*> cases[] = {
        {"DELETE FROM Wettkampf", "5"},
        {"INSERT INTO Wettkampf (ID, TNr, Ergebnis) VALUES (10101, 1, 290), (20199, 0, 0), (30102, 2, 0)", "2"},
    };
    for (const auto& [sql, shown] : cases) {
        test::LeagueData(*comp.db()).exec(sql);
        CWebDlg dlg(comp.doc(), site);
        EXPECT_EQ(test::child<QComboBox>(&dlg, "durchgang")->currentText(), QString::fromLatin1(shown)) << sql;
    }
}

TEST_F(WebDlgTest, OkStoresTheChoicesAndAbbrechenStoresNothing)
{
    struct Case {
        const char* button;
        WebOptions stored;
        QString organiser;
    };
    const std::vector<Case> cases{
        {"cancel", WebOptions{}, QString()},
        {"ok", WebOptions{false, true, true, 2}, QStringLiteral("Schuetzengau Sued")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        CWebDlg dlg(comp.doc(), site);
        test::showActive(&dlg);
        for (const char* box : {"termin", "einzel"}) {
            auto* check = test::child<QCheckBox>(&dlg, box);
            check->setFocus();
            QTest::keyClick(check, Qt::Key_Space);
        }
        test::child<QComboBox>(&dlg, "durchgang")->setCurrentIndex(2);
        auto* organiser = test::child<QLineEdit>(&dlg, "veranstalter");
        organiser->setFocus();
        QTest::keyClicks(organiser, QStringLiteral("Schuetzengau Sued   "));
        test::click(&dlg, c.button);
        EXPECT_EQ(loadWebOptions(comp.doc()), c.stored);
        EXPECT_EQ(loadOrganiser(comp.doc()), c.organiser);
    }
}

TEST_F(WebDlgTest, OrganiserFieldTakesFortyCharacters)
{
    CWebDlg dlg(comp.doc(), site);
    test::showActive(&dlg);
    auto* organiser = test::child<QLineEdit>(&dlg, "veranstalter");
    organiser->setFocus();
    QTest::keyClicks(organiser, QString(45, QLatin1Char('x')));
    EXPECT_EQ(organiser->text().size(), 40);
    EXPECT_EQ(dlg.organiser(), QString(40, QLatin1Char('x')));
}

TEST_F(WebDlgTest, ExportEndsWithTheSuccessDialogAndItsLink)
{
    QString linkUrl;
    QString linkText;
    QString pathText;
    QString caption;
    test::whenShown<CWebDlg>([&](CWebDlg& dlg) {
        test::whenShown<CWebFertigDlg>([&](CWebFertigDlg& done) {
            caption = done.windowTitle();
            linkUrl = done.link()->url();
            linkText = done.link()->text();
            pathText = test::child<QLabel>(&done, "indexDatei")->text();
            test::click(&done, "fertig");
        });
        test::click(&dlg, "ok");
    });
    ui::runWebExport(nullptr, comp.doc(), site);

    const QString index = QDir::toNativeSeparators(QDir(site).absoluteFilePath(QStringLiteral("index.htm")));
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(caption, QStringLiteral("Velmarik Wettkampfverwaltung"));
    EXPECT_EQ(linkText, QStringLiteral("Klicken Sie hier, um Ihre Website zu sehen"));
    EXPECT_EQ(linkUrl, index);
    EXPECT_EQ(pathText, QStringLiteral("(") + index + QStringLiteral(")"));
    for (const char* page : {"index.htm", "index_l.htm", "index_c.htm", "Gruppe0.htm", "Erg0.htm"})
        EXPECT_TRUE(QFile::exists(QDir(site).filePath(QString::fromLatin1(page)))) << page;
    EXPECT_FALSE(ui::CFortschrittDlg::cancelled());
}

TEST_F(WebDlgTest, FailuresAreShownAndNoSuccessDialogFollows)
{
    struct Case {
        const char* name;
        std::function<void(const QString&)> prepare;
        QString firstMessage;
        int messages;
    };
    const std::vector<Case> cases{
        {"the site folder cannot be created",
         [](const QString& s) {
             QFile f(s);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
         },
         QStringLiteral("Der Ordner "), 1},
        // The whole site is left as it was: one message says so, nothing is "incomplete".
        {"a group page cannot be written",
         [](const QString& s) { ASSERT_TRUE(QDir().mkpath(s + QStringLiteral("/Erg0.htm"))); },
         QStringLiteral("Datei kann nicht geoeffnet werden\n"), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(site).removeRecursively();
        QFile::remove(site);
        c.prepare(site);
        prompter.messages.clear();
        test::whenShown<CWebDlg>([](CWebDlg& dlg) { test::click(&dlg, "ok"); });
        ui::runWebExport(nullptr, comp.doc(), site);
        // A success dialog would still be open and modal here.
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        ASSERT_EQ(prompter.messages.size(), static_cast<std::size_t>(c.messages))
            << prompter.texts().join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(prompter.texts().first().startsWith(c.firstMessage)) << prompter.texts().first().toStdString();
        if (c.messages > 1) {
            EXPECT_EQ(prompter.texts().last(), QStringLiteral("Die Webseiten wurden nicht vollständig erstellt."));
        }
    }
}

TEST_F(WebDlgTest, AbbrechenInTheProgressWindowStopsBeforeTheNextGroup)
{
    QMainWindow window;
    auto* central = new QWidget(&window);
    window.setCentralWidget(central);
    window.menuBar()->addMenu(QStringLiteral("&Datei"));
    window.show();
    QString title;
    QString status;
    bool windowBlocked = false;
    bool progressUsable = false;
    bool closeRefused = false;
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* progress = qobject_cast<ui::CFortschrittDlg*>(w);
            // Once the window shows the export's own title and text, as the user sees it.
            if (progress && progress->isVisible() && progress->status() != QStringLiteral("Text")) {
                title = progress->windowTitle();
                status = progress->status();
                windowBlocked = !central->isEnabled() && !window.menuBar()->isEnabled();
                progressUsable = progress->isEnabled();
                // Closing the program's window would take the competition from under the export.
                closeRefused = !window.close() && window.isVisible();
                test::click(progress, "abbrechen");
                timer->stop();
                timer->deleteLater();
                return;
            }
        }
    });
    timer->start(0);
    test::whenShown<CWebDlg>([](CWebDlg& dlg) { test::click(&dlg, "ok"); });
    ui::runWebExport(central, comp.doc(), site);

    EXPECT_TRUE(ui::CFortschrittDlg::cancelled());
    // The competition window takes no input while the export runs, the progress window does.
    EXPECT_TRUE(windowBlocked);
    EXPECT_TRUE(progressUsable);
    EXPECT_TRUE(closeRefused);
    EXPECT_TRUE(central->isEnabled());
    EXPECT_TRUE(window.menuBar()->isEnabled());
    EXPECT_EQ(title, QStringLiteral("Velmarik Wettkampfverwaltung"));
    EXPECT_EQ(status, QStringLiteral("Webseiten werden erstellt ..."));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral(
                  "Die Erstellung der Webseiten wurde abgebrochen; nicht alle Gruppenseiten wurden geschrieben.")});
    EXPECT_FALSE(QFile::exists(QDir(site).filePath(QStringLiteral("Gruppe0.htm"))));
    EXPECT_TRUE(QFile::exists(QDir(site).filePath(QStringLiteral("index_c.htm"))));
}

// Records the files the export announces to the main window while it lives.
class Announcements {
public:
    Announcements()
        : m_connection(QObject::connect(&ui::OutputNotifier::instance(), &ui::OutputNotifier::written,
                                        [this](const QString& path) { paths << path; }))
    {
    }
    ~Announcements() { QObject::disconnect(m_connection); }
    QStringList paths;

private:
    QMetaObject::Connection m_connection;
};

// "Klassisch" / "Modern": the stored style is preselected, "OK" keeps the one chosen, and the
// export writes that style's site and links its start page.
TEST_F(WebDlgTest, StyleChoiceIsShownStoredAndUsed)
{
    struct Case {
        const char* what;
        WebStyle stored;
        const char* click; // radio button the user picks
        const char* button;
        WebStyle after;
        const char* index; // start page written; none when cancelled
        const char* absent;
    };
    const Case cases[] = {
        {"modern chosen", WebStyle::Classic, "modern", "ok", WebStyle::Modern, "index.html", "index_l.htm"},
        {"modern shown again, classic chosen", WebStyle::Modern, "klassisch", "ok", WebStyle::Classic, "index.htm",
         "index.html"},
        {"cancel keeps modern", WebStyle::Modern, "klassisch", "cancel", WebStyle::Modern, nullptr, "index.htm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(site).removeRecursively();
        ASSERT_TRUE(storeWebStyle(comp.doc(), c.stored));
        prompter.messages.clear();
        Announcements announced;
        bool classicShown = false;
        bool modernShown = false;
        QString linkUrl;
        test::whenShown<CWebDlg>([&](CWebDlg& dlg) {
            classicShown = test::child<QRadioButton>(&dlg, "klassisch")->isChecked();
            modernShown = test::child<QRadioButton>(&dlg, "modern")->isChecked();
            EXPECT_EQ(test::child<QRadioButton>(&dlg, "klassisch")->text(), QStringLiteral("&Klassisch"));
            EXPECT_EQ(test::child<QRadioButton>(&dlg, "modern")->text(), QStringLiteral("&Modern"));
            QTest::mouseClick(test::child<QRadioButton>(&dlg, c.click), Qt::LeftButton);
            if (c.index) {
                test::whenShown<CWebFertigDlg>([&](CWebFertigDlg& done) {
                    linkUrl = done.link()->url();
                    test::click(&done, "fertig");
                });
            }
            test::click(&dlg, c.button);
        });
        ui::runWebExport(nullptr, comp.doc(), site);

        EXPECT_EQ(classicShown, c.stored == WebStyle::Classic);
        EXPECT_EQ(modernShown, c.stored == WebStyle::Modern);
        EXPECT_EQ(loadWebStyle(comp.doc()), c.after);
        EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
        EXPECT_FALSE(QFile::exists(QDir(site).filePath(QString::fromLatin1(c.absent)))) << c.absent;
        if (c.index) {
            const QString index = QDir::toNativeSeparators(QDir(site).absoluteFilePath(QString::fromLatin1(c.index)));
            EXPECT_TRUE(QFile::exists(index));
            EXPECT_EQ(linkUrl, index);
            EXPECT_EQ(announced.paths, QStringList{index});
        } else {
            EXPECT_FALSE(QDir(site).exists());
            EXPECT_TRUE(announced.paths.isEmpty());
        }
    }
}

// The target folder: the default until the user chooses one through "Ändern ...", then the
// competition's own. A cancelled folder dialog or a cancelled export changes nothing.
TEST_F(WebDlgTest, TargetFolderIsChosenInTheDialogAndKept)
{
    const QString other = comp.file(QStringLiteral("verein/liga"));
    ASSERT_TRUE(QDir().mkpath(other));
    struct Case {
        const char* what;
        QString answer; // of the folder dialog; empty = cancelled
        const char* button;
        QString shownBefore;
        QString shownAfter;  // in the dialog once the folder dialog closed
        QString storedAfter; // empty = none stored, so the default keeps following the data folder
        QString writtenTo;   // empty = nothing written
    };
    const std::vector<Case> cases{
        {"folder dialog cancelled", QString(), "ok", site, site, QString(), site},
        {"chosen but export cancelled", other, "cancel", site, other, QString(), QString()},
        {"chosen", other + QStringLiteral("/"), "ok", site, other, other, other},
        {"kept for the next export", QString(), "ok", other, other, other, other},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(site).removeRecursively();
        QDir(other).removeRecursively();
        prompter.fileRequests.clear();
        prompter.files = {c.answer};
        QString before;
        QString after;
        test::whenShown<CWebDlg>([&](CWebDlg& dlg) {
            before = test::child<QLabel>(&dlg, "ordner")->text();
            auto* change = test::child<QPushButton>(&dlg, "ordnerAendern");
            EXPECT_EQ(change->text(), QStringLiteral("Ä&ndern ..."));
            QTest::mouseClick(change, Qt::LeftButton);
            after = test::child<QLabel>(&dlg, "ordner")->text();
            if (c.button == std::string("ok"))
                test::whenShown<CWebFertigDlg>([](CWebFertigDlg& done) { test::click(&done, "fertig"); });
            test::click(&dlg, c.button);
        });
        ui::runWebExport(nullptr, comp.doc(), site);

        EXPECT_EQ(before, QDir::toNativeSeparators(c.shownBefore));
        EXPECT_EQ(after, QDir::toNativeSeparators(c.shownAfter));
        ASSERT_EQ(prompter.fileRequests.size(), 1u);
        EXPECT_EQ(prompter.fileRequests[0].kind, ui::FileRequest::Kind::Folder);
        EXPECT_EQ(prompter.fileRequests[0].proposed, c.shownBefore);
        EXPECT_FALSE(prompter.fileRequests[0].title.isEmpty());
        EXPECT_EQ(loadWebFolder(comp.doc(), QString()), c.storedAfter);
        for (const QString& folder : {site, other}) {
            EXPECT_EQ(QFile::exists(QDir(folder).filePath(QStringLiteral("index.htm"))), folder == c.writtenTo)
                << folder.toStdString();
        }
    }
}

// Each competition proposes a site folder of its own beside its file; a site that another
// competition left there is replaced only on "Ja".
TEST_F(WebDlgTest, AnotherCompetitionsSiteIsReplacedOnlyWhenConfirmed)
{
    const QString own = QFileInfo(comp.path()).absoluteFilePath();
    const QString proposed = QDir(comp.folder()).filePath(QFileInfo(own).completeBaseName() + QStringLiteral("_web"));
    const QString other = comp.file(QStringLiteral("andere.mdb"));
    struct Case {
        const char* what;
        QString owner; // recorded in the folder before; empty = no site there
        ui::Reply reply;
        int questions;
        bool written;
    };
    const std::vector<Case> cases{
        {"empty folder", QString(), ui::Reply::Yes, 0, true},
        {"own site", own, ui::Reply::Yes, 0, true},
        {"other site, Nein", other, ui::Reply::No, 1, false},
        {"other site, Ja", other, ui::Reply::Yes, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(proposed).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(proposed));
        if (!c.owner.isEmpty()) {
            QFile marker(QDir(proposed).filePath(QStringLiteral(".wettkampf")));
            ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
            marker.write(c.owner.toUtf8());
        }
        prompter.messages.clear();
        prompter.replies = {c.reply};
        QString shown;
        test::whenShown<CWebDlg>([&](CWebDlg& dlg) {
            shown = test::child<QLabel>(&dlg, "ordner")->text();
            if (c.written)
                test::whenShown<CWebFertigDlg>([](CWebFertigDlg& done) { test::click(&done, "fertig"); });
            test::click(&dlg, "ok");
        });
        ui::runWebExport(nullptr, comp.doc());

        EXPECT_EQ(shown, QDir::toNativeSeparators(proposed));
        ASSERT_EQ(prompter.messages.size(), static_cast<std::size_t>(c.questions));
        if (c.questions) {
            EXPECT_TRUE(prompter.messages[0].text.contains(other)) << prompter.messages[0].text.toStdString();
        }
        EXPECT_EQ(QFile::exists(QDir(proposed).filePath(QStringLiteral("index.htm"))), c.written);
        EXPECT_EQ(siteCompetition(proposed), c.written ? own : c.owner);
    }
}

TEST(WebExportCommand, RefusesWithoutAnOpenCompetition)
{
    test::ScriptedPrompter prompter;
    CTorvmDoc doc;
    ui::runWebExport(nullptr, doc, QStringLiteral("/nonexistent/web"));
    EXPECT_EQ(prompter.texts(), QStringList{QString::fromUtf8(kStrNoCompetition)});
}

} // namespace
} // namespace torvm
