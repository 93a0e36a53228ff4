#include "db/Messages.h"
#include "db/Tables.h"
#include "masterdata/ClassAssignment.h"
#include "masterdata/MasterListModel.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <vector>

namespace torvm {
namespace {

class MasterListTest : public ::testing::Test {
protected:
    test::TempCompetition comp;

    void exec(const char* sql)
    {
        ASSERT_TRUE(comp.db()->execute(sql)) << sql << ": " << comp.db()->lastError().text.toStdString();
    }
    void SetUp() override
    {
        exec("INSERT INTO Verein (Vereinsnummer, Name, Sortieren, Ort) VALUES (1, 'SV Tell', 'Tell', 'Au'), "
             "(2, 'SG Öd', 'Öd', 'Ebersberg')");
        exec("INSERT INTO Teilnehmer (Paßnummer, Name, Vorname, Verein, Ort) VALUES "
             "(7, 'Östermeier', 'Anna', 1, 'Au'), (12, 'Müller', 'Sepp', 2, 'Grafing'), "
             "(3, 'Straße', 'Kim', 1, 'Au'), (100, 'Huber', 'Jörg', 0, 'Zorneding')");
    }
    static std::vector<std::int32_t> keys(const MasterListModel& model)
    {
        std::vector<std::int32_t> result;
        for (int r = 0; r < model.rowCount(); ++r)
            result.push_back(model.keyAt(r));
        return result;
    }
};

TEST_F(MasterListTest, NameSearchFoldsCaseByUnicodeRules)
{
    struct Case {
        const char* typed;
        std::vector<std::int32_t> found;
    };
    const std::vector<Case> cases{
        // German order and search: "ss" finds "ß", and the first name counts as a part of the name.
        {"öst", {7}}, {"MÜL", {12}}, {"ÖSTER", {7}}, {"strasse", {3}}, {"straße", {3}}, {"sepp", {12}}, {"%", {}},
    };
    CTeilnehmerTable people(comp.db(), &comp.doc());
    ASSERT_TRUE(people.OpenTable());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        std::vector<std::int32_t> found;
        for (const ComboItem& item : people.NameComboItems(QString::fromUtf8(c.typed)))
            found.push_back(item.data);
        EXPECT_EQ(found, c.found);
    }
    CVereinTable clubs(comp.db(), &comp.doc());
    ASSERT_TRUE(clubs.OpenTable());
    ASSERT_EQ(clubs.ClubComboItems(QStringLiteral("sg öD")).size(), 1u);
}

TEST_F(MasterListTest, ParticipantListFiltersAndSorts)
{
    auto model = makeListModel(MasterList::Participants);
    ASSERT_TRUE(loadList(MasterList::Participants, comp.doc(), *model));
    EXPECT_EQ(keys(*model), (std::vector<std::int32_t>{100, 12, 7, 3})); // as read: by name, Ö as O
    EXPECT_EQ(model->data(model->index(1, 4)).toString(), QStringLiteral("SG Öd"));

    struct Case {
        const char* filter;
        int column;
        Qt::SortOrder order;
        std::vector<std::int32_t> shown;
    };
    const std::vector<Case> cases{
        {"", 0, Qt::AscendingOrder, {3, 7, 12, 100}}, // numbers by value, not as text
        {"", 0, Qt::DescendingOrder, {100, 12, 7, 3}},
        {"au", 0, Qt::AscendingOrder, {3, 7}}, // the town
        {"ÖD", 1, Qt::AscendingOrder, {12}},   // the club's name
        {"jör", 2, Qt::AscendingOrder, {100}}, // the first name
        {"12", 1, Qt::AscendingOrder, {12}},
        {"", 5, Qt::DescendingOrder, {100, 12, 7, 3}}, // equal towns keep the order read
        {"xyz", 1, Qt::AscendingOrder, {}},
        {"weiss", 1, Qt::AscendingOrder, {}},
        {"strasse kim", 1, Qt::AscendingOrder, {3}},  // each word in a cell of its own
        {"e k", 1, Qt::AscendingOrder, {3}},          // "Straße" and "Kim"
        {"ßek", 1, Qt::AscendingOrder, {}},           // never across two cells
        {"", 1, Qt::AscendingOrder, {100, 12, 7, 3}}, // Ö sorts as O
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        model->sort(c.column, c.order);
        model->setFilter(QString::fromUtf8(c.filter));
        EXPECT_EQ(keys(*model), c.shown);
    }
    EXPECT_EQ(model->totalCount(), 4);
}

TEST_F(MasterListTest, ParticipantsAreReadByNameFirstNameAndNumberWithTheirClub)
{
    exec("INSERT INTO Teilnehmer (Paßnummer, Name, Vorname, Verein) VALUES (101, 'Huber', 'Anna', 2), "
         "(50, 'Huber', 'Anna', 9), (51, 'huber', 'Anna', 1), (52, NULL, NULL, NULL)");
    auto model = makeListModel(MasterList::Participants);
    ASSERT_TRUE(loadList(MasterList::Participants, comp.doc(), *model));
    struct Row {
        std::int32_t key;
        const char* club; // name, empty for a club that does not exist
    };
    // German order: "huber" beside "Huber" (the exact text only breaks the tie), "Ö" as "O".
    const std::vector<Row> expected{{52, ""},        {50, ""},      {101, "SG Öd"}, {100, ""},
                                    {51, "SV Tell"}, {12, "SG Öd"}, {7, "SV Tell"}, {3, "SV Tell"}};
    ASSERT_EQ(model->rowCount(), static_cast<int>(expected.size()));
    for (int r = 0; r < model->rowCount(); ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(model->keyAt(r), expected[static_cast<std::size_t>(r)].key);
        EXPECT_EQ(model->data(model->index(r, 4)).toString(),
                  QString::fromUtf8(expected[static_cast<std::size_t>(r)].club));
    }
}

TEST_F(MasterListTest, DeletingTellsWhatStillUsesAnEntry)
{
    exec("INSERT INTO Gruppe (ID, Name, Verein03) VALUES (0, 'A', 2), (1, 'B', 2)");
    exec("INSERT INTO Wettkampf (ID, TNr, Durchgang, Ergebnis) VALUES (10101, 7, 0, 300)");
    CVereinTable clubs(comp.db(), &comp.doc());
    EXPECT_EQ(clubs.ClubUse(1), (std::pair<int, int>{2, 0}));
    EXPECT_EQ(clubs.ClubUse(2), (std::pair<int, int>{1, 2}));
    EXPECT_EQ(clubs.ClubUse(9), (std::pair<int, int>{0, 0}));
    CTeilnehmerTable people(comp.db(), &comp.doc());
    EXPECT_EQ(people.ResultRowCount(7), 1);
    EXPECT_EQ(people.ResultRowCount(12), 0);
    ASSERT_TRUE(people.DeleteParticipant(12));
    ASSERT_TRUE(clubs.DeleteClub(9)); // nothing there: nothing happens
    auto model = makeListModel(MasterList::Participants);
    ASSERT_TRUE(loadList(MasterList::Participants, comp.doc(), *model));
    EXPECT_EQ(model->rowOfKey(12), -1);
    EXPECT_EQ(model->totalCount(), 3);
}

TEST_F(MasterListTest, GroupListShowsEachGroupWithItsTeams)
{
    exec("INSERT INTO Gruppe (ID, Name, Verein01, VNr01, Verein04, VNr04) VALUES (0, 'Gauliga', 1, '1', 2, '2')");
    auto model = makeListModel(MasterList::Groups);
    ASSERT_TRUE(loadList(MasterList::Groups, comp.doc(), *model));
    ASSERT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->data(model->index(0, 2)).toString(), QStringLiteral("2"));
    EXPECT_EQ(model->data(model->index(0, 3)).toString(), QStringLiteral("M1 SV Tell 1, M4 SG Öd 2"));
}

// ----------------------------------------------------------------------------- class assignment

TEST_F(MasterListTest, ClassesFollowBirthdayAndSalutation)
{
    // Classes 1 ... 3 in class order: men born 1960-1979, anyone born 1970-1999, women 1960-1979.
    exec("UPDATE Klasse SET Name = 'Herren', von = '1960-01-01 00:00:00', bis = '1979-12-31 00:00:00', "
         "Geschlecht = 1 WHERE KlasseID = 1");
    exec("UPDATE Klasse SET Name = 'Offen', von = '1970-01-01 00:00:00', bis = '1999-12-31 00:00:00', "
         "Geschlecht = 0 WHERE KlasseID = 2");
    exec("UPDATE Klasse SET Name = 'Damen', von = '1960-01-01 00:00:00', bis = '1979-12-31 00:00:00', "
         "Geschlecht = 2 WHERE KlasseID = 3");
    exec("UPDATE Klasse SET von = NULL, bis = NULL WHERE KlasseID > 3");
    CKlassenTabelle classes;
    ASSERT_TRUE(classes.Load(comp.doc()));
    struct Case {
        const char* name;
        QDate birthday;
        int anrede;
        int held;
        int expected;
    };
    const std::vector<Case> cases{
        {"man in the men's range", QDate(1965, 5, 1), 1, 0, 1},
        {"woman in the same range skips the men's class", QDate(1965, 5, 1), 2, 0, 3},
        {"no salutation fits only an undivided class", QDate(1965, 5, 1), 0, 4, 4},
        {"first class in class order wins", QDate(1975, 1, 1), 1, 0, 1},
        {"undivided class for a woman in both ranges", QDate(1975, 1, 1), 2, 0, 2},
        {"the range's first day", QDate(1960, 1, 1), 1, 0, 1},
        {"the range's last day", QDate(1999, 12, 31), 0, 0, 2},
        {"no class fits: keeps the class", QDate(2005, 1, 1), 1, 5, 5},
        {"no birthday: keeps the class", QDate(), 1, 6, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(assignedClass(classes, {c.birthday, c.anrede, c.held}), c.expected);
    }

    exec("INSERT INTO Teilnehmer (Paßnummer, Name, Anrede, Geburtstag, Klasse) VALUES "
         "(201, 'A', 1, '1965-05-01 00:00:00', 0), (202, 'B', 2, '1965-05-01 00:00:00', 0), "
         "(203, 'C', 2, '1975-01-01 00:00:00', 2), (204, 'D', 1, '1966-01-01 00:00:00', 0)");
    QString error;
    const auto plan = planClassAssignment(comp.doc(), &error);
    ASSERT_TRUE(plan) << error.toStdString();
    EXPECT_EQ(plan->moves, (std::map<int, int>{{1, 2}, {3, 1}}));
    EXPECT_EQ(plan->summary(), QStringLiteral("2 Teilnehmer in Herren\n1 Teilnehmer in Damen"));
    ASSERT_TRUE(applyClassAssignment(comp.doc(), *plan, &error));
    {
        Statement st = comp.db()->prepare(
            R"(SELECT group_concat("Paßnummer" || ':' || "Klasse", ' ') FROM (SELECT * FROM "Teilnehmer" ORDER BY 1))");
        ASSERT_TRUE(st.next());
        EXPECT_EQ(st.text(0), QStringLiteral("3:0 7:0 12:0 100:0 201:1 202:3 203:2 204:1"));
    }

    // Classes that cannot be read are reported once, where they are read.
    exec("DROP TABLE Klasse");
    QStringList shown;
    const MessageHandler previous =
        setMessageHandler([&shown](MessageIcon, const QString& text) { shown.append(text); });
    error.clear();
    EXPECT_FALSE(planClassAssignment(comp.doc(), &error));
    setMessageHandler(previous);
    EXPECT_EQ(shown.size(), 1);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
}

} // namespace
} // namespace torvm
