#pragma once

#include "db/DateTime.h"
#include "output/PrintPage.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace torvm {

class CTorvmDoc;
class Database;

// Columns for the series a shooter fires, besides the total.
inline constexpr int kDefaultSeries = 4;
inline constexpr int kMaxSeries = 6;

// A row of a team on the form: pass number and name of who shot there last; 0 and empty for a row
// to be filled in by hand.
struct ReportShooter {
    std::int32_t number = 0;
    QString name;
    friend bool operator==(const ReportShooter&, const ReportShooter&) = default;
};

struct ReportTeam {
    QString team;
    QString captain;
    QString phone;
    std::vector<ReportShooter> rows; // as many as the group's team size
};

// The form of one pairing, filled in at the range and signed by both captains.
struct MatchReport {
    QString groupName;
    int round = 0; // 0-based
    DateTime date;
    ReportTeam a, b;
};

// The forms of every pairing of both teams in the round, for the groups given by [ID] in that
// order; a group without a plan round gives none. Each team's rows come from its latest round up
// to this one that has rings. None (error says why) on a database error.
std::optional<std::vector<MatchReport>> matchReports(Database* db, CTorvmDoc* doc, const std::vector<int>& groups,
                                                     int round, QString* error);

// Match report forms: one page per pairing.
class BerichtPage : public PagePainter {
public:
    BerichtPage(CTorvmDoc& doc, const std::vector<int>& groups, int round, int series);
    int pageCount() const override { return static_cast<int>(m_reports.size()); }
    bool paintPage(QPainter& painter, const PrintFonts& fonts, const QRect& page, int n) const override;

private:
    void paintTeam(QPainter& painter, const ReportTeam& team, int& line, int lines, const QRect& page) const;

    CTorvmDoc& m_doc;
    int m_series;
    bool m_ok = true;
    std::vector<MatchReport> m_reports;
};

} // namespace torvm
