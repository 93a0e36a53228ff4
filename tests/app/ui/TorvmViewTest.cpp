#include "app/ui/TorvmView.h"
#include "app/ui/AppFixture.h"
#include "app/ui/ChildFrame.h"
#include "app/ui/DialogRegistry.h"
#include "app/ui/MainFrame.h"
#include "controls/ui/HyperLink.h"
#include "masterdata/ui/DialogDriver.h"
#include "output/OverviewLeague.h"
#include "results/ui/WettkampfDlg.h"
#include "widgets/CommandIds.h"

#include <QAction>
#include <QLineEdit>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace torvm {
namespace {

namespace cmd = ui::cmd;
using test::AppFixture;
using Lines = std::vector<std::string>;

QString league(AppFixture& f)
{
    const QString path = f.competition(QStringLiteral("liga.mdb"));
    CTorvmDoc doc;
    EXPECT_TRUE(doc.OnOpenDocument(path) && test::fillOverviewLeague(doc.GetDatabase()));
    return path;
}

// What the overview shows: group names and round counts, the first table's rows, the links.
Lines shown(const ui::CTorvmView* view)
{
    Lines lines;
    for (const QLabel* label : view->findChildren<QLabel*>()) {
        if (label->objectName() == QStringLiteral("name") || label->objectName() == QStringLiteral("stand"))
            lines.push_back(label->text().toStdString());
    }
    if (const auto* table = view->findChild<QTableWidget*>(QStringLiteral("tabelle1"))) {
        for (int row = 0; row < table->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < table->columnCount(); ++column)
                cells << table->item(row, column)->text();
            lines.push_back(cells.join(QLatin1Char('|')).toStdString());
        }
    }
    for (const ui::CHyperLink* link : view->findChildren<ui::CHyperLink*>(QStringLiteral("ausstehend")))
        lines.push_back(link->text().toStdString());
    return lines;
}

// The link of an overdue pairing opens the entry there; what is stored shows at once in the
// standings, the count and the links. Every round lies in the past, so all without a result are overdue.
TEST(CompetitionWindow, AnOverduePairingsLinkOpensTheEntryThereAndTheSaveShowsInTheOverview)
{
    AppFixture f;
    ui::CTorvmApp& app = f.start(league(f));
    ui::registerDialogs(app.commands());
    ui::CTorvmView* view = app.mainFrame()->activeChild()->view();
    const Lines later{"Durchgang 3, Paarung 1 (08.11.2024): SV Adler 1 – SG Linde 1",
                      "Durchgang 3, Paarung 2 (08.11.2024): SG Tell 1 – KK Eiche 1",
                      "Durchgang 1, Paarung 1 (15.11.2024): SV Adler 2 – SG Tell 2"};
    const auto with = [&later](Lines lines) {
        lines.insert(lines.end(), later.begin(), later.end());
        return lines;
    };
    EXPECT_EQ(shown(view), with({"Kreisliga", "Durchgang 2: 1 von 2 Begegnungen mit Ergebnis", "Bezirksliga",
                                 "Durchgang 1: 0 von 1 Begegnung mit Ergebnis", "1.|SV Adler 1|2 : 2|575",
                                 "|KK Eiche 1|2 : 2|556", "|SG Linde 1|2 : 0|275", "4.|SG Tell 1|0 : 2|280",
                                 "Durchgang 2, Paarung 2 (18.10.2024): SG Tell 1 – SG Linde 1"}));

    bool entered = false;
    test::whenShown<ui::CWettkampfDlg>([&entered](ui::CWettkampfDlg& dlg) {
        EXPECT_EQ(std::vector<int>({dlg.group(), dlg.round(), dlg.pairing()}), std::vector<int>({0, 1, 1}));
        QTest::keyClicks(test::child<QLineEdit>(&dlg, "ringsA1"), QStringLiteral("281"));
        QTest::keyClicks(test::child<QLineEdit>(&dlg, "ringsB1"), QStringLiteral("279"));
        test::click(&dlg, "ok");
        entered = true;
    });
    QTest::mouseClick(view->findChildren<ui::CHyperLink*>(QStringLiteral("ausstehend")).front(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(entered, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(shown(view),
                              with({"Kreisliga", "Durchgang 2: 2 von 2 Begegnungen mit Ergebnis", "Bezirksliga",
                                    "Durchgang 1: 0 von 1 Begegnung mit Ergebnis", "1.|SV Adler 1|2 : 2|575",
                                    "|SG Tell 1|2 : 2|561", "|KK Eiche 1|2 : 2|556", "|SG Linde 1|2 : 2|554"}),
                              5000);
}

// A dialog that edits what the standings come from has the overview read again once it closes;
// one that cannot change them leaves it alone.
TEST(CompetitionWindow, CommandsThatChangeTheStandingsRefreshTheOverview)
{
    AppFixture f;
    ui::CTorvmApp& app = f.start(league(f));
    ui::CTorvmView* view = app.mainFrame()->activeChild()->view();
    const struct {
        int command;
        const char* renamed;
        const char* shown;
    } cases[] = {{cmd::Gruppe, "Gauliga", "Gauliga"},
                 {cmd::Teilnehmer, "Kreisklasse", "Gauliga"},
                 {cmd::Wertungsregeln, "Kreisoberliga", "Kreisoberliga"}};
    for (const auto& c : cases) {
        app.commands().setOpener(c.command, [&c](CTorvmDoc& doc, QWidget*) {
            const std::string sql = std::string(R"(UPDATE "Gruppe" SET "Name" = ')") + c.renamed + "' WHERE \"ID\" = 0";
            ASSERT_TRUE(doc.GetDatabase()->execute(sql.c_str()));
        });
        app.mainFrame()->action(c.command)->trigger();
        QCoreApplication::processEvents();
        EXPECT_EQ(shown(view).front(), c.shown) << c.command;
    }
}

} // namespace
} // namespace torvm
