#include "exchange/WebExport.h"

#include "db/CompetitionFile.h"
#include "db/Messages.h"
#include "db/SafeFile.h"
#include "db/Tables.h"
#include "document/TorvmDoc.h"
#include "output/Standings.h"
#include "results/CompetitionRules.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <set>
#include <system_error>

#include <cerrno>
#include <cstdlib>
#include <unistd.h>

namespace torvm {

namespace {

const auto kWebSection = QStringLiteral("Web");
const auto kOrganiserKey = QStringLiteral("Veranstalter");

// The maker's site in the footer of every content page.
constexpr auto kMakerUrl = "https://www.velmarik.de/";
constexpr auto kMakerHost = "www.velmarik.de";

// Ends every message about a page that failed: the site as a whole stays as it was.
QString notWritten()
{
    return QStringLiteral("\n\nDie Webseiten wurden nicht erstellt; die bisherigen Seiten sind unverändert.");
}

// The name of a database (a competition) among the files of folder; empty when there is none.
QString competitionIn(const QString& folder)
{
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        const FileKind kind = sniffFile(dir.filePath(name));
        if (kind == FileKind::Sqlite || kind == FileKind::Jet)
            return name;
    }
    return {};
}

// The few numbers of the pages, printf-formatted; every one is far shorter than the buffer.
[[gnu::format(printf, 1, 2)]] QByteArray formatted(const char* format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return QByteArray(buffer, std::clamp(length, 0, static_cast<int>(sizeof buffer) - 1));
}

struct Colours {
    unsigned long bgcolor, text, link, vlink, alink;
};
constexpr Colours kMenuColours{0xa0a0ff, 0x0000ff, 0x0000ff, 0x4444ff, 0xff0000};
constexpr Colours kContentColours{0xffffff, 0x0000ff, 0x0000ff, 0x4444ff, 0x0000ff};

QByteArray bodyLine(const Colours& c)
{
    return formatted(R"(<body bgcolor="#%06lx" text="#%06lx" link="#%06lx" vlink="#%06lx" alink="#%06lx">)"
                     "\n",
                     c.bgcolor, c.text, c.link, c.vlink, c.alink);
}

QByteArray number(long long value)
{
    return QByteArray::number(value);
}

QByteArray asterisks(int n)
{
    return QByteArray(std::max(n, 0), '*');
}

// "26.09.2025 - 3. Durchgang"; a round without a date in the plan gets its number alone.
QByteArray roundHeading(const DateTime& date, int round)
{
    QByteArray text = R"(<table border="0" width="100%">)"
                      "\n"
                      R"(  <tr> <td width="100%"><font size="1" face="Verdana, Arial, Helvetica, sans-serif">)";
    if (date.isValid())
        text += formatted("%d.%02d.%04d - ", date.day(), date.month(), date.year());
    text += formatted("%d. ", round + 1);
    text += "Durchgang</font></td> </tr>\n"
            "</table>\n";
    return text;
}

QByteArray centredLine(const QByteArray& text)
{
    return R"(<p align="center"><b><font size="3" face="Verdana, Arial, Helvetica, sans-serif">)" + text +
           "</font></b></p>\n";
}

QByteArray emptyMenuRow()
{
    return R"(  <tr> <td width="100%"><b><font size="1" face="Verdana, Arial, Helvetica, sans-serif"></font></b></td> </tr>)"
           "\n";
}

QByteArray spacerMenuRow()
{
    return R"(  <tr> <td width="100%"><b><font size="1" face="Verdana, Arial, Helvetica, sans-serif"><p>&nbsp;</p></font></b></td> </tr>)"
           "\n";
}

QByteArray menuHeading(const char* text)
{
    return QByteArray(R"(  <tr> <td width="100%"><b><font size="2" face="Verdana, Arial, Helvetica, sans-serif">)") +
           text + "</font></b></td> </tr>\n";
}

QByteArray menuLinkRow(const QString& fileName, const QString& groupName)
{
    return "  <tr>\n"
           R"(    <td width="10%"> <b><font size="2" face="Verdana, Arial, Helvetica, sans-serif">)"
           R"(    <p align="right"></font></b></td>)"
           "\n"
           R"(    <td width="90%"> <b><font size="2" face="Verdana, Arial, Helvetica, sans-serif"><a href=")" +
           htmlText(fileName) + R"(" target="Content">)" + htmlText(groupName) +
           "</font></b></td>\n"
           "  </tr>\n";
}

QByteArray menuClosingRow()
{
    return "  <tr>\n"
           R"(    <td width="10%"> <b><font size="2" face="Verdana, Arial, Helvetica, sans-serif">)"
           R"(    <p align="right"><p>&nbsp;</p></font></b></td>)"
           "\n"
           "  </tr>\n";
}

// A cell of the pairing and table rows: the opening line with the font, then the paragraph.
QByteArray boldCell(const char* width, const char* size, const char* align, const QByteArray& content)
{
    return QByteArray("    <td width=\"") + width + "\"> <b><font size=\"" + size +
           "\" face=\"Verdana, Arial, Helvetica, sans-serif\">\n    <p align=\"" + align + "\">" + content +
           "</font></b></td>\n";
}

QByteArray plainCell(const char* width, const char* align, const QByteArray& content)
{
    return QByteArray("    <td width=\"") + width +
           "\"><font size=\"1\" face=\"Verdana, Arial, Helvetica, sans-serif\">\n    <p align=\"" + align + "\">" +
           content + "</font></td>\n";
}

QByteArray footerTextLatin1()
{
    return QStringLiteral("Velmarik 3000 *** Innovative Software für den Schießsport").toLatin1();
}

} // namespace

// -------------------------------------------------------------------------------------- settings

WebOptions loadWebOptions(CTorvmDoc& doc)
{
    CProfileTable profile(doc.GetDatabase(), &doc);
    WebOptions o;
    o.termin = profile.GetInt(kWebSection, QStringLiteral("Termin"), 1) != 0;
    o.tabelle = profile.GetInt(kWebSection, QStringLiteral("Tabelle"), 1) != 0;
    o.einzel = profile.GetInt(kWebSection, QStringLiteral("Einzel"), 0) != 0;
    o.round = std::clamp(profile.GetInt(QStringLiteral("All"), QStringLiteral("Durchgang"), 0), 0, kRoundsPerPlan - 1);
    return o;
}

bool storeWebOptions(CTorvmDoc& doc, const WebOptions& options)
{
    Database* db = doc.GetDatabase();
    if (!db || db->isReadOnly())
        return false; // a write-protected competition keeps its settings
    Transaction tx(*db);
    if (!tx.active()) {
        showDatabaseError(db->lastError().text);
        return false;
    }
    CProfileTable profile(db, &doc);
    if (!profile.WriteInt(kWebSection, QStringLiteral("Termin"), options.termin ? 1 : 0) ||
        !profile.WriteInt(kWebSection, QStringLiteral("Tabelle"), options.tabelle ? 1 : 0) ||
        !profile.WriteInt(kWebSection, QStringLiteral("Einzel"), options.einzel ? 1 : 0) ||
        !profile.WriteInt(QStringLiteral("All"), QStringLiteral("Durchgang"), options.round))
        return false;
    if (!tx.commit()) {
        showDatabaseError(db->lastError().text);
        return false;
    }
    return true;
}

QString normalisedOrganiser(const QString& text)
{
    QString name = text.left(kOrganiserMaxLength);
    while (!name.isEmpty() && name.back() == QLatin1Char(' '))
        name.chop(1);
    return name;
}

QString loadOrganiser(CTorvmDoc& doc)
{
    CProfileTable profile(doc.GetDatabase(), &doc);
    return normalisedOrganiser(profile.GetString(kWebSection, kOrganiserKey, QString()));
}

bool storeOrganiser(CTorvmDoc& doc, const QString& text)
{
    CProfileTable profile(doc.GetDatabase(), &doc);
    return profile.WriteString(kWebSection, kOrganiserKey, normalisedOrganiser(text));
}

QString defaultWebFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("web"));
}

QString loadWebFolder(CTorvmDoc& doc, const QString& fallback)
{
    CProfileTable profile(doc.GetDatabase(), &doc);
    const QString folder = profile.GetString(kWebSection, QStringLiteral("Ordner"), QString());
    return folder.isEmpty() ? fallback : folder;
}

bool storeWebFolder(CTorvmDoc& doc, const QString& folder)
{
    CProfileTable profile(doc.GetDatabase(), &doc);
    return profile.WriteString(kWebSection, QStringLiteral("Ordner"), folder);
}

QByteArray htmlText(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        } else if (QChar::isSurrogate(c)) {
            c = QChar::ReplacementCharacter;
        }
        switch (c) {
        case U'&':
            out += "&amp;";
            break;
        case U'<':
            out += "&lt;";
            break;
        case U'>':
            out += "&gt;";
            break;
        case U'"':
            out += "&quot;";
            break;
        case U'\'':
            out += "&#39;";
            break;
        default:
            if (c < 0x100)
                out += static_cast<char>(c);
            else
                out += "&#" + number(c) + ';';
        }
    }
    return out;
}

// ----------------------------------------------------------------------------------------- pages

CWebExport::CWebExport(CTorvmDoc& doc, const WebOptions& options, const QString& organiser)
    : m_doc(doc)
    , m_options(options)
    , m_organiser(htmlText(normalisedOrganiser(organiser)))
    , m_organiserText(normalisedOrganiser(organiser))
    , m_title(htmlText(doc.CompetitionTitle()))
    , m_today(QDate::currentDate())
{
}

QByteArray CWebExport::head() const
{
    return "<html>\n"
           "\n"
           "<head>\n"
           R"(<meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1">)"
           "\n"
           R"(<meta name="description")"
           "\n"
           R"(content="Velmarik - )" +
           m_organiser + " - " + m_title +
           "\">\n"
           R"(<meta name="keywords")"
           "\n"
           R"(content=")" +
           m_organiser + ", " + m_title +
           ", wettkampf, schiessen, velmarik\">\n"
           R"(<meta name="distribution" content="global">)"
           "\n"
           R"(<meta name="page-type" content="info">)"
           "\n"
           R"(<meta name="audience" content="all">)"
           "\n"
           R"(<meta name="pragma" content="no-cache">)"
           "\n"
           "<title>" +
           m_organiser + " - " + m_title +
           "</title>\n"
           "</head>\n"
           "\n";
}

QByteArray CWebExport::footer() const
{
    return QByteArray(R"(  <tr> <td width="100%"><font size="2" face="Verdana, Arial, Helvetica, sans-serif">)") +
           "<a href=\"" + kMakerUrl + "\" target=\"Content\">" + kMakerHost + "</a>" + " *** " + footerTextLatin1() +
           "</font></td> </tr>\n";
}

QByteArray CWebExport::indexPage() const
{
    return head() + R"(<frameset framespacing="0" border="0" frameborder="0" cols="197,*">)"
                    "\n"
                    R"(  <frame src="index_l.htm" name="Left" noresize>)"
                    "\n"
                    R"(  <frame src="index_c.htm" name="Content" noresize>)"
                    "\n"
                    "  <noframes>\n"
                    "  <body>\n"
                    "  </body>\n"
                    "  </noframes>\n"
                    "</frameset>\n"
                    "\n"
                    "<frameset>\n"
                    "</frameset>\n"
                    "</html>\n";
}

QByteArray CWebExport::startPage() const
{
    const auto line = [](const QByteArray& text) {
        return R"(<p align="center"><font face="Verdana, Arial, Helvetica, sans-serif" size="5">)" + text +
               "</font></p>\n";
    };
    return head() + bodyLine(kContentColours) + "<p>&nbsp;</p>\n<p>&nbsp;</p>\n" + line(m_organiser) +
           "<p>&nbsp;</p>\n<p>&nbsp;</p>\n" + line(m_title) + "<p>&nbsp;</p>" + footer() + "</html>\n";
}

const std::map<int, CWebExport::PlanRound>* CWebExport::planRounds(int plan)
{
    if (const auto it = m_plans.find(plan); it != m_plans.end())
        return &it->second;
    std::map<int, PlanRound> rounds;
    if (plan >= 0 && plan < kPlanCount) {
        CPlanTable plans(m_doc.GetDatabase(), &m_doc);
        if (!plans.OpenTable())
            return nullptr;
        if (!plans.Select(R"("PlanID" BETWEEN ? AND ?)",
                          {std::int64_t{planKey(plan, 0)}, std::int64_t{planKey(plan, kRoundsPerPlan - 1)}},
                          R"("PlanID")")) {
            showDatabaseError(plans.GetLastError().text);
            return nullptr;
        }
        for (; !plans.IsEOF(); plans.MoveNext())
            rounds[static_cast<int>(plans.m_PlanID - planKey(plan, 0))] = {plans.m_Datum1, plans.m_A, plans.m_B};
    }
    return &m_plans.emplace(plan, std::move(rounds)).first->second;
}

std::optional<QByteArray> CWebExport::fixturePage(CGruppeTable& groups)
{
    const auto* rounds = planRounds(groups.m_Plan);
    if (!rounds)
        return std::nullopt;

    std::array<QByteArray, kSlotCount + 1> names;
    QByteArray page = head() + bodyLine(kContentColours) + centredLine(m_title) + centredLine(htmlText(groups.m_Name)) +
                      "<table border=\"0\" width=\"100%\">\n";
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (!groups.SlotUsed(slot))
            continue;
        names[slot] = htmlText(groups.TeamName(slot));
        page += R"(  <tr> <td width="100%"><b><font size="2" face="Verdana, Arial, Helvetica, sans-serif">)" +
                formatted("%2d. ", slot) + names[slot] + "</font></b></td> </tr>\n";
    }
    page += "</table>\n";

    for (const auto& [r, round] : *rounds) {
        bool listed = false;
        for (int k = 0; k < kPairingsPerRound; ++k)
            listed = listed || (round.a[k] != 0 && round.b[k] != 0);
        if (!listed)
            continue;
        page += "<p>&nbsp;</p>" + roundHeading(round.date, r) + "<table border=\"0\" width=\"100%\">\n";
        for (int k = 0; k < kPairingsPerRound; ++k) {
            const int a = round.a[k];
            const int b = round.b[k];
            if (!groups.SlotUsed(a) || !groups.SlotUsed(b))
                continue;
            page += "  <tr>\n" + boldCell("48%", "2", "right", names[a]) + boldCell("4%", "2", "center", "-") +
                    "    <td width=\"48%\"> <b><font size=\"2\" face=\"Verdana, Arial, Helvetica, sans-serif\">\n" +
                    names[b] + "</font></b></td>\n  </tr>\n";
        }
        page += "</table>\n";
    }
    page += "<p>&nbsp;</p>" + footer() + "</html>\n";
    return page;
}

std::optional<QByteArray> CWebExport::resultsPage(const LeagueTable& t)
{
    if (!t.ok)
        return std::nullopt;
    std::array<QByteArray, kSlotCount + 1> names;
    for (int slot = 1; slot <= kSlotCount; ++slot)
        names[slot] = htmlText(t.teamNames[slot]);

    QByteArray page = head() + bodyLine(kContentColours) + centredLine(m_title) + centredLine(htmlText(t.name)) +
                      "<table border=\"0\" width=\"100%\">\n";

    const CTabellenStand& s = t.stand;
    page += "<p>&nbsp;</p><table border=\"0\" width=\"100%\">\n";
    for (const StandingRow& row : t.rows) {
        const int slot = row.slot;
        page += "  <tr>\n" + boldCell("20%", "2", "right", row.rank != 0 ? formatted("%d. ", row.rank) : " ") +
                boldCell("45%", "2", "left", names[slot]) + boldCell("5%", "2", "right", number(s.Kaempfe[slot])) +
                boldCell("10%", "2", "right",
                         formatted("%2lld : %2lld", static_cast<long long>(s.Pluspunkte[slot]),
                                   static_cast<long long>(s.Minuspunkte[slot]))) +
                boldCell("10%", "2", "right", htmlText(ringText(s.Ringe[slot], t.tenths))) +
                boldCell("20%", "2", "right", {}) + "  </tr>\n";
    }
    page += "</table>\n";
    if (!t.tieBreakLine.isEmpty())
        page += centredLine(htmlText(t.tieBreakLine));

    for (std::size_t r = 0; r < t.rounds.size(); ++r) {
        const RoundResults& round = t.rounds[r];
        page +=
            "<p>&nbsp;</p>" + roundHeading(round.date, static_cast<int>(r)) + "<table border=\"0\" width=\"100%\">\n";
        for (const RoundPairing& p : round.pairings) {
            page += "  <tr>\n" + boldCell("30%", "2", "right", names[p.slotA]) + boldCell("1%", "2", "center", "-") +
                    boldCell("30%", "2", "left", names[p.slotB]) +
                    boldCell("5%", "2", "right", htmlText(pairingRingText(p.ringsA, p.absentA, t.tenths))) +
                    boldCell("1%", "2", "center", "-") +
                    boldCell("5%", "2", "left", htmlText(pairingRingText(p.ringsB, p.absentB, t.tenths)));
            if (p.remark != 0)
                page += plainCell("10%", "left", asterisks(p.remark));
            page += "  </tr>\n";
        }
        for (qsizetype i = 0; i < round.remarks.size(); ++i) {
            const int n = static_cast<int>(i) + 1;
            page += "  <tr>\n" + plainCell("39%", "right", {}) + boldCell("1%", "1", "center", " ") +
                    plainCell("39%", "left", asterisks(n) + ' ' + htmlText(round.remarks[i])) +
                    boldCell("5%", "1", "right", {}) + boldCell("1%", "1", "center", {}) +
                    boldCell("5%", "1", "left", {}) + "  </tr>\n";
        }
        page += "</table>\n";
    }
    page += "<p>&nbsp;</p>" + footer() + "</html>\n";
    return page;
}

// ------------------------------------------------------------------------------------------- run

bool CWebExport::stage(const QString& name, const QByteArray& bytes)
{
    QString error;
    if (writeFileSafely(
            QDir(m_staging).filePath(name), [&bytes](QIODevice& file) { return file.write(bytes) == bytes.size(); },
            &error)) {
        m_staged.append(name);
        return true;
    }
    showMessage(MessageIcon::Information, QString::fromLatin1(kStrFileOpenFailed) + QLatin1Char('\n') +
                                              QDir::toNativeSeparators(QDir(m_folder).filePath(name)) + notWritten());
    return false;
}

int CWebExport::publish()
{
    // Everything that could stand in the way is found before the first page is replaced.
    for (const QString& name : std::as_const(m_staged)) {
        const QString target = QDir(m_folder).filePath(name);
        if (pathExists(target) && !inputFileProblem(target).isEmpty()) {
            showMessage(MessageIcon::Information, QString::fromLatin1(kStrFileOpenFailed) + QLatin1Char('\n') +
                                                      QDir::toNativeSeparators(target) + notWritten());
            return -1;
        }
    }
    int moved = 0;
    for (const QString& name : std::as_const(m_staged)) {
        const QString target = QDir(m_folder).filePath(name);
        if (::rename(nativeFileName(QDir(m_staging).filePath(name)).constData(), nativeFileName(target).constData()) !=
            0) {
            showMessage(MessageIcon::Information, QStringLiteral("Die Datei %1 kann nicht geschrieben werden:\n%2")
                                                      .arg(QDir::toNativeSeparators(target), systemErrorText(errno)));
            return -1;
        }
        ++moved;
    }
    return moved;
}

CWebExport::Walk CWebExport::forEachGroup(WebExportResult::Status& status,
                                          const std::function<bool(CGruppeTable&)>& page)
{
    CGruppeTable groups(m_doc.GetDatabase(), &m_doc);
    if (!groups.OpenTable())
        return Walk::Failed;
    if (!groups.Select(nullptr, {}, R"("ID")")) {
        showDatabaseError(groups.GetLastError().text);
        return Walk::Failed;
    }
    std::set<int> seen;
    for (; !groups.IsEOF(); groups.MoveNext()) {
        if (m_cancelled || (m_progress.nextGroup && !m_progress.nextGroup())) {
            m_cancelled = true;
            return Walk::Cancelled;
        }
        // A number that is Null, no number, or a second group's would name another group's page.
        if (!isValidResultKey(groups.m_ID, 0, 0, 0) || !seen.insert(groups.m_ID).second) {
            m_skippedGroups.insert(groups.m_Name);
            status = WebExportResult::Status::Incomplete;
            continue;
        }
        if (!page(groups))
            return Walk::Failed;
    }
    return Walk::Done;
}

void CWebExport::groupPass(Pass pass, QByteArray& menu, WebExportResult& result)
{
    const Walk walk = forEachGroup(result.status, [&](CGruppeTable& groups) {
        const int id = groups.m_ID;
        const QString name =
            pass == Pass::Termin ? QStringLiteral("Gruppe%1.htm").arg(id) : QStringLiteral("Erg%1.htm").arg(id);
        const auto page = pass == Pass::Termin
                              ? fixturePage(groups)
                              : resultsPage(ComputeLeagueTable(m_doc.GetDatabase(), &m_doc, id, m_options.round));
        if (!page || !stage(name, *page))
            return false;
        menu += menuLinkRow(name, groups.m_Name);
        return true;
    });
    if (walk == Walk::Failed)
        result.status = WebExportResult::Status::Failed;
    if (walk == Walk::Done)
        menu += menuClosingRow();
}

WebExportResult CWebExport::run(const QString& folder)
{
    WebExportResult result;
    m_folder = folder;
    m_cancelled = false;
    m_plans.clear();
    m_staged.clear();
    m_skippedGroups.clear();
    result.indexPath = QDir::toNativeSeparators(QDir(folder).absoluteFilePath(
        m_style == WebStyle::Modern ? QStringLiteral("index.html") : QStringLiteral("index.htm")));

    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(nativeFileName(folder).toStdString()), error);
    if (error) {
        showMessage(MessageIcon::Information,
                    QStringLiteral("Der Ordner %1 kann nicht angelegt werden:\n%2")
                        .arg(QDir::toNativeSeparators(displayPath(folder)),
                             error == std::errc::not_a_directory || error == std::errc::file_exists
                                 ? QStringLiteral("Unter diesem Namen gibt es eine Datei.")
                                 : systemErrorText(error.value())));
        return result;
    }
    if (const QString competition = competitionIn(folder); !competition.isEmpty()) {
        showMessage(MessageIcon::Information,
                    QStringLiteral("Der Ordner %1 enthält die Wettkampfdatei %2. Die Webseiten werden nicht dorthin "
                                   "geschrieben; bitte wählen Sie einen eigenen Ordner für sie.")
                        .arg(QDir::toNativeSeparators(displayPath(folder)), competition));
        return result;
    }

    // The new site is written beside the old one and moved in only when every page is on the disk:
    // a failure half-way leaves the pages of the last export as they were. The read transaction
    // shows every page the same state of the competition, even while an import runs.
    QByteArray staging = nativeFileName(QDir(folder).filePath(QStringLiteral(".webseiten-neu-XXXXXX")));
    if (::mkdtemp(staging.data()) == nullptr) {
        showMessage(MessageIcon::Information,
                    QString::fromLatin1(kStrFileOpenFailed) + QLatin1Char('\n') + result.indexPath);
        return result;
    }
    m_staging = fileNameFromNative(staging);
    const Transaction view(*m_doc.GetDatabase(), Transaction::Kind::Read);
    result.status = m_style == WebStyle::Modern ? buildModernSite() : buildSite();
    if (result.status != WebExportResult::Status::Failed) {
        const int moved = publish();
        if (moved < 0)
            result.status = WebExportResult::Status::Failed;
        else
            result.pagesWritten = moved;
    }
    for (const QString& name : std::as_const(m_staged))
        ::unlink(nativeFileName(QDir(m_staging).filePath(name)).constData());
    ::rmdir(staging.constData());
    if (!m_skippedGroups.empty() && result.status != WebExportResult::Status::Failed)
        showMessage(MessageIcon::Information,
                    QStringLiteral("Diese Gruppen haben keine gültige oder eine doppelte Nummer und fehlen auf den "
                                   "Webseiten: %1")
                        .arg(QStringList(m_skippedGroups.begin(), m_skippedGroups.end()).join(QStringLiteral(", "))));
    return result;
}

WebExportResult::Status CWebExport::buildSite()
{
    using Status = WebExportResult::Status;
    if (!stage(QStringLiteral("index.htm"), indexPage()))
        return Status::Failed;
    if (m_progress.started)
        m_progress.started();

    WebExportResult passes;
    passes.status = Status::Complete;
    QByteArray menu = head() + bodyLine(kMenuColours) + "<table border=\"0\" width=\"100%\">\n";
    menu += R"(  <tr> <td width="100%"><b><font size="3" face="Verdana, Arial, Helvetica, sans-serif">)" + m_organiser +
            "</font></b></td> </tr>\n";
    menu += spacerMenuRow();
    if (m_options.termin) {
        menu += emptyMenuRow() + menuHeading("Terminplan ") + "  <table border=\"0\" width=\"100%\">\n";
        groupPass(Pass::Termin, menu, passes);
        menu += "</table>\n";
    }
    if (m_options.tabelle && passes.status != Status::Failed) {
        menu += emptyMenuRow() + menuHeading("Ergebnisse ") + "  <table border=\"0\" width=\"100%\">\n";
        groupPass(Pass::Tabelle, menu, passes);
        menu += "</table>\n";
    }
    if (passes.status == Status::Failed)
        return Status::Failed;
    if (m_options.einzel)
        menu += emptyMenuRow() + menuHeading("Einzelwertung ") + emptyMenuRow();
    menu += spacerMenuRow();
    menu += R"(  <tr> <td width="100%"><font size="1" face="Verdana, Arial, Helvetica, sans-serif">Stand:)" +
            formatted("  %d.%02d.%04d", m_today.day(), m_today.month(), m_today.year()) +
            "</font></td> </tr>\n"
            "</table>\n"
            "</html>\n";
    if (!stage(QStringLiteral("index_l.htm"), menu) || !stage(QStringLiteral("index_c.htm"), startPage()))
        return Status::Failed;
    if (m_cancelled && passes.status == Status::Complete)
        return Status::Cancelled;
    return passes.status;
}

} // namespace torvm
