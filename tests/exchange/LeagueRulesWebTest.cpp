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
    const auto row = [](const QByteArray& rank, const char* name, const char* team, const char* rings) {
        return "<tr><td class=\"zahl\">" + rank + "</td><td class=\"name\">" + name + "</td><td class=\"name\">" +
               team + "</td><td class=\"zahl\">" + rings + "</td></tr>\n";
    };
    const std::vector<std::pair<const char*, QByteArray>> cases{
        {"gruppe1.html", "<td class=\"zahl\">2&nbsp;:&nbsp;2</td><td class=\"zahl\">889,5</td></tr>\n"},
        {"gruppe1.html", "</tbody></table></div>\n<p>Bei Punktgleichheit: Direkter Vergleich, Ringe</p>\n"},
        {"gruppe1.html", "<td class=\"name\">KSV Öd 1</td><td class=\"zahl\">309,0&nbsp;:&nbsp;n. a.</td>"},
        {"einzel.html",
         row("9.", "Vogt Jan (E)", "SG Weiß 1", "99,3") + row("10.", "Roth Ida (ES)", "SG Weiß 1", "99,0") +
             row("11.", "Kern Max", "SV Tell 1", "(98,7)") + row("AK", "Stein Ute", "FSG Au 1", "105,0")},
        {"gesamt.html", "<td class=\"name\">Fink Otto</td><td class=\"name neben\">FSG Au 1</td>"
                        "<td class=\"zahl neben\">2</td><td class=\"zahl neben\">205,5</td>"
                        "<td class=\"zahl\">102,75</td><td class=\"zahl neben\">104,0</td></tr>\n"},
    };
    for (const auto& [name, expected] : cases) {
        QDir(site).removeRecursively();
        EXPECT_TRUE(page(WebStyle::Modern, name).contains(expected)) << name << ": " << expected.toStdString();
    }
}

} // namespace
} // namespace torvm
