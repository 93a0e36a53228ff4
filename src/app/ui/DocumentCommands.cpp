#include "app/ui/DocumentCommands.h"

#include "db/SafeFile.h"
#include "document/TorvmDoc.h"
#include "widgets/CommandIds.h"
#include "widgets/Prompt.h"

#include <algorithm>

namespace torvm::ui {

namespace {

struct CommandRule {
    int id;
    bool checksOpen;
    // The title dialog may have changed the title: every view shows it again afterwards,
    // whatever the dialog returned.
    bool rereadsTitle;
    // Changes the competition, so a write-protected one opened read-only refuses it up front
    // instead of letting the user type into a dialog whose every save fails.
    bool writes;
    // May change what the standings are computed from (rules, plans, groups, club names): the
    // competition's windows read their overview again.
    bool rereadsStandings;
};

// The class division has never asked for an open competition, and the imports and the web
// export leave that to their own dialogs.
constexpr CommandRule kRules[] = {
    {cmd::Teilnehmer, true, false, true, false},
    {cmd::Verein, true, false, true, true},
    {cmd::Wettbewerb, true, true, true, false},
    {cmd::Wertungsregeln, true, false, true, true},
    {cmd::Klasse, false, false, true, false},
    {cmd::Plan, true, false, true, true},
    {cmd::Gruppe, true, false, true, true},
    {cmd::Ergebnis, true, false, true, false},
    {cmd::TeilnehmerImport, false, false, true, true},
    {cmd::WebExport, false, false, false, false},
    {cmd::KalenderExport, true, false, false, false},
    {cmd::WebVeroeffentlichen, true, false, false, false},
    {cmd::SpeichernUnter, true, false, false, false},
    {cmd::AlsTabelleSpeichern, true, false, false, false},
    {cmd::ErgebnisImport, false, false, true, false},
    {cmd::ErgebnisVorlage, true, false, false, false},
    {cmd::ErgebnisseEinlesen, true, false, true, false},
    {cmd::FileClose, false, false, false, false},
    {cmd::SicherungWiederherstellen, true, false, true, false},
    {cmd::NeueSaison, true, false, false, false},
    {cmd::AusstehendeErgebnisse, true, false, false, false},
    {cmd::KlassenZuordnen, true, false, true, false},
    {cmd::VereinListe, true, false, true, true},
    {cmd::TeilnehmerListe, true, false, true, false},
    {cmd::GruppenListe, true, false, true, true},
};

const CommandRule* rule(int id)
{
    const auto* found =
        std::find_if(std::begin(kRules), std::end(kRules), [id](const CommandRule& r) { return r.id == id; });
    return found == std::end(kRules) ? nullptr : found;
}

// The command's refusals, shown to the user: no competition open, or a change to a write-protected one.
bool mayRun(const CommandRule& r, const CTorvmDoc& doc, QWidget* parent)
{
    if (r.checksOpen && !doc.IsOpen()) {
        message(parent, MessageIcon::Exclamation, QString::fromUtf8(kStrNoCompetition));
        return false;
    }
    if (r.writes && doc.IsReadOnly()) {
        message(parent, MessageIcon::Exclamation,
                QStringLiteral("Der Wettkampf %1 ist schreibgeschützt und nur zum Lesen geöffnet. Drucken und "
                               "Exportieren sind möglich, Änderungen nicht. Bitte geben Sie die Datei und ihren "
                               "Ordner zum Schreiben frei und öffnen Sie ihn erneut.")
                    .arg(displayPath(doc.path())));
        return false;
    }
    return true;
}

} // namespace

DocumentCommands::DocumentCommands(CloseHandler close)
    : m_close(std::move(close))
{
}

const std::vector<int>& DocumentCommands::ids()
{
    static const std::vector<int> list = [] {
        std::vector<int> result;
        for (const CommandRule& r : kRules)
            result.push_back(r.id);
        return result;
    }();
    return list;
}

bool DocumentCommands::handles(int id)
{
    return rule(id) != nullptr;
}

bool DocumentCommands::checksOpenFlag(int id)
{
    const CommandRule* r = rule(id);
    return r && r->checksOpen;
}

void DocumentCommands::setOpener(int id, Opener opener)
{
    if (!handles(id) || id == cmd::FileClose)
        return;
    if (opener)
        m_openers[id] = std::move(opener);
    else
        m_openers.erase(id);
    if (onChanged)
        onChanged();
}

bool DocumentCommands::isAvailable(int id) const
{
    return id == cmd::FileClose ? static_cast<bool>(m_close) : m_openers.count(id) > 0;
}

bool DocumentCommands::execute(int id, CTorvmDoc& doc, QWidget* parent) const
{
    const CommandRule* r = rule(id);
    if (!r || !isAvailable(id))
        return false;
    if (id == cmd::FileClose) {
        m_close(doc);
        return true;
    }
    if (!mayRun(*r, doc, parent))
        return false;
    // A copy: the opener may replace itself while its dialog runs.
    const Opener opener = m_openers.at(id);
    opener(doc, parent);
    if (r->rereadsTitle)
        doc.UpdateTitle();
    if (r->rereadsStandings)
        doc.NotifyStandingsChanged();
    return true;
}

bool DocumentCommands::openPairing(CTorvmDoc& doc, QWidget* parent, const EntryPosition& at) const
{
    if (!m_pairingOpener || !mayRun(*rule(cmd::Ergebnis), doc, parent))
        return false;
    m_pairingOpener(doc, parent, at);
    return true;
}

} // namespace torvm::ui
