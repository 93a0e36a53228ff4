#pragma once

#include "db/Recordsets.h"
#include "output/MatchReport.h"
#include "output/Ranking.h"

#include <QDate>
#include <QString>

#include <array>
#include <optional>
#include <vector>

class QIODevice;

namespace torvm {

class CTorvmDoc;

// The outputs of the "Ausgabe" sheet in the one order in which they are printed and written,
// whatever order they were chosen in.
// The season ranking, the match report forms and the missing results came last and go last, so
// every earlier output keeps its place.
enum class Output { Termin, Gruppe, Tabelle, Einzel, Verein, Teilnehmer, Gesamt, Bericht, Ausstehend };
inline constexpr int kOutputCount = 9;

// Key of the output in "VMPrintAll" ("Termin", ...); lower case it is the command-line name.
QString outputKey(Output output);

// Everything one output run uses.
struct OutputSettings {
    int round = 0; // 0-based, 0 ... 19
    std::array<bool, kOutputCount> outputs{};
    std::array<bool, kPlanCount> plans{};         // fixture schedules: plans 1 ... 5 chosen
    std::optional<std::vector<int>> groups;       // league tables: group [ID]s in order; none = all
    std::optional<std::vector<int>> sheetGroups;  // group sheets: the same
    std::optional<std::vector<int>> reportGroups; // match report forms: the same
    bool ergebnis = true;                         // league table: the round's pairings
    bool tabelle = true;                          // league table: the standings
    int platz = kDefaultPlatz;
    RankingClassMode klasse = RankingClassMode::Group;
    int sort = 0;                           // participant list: 0 by number, 1 by name
    int mindestens = kDefaultMindestens;    // season ranking: rounds a shooter needs
    int series = kDefaultSeries;            // match report forms: series columns
    QDate reference = QDate::currentDate(); // missing results: rounds before this day; never stored

    bool chosen(Output output) const { return outputs[static_cast<int>(output)]; }
};

// What a caller changes for one run; nothing of it is stored.
struct OutputOverrides {
    std::optional<int> round;
    std::optional<std::array<bool, kOutputCount>> outputs;
    std::optional<std::array<bool, kPlanCount>> plans;
    std::optional<std::vector<int>> groups; // group sheets, league tables and forms alike
    std::optional<bool> ergebnis;
    std::optional<bool> tabelle;
    std::optional<int> platz;
    std::optional<RankingClassMode> klasse;
    std::optional<int> sort;
    std::optional<int> mindestens;
    std::optional<int> series;
    std::optional<QDate> reference;
};

// The competition's stored choices (Profile table; the plans from the workplace settings) with
// the overrides applied. Stored values outside their range fall back to the nearest valid one.
OutputSettings loadOutputSettings(CTorvmDoc& doc, const OutputOverrides& overrides = {});

// "1. - 3. Durchgang": the rounds a season ranking up to `lastRound` (0-based) counts.
QString seasonRoundsText(int lastRound);

// The group [ID]s an output shows: the chosen ones, or every group that exists by [ID].
std::vector<int> outputGroups(CTorvmDoc& doc, const std::optional<std::vector<int>>& chosen);

// Printed pages the output needs with these settings; 0 when it is not chosen.
int outputPageCount(CTorvmDoc& doc, const OutputSettings& settings, Output output);
int totalPageCount(CTorvmDoc& doc, const OutputSettings& settings);

// The section of one output, every line ended by "\r\n"; none after a database error (shown).
// The match report forms are paper only: their section is empty.
std::optional<QString> sectionText(CTorvmDoc& doc, const OutputSettings& settings, Output output);

// Character set of the text file; Windows-1252 is what users' tools have always read.
enum class TextEncoding { Windows1252, Utf8 };

// The character set last chosen for the competition's text file; Windows-1252 until one is chosen.
TextEncoding loadTextEncoding(CTorvmDoc& doc);
// Writes the choice only when it differs from the stored one; false when that failed (shown).
bool storeTextEncoding(CTorvmDoc& doc, TextEncoding encoding);

// The text of the text file: product line, competition title and the section of every chosen
// output in the fixed order; none after a database error (shown).
std::optional<QString> textExportContent(CTorvmDoc& doc, const OutputSettings& settings);
QByteArray encodedText(const QString& content, TextEncoding encoding);

// The text file: product line, competition title and the section of every chosen output in the
// fixed order, as bytes of `encoding`. false after a database or write error.
bool writeTextExport(CTorvmDoc& doc, const OutputSettings& settings, QIODevice& device,
                     TextEncoding encoding = TextEncoding::Windows1252);

} // namespace torvm
