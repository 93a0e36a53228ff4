#include "db/GermanText.h"
#include "db/Tables.h"
#include "support/Fixtures.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>

namespace torvm {
namespace {

// One order, derived from the rule: umlauts as their base letter, ß as ss, case ignored; only then
// the exact text.
const QStringList kGermanOrder{
    QStringLiteral("Ärmel"),   QStringLiteral("Bauer"),  QStringLiteral("Bäuerle"), QStringLiteral("Baür"),
    QStringLiteral("Mueller"), QStringLiteral("Muller"), QStringLiteral("Müller"),  QStringLiteral("Öztürk"),
    QStringLiteral("Weiss"),   QStringLiteral("Weiß"),   QStringLiteral("weiß"),    QStringLiteral("Zimmermann"),
};

TEST(GermanText, SortsByTheRuleThenByTheExactText)
{
    QStringList shuffled = kGermanOrder;
    std::reverse(shuffled.begin(), shuffled.end());
    std::sort(shuffled.begin(), shuffled.end(), [](const QString& a, const QString& b) { return germanLess(a, b); });
    EXPECT_EQ(shuffled, kGermanOrder);
}

TEST(GermanText, TheConnectionSortsInTheSameOrder)
{
    test::TempCompetition comp;
    Statement insert = comp.db()->prepare(R"(INSERT INTO Verein (Vereinsnummer, Name) VALUES (?, ?))");
    for (qsizetype i = 0; i < kGermanOrder.size(); ++i) {
        insert.bind(1, std::int64_t{100 - i});
        insert.bind(2, kGermanOrder.at(i));
        ASSERT_TRUE(insert.exec());
        insert.reset();
    }
    Statement read = comp.db()->prepare(R"(SELECT Name FROM Verein ORDER BY Name COLLATE DEUTSCH)");
    QStringList names;
    while (read.next())
        names << read.text(0);
    EXPECT_EQ(names, kGermanOrder);
}

TEST(GermanText, EveryWordBeginsSomePartOfTheName)
{
    const struct {
        const char* name;
        const char* search;
        bool found;
    } cases[] = {
        {"Weiß Anna", "weiss", true},
        {"Weiss Anna", "weiß", true},
        {"Bauer Markus", "Bauer Mark", true},
        {"Bauer Markus", "mark bau", true},
        {"Bauer Markus", "auer", false},
        {"Bauer Markus", "Bauer Max", false},
        {"Müller-Lüdenscheidt Jo", "lud", true},
        {"Öztürk Ayşe", "oztu ays", true},
        {"Huber Anna", "", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(nameMatches(QString::fromUtf8(c.name), QString::fromUtf8(c.search)), c.found)
            << c.name << " / " << c.search;
}

} // namespace
} // namespace torvm
