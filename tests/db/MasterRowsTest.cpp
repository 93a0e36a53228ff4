#include "db/MasterRows.h"

#include <QString>

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace torvm {
namespace {

TEST(MasterRowsTest, CellsKeepTheirTextsApart)
{
    struct Case {
        QByteArray utf8; // as the engine returns a text
        QString shown;
    };
    const std::vector<Case> cases{
        {"Huber", QStringLiteral("Huber")},
        {"", QString()},
        {"Östermeier", QStringLiteral("Östermeier")},
        {"Jörg-Äbel", QStringLiteral("Jörg-Äbel")},
        {"Mü\xF0\x9F\x8E\xAF", QStringLiteral("Mü") + QString::fromUcs4(U"\U0001F3AF")}, // four bytes, two units
        {"ab\xFF", QStringLiteral("ab") + QChar(QChar::ReplacementCharacter)},           // broken byte
    };
    MasterRows rows(3);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        rows.addRow(static_cast<std::int32_t>(i));
        rows.addNumberCell(static_cast<std::int64_t>(i) - 1);
        rows.addUtf8Cell(cases[i].utf8);
        rows.addCell(u"|");
    }
    ASSERT_EQ(rows.size(), static_cast<int>(cases.size()));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        const int row = static_cast<int>(i);
        EXPECT_EQ(rows.key(row), row);
        EXPECT_EQ(rows.cell(row, 0).toString(), QString::number(row - 1));
        EXPECT_EQ(rows.cell(row, 1).toString(), cases[i].shown);
        EXPECT_EQ(rows.cell(row, 2).toString(), QStringLiteral("|"));
    }
}

TEST(MasterRowsTest, NumbersAsText)
{
    for (const std::int64_t value :
         {std::int64_t{0}, std::int64_t{7}, std::int64_t{-120}, std::int64_t{2147483647},
          std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()}) {
        MasterRows rows(1);
        rows.addRow(1);
        rows.addNumberCell(value);
        EXPECT_EQ(rows.cell(0, 0).toString(), QString::number(value));
    }
}

} // namespace
} // namespace torvm
