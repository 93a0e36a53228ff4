#include "results/ui/RegelnDlg.h"

#include "db/Database.h"
#include "document/TorvmDoc.h"
#include "masterdata/ui/NumberField.h"
#include "results/ui/RingsField.h"
#include "widgets/DialogButtons.h"
#include "widgets/Prompt.h"
#include "widgets/RunDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace torvm::ui {

namespace {

constexpr int kSentenceWidth = 380;

// Under a choice: what it does, in the dialog's smaller print.
QLabel* addSentence(QFormLayout* form, QWidget* parent, const QString& name, const QString& text = {})
{
    auto* sentence = new QLabel(text, parent);
    sentence->setObjectName(name);
    sentence->setWordWrap(true);
    sentence->setMinimumWidth(kSentenceWidth);
    QFont font = sentence->font();
    font.setPointSizeF(font.pointSizeF() * 0.9);
    sentence->setFont(font);
    form->addRow(QString(), sentence);
    return sentence;
}

} // namespace

CRegelnDlg::CRegelnDlg(CTorvmDoc& doc, QWidget* parent)
    : QDialog(parent)
    , m_doc(doc)
{
    setWindowTitle(QStringLiteral("Wertungsregeln"));
    const CompetitionRules rules = competitionRules(doc.GetDatabase(), &doc);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;

    m_tenths = new QCheckBox(QStringLiteral("Zehntelwertung"), this);
    m_tenths->setObjectName(QStringLiteral("zehntel"));
    m_tenths->setChecked(rules.tenths);
    form->addRow(QString(), m_tenths);
    addSentence(form, this, QStringLiteral("zehntelText"),
                QStringLiteral("Ringe werden mit einer Nachkommastelle eingegeben und gezeigt (97,3). Beim Einschalten "
                               "werden gespeicherte Ergebnisse zu ganzen Ringen mit ,0 übernommen; ausschalten lässt "
                               "sich die Zehntelwertung nur, solange kein Ergebnis Zehntel hat."));

    m_highestBox = new QComboBox(this);
    m_highestBox->setObjectName(QStringLiteral("highestBox"));
    m_highestBox->setEditable(true);
    m_highestBox->setInsertPolicy(QComboBox::NoInsert);
    m_highest = m_highestBox->lineEdit();
    m_highest->setObjectName(QStringLiteral("highest"));
    offerHighestValues(rules.tenths);
    m_highest->setText(ringText(highestSingleResult(doc.GetDatabase(), &doc), rules.tenths));
    form->addRow(QStringLiteral("Höchstes Einzelergebnis:"), m_highestBox);
    addSentence(form, this, QStringLiteral("highestText"),
                QStringLiteral("Ringzahlen darüber fragt die Ergebniseingabe beim Speichern nach; 0 schaltet die "
                               "Prüfung aus."));

    for (std::size_t i = 0; i < kMaxTieBreaks; ++i) {
        auto* box = new QComboBox(this);
        box->setObjectName(QStringLiteral("tieBreak%1").arg(i + 1));
        // The first criterion is always there: equal teams are ordered somehow.
        if (i > 0)
            box->addItem(QStringLiteral("(keines)"), -1);
        for (const TieBreak criterion : {TieBreak::Rings, TieBreak::Direct, TieBreak::DirectRings, TieBreak::BestTeam})
            box->addItem(tieBreakText(criterion), static_cast<int>(criterion));
        const int chosen = i < rules.tieBreaks.size() ? static_cast<int>(rules.tieBreaks[i]) : -1;
        box->setCurrentIndex(std::max(box->findData(chosen), 0));
        m_tieBreak[i] = box;
        form->addRow(i == 0 ? QStringLiteral("Bei Punktgleichheit zuerst:") : QStringLiteral("dann:"), box);
        m_tieBreakSentence[i] = addSentence(form, this, QStringLiteral("tieBreakText%1").arg(i + 1));
        showTieBreakSentence(static_cast<int>(i));
        connect(box, &QComboBox::currentIndexChanged, this, [this, i] { showTieBreakSentence(static_cast<int>(i)); });
    }

    m_substitutes = new QLineEdit(QString::number(rules.substituteLimit), this);
    m_substitutes->setObjectName(QStringLiteral("ersatz"));
    m_substitutes->setMaximumWidth(80);
    form->addRow(QStringLiteral("Ersatzeinsätze je Schütze:"), m_substitutes);
    addSentence(form, this, QStringLiteral("ersatzText"),
                QStringLiteral("So oft darf ein Schütze in der Saison als Ersatz (E) schießen; darüber hinaus warnt "
                               "die Ergebniseingabe. 0 = unbegrenzt."));
    layout->addLayout(form);

    addOkCancelRow(this, layout);
    connect(m_tenths, &QCheckBox::toggled, this, &CRegelnDlg::tenthsToggled);
}

void CRegelnDlg::offerHighestValues(bool tenths)
{
    const QString typed = m_highest->text();
    m_highestBox->clear();
    // 30 and 40 shots at most 10,9 each in tenths; 30, 40 and 60 shots in whole rings.
    const QStringList offered = tenths
                                    ? QStringList{QStringLiteral("327,0"), QStringLiteral("436,0")}
                                    : QStringList{QStringLiteral("300"), QStringLiteral("400"), QStringLiteral("600")};
    m_highestBox->addItems(offered);
    m_highest->setText(typed);
}

// The value shown follows the unit: 400 becomes 400,0 and back, so the limit stays what it was.
void CRegelnDlg::tenthsToggled(bool on)
{
    const std::optional<std::int32_t> shown = parseRings(m_highest->text(), !on);
    offerHighestValues(on);
    if (!shown)
        return;
    const std::int64_t converted = on ? std::int64_t{*shown} * 10 : (std::int64_t{*shown} + 9) / 10;
    m_highest->setText(ringText(converted, on));
}

void CRegelnDlg::showTieBreakSentence(int position)
{
    const int chosen = m_tieBreak[position]->currentData().toInt();
    m_tieBreakSentence[position]->setText(
        chosen < 0 ? QStringLiteral("Sind die Mannschaften auch darin gleich, teilen sie sich den Platz.")
                   : tieBreakSentence(static_cast<TieBreak>(chosen)));
}

std::vector<TieBreak> CRegelnDlg::chosenTieBreaks() const
{
    std::vector<TieBreak> chain;
    for (const QComboBox* box : m_tieBreak) {
        const int chosen = box->currentData().toInt();
        if (chosen >= 0)
            chain.push_back(static_cast<TieBreak>(chosen));
    }
    return chain;
}

void CRegelnDlg::accept()
{
    const bool tenths = m_tenths->isChecked();
    const std::optional<int> highest = readRingsField(this, m_highest, tenths, kMaxRings);
    if (!highest)
        return;
    const std::optional<int> substitutes = readNumberField(this, m_substitutes, 0, kMaxSubstituteLimit);
    if (!substitutes)
        return;
    CompetitionRules rules;
    rules.tenths = tenths;
    rules.tieBreaks = chosenTieBreaks();
    rules.substituteLimit = *substitutes;

    Database* db = m_doc.GetDatabase();
    const bool rulesChanged = !(rules == competitionRules(db, &m_doc));
    // Looking at the rules of a write-protected file is no reason for a message.
    if (!rulesChanged && *highest == highestSingleResult(db, &m_doc)) {
        QDialog::accept();
        return;
    }
    // The rules and the limit in their unit land together, or the file keeps the old ones.
    Transaction tx(*db);
    if (!tx.active()) {
        message(this, MessageIcon::Exclamation, databaseErrorText(db->lastError().text));
        return;
    }
    QString error;
    if (rulesChanged && !setCompetitionRules(db, &m_doc, rules, &error)) {
        message(this, MessageIcon::Exclamation, error);
        return;
    }
    if (*highest != highestSingleResult(db, &m_doc) && !setHighestSingleResult(db, &m_doc, *highest)) {
        message(this, MessageIcon::Exclamation, databaseErrorText(db->lastError().text));
        return;
    }
    if (!tx.commit()) {
        message(this, MessageIcon::Exclamation, databaseErrorText(db->lastError().text));
        return;
    }
    QDialog::accept();
}

void runRegelnCommand(QWidget* parent, CTorvmDoc& doc)
{
    runDialog<CRegelnDlg>(parent, doc);
}

} // namespace torvm::ui
