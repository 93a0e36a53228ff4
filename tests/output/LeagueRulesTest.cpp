#include "output/OutputPages.h"
#include "output/PrintJob.h"
#include "output/TextExport.h"

#include "RulesLeague.h"
#include "TextBoxes.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>

#include <gtest/gtest.h>

namespace torvm {
namespace {

QByteArray expectedFile(const char* name)
{
    QFile file(QStringLiteral(TORVM_TEST_DATA "/rules/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

class LeagueRulesTest : public test::RulesLeague {
protected:
    OutputSettings settings(std::initializer_list<Output> outputs)
    {
        OutputOverrides o;
        o.round = 2;
        o.outputs.emplace();
        for (const Output output : outputs)
            (*o.outputs)[static_cast<int>(output)] = true;
        o.klasse = RankingClassMode::Participant;
        o.platz = 20;
        return loadOutputSettings(comp.doc(), o);
    }
};

TEST_F(LeagueRulesTest, TextExportShowsTenthsMarksParenthesesTheAbsentTeamAndTheTieBreaks)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(writeTextExport(comp.doc(), settings({Output::Tabelle, Output::Einzel, Output::Gesamt}), buffer,
                                TextEncoding::Utf8));
    EXPECT_EQ(QString::fromUtf8(buffer.data()), QString::fromUtf8(expectedFile("ausgabe.txt")));
}

TEST_F(LeagueRulesTest, LeagueTablePageDrawsTheSameTable)
{
    const PrintJob job(comp.doc(), settings({Output::Tabelle}));
    ASSERT_EQ(job.totalPages(), 1);
    test::TextBoxPage page;
    ASSERT_TRUE(test::paintJobPage(job, page, 1));
    QStringList drawn;
    for (const test::TextBox& box : page.boxes())
        drawn << box.text.trimmed();
    const QStringList expected =
        QString::fromUtf8(expectedFile("tabelle_seite.txt")).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const qsizetype first = drawn.indexOf(expected.front());
    ASSERT_GE(first, 0) << drawn.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(drawn.mid(first, expected.size()), expected) << drawn.join(QLatin1Char('|')).toStdString();
}

} // namespace
} // namespace torvm
