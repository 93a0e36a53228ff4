#include "masterdata/ui/ListenDlg.h"
#include "masterdata/ui/DialogDriver.h"
#include "masterdata/ui/ListenDlgFixture.h"
#include "masterdata/ui/TeilnehmerDlg.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QStyle>
#include <QTableView>

namespace torvm::ui {
namespace {

using test::child;
using test::click;

TEST_F(ListenDlgTest, ParticipantListSearchesSortsAndDeletesOnlyWhatIsUnused)
{
    CListenDlg dlg(comp.doc(), MasterList::Participants);
    test::showActive(&dlg);
    auto* view = child<QTableView>(&dlg, "list");
    EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>(&dlg, "search"));
    EXPECT_EQ(column(view, 1),
              (QStringList{QStringLiteral("Müller"), QStringLiteral("Oster"), QStringLiteral("Östermeier")}));

    child<QLineEdit>(&dlg, "search")->insert(QStringLiteral("ö")); // no key of the test keyboard
    QTest::keyClicks(child<QLineEdit>(&dlg, "search"), QStringLiteral("stermeier"));
    EXPECT_EQ(column(view, 1), QStringList{QStringLiteral("Östermeier")});
    child<QLineEdit>(&dlg, "search")->clear();
    QTest::keyClicks(child<QLineEdit>(&dlg, "search"), QStringLiteral("OST"));
    EXPECT_EQ(column(view, 0), (QStringList{QStringLiteral("30"), QStringLiteral("7")})); // "ö" as "o"
    // Down goes from the search into the list, onto its first row.
    QTest::keyClick(child<QLineEdit>(&dlg, "search"), Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), view);
    EXPECT_EQ(view->currentIndex().row(), 0);

    // A click on the number heading sorts by number, a second one turns the order round.
    child<QLineEdit>(&dlg, "search")->clear();
    QHeaderView* header = view->horizontalHeader();
    const QPoint numberHeading(header->sectionViewportPosition(0) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, numberHeading);
    const QStringList first = column(view, 0);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, numberHeading);
    const QStringList second = column(view, 0);
    EXPECT_NE(first, second);
    EXPECT_TRUE((first == QStringList{QStringLiteral("7"), QStringLiteral("12"), QStringLiteral("30")} &&
                 second == QStringList{QStringLiteral("30"), QStringLiteral("12"), QStringLiteral("7")}) ||
                (second == QStringList{QStringLiteral("7"), QStringLiteral("12"), QStringLiteral("30")} &&
                 first == QStringList{QStringLiteral("30"), QStringLiteral("12"), QStringLiteral("7")}));

    // A participant with results stays.
    selectRowOf(view, QStringLiteral("7"), 0);
    click(&dlg, "delete");
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("Ergebniszeile")));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Teilnehmer"), 3);

    // One without is deleted after the question; No keeps it.
    selectRowOf(view, QStringLiteral("12"), 0);
    prompter.replies = {Reply::No};
    click(&dlg, "delete");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Teilnehmer"), 3);
    prompter.replies = {Reply::Yes};
    click(&dlg, "delete");
    EXPECT_EQ(prompter.messages.back().text, QStringLiteral("Teilnehmer Müller (12) wirklich löschen?"));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Teilnehmer"), 2);
    EXPECT_EQ(column(view, 0).size(), 2);
    click(&dlg, "close");
}

TEST_F(ListenDlgTest, ClubListRefusesClubsStillUsed)
{
    exec("INSERT INTO Gruppe (ID, Name, Verein02) VALUES (0, 'Gauliga', 3)");
    CListenDlg dlg(comp.doc(), MasterList::Clubs);
    test::showActive(&dlg);
    auto* view = child<QTableView>(&dlg, "list");
    EXPECT_EQ(column(view, 1), (QStringList{QStringLiteral("KK Leer"), QStringLiteral("SG Öd"),
                                            QStringLiteral("SV Tell")})); // by sort name, "Öd" as "Od"
    struct Case {
        const char* club;
        const char* refusal; // empty: deleted
    };
    for (const Case& c : {Case{"SV Tell", "2 Teilnehmer"}, Case{"KK Leer", "und 1 Gruppe führt ihn"}}) {
        SCOPED_TRACE(c.club);
        prompter.messages.clear();
        selectRowOf(view, QString::fromUtf8(c.club), 1);
        click(&dlg, "delete");
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_TRUE(prompter.messages[0].text.contains(QString::fromUtf8(c.refusal)));
    }
    exec("UPDATE Teilnehmer SET Verein = 1 WHERE Verein = 2");
    prompter.messages.clear();
    prompter.replies = {Reply::Yes};
    selectRowOf(view, QStringLiteral("SG Öd"), 1);
    click(&dlg, "delete");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Verein WHERE Vereinsnummer = 2"), 0);
    EXPECT_EQ(column(view, 1).size(), 2);
    click(&dlg, "close");
}

TEST_F(ListenDlgTest, EditOpensTheEditorOnTheChosenEntry)
{
    CListenDlg dlg(comp.doc(), MasterList::Participants);
    test::showActive(&dlg);
    auto* view = child<QTableView>(&dlg, "list");
    selectRowOf(view, QStringLiteral("30"), 0);
    QString opened;
    test::whenShown<CTeilnehmerDlg>([&opened](CTeilnehmerDlg& editor) {
        auto* surname = child<QLineEdit>(&editor, "name");
        opened = surname->text();
        surname->setText(QStringLiteral("Osterer"));
        click(&editor, "ok");
    });
    click(&dlg, "edit");
    EXPECT_EQ(opened, QStringLiteral("Oster"));
    EXPECT_TRUE(column(view, 1).contains(QStringLiteral("Osterer"))); // shown afresh

    // "Neu" leaves the new participant chosen, as the club and group lists do.
    test::whenShown<CTeilnehmerDlg>([](CTeilnehmerDlg& editor) {
        child<QLineEdit>(&editor, "name")->setText(QStringLiteral("Neumann"));
        click(&editor, "ok");
    });
    click(&dlg, "new");
    const QModelIndex chosen = view->currentIndex();
    ASSERT_TRUE(view->selectionModel()->isRowSelected(chosen.row()));
    EXPECT_EQ(view->model()->index(chosen.row(), 1).data().toString(), QStringLiteral("Neumann"));
    click(&dlg, "close");
}

// A heading is whole: its text in bold (a highlighted heading's face), the style's margin on both
// sides and, since a click sorts, the room the style keeps beside it for the sort arrow.
TEST_F(ListenDlgTest, EveryColumnIsAsWideAsItsHeading)
{
    for (const MasterList kind : {MasterList::Clubs, MasterList::Participants, MasterList::Groups}) {
        CListenDlg dlg(comp.doc(), kind);
        test::showActive(&dlg);
        const QHeaderView* header = child<QTableView>(&dlg, "list")->horizontalHeader();
        const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        QFont bold = header->font();
        bold.setBold(true);
        ASSERT_TRUE(header->isSortIndicatorShown());
        for (int section = 0; section < header->count(); ++section) {
            const QString text = header->model()->headerData(section, Qt::Horizontal).toString();
            EXPECT_GE(header->sectionSize(section),
                      QFontMetrics(bold).horizontalAdvance(text) + 4 * margin + header->height() / 2)
                << dlg.windowTitle().toStdString() << ": " << text.toStdString();
        }
    }
}

} // namespace
} // namespace torvm::ui
