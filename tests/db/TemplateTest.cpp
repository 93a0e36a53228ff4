#include "db/CompetitionFile.h"
#include "db/Recordsets.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

namespace torvm {
namespace {

struct ColumnSpec {
    std::string name;
    std::string type;
};

std::vector<ColumnSpec> columnsOf(Database& db, const char* table)
{
    std::vector<ColumnSpec> out;
    Statement st = db.prepare("SELECT name, type FROM pragma_table_info(?) ORDER BY cid");
    st.bind(1, QString::fromUtf8(table));
    while (st.next())
        out.push_back({st.text(0).toStdString(), st.text(1).toStdString()});
    return out;
}

// The template's tables as outside tools see them: names, order and storage types. Written out
// here from the file layout, not read back from the recordset classes.
TEST(Template, GruppeHas166ColumnsInSlotOrder)
{
    DbError error;
    auto db = Database::open(test::builtTemplate(), Database::Mode::ReadOnly, &error);
    ASSERT_TRUE(db) << error.text.toStdString();
    const auto cols = columnsOf(*db, "Gruppe");
    ASSERT_EQ(cols.size(), 166u);
    const char* head[] = {"ID", "Name", "Anzahl", "Plan", "Klasse", "Typ"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(cols[i].name, head[i]);
    EXPECT_EQ(cols[6].name, "Verein01");
    EXPECT_EQ(cols[11].name, "PLZ201");
    EXPECT_EQ(cols[163].name, "PLZ220");
    EXPECT_EQ(cols[164].name, "Ort20");
    EXPECT_EQ(cols[165].name, "Telefon20");
    EXPECT_EQ(cols[1].type, "TEXT");
    EXPECT_EQ(cols[2].type, "INTEGER");
}

} // namespace
} // namespace torvm
