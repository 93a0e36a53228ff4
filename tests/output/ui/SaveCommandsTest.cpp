#include "output/ui/PrintCommands.h"

#include "db/Database.h"
#include "db/Recordsets.h"
#include "db/Tables.h"
#include "document/TorvmDoc.h"
#include "output/ui/AusgabeSheet.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"
#include "widgets/OutputNotifier.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

namespace torvm::ui {
namespace {

// Runs "Als PDF speichern" and "Speichern unter" with the dialogs answered in advance: the file
// dialog by the prompter, the sheet "Ausgabe" by a timer that chooses outputs (and the character
// set, where the sheet asks for one) and confirms or cancels it once it is up. Records every file
// the commands announce to the main window.
class SaveCommandsTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::ScriptedPrompter prompter;
    std::unique_ptr<QTimer> sheetAnswer;
    int sheetsShown = 0;
    int filesAskedBeforeSheet = 0;
    std::optional<int> encodingShown; // index of "Zeichensatz" as the sheet showed it
    QStringList announced;
    QMetaObject::Connection announcing;

    void SetUp() override
    {
        ASSERT_TRUE(comp.db()->execute("INSERT INTO Verein (Vereinsnummer, Name) VALUES (10, 'SV Tell'), "
                                       "(11, 'SG Weiß')"));
        CRSWettbewerb title(comp.db(), &comp.doc());
        title.SetTitle(QStringLiteral("Rundenwettkampf 2025"));
        announcing = QObject::connect(&OutputNotifier::instance(), &OutputNotifier::written,
                                      [this](const QString& path) { announced << path; });
    }

    void TearDown() override { QObject::disconnect(announcing); }

    void reset()
    {
        prompter.messages.clear();
        prompter.fileRequests.clear();
        sheetsShown = 0;
        filesAskedBeforeSheet = 0;
        encodingShown.reset();
        announced.clear();
    }

    // encoding: the index to choose in "Zeichensatz"; none leaves it as shown.
    void answerSheet(std::vector<Output> outputs, bool confirm, std::optional<int> encoding = std::nullopt)
    {
        sheetAnswer = std::make_unique<QTimer>();
        sheetAnswer->setInterval(0);
        QObject::connect(sheetAnswer.get(), &QTimer::timeout, [this, outputs, confirm, encoding] {
            auto* sheet = qobject_cast<AusgabeSheet*>(QApplication::activeModalWidget());
            if (!sheet || !sheet->isVisible())
                return;
            // Back after it refused its choices: the user gives up.
            if (sheetsShown > 0) {
                sheet->reject();
                return;
            }
            ++sheetsShown;
            filesAskedBeforeSheet = static_cast<int>(prompter.fileRequests.size());
            for (int i = 0; i < kOutputCount; ++i) {
                const auto output = static_cast<Output>(i);
                auto* box = sheet->findChild<QCheckBox*>(outputKey(output));
                ASSERT_NE(box, nullptr);
                box->setChecked(std::find(outputs.begin(), outputs.end(), output) != outputs.end());
            }
            if (auto* chooser = sheet->findChild<QComboBox*>(QStringLiteral("Zeichensatz"))) {
                encodingShown = chooser->currentIndex();
                EXPECT_EQ(chooser->count(), 2);
                EXPECT_EQ(chooser->itemText(0), QStringLiteral("Windows-1252 (wie bisher)"));
                EXPECT_EQ(chooser->itemText(1), QStringLiteral("UTF-8"));
                if (encoding) {
                    // As the user does it: the keyboard on the focused box.
                    chooser->setFocus();
                    QTest::keyClick(chooser, *encoding == 0 ? Qt::Key_Home : Qt::Key_End);
                }
            }
            if (confirm)
                sheet->accept();
            else
                sheet->reject();
        });
        sheetAnswer->start();
    }

    static QByteArray readAll(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    int storedEncoding()
    {
        CProfileTable profile(comp.db(), &comp.doc());
        return profile.GetInt(QStringLiteral("Textexport"), QStringLiteral("Zeichensatz"), -1);
    }
};

struct Command {
    const char* name;
    void (*run)(CTorvmDoc&, QWidget*);
    const char* suffix;
    const char* title;
    const char* filter;
    bool asksEncoding;
    const char* start; // the written file begins so
};

const Command kCommands[] = {
    {"PDF", savePdf, "pdf", "Als PDF speichern", "PDF Dateien (*.pdf)|*.pdf|Alle Dateien (*.*)|*.*||", false, "%PDF"},
    {"Text", saveTextExport, "txt", "Ergebnisse und Tabellen speichern unter",
     "Text Dateien (*.txt)|*.txt|Alle Dateien (*.*)|*.*||", true,
     "Velmarik Wettkampfverwaltung\r\n\r\nRundenwettkampf 2025\r\n\r\n"},
};

struct Case {
    const char* what;
    std::vector<Output> outputs;
    bool confirm;
    const char* file; // answer of the file dialog; empty = cancelled
    bool written;
    const char* message; // the one message shown, in part; none = no message
};

const Case kCases[] = {
    {"written", {Output::Verein}, true, "ausgabe", true, nullptr},
    {"sheet cancelled", {Output::Verein}, false, "ausgabe", false, nullptr},
    {"nothing chosen", {}, true, "ausgabe", false, "Bitte wählen Sie mindestens eine Ausgabe."},
    {"nothing to output",
     {Output::Termin, Output::Einzel},
     true,
     "ausgabe",
     false,
     "enthalten nichts, was sich ausgeben ließe: Terminplan (kein Wettkampfplan gewählt), Einzelwertung."},
    {"file dialog cancelled", {Output::Verein}, true, "", false, nullptr},
    {"missing folder", {Output::Verein}, true, "fehlt/ausgabe", false, "kann nicht angelegt werden"},
};

void checkMessages(const test::ScriptedPrompter& prompter, const Case& c)
{
    if (c.message) {
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_TRUE(prompter.messages[0].text.contains(QString::fromUtf8(c.message)))
            << prompter.messages[0].text.toStdString();
        EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Exclamation);
    } else {
        EXPECT_TRUE(prompter.messages.empty()) << prompter.texts().join(QLatin1Char('\n')).toStdString();
    }
}

// Both commands take the outputs first, so a cancelled file dialog never costs the user the
// choices made on the sheet; only a file written completely is announced.
TEST_F(SaveCommandsTest, BothAskForTheOutputsFirstAndThenTheFile)
{
    for (const Command& command : kCommands) {
        for (const Case& c : kCases) {
            SCOPED_TRACE(std::string(command.name) + ": " + c.what);
            reset();
            const QString suffix = QLatin1Char('.') + QString::fromLatin1(command.suffix);
            const QString path = c.file[0] == '\0' ? QString() : comp.file(QString::fromUtf8(c.file) + suffix);
            QFile::remove(path);
            prompter.files = {path};
            answerSheet(c.outputs, c.confirm);
            command.run(comp.doc(), nullptr);
            sheetAnswer.reset();
            EXPECT_EQ(sheetsShown, 1);
            EXPECT_EQ(filesAskedBeforeSheet, 0);
            EXPECT_EQ(encodingShown.has_value(), command.asksEncoding);
            // No file is asked for when there is nothing to write.
            const bool asked = c.confirm && !c.outputs.empty() && c.outputs.front() == Output::Verein;
            ASSERT_EQ(prompter.fileRequests.size(), asked ? 1u : 0u);
            if (asked) {
                const FileRequest& request = prompter.fileRequests[0];
                EXPECT_EQ(request.kind, FileRequest::Kind::Save);
                EXPECT_EQ(request.title, QString::fromUtf8(command.title));
                EXPECT_EQ(request.filter, QString::fromUtf8(command.filter));
                EXPECT_EQ(request.defaultSuffix, QString::fromLatin1(command.suffix));
                EXPECT_TRUE(request.proposed.endsWith(suffix));
                EXPECT_TRUE(request.confirmOverwrite);
            }
            EXPECT_EQ(!path.isEmpty() && QFile::exists(path), c.written);
            if (c.written) {
                EXPECT_TRUE(readAll(path).startsWith(command.start));
                EXPECT_EQ(announced, QStringList{path});
            } else {
                EXPECT_TRUE(announced.isEmpty()) << announced.join(QLatin1Char('|')).toStdString();
            }
            checkMessages(prompter, c);
        }
    }
}

// The character set of the text file: Windows-1252 unless UTF-8 is chosen, and the last choice
// comes back the next time. A competition whose user never changes it keeps no setting for it.
TEST_F(SaveCommandsTest, TextExportWritesTheChosenCharacterSetAndKeepsTheChoice)
{
    struct Step {
        const char* what;
        std::optional<int> choose;
        bool confirm;
        int shown;        // index the sheet shows
        int stored;       // setting afterwards; -1 = none written
        const char* club; // the club line of the file; none when nothing is written
    };
    const Step steps[] = {
        {"default", std::nullopt, true, 0, -1, "11\tSG Wei\xdf\r\n"},
        {"UTF-8 chosen", 1, true, 0, 1, "11\tSG Wei\xc3\x9f\r\n"},
        {"UTF-8 kept", std::nullopt, true, 1, 1, "11\tSG Wei\xc3\x9f\r\n"},
        {"cancelled sheet keeps it", 0, false, 1, 1, nullptr},
        {"back to Windows-1252", 0, true, 1, 0, "11\tSG Wei\xdf\r\n"},
    };
    const QString path = comp.file(QStringLiteral("ausgabe.txt"));
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        reset();
        QFile::remove(path);
        prompter.files = {path};
        answerSheet({Output::Verein}, step.confirm, step.choose);
        saveTextExport(comp.doc(), nullptr);
        sheetAnswer.reset();
        EXPECT_EQ(encodingShown, std::optional<int>(step.shown));
        EXPECT_EQ(storedEncoding(), step.stored);
        if (step.club) {
            const QByteArray text = readAll(path);
            EXPECT_TRUE(text.endsWith(QByteArray("\r\nVereine\r\n\r\n10\tSV Tell\r\n") + step.club))
                << text.toStdString();
        } else {
            EXPECT_FALSE(QFile::exists(path));
        }
        EXPECT_TRUE(prompter.messages.empty()) << prompter.texts().join(QLatin1Char('\n')).toStdString();
    }
}

// A name Windows-1252 cannot hold is named before the file is written, with UTF-8 offered.
TEST_F(SaveCommandsTest, NamesThatWouldLoseCharactersAreNamedAndUtf8Offered)
{
    ASSERT_TRUE(comp.db()->execute("INSERT INTO Verein (Vereinsnummer, Name) VALUES (12, 'SK Ayşe Öz')"));
    struct Step {
        Reply reply;
        const char* club; // the last line of the file; none when nothing is written
    };
    const Step steps[] = {
        {Reply::Yes, "12\tSK Ay\xc5\x9f"
                     "e \xc3\x96z\r\n"},
        {Reply::No, "12\tSK Ay?e \xd6z\r\n"},
        {Reply::Cancel, nullptr},
    };
    const QString path = comp.file(QStringLiteral("ausgabe.txt"));
    for (const Step& step : steps) {
        reset();
        QFile::remove(path);
        prompter.files = {path};
        prompter.replies = {step.reply};
        answerSheet({Output::Verein}, true);
        saveTextExport(comp.doc(), nullptr);
        sheetAnswer.reset();
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].buttons, Buttons::YesNoCancel);
        EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral(":\n\nAyşe\n\n")))
            << prompter.messages[0].text.toStdString();
        if (step.club) {
            EXPECT_TRUE(readAll(path).endsWith(step.club)) << readAll(path).toStdString();
        } else {
            EXPECT_FALSE(QFile::exists(path));
        }
    }
}

// A file that exists is replaced only by a complete new one.
TEST_F(SaveCommandsTest, AnExistingFileIsKeptWhenNothingIsWritten)
{
    const QString path = comp.file(QStringLiteral("alt.txt"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("alt\r\n");
    }
    prompter.files = {path};
    answerSheet({}, true); // nothing chosen
    saveTextExport(comp.doc(), nullptr);
    EXPECT_EQ(readAll(path), QByteArray("alt\r\n"));

    reset();
    prompter.files = {path};
    answerSheet({Output::Verein}, true);
    saveTextExport(comp.doc(), nullptr);
    EXPECT_TRUE(readAll(path).startsWith("Velmarik Wettkampfverwaltung"));
}

} // namespace
} // namespace torvm::ui
