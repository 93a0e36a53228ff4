#include "output/ui/PrintCommands.h"

#include "db/Database.h"
#include "db/Recordsets.h"
#include "document/TorvmDoc.h"
#include "output/ui/AusgabeSheet.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace torvm::ui {
namespace {

// Runs "Als PDF speichern" and "Speichern unter" with the dialogs answered in advance: the file
// dialog by the prompter, the sheet "Ausgabe" by a timer that chooses outputs and confirms or
// cancels it once it is up.
class SaveCommandsTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::ScriptedPrompter prompter;
    std::unique_ptr<QTimer> sheetAnswer;
    int sheetsShown = 0;

    void SetUp() override
    {
        ASSERT_TRUE(comp.db()->execute("INSERT INTO Verein (Vereinsnummer, Name) VALUES (10, 'SV Tell'), "
                                       "(11, 'SG Weiß')"));
        CRSWettbewerb title(comp.db(), &comp.doc());
        title.SetTitle(QStringLiteral("Rundenwettkampf 2025"));
    }

    void answerSheet(std::vector<Output> outputs, bool confirm)
    {
        sheetAnswer = std::make_unique<QTimer>();
        sheetAnswer->setSingleShot(true);
        sheetAnswer->setInterval(0);
        QObject::connect(sheetAnswer.get(), &QTimer::timeout, [this, outputs, confirm] {
            auto* sheet = qobject_cast<AusgabeSheet*>(QApplication::activeModalWidget());
            ASSERT_NE(sheet, nullptr);
            ++sheetsShown;
            for (int i = 0; i < kOutputCount; ++i) {
                const auto output = static_cast<Output>(i);
                auto* box = sheet->findChild<QCheckBox*>(outputKey(output));
                ASSERT_NE(box, nullptr);
                box->setChecked(std::find(outputs.begin(), outputs.end(), output) != outputs.end());
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
};

struct Case {
    const char* what;
    std::vector<Output> outputs;
    bool confirm;
    const char* file; // answer of the file dialog; empty = cancelled
    bool written;
    bool message; // "kann nicht angelegt werden"
};

const Case kCases[] = {
    {"written", {Output::Verein}, true, "ausgabe", true, false},
    {"sheet cancelled", {Output::Verein}, false, "ausgabe", false, false},
    {"nothing chosen", {}, true, "ausgabe", false, false},
    {"file dialog cancelled", {Output::Verein}, true, "", false, false},
    {"missing folder", {Output::Verein}, true, "fehlt/ausgabe", false, true},
};

void checkMessages(const test::ScriptedPrompter& prompter, const Case& c)
{
    if (c.message) {
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("kann nicht angelegt werden")))
            << prompter.messages[0].text.toStdString();
        EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Exclamation);
    } else {
        EXPECT_TRUE(prompter.messages.empty()) << prompter.texts().join(QLatin1Char('\n')).toStdString();
    }
}

TEST_F(SaveCommandsTest, PdfAsksForTheFileAfterTheSheet)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        prompter.messages.clear();
        prompter.fileRequests.clear();
        sheetsShown = 0;
        const QString path =
            c.file[0] == '\0' ? QString() : comp.file(QString::fromUtf8(c.file) + QStringLiteral(".pdf"));
        QFile::remove(path);
        prompter.files = {path};
        answerSheet(c.outputs, c.confirm);
        savePdf(comp.doc(), nullptr);
        EXPECT_EQ(sheetsShown, 1);
        // No file is asked for when there is nothing to write.
        const bool asked = c.confirm && !c.outputs.empty();
        ASSERT_EQ(prompter.fileRequests.size(), asked ? 1u : 0u);
        if (asked) {
            const FileRequest& request = prompter.fileRequests[0];
            EXPECT_EQ(request.kind, FileRequest::Kind::Save);
            EXPECT_EQ(request.title, QStringLiteral("Als PDF speichern"));
            EXPECT_EQ(request.filter, QStringLiteral("PDF Dateien (*.pdf)|*.pdf|Alle Dateien (*.*)|*.*||"));
            EXPECT_EQ(request.defaultSuffix, QStringLiteral("pdf"));
            EXPECT_TRUE(request.proposed.endsWith(QStringLiteral(".pdf")));
        }
        EXPECT_EQ(!path.isEmpty() && QFile::exists(path), c.written);
        if (c.written) {
            EXPECT_TRUE(readAll(path).startsWith("%PDF"));
        }
        checkMessages(prompter, c);
    }
}

TEST_F(SaveCommandsTest, TextExportAsksForTheFileBeforeTheSheet)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        prompter.messages.clear();
        prompter.fileRequests.clear();
        sheetsShown = 0;
        const QString path =
            c.file[0] == '\0' ? QString() : comp.file(QString::fromUtf8(c.file) + QStringLiteral(".txt"));
        QFile::remove(path);
        prompter.files = {path};
        answerSheet(c.outputs, c.confirm);
        saveTextExport(comp.doc(), nullptr);
        ASSERT_EQ(prompter.fileRequests.size(), 1u);
        const FileRequest& request = prompter.fileRequests[0];
        EXPECT_EQ(request.kind, FileRequest::Kind::Save);
        EXPECT_EQ(request.title, QStringLiteral("Ergebnisse und Tabellen speichern unter"));
        EXPECT_EQ(request.filter, QStringLiteral("Text Dateien (*.txt)|*.txt|Alle Dateien (*.*)|*.*||"));
        EXPECT_EQ(request.defaultSuffix, QStringLiteral("txt"));
        EXPECT_TRUE(request.confirmOverwrite);
        // A cancelled file dialog ends the command before the sheet.
        EXPECT_EQ(sheetsShown, path.isEmpty() ? 0 : 1);
        sheetAnswer.reset();
        EXPECT_EQ(!path.isEmpty() && QFile::exists(path), c.written);
        if (c.written) {
            const QByteArray text = readAll(path);
            EXPECT_TRUE(text.startsWith("Velmarik Wettkampfverwaltung\r\n\r\nRundenwettkampf 2025\r\n\r\n"));
            EXPECT_TRUE(text.endsWith("\r\nVereine\r\n\r\n10\tSV Tell\r\n11\tSG Wei\xdf\r\n"));
        }
        checkMessages(prompter, c);
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

    prompter.files = {path};
    answerSheet({Output::Verein}, true);
    saveTextExport(comp.doc(), nullptr);
    EXPECT_TRUE(readAll(path).startsWith("Velmarik Wettkampfverwaltung"));
}

} // namespace
} // namespace torvm::ui
