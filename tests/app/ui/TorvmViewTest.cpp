#include "app/ui/TorvmView.h"
#include "app/ui/AppFixture.h"
#include "app/ui/ChildFrame.h"
#include "app/ui/DialogRegistry.h"
#include "app/ui/MainFrame.h"
#include "controls/ui/HyperLink.h"
#include "masterdata/ui/DialogDriver.h"
#include "results/ui/WettkampfDlg.h"
#include "widgets/CommandIds.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace torvm {
namespace {

namespace cmd = ui::cmd;
using test::AppFixture;

// Four teams of one shooter, every round long past: round 1 complete, round 2 without Tell - Linde,
// round 3 not entered.
QString league(AppFixture& f)
{
    const QString path = f.competition(QStringLiteral("liga.mdb"), QStringLiteral("Gauliga"));
    CTorvmDoc doc;
    EXPECT_TRUE(doc.OnOpenDocument(path));
    EXPECT_TRUE(doc.GetDatabase()->execute(R"(
        INSERT INTO "Verein" ("Vereinsnummer", "Name") VALUES (1, 'SV Adler'), (2, 'SG Tell'), (3, 'KK Eiche'),
            (4, 'SG Linde');
        INSERT INTO "Plan" ("PlanID", "Name", "Datum1", "A1", "B1", "A2", "B2") VALUES
            (0, 'Vier', '2024-10-04 19:30:00', 1, 2, 3, 4), (1, 'Vier', '2024-10-18 19:30:00', 1, 3, 2, 4),
            (2, 'Vier', '2024-11-08 19:30:00', 1, 4, 2, 3);
        INSERT INTO "Gruppe" ("ID", "Name", "Anzahl", "Plan", "Verein01", "VNr01", "Verein02", "VNr02", "Verein03",
            "VNr03", "Verein04", "VNr04") VALUES (0, 'Kreisliga', 1, 0, 1, '1', 2, '1', 3, '1', 4, '1');
        INSERT INTO "Wettkampf" ("ID", "TNr", "Ergebnis") VALUES (101, 0, 290), (201, 0, 280), (301, 0, 270),
            (401, 0, 275), (10101, 0, 285), (10301, 0, 286);)"));
    return path;
}

std::vector<std::string> standings(const ui::CTorvmView* view)
{
    std::vector<std::string> rows;
    const auto* table = view->findChild<QTableWidget*>(QStringLiteral("tabelle1"));
    for (int row = 0; table && row < table->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column)
            cells << table->item(row, column)->text();
        rows.push_back(cells.join(QLatin1Char('|')).toStdString());
    }
    return rows;
}

std::vector<std::string> links(const ui::CTorvmView* view)
{
    std::vector<std::string> texts;
    for (const ui::CHyperLink* link : view->findChildren<ui::CHyperLink*>(QStringLiteral("ausstehend")))
        texts.push_back(link->text().toStdString());
    return texts;
}

QString progress(const ui::CTorvmView* view)
{
    const auto* label = view->findChild<QLabel*>(QStringLiteral("stand"));
    return label ? label->text() : QString();
}

// The link of the overdue pairing opens the entry there; what is stored there shows at once in the
// standings, the count and the links.
TEST(CompetitionWindow, AnOverduePairingsLinkOpensTheEntryThereAndTheSaveShowsInTheOverview)
{
    AppFixture f;
    ui::CTorvmApp& app = f.start(league(f));
    ui::registerDialogs(app.commands());
    ui::CTorvmView* view = app.mainFrame()->activeChild()->view();
    EXPECT_EQ(view->titleLabel(), QStringLiteral("Gauliga"));
    EXPECT_EQ(standings(view), (std::vector<std::string>{"1.|SV Adler 1|2 : 2|575", "|KK Eiche 1|2 : 2|556",
                                                         "|SG Linde 1|2 : 0|275", "4.|SG Tell 1|0 : 2|280"}));
    EXPECT_EQ(progress(view), QStringLiteral("Durchgang 2: 1 von 2 Begegnungen mit Ergebnis"));
    const std::vector<std::string> overdue{"Durchgang 2, Paarung 2 (18.10.2024): SG Tell 1 – SG Linde 1",
                                           "Durchgang 3, Paarung 1 (08.11.2024): SV Adler 1 – SG Linde 1",
                                           "Durchgang 3, Paarung 2 (08.11.2024): SG Tell 1 – KK Eiche 1"};
    ASSERT_EQ(links(view), overdue);

    bool entered = false;
    test::whenShown<ui::CWettkampfDlg>([&entered](ui::CWettkampfDlg& dlg) {
        EXPECT_EQ(dlg.group(), 0);
        EXPECT_EQ(dlg.round(), 1);
        EXPECT_EQ(dlg.pairing(), 1);
        QTest::keyClicks(test::child<QLineEdit>(&dlg, "ringsA1"), QStringLiteral("281"));
        QTest::keyClicks(test::child<QLineEdit>(&dlg, "ringsB1"), QStringLiteral("279"));
        test::click(&dlg, "ok");
        entered = true;
    });
    QTest::mouseClick(view->findChildren<ui::CHyperLink*>(QStringLiteral("ausstehend")).front(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(entered, 5000);

    QTRY_COMPARE_WITH_TIMEOUT(progress(view), QStringLiteral("Durchgang 2: 2 von 2 Begegnungen mit Ergebnis"), 5000);
    EXPECT_EQ(standings(view), (std::vector<std::string>{"1.|SV Adler 1|2 : 2|575", "|SG Tell 1|2 : 2|561",
                                                         "|KK Eiche 1|2 : 2|556", "|SG Linde 1|2 : 2|554"}));
    EXPECT_EQ(links(view), std::vector<std::string>(overdue.begin() + 1, overdue.end()));
}

// A dialog that edits what the standings come from has the overview read again once it closes;
// one that cannot change them leaves it alone.
TEST(CompetitionWindow, CommandsThatChangeTheStandingsRefreshTheOverview)
{
    AppFixture f;
    ui::CTorvmApp& app = f.start(league(f));
    ui::CTorvmView* view = app.mainFrame()->activeChild()->view();
    const auto heading = [view] {
        const auto* label = view->findChild<QLabel*>(QStringLiteral("name"));
        return label ? label->text().toStdString() : std::string();
    };
    ASSERT_EQ(heading(), "Kreisliga");
    const struct {
        int command;
        const char* renamed;
        const char* shown;
    } cases[] = {
        {cmd::Gruppe, "Gauliga", "Gauliga"},
        {cmd::Wertungsregeln, "Bezirksliga", "Bezirksliga"},
        {cmd::Teilnehmer, "Kreisklasse", "Bezirksliga"},
        {cmd::Verein, "Kreisoberliga", "Kreisoberliga"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        app.commands().setOpener(c.command, [&c](CTorvmDoc& doc, QWidget*) {
            ASSERT_TRUE(doc.GetDatabase()->execute(QStringLiteral(R"(UPDATE "Gruppe" SET "Name" = '%1')")
                                                       .arg(QString::fromUtf8(c.renamed))
                                                       .toUtf8()
                                                       .constData()));
        });
        app.mainFrame()->action(c.command)->trigger();
        QCoreApplication::processEvents();
        EXPECT_EQ(heading(), c.shown);
    }
}

} // namespace
} // namespace torvm
