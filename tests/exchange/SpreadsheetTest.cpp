#include "exchange/Spreadsheet.h"

#include <gtest/gtest.h>

namespace torvm {
namespace {

TEST(WorksheetName, IsValidAndUniqueWithoutCase)
{
    struct Case {
        QString wished;
        QString given;
    };
    const QString long40 = QStringLiteral("Tabelle Bezirksoberliga Luftgewehr Süd A");
    const Case cases[] = {
        {QStringLiteral("Tabelle A/B: [Nord]?"), QStringLiteral("Tabelle A B Nord")},
        {QStringLiteral("tabelle a b nord"), QStringLiteral("tabelle a b nord (2)")},
        {long40, long40.left(31)},
        {long40 + QStringLiteral("X"), long40.left(27).trimmed() + QStringLiteral(" (2)")},
        {QStringLiteral("'zitiert'"), QStringLiteral("zitiert")},
        {QStringLiteral("  *? "), QStringLiteral("Tabelle")},
    };
    QStringList taken;
    for (const Case& c : cases)
        EXPECT_EQ(worksheetName(c.wished, taken), c.given) << c.wished.toStdString();
}

} // namespace
} // namespace torvm
