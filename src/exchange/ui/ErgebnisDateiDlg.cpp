#include "exchange/ui/ErgebnisDateiDlg.h"

#include "db/Messages.h"
#include "db/Recordsets.h"
#include "db/SafeFile.h"
#include "db/Tables.h"
#include "document/TorvmDoc.h"
#include "results/CompetitionRules.h"
#include "widgets/DialogButtons.h"
#include "widgets/Prompt.h"
#include "widgets/WaitCursor.h"

#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace torvm::ui {

CVorlageDlg::CVorlageDlg(CTorvmDoc& doc, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Ergebnisvorlage"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_round = new QSpinBox(this);
    m_round->setObjectName(QStringLiteral("durchgang"));
    m_round->setRange(1, kRoundsPerPlan);
    m_groups = new QListWidget(this);
    m_groups->setObjectName(QStringLiteral("gruppen"));
    CGruppeTable groups(doc.GetDatabase(), &doc);
    for (const ComboItem& item : groups.GroupComboItems()) {
        auto* entry = new QListWidgetItem(item.text, m_groups);
        entry->setData(Qt::UserRole, item.data);
        entry->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        entry->setCheckState(Qt::Checked);
    }
    // The round after the last one with results is the one whose results are still to come.
    CWettkampfTable results(doc.GetDatabase(), &doc);
    m_round->setValue(std::clamp(results.LastRoundWithResults() + 2, 1, kRoundsPerPlan));
    auto* roundLabel = new QLabel(QStringLiteral("&Durchgang:"), this);
    roundLabel->setBuddy(m_round);
    auto* groupLabel = new QLabel(QStringLiteral("&Gruppen:"), this);
    groupLabel->setBuddy(m_groups);
    form->addRow(roundLabel, m_round);
    form->addRow(groupLabel, m_groups);
    layout->addLayout(form);
    addOkCancelRow(this, layout);
}

int CVorlageDlg::round() const
{
    return m_round->value() - 1;
}

std::vector<int> CVorlageDlg::tickedGroups() const
{
    std::vector<int> ticked;
    for (int i = 0; i < m_groups->count(); ++i) {
        if (m_groups->item(i)->checkState() == Qt::Checked)
            ticked.push_back(m_groups->item(i)->data(Qt::UserRole).toInt());
    }
    return ticked;
}

std::vector<int> CVorlageDlg::groups() const
{
    std::vector<int> ticked = tickedGroups();
    return static_cast<int>(ticked.size()) == m_groups->count() ? std::vector<int>{} : ticked;
}

void CVorlageDlg::accept()
{
    if (m_groups->count() > 0 && tickedGroups().empty()) {
        message(this, MessageIcon::Exclamation, QStringLiteral("Bitte wählen Sie mindestens eine Gruppe."));
        return;
    }
    QDialog::accept();
}

CErgebnisVorschauDlg::CErgebnisVorschauDlg(const FormReading& reading, QWidget* parent)
    : QDialog(parent)
    , m_pairings(reading.pairings)
{
    setWindowTitle(QStringLiteral("Ergebnisse aus Datei einlesen"));
    resize(720, 420);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("&Angehakte Begegnungen werden gespeichert; Begegnungen mit Warnungen "
                                            "sind zunächst nicht angehakt."),
                             this);
    label->setWordWrap(true);
    layout->addWidget(label);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("begegnungen"));
    m_list->setHeaderHidden(true);
    m_list->setColumnCount(1);
    label->setBuddy(m_list);
    for (const FormPairing& p : m_pairings) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, QStringLiteral("%1, Durchgang %2, Begegnung %3: %4 %5 : %6 %7")
                             .arg(p.groupName)
                             .arg(p.round + 1)
                             .arg(p.pairing + 1)
                             .arg(p.sides[0].team, ringText(p.totals[0], reading.tenths),
                                  ringText(p.totals[1], reading.tenths), p.sides[1].team));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, p.warnings.isEmpty() ? Qt::Checked : Qt::Unchecked);
        for (const QString& warning : p.warnings)
            new QTreeWidgetItem(item, QStringList{QStringLiteral("Warnung: ") + warning});
        item->setExpanded(true);
    }
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    layout->addWidget(m_list);
    auto* row = new QHBoxLayout;
    connect(addButton(row, this, "A&lle", "alle"), &QPushButton::clicked, this, [this] { tickAll(true); });
    connect(addButton(row, this, "&Keine", "keine"), &QPushButton::clicked, this, [this] { tickAll(false); });
    row->addStretch();
    layout->addLayout(row);
    addOkCancelRow(this, layout);
}

void CErgebnisVorschauDlg::tickAll(bool ticked)
{
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        m_list->topLevelItem(i)->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
}

std::vector<FormPairing> CErgebnisVorschauDlg::chosen() const
{
    std::vector<FormPairing> chosen;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        if (m_list->topLevelItem(i)->checkState(0) == Qt::Checked)
            chosen.push_back(m_pairings[std::size_t(i)]);
    }
    return chosen;
}

void runResultFormExport(QWidget* parent, CTorvmDoc& doc)
{
    CVorlageDlg dialog(doc, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.title = QStringLiteral("Ergebnisvorlage speichern");
    request.lastFolder = FileRequest::LastFolder::Exports;
    request.proposed =
        QStringLiteral("%1_Durchgang_%2.csv").arg(QFileInfo(doc.path()).completeBaseName()).arg(dialog.round() + 1);
    request.defaultFolder = QFileInfo(doc.path()).absolutePath();
    request.filter = QStringLiteral("CSV-Dateien (*.csv)|*.csv|Alle Dateien (*.*)|*.*||");
    request.defaultSuffix = QStringLiteral("csv");
    const QString path = fileName(parent, request);
    if (path.isEmpty())
        return;
    QString error;
    bool written = false;
    {
        const WaitCursor wait;
        written = writeFileSafely(
            path,
            [&](QIODevice& file) {
                return writeResultForm(*doc.GetDatabase(), file, dialog.round(), dialog.groups(), &error);
            },
            &error);
    }
    if (!written)
        message(parent, MessageIcon::Exclamation, databaseErrorText(error));
}

void runResultFormImport(QWidget* parent, CTorvmDoc& doc)
{
    FileRequest request;
    request.kind = FileRequest::Kind::Open;
    request.title = QStringLiteral("Ergebnisse aus Datei einlesen");
    request.lastFolder = FileRequest::LastFolder::Imports;
    request.defaultFolder = QFileInfo(doc.path()).absolutePath();
    request.filter = QStringLiteral("CSV-Dateien (*.csv;*.txt)|*.csv;*.txt|Alle Dateien (*.*)|*.*||");
    const QString path = fileName(parent, request);
    if (path.isEmpty())
        return;
    Database& db = *doc.GetDatabase();
    FormReading reading;
    {
        const WaitCursor wait;
        reading = readResultFormFile(db, path);
    }
    if (!reading.ok) {
        message(parent, MessageIcon::Exclamation, reading.error);
        return;
    }
    if (reading.pairings.empty()) {
        message(parent, MessageIcon::Information,
                QStringLiteral("Die Datei %1 enthält keine Ringe; es gibt nichts zu speichern.")
                    .arg(QFileInfo(path).fileName()));
        return;
    }
    CErgebnisVorschauDlg preview(reading, parent);
    if (preview.exec() != QDialog::Accepted)
        return;
    const std::vector<FormPairing> chosen = preview.chosen();
    if (chosen.empty())
        return;
    QString error;
    bool stored = false;
    {
        const WaitCursor wait;
        stored = storeResultForm(db, chosen, &error);
    }
    if (!stored) {
        message(parent, MessageIcon::Exclamation, databaseErrorText(error));
        return;
    }
    doc.NotifyStandingsChanged();
    message(parent, MessageIcon::Information,
            counted(qsizetype(chosen.size()), "Begegnung", "Begegnungen") + QStringLiteral(" gespeichert."));
}

} // namespace torvm::ui
