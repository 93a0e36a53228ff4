// "Ergebnisse aus Datei einlesen...": the preview of the pairings and what the user ticks is stored.
#include "exchange/ui/ErgebnisDateiDlg.h"

#include "masterdata/ui/DialogDriver.h"
#include "output/LeagueData.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"

#include <QFile>
#include <QListWidget>
#include <QTreeWidget>

namespace torvm::ui {
namespace {

using test::child;
using test::click;

class ErgebnisDateiDlgTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::LeagueData data{*comp.db()};
    test::ScriptedPrompter prompter;

    void SetUp() override
    {
        data.exec("INSERT INTO Verein (Vereinsnummer, Name) VALUES (10, 'SV Tell'), (11, 'SG Au')");
        data.exec("INSERT INTO Teilnehmer (\"Paßnummer\", Name, Vorname, Verein) VALUES (1, 'Huber', 'Anna', 10), "
                  "(2, 'Kunz', 'Carl', 11), (3, 'Roth', 'Eva', 10), (4, 'Weiß', 'Dora', 11)");
        data.exec("INSERT INTO Gruppe (ID, Name, Anzahl, Plan, Verein01, VNr01, Verein02, VNr02, Verein03, VNr03, "
                  "Verein04, VNr04) VALUES (0, 'Kreisliga', 1, 0, 10, '1', 11, '1', 10, '2', 11, '2')");
        data.exec("INSERT INTO Plan (PlanID, Name, A1, B1, A2, B2) VALUES (0, 'P', 1, 2, 3, 4)");
    }

    QString ringsOf(int key)
    {
        Statement st =
            comp.db()->prepare("SELECT \"Ergebnis\" FROM \"Wettkampf\" WHERE \"ID\" = " + std::to_string(key));
        return st.next() ? st.text(0) : QStringLiteral("keine Zeile");
    }
};

// Pairing 2 names an unknown shooter and starts unticked; the user ticks all, then leaves out pairing 1.
TEST_F(ErgebnisDateiDlgTest, StoresOnlyTheTickedPairings)
{
    const QString path = comp.file(QStringLiteral("ergebnisse.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Gruppe;Durchgang;Begegnung;Seite;Zeile;Paßnummer;Ringe\n"
               "Kreisliga;1;1;A;1;1;95\nKreisliga;1;1;B;1;2;94\n"
               "Kreisliga;1;2;A;1;3;93\nKreisliga;1;2;B;1;99;92\n");
    file.close();
    prompter.files.push_back(path);
    test::whenShown<CErgebnisVorschauDlg>([](CErgebnisVorschauDlg& dlg) {
        auto* list = child<QTreeWidget>(&dlg, "begegnungen");
        ASSERT_EQ(list->topLevelItemCount(), 2);
        EXPECT_EQ(list->topLevelItem(0)->text(0),
                  QStringLiteral("Kreisliga, Durchgang 1, Begegnung 1: SV Tell 1 95 : 94 SG Au 1"));
        EXPECT_EQ(list->topLevelItem(0)->checkState(0), Qt::Checked);
        EXPECT_EQ(list->topLevelItem(1)->checkState(0), Qt::Unchecked);
        ASSERT_EQ(list->topLevelItem(1)->childCount(), 1);
        EXPECT_EQ(list->topLevelItem(1)->child(0)->text(0),
                  QStringLiteral("Warnung: SG Au 2, Zeile 1: Die Paßnummer 99 gehört zu keinem Teilnehmer."));
        click(&dlg, "alle");
        list->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        click(&dlg, "ok");
    });
    runResultFormImport(nullptr, comp.doc());

    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("1 Begegnung gespeichert.")});
    EXPECT_EQ(ringsOf(301), QStringLiteral("93"));
    EXPECT_EQ(ringsOf(401), QStringLiteral("92"));
    EXPECT_EQ(ringsOf(101), QStringLiteral("keine Zeile"));
}

// The form covers the ticked groups; none ticked is refused and the dialog stays.
TEST_F(ErgebnisDateiDlgTest, FormCoversTheTickedGroups)
{
    data.exec("INSERT INTO Gruppe (ID, Name, Anzahl, Plan, Verein01, VNr01, Verein02, VNr02) VALUES "
              "(1, 'Bezirksliga', 1, 0, 10, '3', 11, '3')");
    const QString path = comp.file(QStringLiteral("vorlage.csv"));
    prompter.files.push_back(path);
    test::whenShown<CVorlageDlg>([this](CVorlageDlg& dlg) {
        auto* groups = child<QListWidget>(&dlg, "gruppen");
        ASSERT_EQ(groups->count(), 2);
        for (int i = 0; i < 2; ++i)
            groups->item(i)->setCheckState(Qt::Unchecked);
        click(&dlg, "ok");
        EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Bitte wählen Sie mindestens eine Gruppe.")});
        EXPECT_TRUE(dlg.isVisible());
        groups->item(1)->setCheckState(Qt::Checked);
        click(&dlg, "ok");
    });
    runResultFormExport(nullptr, comp.doc());

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList groupsInFile;
    for (const QByteArray& line : file.readAll().split('\n').mid(1)) {
        if (!line.isEmpty())
            groupsInFile << QString::fromUtf8(line.left(line.indexOf(';')));
    }
    groupsInFile.removeDuplicates();
    EXPECT_EQ(groupsInFile, QStringList{QStringLiteral("Bezirksliga")});
}

TEST_F(ErgebnisDateiDlgTest, MalformedFileIsNamedAndNothingIsStored)
{
    const QString path = comp.file(QStringLiteral("kaputt.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "Gruppe;Durchgang;Begegnung;Seite;Zeile;Paßnummer;Ringe\nKreisliga;1;1;A;1;1;95\nKreisliga;1;1;C;1;2;94\n");
    file.close();
    prompter.files.push_back(path);
    runResultFormImport(nullptr, comp.doc());

    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Die Datei enthält fehlerhafte Zeilen; es wurde nichts "
                                                           "gespeichert.\nZeile 3: Seite „C“ ist weder A noch B.")});
    EXPECT_EQ(ringsOf(101), QStringLiteral("keine Zeile"));
}

} // namespace
} // namespace torvm::ui
