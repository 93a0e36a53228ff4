#pragma once

#include "db/DateTime.h"
#include "db/Recordsets.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>

namespace torvm {

class CGruppeTable;
class CTorvmDoc;
struct LeagueTable;
struct OutputSettings;

inline constexpr auto kStrFileOpenFailed = "Datei kann nicht geoeffnet werden"; // string 163
inline constexpr auto kStrWebBusy = "Webseiten werden erstellt ...";            // string 164
inline constexpr int kOrganiserMaxLength = 40;

// What the site contains; kept with the competition.
struct WebOptions {
    bool termin = true;  // fixture pages and their menu section
    bool tabelle = true; // results pages and their menu section
    bool einzel = false; // the heading "Einzelwertung " in the menu
    int round = 0;       // 0-based: the last round the results pages show
    friend bool operator==(const WebOptions&, const WebOptions&) = default;
};

WebOptions loadWebOptions(CTorvmDoc& doc);
// false when a setting could not be written (the database error has been shown).
bool storeWebOptions(CTorvmDoc& doc, const WebOptions& options);

// The organisation that runs the competition, shown at the top of the menu and the start page:
// at most 40 characters, without trailing blanks; empty is allowed.
QString normalisedOrganiser(const QString& text);
QString loadOrganiser(CTorvmDoc& doc);
bool storeOrganiser(CTorvmDoc& doc, const QString& text);

// Where the desktop program proposes a competition's site: the folder "<file name>_web" beside the
// competition file, so two competitions never share one; in the user's data folder when the
// competition's own folder cannot be written.
QString defaultWebFolder(const QString& competitionPath);

// The competition whose site a folder holds, as the export recorded it there; empty when the
// folder holds no site with such a record.
QString siteCompetition(const QString& folder);
// True when folder holds the site of a competition other than the one at competitionPath.
bool holdsOtherCompetitionsSite(const QString& folder, const QString& competitionPath);

// The folder last chosen for the competition's site; `fallback` until one is chosen.
QString loadWebFolder(CTorvmDoc& doc, const QString& fallback);
bool storeWebFolder(CTorvmDoc& doc, const QString& folder);

// A text from the database or the settings as it goes into a page: ISO-8859-1 bytes with the
// characters that would end a tag or an attribute escaped, and every character outside
// ISO-8859-1 as a numeric character reference.
QByteArray htmlText(QStringView text);

// "Klassisch": the frameset site in ISO-8859-1; "Modern": HTML5 pages in UTF-8 for phones and
// desktops, with one stylesheet.
enum class WebStyle { Classic, Modern };

// A text as it goes into a page of the modern site: UTF-8 with markup characters escaped and
// control characters, which no HTML page may hold, left out.
QByteArray html5Text(QStringView text);

// The style last chosen for the competition's site; Classic until one is chosen.
WebStyle loadWebStyle(CTorvmDoc& doc);
// Writes the style only when it differs from the stored one; false when that failed (shown).
bool storeWebStyle(CTorvmDoc& doc, WebStyle style);

// How the export lets its caller show progress.
struct WebExportProgress {
    // The site folder exists and index.htm could be created; the pages follow.
    std::function<void()> started;
    // Asked before each group of each group pass; false stops the pass (and the following one).
    std::function<bool()> nextGroup;
};

struct WebExportResult {
    enum class Status {
        Complete,   // every page written
        Cancelled,  // stopped on request; the pages written before stay, the menu and start page are complete
        Incomplete, // a group that could not be read was left out (reported); the rest was written
        Failed      // nothing written (reported): the pages of the last export are as they were
    };
    Status status = Status::Failed;
    QString indexPath; // full path of the start page (index.htm; index.html in the modern style)
    int pagesWritten = 0;
    bool succeeded() const { return status == Status::Complete; }
};

// Writes the static web site of a competition into a folder: the frameset index.htm, the menu
// index_l.htm, the start page index_c.htm and per league group the fixture page Gruppe<ID>.htm
// and the results page Erg<ID>.htm. Files of the same names are replaced, all together and only
// when every page has been written, so a failure never leaves half a site. A folder that holds a
// competition is refused. The site records the path of its competition (see siteCompetition()).
// Failures are shown through showMessage() as they happen.
class CWebExport {
public:
    CWebExport(CTorvmDoc& doc, const WebOptions& options, const QString& organiser);

    void setProgress(WebExportProgress progress) { m_progress = std::move(progress); }
    // The date of the menu's "Stand:" line; today unless set.
    void setToday(const QDate& date) { m_today = date; }
    void setStyle(WebStyle style) { m_style = style; }

    WebExportResult run(const QString& folder);

private:
    enum class Pass { Termin, Tabelle };
    enum class Walk { Done, Cancelled, Failed };
    struct PlanRound {
        DateTime date;
        std::array<std::int32_t, kPairingsPerRound> a{}, b{};
    };

    QByteArray head() const;
    QByteArray footer() const;
    QByteArray indexPage() const;
    QByteArray startPage() const;
    // Calls page for every group in number order; a page that returns false ends the walk as a
    // failure. A group without a valid number or with another group's is left out (status then
    // Incomplete) and named when the site is done.
    Walk forEachGroup(WebExportResult::Status& status, const std::function<bool(CGruppeTable&)>& page);
    // Writes the pass's link rows into the menu and its pages into the folder.
    void groupPass(Pass pass, QByteArray& menu, WebExportResult& result);
    std::optional<QByteArray> fixturePage(CGruppeTable& group);
    std::optional<QByteArray> resultsPage(const LeagueTable& table);
    const std::map<int, PlanRound>* planRounds(int plan);

    // Writes every page into the staging folder; Failed as soon as one cannot be written.
    WebExportResult::Status buildSite();
    // Writes a page into the staging folder; reports and gives false when it cannot.
    bool stage(const QString& name, const QByteArray& bytes);
    // Moves the staged pages over those of the site; the number moved, or -1 (reported).
    int publish();
    // The modern site into the staging folder: start page, stylesheet, one page per group and the
    // two rankings; Failed as soon as one cannot be written.
    WebExportResult::Status buildModernSite();
    QByteArray modernPage(const QString& title, const QByteArray& body) const;
    std::optional<QByteArray> modernGroupPage(CGruppeTable& groups);
    std::optional<QByteArray> modernRankingPage(const OutputSettings& settings);
    std::optional<QByteArray> modernSeasonPage(const OutputSettings& settings);

    CTorvmDoc& m_doc;
    WebOptions m_options;
    QByteArray m_organiser;
    QString m_organiserText; // unescaped, for the modern pages
    QByteArray m_title;
    QDate m_today;
    QString m_folder;
    QString m_staging;
    QStringList m_staged;
    std::set<QString> m_skippedGroups; // names of groups left out for their number
    WebExportProgress m_progress;
    WebStyle m_style = WebStyle::Classic;
    bool m_cancelled = false;
    std::map<int, std::map<int, PlanRound>> m_plans; // read once per plan and run
};

} // namespace torvm
