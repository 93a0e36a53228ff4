#include "AppFixture.h"

#include "app/ui/ChildFrame.h"
#include "app/ui/DialogRegistry.h"
#include "app/ui/MainFrame.h"
#include "app/ui/TorvmView.h"
#include "controls/ui/HyperLink.h"
#include "db/Database.h"
#include "db/Recordsets.h"
#include "db/Tables.h"
#include "exchange/ui/WebDlg.h"
#include "masterdata/ui/DialogDriver.h"
#include "output/ui/AusgabeSheet.h"
#include "support/Privileges.h"
#include "widgets/CommandIds.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>
#include <vector>

namespace torvm {
namespace {

namespace cmd = ui::cmd;
using test::AppFixture;

const QString kDatei = QStringLiteral("&Datei");

QStringList items(std::initializer_list<const char*> texts)
{
    QStringList list;
    for (const char* t : texts)
        list << QString::fromUtf8(t);
    return list;
}

TEST(MainFrame, MenusWithoutAndWithACompetition)
{
    AppFixture f;
    ui::CTorvmApp& app = f.start(f.file(QStringLiteral("keine.mdb")));
    EXPECT_EQ(f.menuItems(kDatei), items({"&Neu\tStrg+N", "Ö&ffnen...\tStrg+O", "-", "Drucker&einrichtung...", "-",
                                          "Letzte Datei", "-", "&Beenden\tStrg+Q"}));
    EXPECT_EQ(f.menuItems(QStringLiteral("&Ansicht")),
              items({"&Symbolleiste", "S&tatusleiste", "-", "&Ausstehende Ergebnisse..."}));
    EXPECT_EQ(f.menuItems(QStringLiteral("&?")),
              items({"&Hilfethemen\tF1", "-", "Inf&o über Velmarik Wettkampfverwaltung..."}));
    EXPECT_FALSE(app.mainFrame()->action(cmd::FileMruFirst)->isEnabled());

    const QString path = f.competition(QStringLiteral("liga.mdb"));
    ASSERT_NE(app.OpenDocumentFile(path), nullptr);
    EXPECT_EQ(f.menuTitles(), items({"&Datei", "&Bearbeiten", "&Ansicht", "&Fenster", "&?"}));
    QStringList file129 = f.menuItems(kDatei);
    ASSERT_EQ(file129.size(), 23);
    // The recent-file list holds the competition just opened, numbered.
    EXPECT_TRUE(file129[20].startsWith(QStringLiteral("&1 "))) << file129[20].toStdString();
    file129[20] = QStringLiteral("<recent>");
    EXPECT_EQ(file129, items({"&Neu\tStrg+N",
                              "Ö&ffnen...\tStrg+O",
                              "&Schließen\tStrg+W",
                              "-",
                              "Teilnehmer Import",
                              "Ergebnis Import",
                              "Ergebnisse aus Datei e&inlesen...",
                              "Sicherung &wiederherstellen...",
                              "Neue Sais&on...",
                              "-",
                              "Web Export",
                              "Web &veröffentlichen...",
                              "Speichern unter",
                              "E&xportieren",
                              "-",
                              "&Drucken...\tStrg+P",
                              "Sei&tenansicht",
                              "Als &PDF speichern...",
                              "Drucker&einrichtung...",
                              "-",
                              "<recent>",
                              "-",
                              "&Beenden\tStrg+Q"}));
    EXPECT_EQ(
        f.menuItems(QStringLiteral("&Bearbeiten")),
        items({"&Rückgängig\tStrg+Z", "-", "&Ausschneiden\tStrg+X", "K&opieren\tStrg+C", "E&infügen\tStrg+V", "-",
               "&Teilnehmer", "&Verein", "&Wettbewerb", "Wertu&ngsregeln...", "&Klasse", "Wettkampf&plan", "&Gruppe",
               "&Ergebnis", "-", "Teilnehmer&liste", "Vereinsli&ste", "Gr&uppenliste", "Klassen &zuordnen..."}));
    EXPECT_EQ(f.menuItems(QStringLiteral("&Fenster")).mid(0, 4),
              items({"Neues &Fenster", "Über&lappend", "&Nebeneinander", "&Symbole anordnen"}));
    const QString exportMenu = kDatei + QStringLiteral("/E&xportieren");
    EXPECT_EQ(f.menuItems(exportMenu),
              items({"&Kalender exportieren...", "Als Tabe&lle speichern...", "Ergebnisvorla&ge..."}));
    // Alt and a letter reach exactly one item of a menu.
    const QStringList menus = f.menuTitles() << exportMenu;
    for (const QString& menu : menus) {
        QStringList letters;
        for (const QString& item : f.menuItems(menu)) {
            const qsizetype amp = item.indexOf(QLatin1Char('&'));
            if (amp >= 0 && amp + 1 < item.size() && !item.at(amp + 1).isDigit())
                letters << item.at(amp + 1).toLower();
        }
        EXPECT_EQ(letters.removeDuplicates(), 0)
            << menu.toStdString() << ": " << letters.join(QLatin1Char(' ')).toStdString();
    }

    // Closing the competition brings menu 128 back.
    app.CloseDocument(*app.documents().front());
    EXPECT_FALSE(app.mainFrame()->competitionMenuShown());
    EXPECT_EQ(f.menuTitles(), items({"&Datei", "&Ansicht", "&?"}));
    EXPECT_EQ(app.mainFrame()->windowTitle(), QStringLiteral("Velmarik Wettkampfverwaltung"));
}

TEST(MainFrame, ToolbarStatusBarPromptsAndKeys)
{
    AppFixture f;
    ui::CTorvmApp& app = f.start(f.file(QStringLiteral("keine.mdb")));
    ui::CMainFrame* frame = app.mainFrame();

    QList<int> toolbar;
    for (QAction* a : frame->toolBar()->actions())
        toolbar << (a->isSeparator() ? 0 : a->data().toInt());
    EXPECT_EQ(toolbar, (QList<int>{cmd::FileNew, cmd::FileOpen, 0, cmd::SpeichernUnter, cmd::WebExport, cmd::FilePrint,
                                   0, cmd::EditCut, cmd::EditCopy, cmd::EditPaste, 0, cmd::Teilnehmer, cmd::Verein,
                                   cmd::Gruppe, 0, cmd::Ergebnis, 0, cmd::AppAbout}));
    for (QAction* a : frame->toolBar()->actions()) {
        if (!a->isSeparator()) {
            EXPECT_FALSE(a->icon().isNull()) << a->data().toInt();
        }
    }

    struct Prompt {
        int id;
        const char* status;
        const char* tip;
    };
    const Prompt prompts[] = {
        {cmd::Teilnehmer, "Öffnet den Dialog zur Bearbeitung der Teilnehmer.", "Teilnehmer"},
        {cmd::SpeichernUnter, "Erzeugt eine Textdatei mit Ergebnissen und Tabellen.",
         "Ergebnisse und Tabellen speichern"},
        {cmd::ErgebnisImport, "Übernimmt die Ergebnisse eines Durchgangs aus einer anderen Wettkampfdatei.",
         "Ergebnisse übernehmen"},
        {cmd::FileOpen, "Öffnet einen bestehenden Wettkampf.", "Wettkampf öffnen (Strg+O)"},
        {cmd::AppExit, "Beendet die Velmarik Wettkampfverwaltung.", "Beenden"},
    };
    for (const Prompt& p : prompts) {
        EXPECT_EQ(frame->action(p.id)->statusTip(), QString::fromUtf8(p.status)) << p.id;
        EXPECT_EQ(frame->action(p.id)->toolTip(), QString::fromUtf8(p.tip)) << p.id;
    }

    const std::pair<int, QKeySequence> standardKeys[] = {
        {cmd::FileNew, QKeySequence(Qt::CTRL | Qt::Key_N)},   {cmd::FileOpen, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {cmd::FileClose, QKeySequence(Qt::CTRL | Qt::Key_W)}, {cmd::FilePrint, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {cmd::AppExit, QKeySequence(Qt::CTRL | Qt::Key_Q)},   {cmd::HelpFinder, QKeySequence(Qt::Key_F1)},
    };
    for (const auto& [id, key] : standardKeys)
        EXPECT_EQ(frame->action(id)->shortcut(), key) << id;
    EXPECT_EQ(frame->action(cmd::EditPaste)->shortcuts(),
              (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}));
    EXPECT_EQ(frame->action(cmd::HelpFinder)->shortcut(), QKeySequence(Qt::Key_F1));

    EXPECT_EQ(frame->statusBar()->findChild<QLabel*>(QStringLiteral("idlePrompt"))->text(), QStringLiteral("Bereit"));
    for (const char* pane : {"UF", "NUM", "RF"}) {
        auto* label = frame->statusBar()->findChild<QLabel*>(QStringLiteral("pane") + QLatin1String(pane));
        ASSERT_NE(label, nullptr) << pane;
        EXPECT_EQ(label->text(), QLatin1String(pane));
    }

    // Hiding the toolbar and the status bar from the view menu.
    frame->action(cmd::ViewToolbar)->trigger();
    EXPECT_TRUE(frame->toolBar()->isHidden());
    frame->action(cmd::ViewStatusBar)->trigger();
    EXPECT_TRUE(frame->statusBar()->isHidden());
    frame->action(cmd::ViewToolbar)->trigger();
    EXPECT_FALSE(frame->toolBar()->isHidden());
}

TEST(MainFrame, CompetitionCommandsAreDisabledUntilTheirDialogIsPluggedIn)
{
    AppFixture f;
    ui::CTorvmApp& app = f.start(f.file(QStringLiteral("keine.mdb")));
    ui::CMainFrame* frame = app.mainFrame();
    const int documentCommands[] = {cmd::Teilnehmer, cmd::Verein,         cmd::Wettbewerb,     cmd::Klasse,
                                    cmd::Plan,       cmd::Gruppe,         cmd::Ergebnis,       cmd::TeilnehmerImport,
                                    cmd::WebExport,  cmd::SpeichernUnter, cmd::ErgebnisImport, cmd::FileClose};
    // Without a competition window nothing of the competition can run, the toolbar included.
    for (int id : documentCommands)
        EXPECT_FALSE(frame->action(id)->isEnabled()) << id;
    EXPECT_FALSE(frame->action(cmd::FilePrint)->isEnabled());

    ASSERT_NE(app.OpenDocumentFile(f.competition(QStringLiteral("liga.mdb"))), nullptr);
    for (int id : documentCommands)
        EXPECT_EQ(frame->action(id)->isEnabled(), id == cmd::FileClose) << id;
    for (int id : {cmd::EditUndo, cmd::EditCut, cmd::EditCopy, cmd::EditPaste, cmd::FilePrint, cmd::FilePrintPreview,
                   cmd::AlsPdfSpeichern})
        EXPECT_FALSE(frame->action(id)->isEnabled()) << id;
    EXPECT_TRUE(frame->action(cmd::WindowNew)->isEnabled());

    f.prompter.messages.clear();
    int opened = 0;
    app.commands().setOpener(cmd::Gruppe, [&opened](CTorvmDoc& doc, QWidget*) { opened += doc.IsOpen() ? 1 : 100; });
    ASSERT_TRUE(frame->action(cmd::Gruppe)->isEnabled());
    frame->action(cmd::Gruppe)->trigger();
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(f.prompter.messages.empty());

    ui::CTorvmView* printed = nullptr;
    std::vector<ui::PrintMode> modes;
    app.setPrintHandler([&](ui::CTorvmView& view, ui::PrintMode mode) {
        printed = &view;
        modes.push_back(mode);
    });
    ASSERT_TRUE(frame->action(cmd::FilePrint)->isEnabled());
    frame->action(cmd::FilePrint)->trigger();
    frame->action(cmd::FilePrintPreview)->trigger();
    ASSERT_TRUE(frame->action(cmd::AlsPdfSpeichern)->isEnabled());
    frame->action(cmd::AlsPdfSpeichern)->trigger();
    EXPECT_EQ(printed, frame->activeChild()->view());
    EXPECT_EQ(modes, (std::vector<ui::PrintMode>{ui::PrintMode::Print, ui::PrintMode::Preview, ui::PrintMode::Pdf}));
}

TEST(MainFrame, OpenFlagIsCheckedWhereTheCommandAsksForIt)
{
    AppFixture f;
    ui::CTorvmApp& app = f.start(f.file(QStringLiteral("keine.mdb")));
    std::vector<int> ran;
    for (int id : ui::DocumentCommands::ids()) {
        if (id != cmd::FileClose)
            app.commands().setOpener(id, [&ran, id](CTorvmDoc&, QWidget*) { ran.push_back(id); });
    }
    CTorvmDoc closed; // never opened
    f.prompter.messages.clear();
    const std::vector<int> checked = {cmd::Teilnehmer, cmd::Verein,   cmd::Wettbewerb,    cmd::Plan,
                                      cmd::Gruppe,     cmd::Ergebnis, cmd::SpeichernUnter};
    const std::vector<int> unchecked = {cmd::Klasse, cmd::TeilnehmerImport, cmd::WebExport, cmd::ErgebnisImport};
    for (int id : checked)
        EXPECT_FALSE(app.commands().execute(id, closed, nullptr)) << id;
    EXPECT_TRUE(ran.empty());
    ASSERT_EQ(f.prompter.messages.size(), checked.size());
    for (const auto& shown : f.prompter.messages) {
        EXPECT_EQ(shown.text, QStringLiteral("Noch kein Wettkampf geöffnet"));
        EXPECT_EQ(shown.icon, MessageIcon::Exclamation);
    }
    for (int id : unchecked)
        EXPECT_TRUE(app.commands().execute(id, closed, nullptr)) << id;
    EXPECT_EQ(ran, unchecked);
    EXPECT_EQ(f.prompter.messages.size(), checked.size());
}

// Write-protected: opened read-only so it can still be printed and exported; everything that
// would change it is refused before its dialog opens, and not even a setting is written into it.
TEST(MainFrame, AWriteProtectedCompetitionOpensReadOnlyAndRefusesEveryCommandThatWrites)
{
    AppFixture f;
    ui::CTorvmApp& app = f.start(f.file(QStringLiteral("keine.mdb")));
    const QString path = f.competition(QStringLiteral("gesperrt.mdb"), QStringLiteral("Gauliga Süd"));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    const auto bytes = [&path] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = bytes();
    std::vector<int> ran;
    for (int id : ui::DocumentCommands::ids()) {
        if (id != cmd::FileClose)
            app.commands().setOpener(id, [&ran, id](CTorvmDoc&, QWidget*) { ran.push_back(id); });
    }
    f.prompter.messages.clear();
    CTorvmDoc* doc = nullptr;
    {
        const test::ScopedFilePermissions obey;
        doc = app.OpenDocumentFile(path);
    }
    ASSERT_NE(doc, nullptr) << f.prompter.texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(doc->IsReadOnly());
    EXPECT_EQ(app.mainFrame()->activeChild()->view()->titleLabel(), QStringLiteral("Gauliga Süd"));
    ASSERT_EQ(f.prompter.messages.size(), 1u);
    EXPECT_EQ(f.prompter.messages[0].icon, MessageIcon::Information);
    EXPECT_TRUE(f.prompter.messages[0].text.contains(QStringLiteral("nur zum Lesen geöffnet")));

    f.prompter.messages.clear();
    // The master lists are where entries are made, changed and deleted.
    const std::vector<int> writing = {cmd::Teilnehmer,
                                      cmd::Verein,
                                      cmd::Wettbewerb,
                                      cmd::Klasse,
                                      cmd::Plan,
                                      cmd::Gruppe,
                                      cmd::Ergebnis,
                                      cmd::TeilnehmerImport,
                                      cmd::ErgebnisImport,
                                      cmd::KlassenZuordnen,
                                      cmd::VereinListe,
                                      cmd::TeilnehmerListe,
                                      cmd::GruppenListe,
                                      cmd::Wertungsregeln,
                                      cmd::SicherungWiederherstellen};
    const std::vector<int> reading = {cmd::WebExport, cmd::KalenderExport, cmd::WebVeroeffentlichen,
                                      cmd::SpeichernUnter, cmd::AlsTabelleSpeichern};
    for (int id : writing)
        app.mainFrame()->action(id)->trigger();
    EXPECT_TRUE(ran.empty());
    ASSERT_EQ(f.prompter.messages.size(), writing.size());
    for (const auto& shown : f.prompter.messages) {
        EXPECT_EQ(shown.icon, MessageIcon::Exclamation);
        EXPECT_TRUE(shown.text.contains(QStringLiteral("gesperrt.mdb ist schreibgeschützt")))
            << shown.text.toStdString();
    }
    for (int id : reading)
        app.mainFrame()->action(id)->trigger();
    EXPECT_EQ(ran, reading);

    f.prompter.messages.clear();
    CProfileTable profile(doc->GetDatabase(), doc);
    EXPECT_FALSE(profile.WriteInt(QStringLiteral("Web"), QStringLiteral("Termin"), 1));
    EXPECT_TRUE(f.prompter.messages.empty()) << "the user was told once, when it was opened";
    EXPECT_EQ(bytes(), before);
    ::chmod(QFile::encodeName(path).constData(), 0644);
}

TEST(MainFrame, TitleReachesEveryViewAfterNewOpenAndTheTitleDialog)
{
    AppFixture f;
    ui::CTorvmApp& app = f.start(f.file(QStringLiteral("keine.mdb")));
    f.prompter.messages.clear();

    // New: the template's empty title, in a maximised first window.
    const QString created = f.file(QStringLiteral("neu.mdb"));
    f.prompter.files.push_back(created);
    app.OnFileNew();
    ASSERT_EQ(f.prompter.fileRequests.size(), 1u);
    const ui::FileRequest& request = f.prompter.fileRequests[0];
    EXPECT_EQ(request.kind, ui::FileRequest::Kind::Save);
    EXPECT_EQ(request.title, QStringLiteral("Neuen Wettkampf anlegen"));
    EXPECT_EQ(request.filter, QStringLiteral("Velmarik (*.mdb)|*.mdb|Alle Dateien (*.*)|*.*||"));
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("mdb"));
    EXPECT_TRUE(request.confirmOverwrite);
    ASSERT_EQ(app.documents().size(), 1u);
    CTorvmDoc* doc = app.documents().front();
    EXPECT_EQ(doc->path(), created);
    EXPECT_TRUE(app.mainFrame()->activeChild()->isMaximized());
    EXPECT_EQ(app.mainFrame()->activeChild()->view()->titleLabel(), QString());

    // A second window of the same competition, then the title dialog changes the title.
    app.mainFrame()->action(cmd::WindowNew)->trigger();
    ASSERT_EQ(app.frames(doc).size(), 2);
    EXPECT_EQ(app.frames(doc)[0]->windowTitle(), QStringLiteral("neu.mdb:1"));
    EXPECT_EQ(app.frames(doc)[1]->windowTitle(), QStringLiteral("neu.mdb:2"));
    app.commands().setOpener(cmd::Wettbewerb, [](CTorvmDoc& d, QWidget*) {
        // The dialog stores a title and is then cancelled: the views follow the file anyway.
        CRSWettbewerb(d.GetDatabase(), &d).SetTitle(QStringLiteral("Gauliga Süd"));
    });
    app.mainFrame()->action(cmd::Wettbewerb)->trigger();
    for (ui::CChildFrame* frame : app.frames(doc))
        EXPECT_EQ(frame->view()->titleLabel(), QStringLiteral("Gauliga Süd"));

    // Open: the stored title of another competition.
    const QString other = f.competition(QStringLiteral("alt.mdb"), QStringLiteral("Bezirksliga Nord"));
    f.prompter.files.push_back(other);
    app.OnFileOpen();
    ASSERT_EQ(app.documents().size(), 2u);
    EXPECT_EQ(app.mainFrame()->activeChild()->view()->titleLabel(), QStringLiteral("Bezirksliga Nord"));
    EXPECT_EQ(app.frames(doc)[0]->view()->titleLabel(), QStringLiteral("Gauliga Süd"));
    EXPECT_TRUE(f.prompter.messages.empty()) << f.prompter.texts().join(QLatin1Char('\n')).toStdString();
}

TEST(MainFrame, NewCancelledOrIntoAMissingFolderCreatesNothing)
{
    AppFixture f;
    ui::CTorvmApp& app = f.start(f.file(QStringLiteral("keine.mdb")));
    f.prompter.messages.clear();
    app.OnFileNew(); // dialog cancelled
    EXPECT_TRUE(app.documents().empty());
    f.prompter.files.push_back(f.file(QStringLiteral("fehlt/ordner/neu.mdb")));
    app.OnFileNew();
    EXPECT_TRUE(app.documents().empty());
    EXPECT_FALSE(QFile::exists(f.file(QStringLiteral("fehlt/ordner/neu.mdb"))));
}

TEST(MainFrame, OpeningAnOpenCompetitionActivatesItsWindow)
{
    AppFixture f;
    const QString a = f.competition(QStringLiteral("a.mdb"));
    const QString b = f.competition(QStringLiteral("b.mdb"));
    ui::CTorvmApp& app = f.start(a);
    CTorvmDoc* first = app.documents().front();
    ASSERT_NE(app.OpenDocumentFile(b), nullptr);
    EXPECT_NE(app.mainFrame()->activeChild()->document(), first);
    EXPECT_EQ(app.OpenDocumentFile(a), first);
    EXPECT_EQ(app.documents().size(), 2u);
    EXPECT_EQ(app.mainFrame()->activeChild()->document(), first);
}

TEST(MainFrame, ClosingTheLastWindowClosesTheCompetition)
{
    AppFixture f;
    const QString path = f.competition(QStringLiteral("liga.mdb"));
    ui::CTorvmApp& app = f.start(path);
    CTorvmDoc* doc = app.documents().front();
    app.OnWindowNew(*doc);
    ASSERT_EQ(app.frames(doc).size(), 2);
    app.frames(doc)[0]->close();
    ASSERT_EQ(app.documents().size(), 1u);
    EXPECT_EQ(app.frames(doc)[0]->windowTitle(), QStringLiteral("liga.mdb"));
    app.frames(doc)[0]->close();
    EXPECT_TRUE(app.documents().empty());
    EXPECT_EQ(CTorvmDoc::findOpen(path), nullptr);
    EXPECT_FALSE(app.mainFrame()->competitionMenuShown());

    // "Schließen" closes all windows of the competition at once, without a question.
    ASSERT_NE(app.OpenDocumentFile(path), nullptr);
    app.OnWindowNew(*app.documents().front());
    f.prompter.messages.clear();
    app.mainFrame()->action(cmd::FileClose)->trigger();
    EXPECT_TRUE(app.documents().empty());
    EXPECT_TRUE(app.mainFrame()->childFrames().isEmpty());
    EXPECT_TRUE(f.prompter.messages.empty());

    // The same from the keyboard: Ctrl+W closes the competition, Ctrl+Q the program.
    ASSERT_NE(app.OpenDocumentFile(path), nullptr);
    app.mainFrame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(app.mainFrame()));
    QTest::keyClick(app.mainFrame(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(app.documents().empty());
    QTest::keyClick(app.mainFrame(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(app.mainFrame()->isVisible());
}

TEST(MainFrame, RecentFilesOpenAndForgetFilesThatAreGone)
{
    AppFixture f;
    const QString a = f.competition(QStringLiteral("a.mdb"));
    const QString b = f.competition(QStringLiteral("b.mdb"));
    ui::CTorvmApp& app = f.start(a);
    app.OpenDocumentFile(b);
    for (CTorvmDoc* doc : app.documents())
        app.CloseDocument(*doc);
    const QList<QAction*>& recent = app.mainFrame()->recentFileActions();
    ASSERT_EQ(recent.size(), 2);
    EXPECT_TRUE(recent[0]->text().endsWith(QStringLiteral("b.mdb")));
    EXPECT_TRUE(recent[1]->text().startsWith(QStringLiteral("&2 ")));
    EXPECT_EQ(f.menuItems(kDatei).mid(5, 2), (QStringList{recent[0]->text(), recent[1]->text()}));

    recent[1]->trigger();
    ASSERT_EQ(app.documents().size(), 1u);
    EXPECT_EQ(app.documents().front()->path(), QFileInfo(a).canonicalFilePath());
    app.CloseDocument(*app.documents().front());

    ASSERT_TRUE(QFile::remove(b));
    f.prompter.messages.clear();
    app.mainFrame()->recentFileActions()[1]->trigger();
    EXPECT_EQ(f.prompter.messages.size(), 1u);
    ASSERT_EQ(app.recentFiles().files().size(), 1);
    EXPECT_TRUE(app.recentFiles().files()[0].endsWith(QStringLiteral("a.mdb")));
    EXPECT_EQ(app.mainFrame()->recentFileActions().size(), 1);
}

TEST(MainFrame, HelpOpensTheFirstStepsPage)
{
    AppFixture f;
    ui::CTorvmApp& app = f.start(f.file(QStringLiteral("keine.mdb")));
    f.prompter.messages.clear();
    app.mainFrame()->action(cmd::HelpFinder)->trigger();
    ASSERT_EQ(f.openedHelp.size(), 1);
    EXPECT_TRUE(f.openedHelp[0].endsWith(QStringLiteral("/index.html")));
    EXPECT_TRUE(QFileInfo::exists(f.openedHelp[0]));
    // Every page the help links to exists beside it.
    EXPECT_TRUE(QFileInfo::exists(QFileInfo(f.openedHelp[0]).dir().filePath(QStringLiteral("befehle.html"))));

    f.viewerAvailable = false;
    app.OnHelp();
    EXPECT_EQ(f.prompter.texts(), QStringList{QString::fromUtf8(ui::kStrHelpMissing)});
    EXPECT_EQ(f.openedHelp.size(), 1);
}

TEST(MainFrame, WindowCommandsArrangeTheCompetitionWindows)
{
    AppFixture f;
    ui::CTorvmApp& app = f.start(f.competition(QStringLiteral("liga.mdb")));
    ui::CMainFrame* frame = app.mainFrame();
    frame->activeChild()->showNormal();
    app.OnWindowNew(*app.documents().front());
    app.OnWindowNew(*app.documents().front());
    frame->action(cmd::WindowTile)->trigger();
    const QList<ui::CChildFrame*> frames = frame->childFrames();
    ASSERT_EQ(frames.size(), 3);
    for (int i = 0; i < frames.size(); ++i) {
        for (int j = i + 1; j < frames.size(); ++j)
            EXPECT_FALSE(frames[i]->geometry().intersects(frames[j]->geometry())) << i << ' ' << j;
    }
    for (ui::CChildFrame* child : frames)
        child->showMinimized();
    frame->action(cmd::WindowArrange)->trigger();
    const int bottom = frame->mdiArea()->viewport()->height();
    for (ui::CChildFrame* child : frames)
        EXPECT_EQ(child->geometry().bottom() + 1, bottom);
}

// After "Als PDF speichern", "Speichern unter", "Als Tabelle speichern" and "Web Export" the status bar names the file
// written, in place of "Bereit", and its links open the file and its folder.
TEST(MainFrame, StatusBarNamesTheFileWrittenAndOpensItOrItsFolder)
{
    AppFixture f;
    ui::CTorvmApp& app = f.start(f.file(QStringLiteral("keine.mdb")));
    ui::registerDialogs(app.commands());
    ui::registerPrinting(app);
    CTorvmDoc* doc = app.OpenDocumentFile(f.competition(QStringLiteral("liga.mdb"), QStringLiteral("Gauliga")));
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(doc->GetDatabase()->execute("INSERT INTO Verein (Vereinsnummer, Name) VALUES (10, 'SV Tell')"));
    f.prompter.messages.clear(); // the missing last file of the start
    ui::CMainFrame* frame = app.mainFrame();
    auto* idle = frame->statusBar()->findChild<QLabel*>(QStringLiteral("idlePrompt"));
    auto* written = frame->statusBar()->findChild<QWidget*>(QStringLiteral("ausgabe"));
    ASSERT_NE(idle, nullptr);
    ASSERT_NE(written, nullptr);
    EXPECT_TRUE(written->isHidden());

    QStringList opened;
    const ui::CHyperLink::Opener previous = ui::CHyperLink::setOpener([&opened](const QString& url) {
        opened << url;
        return 33;
    });
    const auto answerSheet = [] {
        test::whenShown<ui::AusgabeSheet>([](ui::AusgabeSheet& sheet) {
            for (QCheckBox* box : sheet.findChildren<QCheckBox*>())
                box->setChecked(box->objectName() == QStringLiteral("Verein"));
            sheet.accept();
        });
    };
    const QString site = f.file(QStringLiteral("seite"));
    struct Case {
        const char* what;
        int command;
        QString answer; // of the file or folder dialog
        std::function<void()> dialogs;
        QString file;
    };
    const std::vector<Case> cases{
        {"PDF", cmd::AlsPdfSpeichern, f.file(QStringLiteral("liga.pdf")), answerSheet,
         f.file(QStringLiteral("liga.pdf"))},
        {"text", cmd::SpeichernUnter, f.file(QStringLiteral("liga.txt")), answerSheet,
         f.file(QStringLiteral("liga.txt"))},
        {"spreadsheet", cmd::AlsTabelleSpeichern, f.file(QStringLiteral("liga.xlsx")), answerSheet,
         f.file(QStringLiteral("liga.xlsx"))},
        {"web site", cmd::WebExport, site,
         [] {
             test::whenShown<ui::CWebDlg>([](ui::CWebDlg& dlg) {
                 test::click(&dlg, "ordnerAendern");
                 test::whenShown<ui::CWebFertigDlg>([](ui::CWebFertigDlg& done) { test::click(&done, "fertig"); });
                 test::click(&dlg, "ok");
             });
         },
         site + QStringLiteral("/index.htm")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        opened.clear();
        f.prompter.files = {c.answer};
        c.dialogs();
        frame->action(c.command)->trigger();
        ASSERT_TRUE(QFile::exists(c.file));
        EXPECT_TRUE(idle->isHidden());
        EXPECT_FALSE(written->isHidden());
        EXPECT_EQ(written->findChild<QLabel*>(QStringLiteral("ausgabePfad"))->text(),
                  QStringLiteral("Gespeichert: ") + QDir::toNativeSeparators(c.file));
        auto* open = written->findChild<ui::CHyperLink*>(QStringLiteral("ausgabeOeffnen"));
        auto* folder = written->findChild<ui::CHyperLink*>(QStringLiteral("ausgabeOrdner"));
        ASSERT_NE(open, nullptr);
        ASSERT_NE(folder, nullptr);
        EXPECT_EQ(open->text(), QStringLiteral("Öffnen"));
        EXPECT_EQ(folder->text(), QStringLiteral("Ordner öffnen"));
        QTest::mouseClick(open, Qt::LeftButton);
        QTest::mouseClick(folder, Qt::LeftButton);
        EXPECT_EQ(opened, (QStringList{c.file, QFileInfo(c.file).absolutePath()}));
    }
    EXPECT_TRUE(f.prompter.texts().isEmpty()) << f.prompter.texts().join(QLatin1Char('|')).toStdString();
    ui::CHyperLink::setOpener(previous);
}

} // namespace
} // namespace torvm
