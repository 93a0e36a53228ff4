// "Teilnehmer Import": question, file choice, progress window, and what stays stored when the
// user stops or the source fails.
#include "exchange/ui/TeilnehmerImport.h"

#include "db/Tables.h"
#include "exchange/JetFile.h"
#include "exchange/ui/FortschrittDlg.h"
#include "masterdata/ui/DialogDriver.h"
#include "support/Fixtures.h"
#include "support/JetFixtures.h"
#include "support/ScriptedPrompter.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <iostream>

namespace torvm::ui {
namespace {

const QString kQuestion = QStringLiteral(
    "Achtung, die zu importierenden Teilnehmer und Vereine werden unter der Original-Nummer gespeichert.\n"
    "Dabei werden die vorhandenen Teilnehmer und Vereine überschrieben, fortfahren?");

CFortschrittDlg* progressWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* dlg = qobject_cast<CFortschrittDlg*>(w))
            return dlg;
    }
    return nullptr;
}

class TeilnehmerImportTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::ScriptedPrompter prompter;
    Database& db() { return *comp.db(); }

    // The association's two tables as a SQLite file: members 1 ... count in clubs 10 ... 12.
    // leaveOut drops one member column, as in a file of another program version.
    QString source(int count, const QString& leaveOut = {})
    {
        const QString path = comp.file(QStringLiteral("bssb%1%2.db").arg(count).arg(leaveOut));
        EXPECT_TRUE(QFile(path).open(QIODevice::WriteOnly));
        auto src = Database::open(path, Database::Mode::ReadWrite, nullptr);
        EXPECT_TRUE(src);
        for (const auto& [table, columns] : {std::pair{"tblMitglieder", test::mitgliederColumns()},
                                             std::pair{"tblVereine_kurz", test::vereineKurzColumns()}}) {
            std::string sql = std::string("CREATE TABLE \"") + table + "\" (";
            const char* sep = "";
            for (const JetColumn& c : columns) {
                if (c.name == leaveOut)
                    continue;
                sql += sep + ("\"" + c.name.toStdString() + "\"") + (c.type == JetType::Text ? " TEXT" : " INTEGER");
                sep = ", ";
            }
            EXPECT_TRUE(src->execute((sql + ")").c_str()));
        }
        Transaction tx(*src);
        Statement member = src->prepare(R"(INSERT INTO "tblMitglieder" ("Passnummer", "Stammverein", "MName",
            "Vorname", "Geschlecht", "VereinsNr") VALUES (?, 0, ?, 'Eva', 1, ?))");
        for (int i = 1; i <= count; ++i) {
            member.bind(1, std::int64_t{i});
            member.bind(2, QStringLiteral("Müller %1").arg(i));
            member.bind(3, std::int64_t{10 + i % 3});
            EXPECT_TRUE(member.exec());
            member.reset();
        }
        EXPECT_TRUE(src->execute(R"(INSERT INTO "tblVereine_kurz" ("Verein", "VName") VALUES (10, 'SV Nord'),
            (11, 'SG Süd'), (12, 'FSG West'))"));
        EXPECT_TRUE(tx.commit());
        return path;
    }

    std::int64_t count(const char* table)
    {
        Statement st = db().prepare(std::string("SELECT COUNT(*) FROM \"") + table + "\"");
        EXPECT_TRUE(st.next());
        return st.int64(0);
    }

    // Pass numbers stored form the run 1 ... n without a gap.
    bool storedFromTheStart()
    {
        Statement st = db().prepare(R"(SELECT MIN("Paßnummer"), MAX("Paßnummer"), COUNT(*) FROM "Teilnehmer")");
        EXPECT_TRUE(st.next());
        return st.int64(0) == 1 && st.int64(1) == st.int64(2);
    }
};

TEST_F(TeilnehmerImportTest, QuestionAndFileDialogDecideWhetherAnythingIsStored)
{
    const QString path = source(25);
    struct Case {
        const char* name;
        Reply answer;
        bool fileGiven;
        int fileRequests;
        int members;
    };
    for (const Case& c : {Case{"No", Reply::No, true, 0, 0}, Case{"file dialog cancelled", Reply::Yes, false, 1, 0},
                          Case{"imported", Reply::Yes, true, 1, 25}}) {
        SCOPED_TRACE(c.name);
        prompter.messages.clear();
        prompter.fileRequests.clear();
        prompter.files.clear();
        prompter.replies = {c.answer};
        if (c.fileGiven)
            prompter.files.push_back(path);
        runTeilnehmerImport(nullptr, comp.doc());

        ASSERT_GE(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].text, kQuestion);
        EXPECT_EQ(prompter.messages[0].buttons, Buttons::YesNo);
        // Success is not announced: the participants are there to see. Assigning their classes
        // is offered (and declined here).
        EXPECT_EQ(prompter.messages.size(), c.members ? 2u : 1u)
            << prompter.texts().join(QLatin1Char('|')).toStdString();
        if (c.members) {
            EXPECT_EQ(prompter.messages[1].text, QStringLiteral("Sollen den Teilnehmern jetzt die Klassen nach "
                                                                "Geburtstag und Anrede zugeordnet werden?"));
        }
        ASSERT_EQ(static_cast<int>(prompter.fileRequests.size()), c.fileRequests);
        if (c.fileRequests) {
            const FileRequest& request = prompter.fileRequests[0];
            EXPECT_EQ(request.kind, FileRequest::Kind::Open);
            EXPECT_EQ(request.title, QStringLiteral("Teilnehmer importieren von"));
            EXPECT_EQ(request.proposed, QStringLiteral("Bssbvd.mdb"));
            EXPECT_EQ(request.filter, QStringLiteral("Datendateien (*.mdb)|*.mdb|Alle Dateien (*.*)|*.*||"));
            EXPECT_EQ(request.defaultSuffix, QStringLiteral("mdb"));
        }
        EXPECT_EQ(count("Teilnehmer"), c.members);
        EXPECT_EQ(count("Verein"), c.members ? 3 : 0);
        EXPECT_EQ(progressWindow(), nullptr);
    }
}

// The progress window shows the pass number at hand while the import runs, and a stop keeps
// every participant stored up to it, which the closing message counts.
TEST_F(TeilnehmerImportTest, StopDuringTheImportKeepsWhatWasStoredAndSaysSo)
{
    const int total = 6000;
    const QString path = source(total);
    prompter.replies = {Reply::Yes};
    prompter.files.push_back(path);
    QStringList titles, statuses;
    int ticks = 0;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        CFortschrittDlg* dlg = progressWindow();
        if (!dlg || !dlg->isVisible())
            return;
        titles << dlg->windowTitle();
        statuses << dlg->status();
        if (++ticks == 1500)
            QTest::mouseClick(dlg->findChild<QPushButton*>(QStringLiteral("abbrechen")), Qt::LeftButton);
    });
    watch.start();
    runTeilnehmerImport(nullptr, comp.doc());
    watch.stop();

    ASSERT_GE(ticks, 1500) << "the import did not dispatch events while it ran";
    titles.removeDuplicates();
    EXPECT_EQ(titles, QStringList{QStringLiteral("Teilnehmer Import")});
    const QRegularExpression numbered(QStringLiteral("^Importiere Teilnehmer \\d+$"));
    EXPECT_FALSE(statuses.filter(numbered).isEmpty()) << statuses.last().toStdString();
    for (const QString& status : statuses)
        EXPECT_TRUE(status == QStringLiteral("Importiere Teilnehmer") || numbered.match(status).hasMatch())
            << status.toStdString();

    const std::int64_t stored = count("Teilnehmer");
    EXPECT_GT(stored, 0);
    EXPECT_LT(stored, total);
    EXPECT_TRUE(storedFromTheStart());
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[1].icon, MessageIcon::Information);
    EXPECT_EQ(prompter.messages[1].text,
              QStringLiteral("Der Import wurde abgebrochen. %1 Teilnehmer wurden bis dahin übernommen.").arg(stored));
    EXPECT_EQ(progressWindow(), nullptr);

    // The next import starts without the old stop request and runs to the end.
    prompter.replies = {Reply::Yes};
    prompter.files.push_back(path);
    runTeilnehmerImport(nullptr, comp.doc());
    EXPECT_EQ(count("Teilnehmer"), total);
    EXPECT_EQ(prompter.messages.size(), 4u); // with the offer to assign the classes
}

// While the import runs, the competition window can neither be closed nor clicked; the
// progress window still can. Afterwards everything works again.
TEST_F(TeilnehmerImportTest, OtherWindowsWaitForTheImport)
{
    const QString path = source(3000);
    QWidget frame;
    auto* command = new QPushButton(QStringLiteral("Teilnehmer Import"), &frame);
    int commandsRun = 0;
    QObject::connect(command, &QPushButton::clicked, [&commandsRun] { ++commandsRun; });
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));

    prompter.replies = {Reply::Yes};
    prompter.files.push_back(path);
    int ticks = 0;
    bool closedDuringImport = false;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        CFortschrittDlg* dlg = progressWindow();
        if (!dlg || !dlg->isVisible() || ++ticks != 200)
            return;
        closedDuringImport = frame.close();
        QTest::mouseClick(command, Qt::LeftButton);
        QTest::keyClick(&frame, Qt::Key_F4, Qt::ControlModifier);
    });
    watch.start();
    runTeilnehmerImport(&frame, comp.doc());
    watch.stop();

    ASSERT_GE(ticks, 200);
    EXPECT_FALSE(closedDuringImport);
    EXPECT_TRUE(frame.isVisible());
    EXPECT_EQ(commandsRun, 0);
    EXPECT_EQ(count("Teilnehmer"), 3000);
    QTest::mouseClick(command, Qt::LeftButton);
    EXPECT_EQ(commandsRun, 1);
    EXPECT_TRUE(frame.close());
}

TEST_F(TeilnehmerImportTest, UnusableSourceIsReportedAndNothingIsStored)
{
    JetFile::setReaderProgram(QStringLiteral(TORVM_CLI_PATH));
    const QString notes = comp.file(QStringLiteral("notiz.mdb"));
    {
        QFile f(notes);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Mitgliederliste folgt.\n");
    }
    struct Case {
        QString path;
        QString says;
    };
    std::vector<Case> cases = {
        {comp.file(QStringLiteral("Bssbvd.mdb")), QStringLiteral("nicht gefunden")},
        {notes, QStringLiteral("keine Datenbank")},
        {source(3, QStringLiteral("LKZ")), QStringLiteral("fehlt die Spalte LKZ")},
    };
    const QString nwind = QStringLiteral(TORVM_SHARED_DATA "/jet/nwind.mdb");
    if (QFile::exists(nwind))
        cases.push_back({nwind, QStringLiteral("Die Tabelle tblMitglieder fehlt in der Datei")});
    else
        std::cerr << "Access sample " << nwind.toStdString() << " is not there; its case is left out\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        prompter.messages.clear();
        prompter.replies = {Reply::Yes};
        prompter.files = {c.path};
        runTeilnehmerImport(nullptr, comp.doc());
        ASSERT_EQ(prompter.messages.size(), 2u);
        EXPECT_EQ(prompter.messages[1].icon, MessageIcon::Exclamation);
        EXPECT_TRUE(prompter.messages[1].text.startsWith(QStringLiteral("Fehler: \n")));
        EXPECT_TRUE(prompter.messages[1].text.contains(c.says)) << prompter.messages[1].text.toStdString();
        EXPECT_EQ(progressWindow(), nullptr);
    }
    EXPECT_EQ(count("Teilnehmer"), 0);
    EXPECT_EQ(count("Verein"), 0);
}

TEST_F(TeilnehmerImportTest, CompetitionThatRefusesWritesKeepsItsParticipants)
{
    ASSERT_TRUE(db().execute(R"(INSERT INTO "Teilnehmer" ("Paßnummer", "Name") VALUES (2, 'Vorher'))"));
    ASSERT_TRUE(db().execute("PRAGMA query_only = ON"));
    prompter.replies = {Reply::Yes};
    prompter.files.push_back(source(10));
    runTeilnehmerImport(nullptr, comp.doc());
    ASSERT_TRUE(db().execute("PRAGMA query_only = OFF"));

    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_TRUE(prompter.messages[1].text.startsWith(QStringLiteral("Fehler: \n")));
    EXPECT_TRUE(prompter.messages[1].text.contains(QStringLiteral("schreibgeschützt")))
        << prompter.messages[1].text.toStdString();
    EXPECT_EQ(count("Teilnehmer"), 1);
    Statement st = db().prepare(R"(SELECT "Name" FROM "Teilnehmer")");
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.text(0), QStringLiteral("Vorher"));
}

} // namespace
} // namespace torvm::ui
