#include "exchange/WebExport.h"

#include "db/Messages.h"
#include "db/Recordsets.h"
#include "db/Tables.h"
#include "output/LeagueData.h"
#include "support/Fixtures.h"
#include "support/Privileges.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <vector>

namespace torvm {
namespace {

const QString kExpected = QStringLiteral(TORVM_TEST_DATA "/web/liga");

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The hand-written pages are kept as UTF-8 text; the site is ISO-8859-1.
QByteArray expectedPage(const QString& name)
{
    const QByteArray utf8 = readFile(kExpected + QLatin1Char('/') + name);
    EXPECT_FALSE(utf8.isEmpty()) << name.toStdString();
    return QString::fromUtf8(utf8).toLatin1();
}

// Collects what the export shows instead of opening windows.
class Shown {
public:
    Shown()
        : m_previous(setMessageHandler([this](MessageIcon, const QString& text) { texts.append(text); }))
    {
    }
    ~Shown() { setMessageHandler(m_previous); }
    QStringList texts;

private:
    MessageHandler m_previous;
};

// Two groups: a league of three teams on plan 0 whose first two rounds are counted, and a group
// without teams on a plan without rows.
class WebExportTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::LeagueData data{*comp.db()};
    QString site = comp.file(QStringLiteral("web"));

    void SetUp() override
    {
        CRSWettbewerb title(comp.db(), &comp.doc());
        title.SetTitle(QStringLiteral("Rundenwettkampf 2025"));
        data.exec("INSERT INTO Verein (Vereinsnummer, Name) VALUES (10, 'SV Tell'), (11, 'SG Weiß & Blau'), "
                  "(12, 'FSG Au')");
        data.exec("INSERT INTO Gruppe (ID, Name, Anzahl, Plan, Verein01, VNr01, Verein02, VNr02, Verein03, VNr03) "
                  "VALUES (0, 'Kreisliga <Nord> – A', 2, 0, 10, '1', 11, '1', 12, '2')");
        data.exec("INSERT INTO Gruppe (ID, Name, Anzahl, Plan) VALUES (1, 'Leer', 2, 1)");
        data.exec("INSERT INTO Plan (PlanID, Name, Datum1, A1, B1, A2, B2) VALUES "
                  "(0, 'P', '2025-09-26 19:30:00', 1, 2, 3, 0), (1, 'P', '2025-10-10 19:30:00', 3, 1, 0, 0), "
                  "(2, 'P', '2025-10-24 19:30:00', 2, 3, 0, 0), (3, 'P', '2025-11-07 19:30:00', 0, 2, 0, 0)");
        // Round 1: the third row of slot 1 is beyond the two that count.
        data.shooters(0, 0, 1, {190, 185, 200});
        data.shooters(0, 0, 2, {180, 190});
        data.adjustment(0, 0, 1, 0, QStringLiteral("Protest"));
        data.adjustment(0, 0, 2, -1, QStringLiteral("Meldung 100% verspätet"));
        // Round 2.
        data.shooters(0, 1, 3, {190, 190});
        data.shooters(0, 1, 1, {180, 180});
        data.adjustment(0, 1, 3, 0, QStringLiteral("Ersatzschütze"));
    }

    WebExportResult exportSite(const WebOptions& options, WebExportProgress progress = {})
    {
        CWebExport exporter(comp.doc(), options, QStringLiteral("Schützengau Süd   "));
        exporter.setToday(QDate(2025, 10, 12));
        exporter.setProgress(std::move(progress));
        return exporter.run(site);
    }

    static WebOptions allPages()
    {
        WebOptions o;
        o.termin = true;
        o.tabelle = true;
        o.einzel = true;
        o.round = 1;
        return o;
    }

    QStringList siteFiles() const
    {
        QStringList files = QDir(site).entryList(QDir::Files, QDir::Name);
        files.sort();
        return files;
    }
};

TEST_F(WebExportTest, PagesOfASmallLeagueAreWrittenByTheTemplates)
{
    Shown shown;
    const WebExportResult result = exportSite(allPages());
    EXPECT_EQ(result.status, WebExportResult::Status::Complete);
    EXPECT_TRUE(shown.texts.isEmpty()) << shown.texts.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(result.indexPath, QDir(site).absoluteFilePath(QStringLiteral("index.htm")));
    EXPECT_EQ(result.pagesWritten, 7);

    const QStringList pages{QStringLiteral("Erg0.htm"),    QStringLiteral("Erg1.htm"),  QStringLiteral("Gruppe0.htm"),
                            QStringLiteral("Gruppe1.htm"), QStringLiteral("index.htm"), QStringLiteral("index_c.htm"),
                            QStringLiteral("index_l.htm")};
    EXPECT_EQ(siteFiles(), pages);
    for (const QString& page : pages) {
        SCOPED_TRACE(page.toStdString());
        const QByteArray written = readFile(QDir(site).filePath(page));
        const QByteArray expected = expectedPage(page);
        EXPECT_EQ(written.toStdString(), expected.toStdString());
    }
}

TEST_F(WebExportTest, OptionsChooseThePassesAndTheMenuSections)
{
    struct Case {
        const char* name;
        bool termin, tabelle, einzel;
        QStringList groupPages;
        std::vector<const char*> inMenu, notInMenu;
    };
    const std::vector<Case> cases{
        {"nothing ticked: the three fixed pages only",
         false,
         false,
         false,
         {},
         {"Stand:  12.10.2025"},
         {"Terminplan ", "Ergebnisse ", "Einzelwertung "}},
        {"fixtures only",
         true,
         false,
         false,
         {QStringLiteral("Gruppe0.htm"), QStringLiteral("Gruppe1.htm")},
         {"Terminplan ", "href=\"Gruppe1.htm\""},
         {"Ergebnisse ", "Erg0.htm"}},
        {"results and the individual heading",
         false,
         true,
         true,
         {QStringLiteral("Erg0.htm"), QStringLiteral("Erg1.htm")},
         {"Ergebnisse ", "Einzelwertung ", "href=\"Erg0.htm\""},
         {"Terminplan ", "Gruppe0.htm"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(site).removeRecursively();
        WebOptions o = allPages();
        o.termin = c.termin;
        o.tabelle = c.tabelle;
        o.einzel = c.einzel;
        EXPECT_EQ(exportSite(o).status, WebExportResult::Status::Complete);
        QStringList expected = c.groupPages;
        expected << QStringLiteral("index.htm") << QStringLiteral("index_c.htm") << QStringLiteral("index_l.htm");
        expected.sort();
        EXPECT_EQ(siteFiles(), expected);
        const QByteArray menu = readFile(QDir(site).filePath(QStringLiteral("index_l.htm")));
        for (const char* text : c.inMenu)
            EXPECT_TRUE(menu.contains(text)) << text;
        for (const char* text : c.notInMenu)
            EXPECT_FALSE(menu.contains(text)) << text;
    }
}

TEST_F(WebExportTest, ChosenRoundLimitsTheTableAndTheRoundsShown)
{
    WebOptions o = allPages();
    o.round = 0;
    ASSERT_EQ(exportSite(o).status, WebExportResult::Status::Complete);
    const QByteArray page = readFile(QDir(site).filePath(QStringLiteral("Erg0.htm")));
    EXPECT_TRUE(page.contains("26.09.2025 - 1. Durchgang"));
    EXPECT_FALSE(page.contains("2. Durchgang"));
    // After round 1 alone: SV Tell 2 : 0 with 375 rings; FSG Au has not shot yet.
    EXPECT_TRUE(page.contains("<p align=\"right\"> 2 :  0</font></b></td>\n"
                              "    <td width=\"10%\"> <b><font size=\"2\" face=\"Verdana, Arial, Helvetica, "
                              "sans-serif\">\n    <p align=\"right\">375</font>"));
    EXPECT_TRUE(page.contains("<p align=\"left\">FSG Au 2</font></b></td>\n"
                              "    <td width=\"5%\"> <b><font size=\"2\" face=\"Verdana, Arial, Helvetica, "
                              "sans-serif\">\n    <p align=\"right\">0</font>"));
}

TEST(WebText, EscapesMarkupAndWritesLatin1WithCharacterReferences)
{
    struct Case {
        QString text;
        QByteArray expected;
    };
    const std::vector<Case> cases{
        {QStringLiteral("SV Tell & Co"), "SV Tell &amp; Co"},
        {QStringLiteral("<b>Gau</b>"), "&lt;b&gt;Gau&lt;/b&gt;"},
        {QStringLiteral("\"Alpenrose\" d'Or"), "&quot;Alpenrose&quot; d&#39;Or"},
        {QStringLiteral("100% verspätet"), "100% verspätet"},
        {QStringLiteral("Preis 5 €"), "Preis 5 &#8364;"},
        {QStringLiteral("Ærø Ñ ÿ"), "Ærø Ñ ÿ"},
        {QString::fromUcs4(U"Ziel \U0001F3AF"), "Ziel &#127919;"},
        {QString(QChar(0xD800)) + QStringLiteral("x"), "&#65533;x"},
        {QString(), QByteArray()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const QByteArray expected = QString::fromUtf8(c.expected).toLatin1();
        EXPECT_EQ(htmlText(c.text).toStdString(), expected.toStdString());
    }
}

TEST_F(WebExportTest, NamesAndRemarksAreEscapedInEveryPlaceTheyAppear)
{
    data.exec("UPDATE Verein SET Name = 'SV \"Tell\" <1> €' WHERE Vereinsnummer = 10");
    data.exec("UPDATE Wettkampf SET Text = 'Protest <i>A</i> & B' WHERE Text = 'Protest'");
    CRSWettbewerb title(comp.db(), &comp.doc());
    title.SetTitle(QStringLiteral("Liga & Pokal"));
    ASSERT_EQ(exportSite(allPages()).status, WebExportResult::Status::Complete);
    const QByteArray fixtures = readFile(QDir(site).filePath(QStringLiteral("Gruppe0.htm")));
    const QByteArray results = readFile(QDir(site).filePath(QStringLiteral("Erg0.htm")));
    for (const QByteArray& page : {fixtures, results}) {
        EXPECT_TRUE(page.contains("SV &quot;Tell&quot; &lt;1&gt; &#8364; 1")) << page.toStdString();
        EXPECT_TRUE(page.contains("<title>Sch\xfctzengau S\xfc"
                                  "d - Liga &amp; Pokal</title>"));
        EXPECT_FALSE(page.contains("<1>"));
    }
    EXPECT_TRUE(results.contains("* Protest &lt;i&gt;A&lt;/i&gt; &amp; B - Meldung")) << results.toStdString();
    EXPECT_FALSE(results.contains("<i>"));
}

TEST_F(WebExportTest, CancelKeepsThePagesWrittenAndCompletesTheMenuAndStartPage)
{
    int asked = 0;
    const WebExportResult result = exportSite(allPages(), {{}, [&asked] { return ++asked < 2; }});
    EXPECT_EQ(result.status, WebExportResult::Status::Cancelled);
    EXPECT_FALSE(result.succeeded());
    // The fixture pass stopped before its second group; the results pass stopped at its first.
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(siteFiles(), (QStringList{QStringLiteral("Gruppe0.htm"), QStringLiteral("index.htm"),
                                        QStringLiteral("index_c.htm"), QStringLiteral("index_l.htm")}));
    const QByteArray menu = readFile(QDir(site).filePath(QStringLiteral("index_l.htm")));
    EXPECT_TRUE(menu.contains("href=\"Gruppe0.htm\""));
    EXPECT_FALSE(menu.contains("href=\"Gruppe1.htm\""));
    EXPECT_FALSE(menu.contains("Erg0.htm"));
    EXPECT_FALSE(menu.contains("<p align=\"right\"><p>&nbsp;</p>")) << "no closing row after a cancel";
    EXPECT_TRUE(menu.endsWith("</table>\n</html>\n"));
    EXPECT_TRUE(readFile(QDir(site).filePath(QStringLiteral("index_c.htm"))).endsWith("</html>\n"));
}

TEST_F(WebExportTest, FailuresAreReportedAndLeaveThePreviousSiteWhole)
{
    struct Case {
        const char* name;
        std::function<void(const QString& site)> prepare;
        WebExportResult::Status status;
        QString message;                // start of the one message shown
        std::vector<const char*> files; // in the site afterwards (besides what prepare made)
        bool started;
    };
    const auto nativePath = [this](const char* name) {
        return QDir::toNativeSeparators(QDir(site).filePath(QString::fromLatin1(name)));
    };
    const std::vector<Case> cases{
        {"the site folder is a file",
         [](const QString& s) {
             QFile f(s);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
         },
         WebExportResult::Status::Failed,
         QStringLiteral("Der Ordner ") + QDir::toNativeSeparators(site) +
             QStringLiteral(" kann nicht angelegt werden:\n"),
         {},
         false},
        // A page in the way is found before anything is replaced: the old site stays whole.
        {"index.htm cannot be replaced",
         [](const QString& s) { ASSERT_TRUE(QDir().mkpath(s + QStringLiteral("/index.htm"))); },
         WebExportResult::Status::Failed,
         QStringLiteral("Datei kann nicht geoeffnet werden\n") + nativePath("index.htm"),
         {},
         true},
        {"the menu cannot be replaced",
         [](const QString& s) { ASSERT_TRUE(QDir().mkpath(s + QStringLiteral("/index_l.htm"))); },
         WebExportResult::Status::Failed,
         QStringLiteral("Datei kann nicht geoeffnet werden\n") + nativePath("index_l.htm"),
         {},
         true},
        {"a fixture page cannot be replaced",
         [](const QString& s) { ASSERT_TRUE(QDir().mkpath(s + QStringLiteral("/Gruppe1.htm"))); },
         WebExportResult::Status::Failed,
         QStringLiteral("Datei kann nicht geoeffnet werden\n") + nativePath("Gruppe1.htm"),
         {},
         true},
        {"the start page cannot be replaced",
         [](const QString& s) { ASSERT_TRUE(QDir().mkpath(s + QStringLiteral("/index_c.htm"))); },
         WebExportResult::Status::Failed,
         QStringLiteral("Datei kann nicht geoeffnet werden\n") + nativePath("index_c.htm"),
         {},
         true},
        {"a competition in the folder",
         [](const QString& s) {
             ASSERT_TRUE(QDir().mkpath(s));
             ASSERT_TRUE(QFile::copy(test::builtTemplate(), s + QStringLiteral("/liga.mdb")));
         },
         WebExportResult::Status::Failed,
         QStringLiteral("Der Ordner ") + QDir::toNativeSeparators(site) +
             QStringLiteral(" enthält die Wettkampfdatei liga.mdb."),
         {"liga.mdb"},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(site).removeRecursively();
        QFile::remove(site);
        c.prepare(site);
        Shown shown;
        bool started = false;
        const WebExportResult result = exportSite(allPages(), {[&started] { started = true; }, {}});
        EXPECT_EQ(result.status, c.status);
        EXPECT_FALSE(result.succeeded());
        EXPECT_EQ(started, c.started);
        ASSERT_EQ(shown.texts.size(), 1) << shown.texts.join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(shown.texts.first().startsWith(c.message)) << shown.texts.first().toStdString();
        QStringList files;
        for (const char* f : c.files)
            files << QString::fromLatin1(f);
        if (QFileInfo(site).isDir()) {
            EXPECT_EQ(siteFiles(), files);
        }
    }
}

TEST_F(WebExportTest, ReadOnlySiteFolderIsReportedAndKeepsItsFiles)
{
    ASSERT_TRUE(QDir().mkpath(site));
    QFile old(QDir(site).filePath(QStringLiteral("index.htm")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("alt");
    old.close();
    QFile::setPermissions(site, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser);
    const test::ScopedFilePermissions obeyPermissions;
    QFile probe(QDir(site).filePath(QStringLiteral("probe")));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        QFile::setPermissions(site, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        GTEST_SKIP() << "this user may write into read-only folders";
    }
    Shown shown;
    const WebExportResult result = exportSite(allPages());
    QFile::setPermissions(site, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(result.status, WebExportResult::Status::Failed);
    // The cause follows the path.
    EXPECT_EQ(shown.texts, QStringList{QStringLiteral("Datei kann nicht geoeffnet werden\n") +
                                       QDir::toNativeSeparators(QDir(site).filePath(QStringLiteral("index.htm"))) +
                                       QStringLiteral("\nDer Zugriff wurde verweigert.")});
    EXPECT_EQ(siteFiles(), QStringList{QStringLiteral("index.htm")});
    EXPECT_EQ(readFile(QDir(site).filePath(QStringLiteral("index.htm"))), QByteArray("alt"));
}

// A group without a number or with one outside the key range would name no page or a wrong one:
// it is left out and named, in either style, and the rest of the site is published.
TEST_F(WebExportTest, GroupsWithoutASoundNumberAreLeftOutAndNamed)
{
    data.exec("INSERT INTO Gruppe (ID, Name, Anzahl, Plan) VALUES (-1, 'Minus', 2, 1), (NULL, 'Ohne', 2, 1)");
    struct Case {
        WebStyle style;
        std::vector<const char*> files;
        const char* menu; // the page that links the groups
        std::vector<const char*> links;
    };
    const Case cases[] = {
        {WebStyle::Classic,
         {"Erg0.htm", "Erg1.htm", "Gruppe0.htm", "Gruppe1.htm", "index.htm", "index_c.htm", "index_l.htm"},
         "index_l.htm",
         {"Gruppe0.htm", "Gruppe1.htm", "Erg0.htm", "Erg1.htm"}},
        {WebStyle::Modern,
         {"einzel.html", "gesamt.html", "gruppe1.html", "gruppe1.ics", "gruppe2.html", "gruppe2.ics", "index.html",
          "style.css", "verein10.ics", "verein11.ics", "verein12.ics"},
         "index.html",
         {"gruppe1.html", "gruppe2.html", "verein10.ics", "verein11.ics", "verein12.ics"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.menu);
        QDir(site).removeRecursively();
        Shown shown;
        CWebExport exporter(comp.doc(), allPages(), QStringLiteral("Gau"));
        exporter.setStyle(c.style);
        const WebExportResult result = exporter.run(site);
        EXPECT_EQ(result.status, WebExportResult::Status::Incomplete);
        EXPECT_EQ(result.pagesWritten, static_cast<int>(c.files.size()));
        QStringList files;
        for (const char* f : c.files)
            files << QString::fromLatin1(f);
        EXPECT_EQ(siteFiles(), files);
        const QByteArray menu = readFile(QDir(site).filePath(QString::fromLatin1(c.menu)));
        for (const char* link : c.links)
            EXPECT_EQ(menu.count(QByteArray("href=\"") + link + '"'), 1) << link;
        EXPECT_FALSE(menu.contains("Minus"));
        EXPECT_EQ(shown.texts, QStringList{QStringLiteral("Diese Gruppen haben keine gültige oder eine doppelte Nummer "
                                                          "und fehlen auf den Webseiten: Minus, Ohne")});
    }
}

// The modern site writes the individual ranking only when it is chosen; the shooters without a
// class are "Alle Schützen" alone and "ohne Klasse" when classes follow.
TEST_F(WebExportTest, ModernRankingsFollowTheChoiceAndNameTheShootersWithoutAClass)
{
    data.exec("INSERT INTO Teilnehmer (Paßnummer, Name, Vorname, Klasse) VALUES (1, 'Huber', 'Anna', 0), "
              "(2, 'Maier', 'Sepp', 0)");
    data.exec("UPDATE Wettkampf SET TNr = ID - 100 WHERE ID IN (101, 102)");
    // Classes by the participants' own (0), not by their groups.
    ASSERT_TRUE(
        CProfileTable(comp.db(), &comp.doc()).WriteInt(QStringLiteral("PrintEinzel"), QStringLiteral("Klasse"), 0));
    struct Case {
        bool einzel;
        int klasse; // of shooter 2
        const char* heading;
    };
    const Case cases[] = {
        {false, 1, "<h3>ohne Klasse</h3>"},
        {true, 0, "<h3>Alle Schützen</h3>"},
        {true, 1, "<h3>ohne Klasse</h3>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.einzel) + c.heading);
        data.exec(("UPDATE Teilnehmer SET Klasse = " + std::to_string(c.klasse) + " WHERE Paßnummer = 2").c_str());
        WebOptions options = allPages();
        options.einzel = c.einzel;
        options.round = 0;
        CWebExport exporter(comp.doc(), options, QString());
        exporter.setStyle(WebStyle::Modern);
        ASSERT_EQ(exporter.run(site).status, WebExportResult::Status::Complete);
        EXPECT_EQ(siteFiles().contains(QStringLiteral("einzel.html")), c.einzel);
        EXPECT_EQ(readFile(QDir(site).filePath(QStringLiteral("index.html"))).contains("einzel.html"), c.einzel);
        for (const char* page : {"einzel.html", "gesamt.html"}) {
            if (page == std::string("einzel.html") && !c.einzel)
                continue;
            EXPECT_EQ(readFile(QDir(site).filePath(QString::fromLatin1(page))).count(c.heading), 1) << page;
        }
    }
}

// A pairing with one side at 0 rings shows its score; only one that nobody shot shows "–".
TEST_F(WebExportTest, ModernScoresShowOneSideAtZeroAndDashOnlyWhenNobodyShot)
{
    const std::pair<int, const char*> cases[] = {
        {0, "<td class=\"zahl\">\xE2\x80\x93</td>"},
        {150, "<td class=\"zahl\">150&nbsp;:&nbsp;0</td>"},
    };
    for (const auto& [rings, score] : cases) {
        SCOPED_TRACE(score);
        if (rings != 0)
            data.shooters(0, 2, 2, {rings});
        WebOptions options = allPages();
        options.round = 2;
        CWebExport exporter(comp.doc(), options, QString());
        exporter.setStyle(WebStyle::Modern);
        ASSERT_EQ(exporter.run(site).status, WebExportResult::Status::Complete);
        const QByteArray page = readFile(QDir(site).filePath(QStringLiteral("gruppe1.html")));
        const qsizetype third = page.indexOf("<h4>3. Durchgang");
        ASSERT_GT(third, 0);
        EXPECT_EQ(page.indexOf(score, third), page.indexOf("</tr>", third) - qsizetype(qstrlen(score)))
            << page.mid(third, 400).toStdString();
    }
}

TEST_F(WebExportTest, MenuOfACompetitionWithoutGroupsHoldsOnlyTheClosingRows)
{
    data.exec("DELETE FROM Gruppe");
    ASSERT_EQ(exportSite(allPages()).status, WebExportResult::Status::Complete);
    EXPECT_EQ(siteFiles(),
              (QStringList{QStringLiteral("index.htm"), QStringLiteral("index_c.htm"), QStringLiteral("index_l.htm")}));
    const QByteArray menu = readFile(QDir(site).filePath(QStringLiteral("index_l.htm")));
    EXPECT_EQ(menu.count("<p align=\"right\"><p>&nbsp;</p></font></b></td>"), 2);
    EXPECT_FALSE(menu.contains("<a href"));
}

TEST_F(WebExportTest, SettingsAreKeptWithTheCompetition)
{
    EXPECT_EQ(loadWebOptions(comp.doc()), WebOptions{});
    EXPECT_EQ(loadOrganiser(comp.doc()), QString());

    const WebOptions chosen{false, true, true, 7};
    ASSERT_TRUE(storeWebOptions(comp.doc(), chosen));
    EXPECT_EQ(loadWebOptions(comp.doc()), chosen);
    // The round is the web export's own, apart from the output sheet's.
    CProfileTable profile(comp.db(), &comp.doc());
    EXPECT_EQ(profile.GetInt(QStringLiteral("All"), QStringLiteral("Durchgang"), -1), 7);
    EXPECT_EQ(profile.GetInt(QStringLiteral("VMPrintAll"), QStringLiteral("Durchgang"), -1), -1);
    EXPECT_EQ(profile.GetInt(QStringLiteral("Web"), QStringLiteral("Termin"), -1), 0);

    // A stored round outside the list falls back into it.
    ASSERT_TRUE(profile.WriteInt(QStringLiteral("All"), QStringLiteral("Durchgang"), 45));
    EXPECT_EQ(loadWebOptions(comp.doc()).round, 19);
}

TEST(WebOrganiser, IsCutToFortyCharactersWithoutTrailingBlanks)
{
    struct Case {
        QString typed;
        QString stored;
    };
    const QString forty = QStringLiteral("Schützengesellschaft Alpenrose Mühldorf ");
    ASSERT_EQ(forty.size(), 40);
    const std::vector<Case> cases{
        {QString(), QString()},
        {QStringLiteral("   "), QString()},
        {QStringLiteral("Gau Süd  "), QStringLiteral("Gau Süd")},
        {QStringLiteral("  Gau Süd"), QStringLiteral("  Gau Süd")},
        {forty + QStringLiteral("e.V."), forty.trimmed()},
        {QString(40, QLatin1Char('x')) + QStringLiteral("yz"), QString(40, QLatin1Char('x'))},
    };
    test::TempCompetition comp;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        EXPECT_EQ(normalisedOrganiser(c.typed), c.stored);
        ASSERT_TRUE(storeOrganiser(comp.doc(), c.typed));
        EXPECT_EQ(loadOrganiser(comp.doc()), c.stored);
    }
}

} // namespace
} // namespace torvm
