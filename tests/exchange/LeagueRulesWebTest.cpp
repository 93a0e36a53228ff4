#include "exchange/WebExport.h"

#include "db/Tables.h"
#include "output/RulesLeague.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace torvm {
namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class LeagueRulesWebTest : public test::RulesLeague {
protected:
    QString site = comp.file(QStringLiteral("web"));

    QByteArray page(WebStyle style, const char* name)
    {
        // The ranking lists the stored number of places; eleven reach the result in parentheses.
        CProfileTable(comp.db(), &comp.doc()).WriteInt(QStringLiteral("PrintEinzel"), QStringLiteral("Platz"), 20);
        WebOptions o;
        o.tabelle = true;
        o.einzel = true;
        o.round = 2;
        CWebExport exporter(comp.doc(), o, QStringLiteral("Schützengau Süd"));
        exporter.setToday(QDate(2025, 10, 30));
        exporter.setStyle(style);
        EXPECT_EQ(exporter.run(site).status, WebExportResult::Status::Complete);
        return readFile(QDir(site).filePath(QLatin1String(name)));
    }
};

TEST_F(LeagueRulesWebTest, ClassicResultsPageShowsTenthsTheAbsentTeamAndTheTieBreaks)
{
    // Kept as UTF-8 text; the classic site is ISO-8859-1.
    const QByteArray expected =
        QString::fromUtf8(readFile(QStringLiteral(TORVM_TEST_DATA "/rules/Erg0.htm"))).toLatin1();
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(page(WebStyle::Classic, "Erg0.htm").toStdString(), expected.toStdString());
}

TEST_F(LeagueRulesWebTest, ModernPagesShowTheSameRulesAsTheTextExport)
{
    struct Case {
        const char* page;
        std::vector<const char*> rows;
    };
    const Case cases[] = {
        {"gruppe1.html",
         {"<tr><td class=\"zahl\">1.</td><td>KSV Öd 1</td><td class=\"zahl\">3</td><td class=\"zahl\">"
          "4&nbsp;:&nbsp;2</td><td class=\"zahl\">597,5</td></tr>\n"
          "<tr><td class=\"zahl\">2.</td><td>SV Tell 1</td><td class=\"zahl\">3</td><td class=\"zahl\">"
          "2&nbsp;:&nbsp;2</td><td class=\"zahl\">889,5</td></tr>\n",
          "</tbody></table></div>\n<p>Bei Punktgleichheit: Direkter Vergleich, Ringe</p>\n",
          "<td>KSV Öd 1</td><td class=\"zahl\">309,0&nbsp;:&nbsp;n. a.</td>"}},
        {"einzel.html",
         {"<tr><td class=\"zahl\">9.</td><td>Vogt Jan (E)</td><td>SG Weiß 1</td><td class=\"zahl\">99,3</td></tr>\n"
          "<tr><td class=\"zahl\">10.</td><td>Roth Ida (ES)</td><td>SG Weiß 1</td><td class=\"zahl\">99,0</td></tr>\n"
          "<tr><td class=\"zahl\">11.</td><td>Kern Max</td><td>SV Tell 1</td><td class=\"zahl\">(98,7)</td></tr>\n"
          "<tr><td class=\"zahl\">AK</td><td>Stein Ute</td><td>FSG Au 1</td><td class=\"zahl\">105,0</td></tr>\n"}},
        {"gesamt.html",
         {"<tr><td class=\"zahl\">2.</td><td>Fink Otto</td><td>FSG Au 1</td><td class=\"zahl\">2</td>"
          "<td class=\"zahl\">205,5</td><td class=\"zahl\">102,75</td><td class=\"zahl\">104,0</td></tr>\n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        QDir(site).removeRecursively();
        const QByteArray html = page(WebStyle::Modern, c.page);
        for (const char* row : c.rows)
            EXPECT_TRUE(html.contains(row)) << row << "\n" << html.toStdString();
    }
}

} // namespace
} // namespace torvm
