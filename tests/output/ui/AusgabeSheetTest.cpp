#include "output/ui/AusgabeSheet.h"

#include "db/Database.h"
#include "db/Settings.h"
#include "db/Tables.h"
#include "output/PrintJob.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace torvm::ui {
namespace {

constexpr int kTerminTab = 1;
constexpr int kGruppeTab = 2;
constexpr int kTabelleTab = 3;
constexpr int kEinzelTab = 4;
constexpr int kTeilnehmerTab = 5;

class AusgabeSheetTest : public ::testing::Test {
protected:
    test::TempCompetition comp;

    void SetUp() override
    {
        ASSERT_TRUE(comp.db()->execute("INSERT INTO Verein (Vereinsnummer, Name) VALUES (10, 'SV Tell')"));
        ASSERT_TRUE(comp.db()->execute("INSERT INTO Gruppe (ID, Name, Anzahl, Plan, Verein01, VNr01) VALUES "
                                       "(0, 'Gauliga', 2, 0, 10, '1'), (1, 'Kreisliga', 2, 0, 10, '2'), "
                                       "(2, 'Bezirksliga', 2, 0, 10, '3')"));
    }

    int stored(const char* section, const char* key, int fallback = -1)
    {
        CProfileTable profile(comp.db(), &comp.doc());
        return profile.GetInt(QString::fromLatin1(section), QString::fromLatin1(key), fallback);
    }

    template <typename T> static T* child(QWidget* parent, const char* name)
    {
        T* widget = parent->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    static void click(QWidget* parent, const char* name)
    {
        QTest::mouseClick(child<QPushButton>(parent, name), Qt::LeftButton);
    }

    // Check boxes by keyboard, as a user tabbing through the sheet does.
    static void toggle(QWidget* parent, const char* name)
    {
        auto* box = child<QCheckBox>(parent, name);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Space);
    }

    static void clickItem(QListWidget* list, int row)
    {
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
};

TEST_F(AusgabeSheetTest, ShowsTheStoredChoicesAndStoresTheConfirmedOnes)
{
    {
        CProfileTable profile(comp.db(), &comp.doc());
        ASSERT_TRUE(profile.WriteInt(QStringLiteral("VMPrintAll"), QStringLiteral("Durchgang"), 3));
        ASSERT_TRUE(profile.WriteInt(QStringLiteral("VMPrintAll"), QStringLiteral("Tabelle"), 1));
        ASSERT_TRUE(profile.WriteInt(QStringLiteral("PrintTabelle"), QStringLiteral("Ergebnis"), 0));
    }
    AusgabeSheet sheet(comp.doc());
    sheet.show();
    ASSERT_EQ(sheet.tabs()->count(), 8);
    const QStringList tabs = {QStringLiteral("Ausgabe"), QStringLiteral("Terminplan"), QStringLiteral("Gruppe"),
                              QStringLiteral("Tabelle"), QStringLiteral("Einzel"),     QStringLiteral("Teilnehmer"),
                              QStringLiteral("Gesamt"),  QStringLiteral("Bericht")};
    for (int i = 0; i < tabs.size(); ++i)
        EXPECT_EQ(sheet.tabs()->tabText(i), tabs[i]);
    auto* round = child<QComboBox>(&sheet, "Durchgang");
    EXPECT_EQ(round->count(), 20);
    EXPECT_EQ(round->currentIndex(), 3);
    struct Box {
        const char* name;
        bool checked;
    };
    for (const Box& b : {Box{"Termin", false}, Box{"Gruppe", false}, Box{"Tabelle", true}, Box{"Einzel", false},
                         Box{"Verein", false}, Box{"Teilnehmer", false}}) {
        SCOPED_TRACE(b.name);
        EXPECT_EQ(child<QCheckBox>(sheet.tabs()->widget(0), b.name)->isChecked(), b.checked);
    }
    QWidget* tabelle = sheet.tabs()->widget(kTabelleTab);
    EXPECT_FALSE(child<QCheckBox>(tabelle, "Ergebnis")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(tabelle, "Tabelle")->isChecked());
    EXPECT_TRUE(child<QRadioButton>(tabelle, "alleGruppen")->isChecked());

    round->setCurrentIndex(5);
    toggle(sheet.tabs()->widget(0), "Einzel");
    toggle(sheet.tabs()->widget(0), "Tabelle");
    sheet.tabs()->setCurrentIndex(kTabelleTab);
    toggle(tabelle, "Ergebnis");
    click(&sheet, "ok");

    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(stored("VMPrintAll", "Durchgang"), 5);
    EXPECT_EQ(stored("VMPrintAll", "Einzel"), 1);
    EXPECT_EQ(stored("VMPrintAll", "Tabelle"), 0);
    EXPECT_EQ(stored("VMPrintAll", "Termin"), 0);
    EXPECT_EQ(stored("PrintTabelle", "Ergebnis"), 1);
    EXPECT_EQ(stored("PrintTabelle", "Tabelle"), 1);
    const OutputSettings& s = sheet.settings();
    EXPECT_EQ(s.round, 5);
    EXPECT_TRUE(s.chosen(Output::Einzel));
    EXPECT_FALSE(s.chosen(Output::Tabelle));
    EXPECT_TRUE(s.ergebnis);
    EXPECT_FALSE(s.groups.has_value());
}

TEST_F(AusgabeSheetTest, CancelStoresNothing)
{
    AusgabeSheet sheet(comp.doc());
    sheet.show();
    toggle(sheet.tabs()->widget(0), "Verein");
    click(&sheet, "cancel");
    EXPECT_EQ(sheet.result(), QDialog::Rejected);
    EXPECT_EQ(stored("VMPrintAll", "Verein"), -1);
}

TEST_F(AusgabeSheetTest, ClickingIntoTheGroupListChoosesTheSelectedGroups)
{
    struct Case {
        std::vector<int> clicks; // rows clicked; a second click deselects
        std::vector<int> groups;
        int pages;
    };
    for (const Case& c : {Case{{2}, {2}, 1}, Case{{2, 0}, {0, 2}, 2}, Case{{1, 1}, {}, 0}}) {
        SCOPED_TRACE(c.clicks.size());
        AusgabeSheet sheet(comp.doc());
        sheet.show();
        if (!child<QCheckBox>(sheet.tabs()->widget(0), "Tabelle")->isChecked()) // kept from the case before
            toggle(sheet.tabs()->widget(0), "Tabelle");
        sheet.tabs()->setCurrentIndex(kTabelleTab);
        QWidget* tabelle = sheet.tabs()->widget(kTabelleTab);
        auto* list = child<QListWidget>(tabelle, "Gruppen");
        ASSERT_EQ(list->count(), 3);
        EXPECT_EQ(list->item(2)->text(), QStringLiteral("Bezirksliga"));
        for (const int row : c.clicks)
            clickItem(list, row);
        EXPECT_TRUE(child<QRadioButton>(tabelle, "gewaehlteGruppen")->isChecked());
        EXPECT_FALSE(child<QRadioButton>(tabelle, "alleGruppen")->isChecked());
        click(&sheet, "ok");
        ASSERT_TRUE(sheet.settings().groups.has_value());
        EXPECT_EQ(*sheet.settings().groups, c.groups);
        // The choice of groups is the run's alone: the next sheet starts with all groups.
        AusgabeSheet next(comp.doc());
        EXPECT_TRUE(child<QRadioButton>(next.tabs()->widget(kTabelleTab), "alleGruppen")->isChecked());
        const PrintJob job(comp.doc(), sheet.settings());
        EXPECT_EQ(job.totalPages(), c.pages);
    }
}

TEST_F(AusgabeSheetTest, RankingPlacesAreCheckedBeforeAnythingIsStored)
{
    struct Case {
        const char* platz;
        bool accepted;
        int stored; // "Platz" afterwards; -1 = never written
    };
    for (const Case& c : {Case{"abc", false, -1}, Case{"100001", false, -1}, Case{"-1", false, -1}, Case{"0", true, 0},
                          Case{" 100000 ", true, 100000}}) {
        SCOPED_TRACE(c.platz);
        test::ScriptedPrompter prompter;
        AusgabeSheet sheet(comp.doc());
        sheet.show();
        QWidget* einzel = sheet.tabs()->widget(kEinzelTab);
        auto* platz = child<QLineEdit>(einzel, "Platz");
        const int before = stored("PrintEinzel", "Platz");
        EXPECT_EQ(platz->text(), QString::number(before == -1 ? 10 : before));
        platz->setText(QString::fromLatin1(c.platz));
        sheet.tabs()->setCurrentIndex(kEinzelTab);
        QTest::mouseClick(child<QRadioButton>(einzel, "Klasse2"), Qt::LeftButton, {}, QPoint(4, 4));
        sheet.tabs()->setCurrentIndex(0); // a refusal brings the page with the field back
        click(&sheet, "ok");
        EXPECT_EQ(sheet.isVisible(), !c.accepted);
        EXPECT_EQ(stored("PrintEinzel", "Platz", -1), c.accepted ? c.stored : before);
        if (c.accepted) {
            EXPECT_TRUE(prompter.messages.empty());
            EXPECT_EQ(stored("PrintEinzel", "Klasse"), 2);
            EXPECT_EQ(sheet.settings().klasse, RankingClassMode::None);
        } else {
            ASSERT_EQ(prompter.messages.size(), 1u);
            EXPECT_EQ(sheet.tabs()->currentIndex(), kEinzelTab);
            EXPECT_EQ(stored("VMPrintAll", "Durchgang"), -1); // nothing of the sheet stored
        }
        if (QString::fromLatin1(c.platz) == QStringLiteral("100001")) {
            EXPECT_EQ(prompter.messages.at(0).text,
                      QStringLiteral("Geben Sie bitte eine ganze Zahl zwischen 0 und 100000 ein."));
        }
    }
}

TEST_F(AusgabeSheetTest, PlansAndSortAreShownAndStoredWhereTheyBelong)
{
    {
        CPlanTable plans(comp.db(), &comp.doc());
        ASSERT_TRUE(plans.OpenTable());
        ASSERT_TRUE(plans.SetPlanName(0, QStringLiteral("Vorrunde")));
        ASSERT_TRUE(plans.SetPlanName(2, QStringLiteral("Rückrunde")));
        writeProfileInt(QStringLiteral("VMPrintTermin"), QStringLiteral("Plan2"), 1);
        CProfileTable profile(comp.db(), &comp.doc());
        ASSERT_TRUE(profile.WriteInt(QStringLiteral("PrintTeilnehmer"), QStringLiteral("Sort"), 1));
    }
    struct Round {
        std::vector<const char*> toggle; // plan boxes clicked
        int sort;                        // radio button clicked
        std::array<bool, kPlanCount> plans;
    };
    // The first sheet shows what was stored before; each later one what the one before stored.
    std::array<bool, kPlanCount> shownPlans{false, true, false, false, false};
    int shownSort = 1;
    for (const Round& r :
         {Round{{"Plan1", "Plan2"}, 0, {true, false, false, false, false}},
          Round{{"Plan5"}, 1, {true, false, false, false, true}}, Round{{}, 1, {true, false, false, false, true}}}) {
        SCOPED_TRACE(r.toggle.size());
        AusgabeSheet sheet(comp.doc());
        sheet.show();
        QWidget* termin = sheet.tabs()->widget(kTerminTab);
        const QStringList captions = {QStringLiteral("Vorrunde"), QStringLiteral("Plan 2"), QStringLiteral("Rückrunde"),
                                      QStringLiteral("Plan 4"), QStringLiteral("Plan 5")};
        for (int p = 0; p < kPlanCount; ++p) {
            auto* box = child<QCheckBox>(termin, QStringLiteral("Plan%1").arg(p + 1).toLatin1().constData());
            EXPECT_EQ(box->text(), captions[p]);
            EXPECT_EQ(box->isChecked(), shownPlans[p]) << p;
        }
        QWidget* teilnehmer = sheet.tabs()->widget(kTeilnehmerTab);
        EXPECT_TRUE(child<QRadioButton>(teilnehmer, shownSort == 1 ? "Sort1" : "Sort0")->isChecked());

        sheet.tabs()->setCurrentIndex(kTerminTab);
        for (const char* name : r.toggle)
            toggle(termin, name);
        sheet.tabs()->setCurrentIndex(kTeilnehmerTab);
        QTest::mouseClick(child<QRadioButton>(teilnehmer, r.sort == 1 ? "Sort1" : "Sort0"), Qt::LeftButton, {},
                          QPoint(4, 4));
        click(&sheet, "ok");

        EXPECT_EQ(sheet.settings().plans, r.plans);
        EXPECT_EQ(sheet.settings().sort, r.sort);
        // The plans belong to the workplace, the order of the list to the competition.
        for (int p = 0; p < kPlanCount; ++p) {
            EXPECT_EQ(profileInt(QStringLiteral("VMPrintTermin"), QStringLiteral("Plan%1").arg(p + 1), -1),
                      r.plans[p] ? 1 : 0);
        }
        EXPECT_EQ(stored("PrintTeilnehmer", "Sort"), r.sort);
        EXPECT_EQ(loadOutputSettings(comp.doc()).plans, r.plans);
        shownPlans = r.plans;
        shownSort = r.sort;
    }
}

TEST_F(AusgabeSheetTest, GroupSheetsAndTablesChooseTheirGroupsApart)
{
    struct Case {
        int tab;
        std::vector<int> clicks;
        std::optional<std::vector<int>> sheetGroups;
        std::optional<std::vector<int>> tableGroups;
    };
    for (const Case& c : {Case{kGruppeTab, {1}, std::vector<int>{1}, std::nullopt},
                          Case{kTabelleTab, {2, 0}, std::nullopt, std::vector<int>{0, 2}},
                          Case{kGruppeTab, {}, std::nullopt, std::nullopt}}) {
        SCOPED_TRACE(c.tab);
        AusgabeSheet sheet(comp.doc());
        sheet.show();
        sheet.tabs()->setCurrentIndex(c.tab);
        QWidget* page = sheet.tabs()->widget(c.tab);
        EXPECT_TRUE(child<QRadioButton>(page, "alleGruppen")->isChecked());
        auto* list = child<QListWidget>(page, "Gruppen");
        ASSERT_EQ(list->count(), 3);
        for (const int row : c.clicks)
            clickItem(list, row);
        click(&sheet, "ok");
        EXPECT_EQ(sheet.settings().sheetGroups, c.sheetGroups);
        EXPECT_EQ(sheet.settings().groups, c.tableGroups);
    }
}

} // namespace
} // namespace torvm::ui
