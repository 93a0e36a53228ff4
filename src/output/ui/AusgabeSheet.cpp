#include "output/ui/AusgabeSheet.h"

#include "db/Database.h"
#include "db/Messages.h"
#include "db/Settings.h"
#include "db/Tables.h"
#include "document/TorvmDoc.h"
#include "masterdata/ui/NumberField.h"
#include "widgets/DialogButtons.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace torvm::ui {

namespace {

const QString kAll = QStringLiteral("VMPrintAll");
const QString kTabelle = QStringLiteral("PrintTabelle");
const QString kEinzel = QStringLiteral("PrintEinzel");
const QString kTeilnehmer = QStringLiteral("PrintTeilnehmer");
const QString kTermin = QStringLiteral("VMPrintTermin");
const QString kGesamt = QStringLiteral("PrintGesamt");
const QString kBericht = QStringLiteral("PrintBericht");

// Check box texts in the order of the outputs.
constexpr std::array<const char*, kOutputCount> kOutputTexts{
    "&Terminplan", "&Gruppen",       "T&abelle",          "&Einzelwertung",         "&Vereine",
    "Teil&nehmer", "Gesa&mtwertung", "&Wettkampfbericht", "A&usstehende Ergebnisse"};

} // namespace

AusgabeSheet::AusgabeSheet(CTorvmDoc& doc, QWidget* parent, Use use)
    : QDialog(parent)
    , m_doc(doc)
    , m_settings(loadOutputSettings(doc))
{
    setWindowTitle(QStringLiteral("Eigenschaften von Ausgabe"));
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    // All eight tabs in view at once: the sheet grows with the font rather than hiding tabs.
    m_tabs->tabBar()->setUsesScrollButtons(false);
    m_tabs->tabBar()->setElideMode(Qt::ElideNone);
    m_tabs->addTab(createMainPage(), QStringLiteral("Ausgabe"));
    m_tabs->addTab(createTerminPage(), QStringLiteral("Terminplan"));
    m_tabs->addTab(createGruppePage(), QStringLiteral("Gruppe"));
    m_tabs->addTab(createTabellePage(), QStringLiteral("Tabelle"));
    m_tabs->addTab(createEinzelPage(), QStringLiteral("Einzel"));
    m_tabs->addTab(createTeilnehmerPage(), QStringLiteral("Teilnehmer"));
    m_tabs->addTab(createGesamtPage(), QStringLiteral("Gesamt"));
    m_tabs->addTab(createBerichtPage(), QStringLiteral("Bericht"));
    layout->addWidget(m_tabs);
    if (use == Use::TextFile) {
        m_encoding = new QComboBox(this);
        m_encoding->setObjectName(QStringLiteral("Zeichensatz"));
        // In the order of TextEncoding.
        m_encoding->addItems({QStringLiteral("Windows-1252 (wie bisher)"), QStringLiteral("UTF-8")});
        m_encoding->setCurrentIndex(static_cast<int>(loadTextEncoding(doc)));
        auto* form = new QFormLayout;
        auto* label = new QLabel(QStringLiteral("&Zeichensatz:"), this);
        label->setBuddy(m_encoding);
        form->addRow(label, m_encoding);
        layout->addLayout(form);
    }
    addOkCancelRow(this, layout);
}

TextEncoding AusgabeSheet::encoding() const
{
    return m_encoding ? static_cast<TextEncoding>(m_encoding->currentIndex()) : TextEncoding::Windows1252;
}

QWidget* AusgabeSheet::createMainPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* form = new QFormLayout;
    m_round = new QComboBox(page);
    m_round->setObjectName(QStringLiteral("Durchgang"));
    for (int r = 1; r <= kRoundsPerPlan; ++r)
        m_round->addItem(QString::number(r));
    m_round->setCurrentIndex(m_settings.round);
    auto* label = new QLabel(QStringLiteral("&Durchgang:"), page);
    label->setBuddy(m_round);
    form->addRow(label, m_round);
    layout->addLayout(form);
    for (int i = 0; i < kOutputCount; ++i) {
        m_outputs[i] = new QCheckBox(QString::fromUtf8(kOutputTexts[i]), page);
        m_outputs[i]->setObjectName(outputKey(static_cast<Output>(i)));
        m_outputs[i]->setChecked(m_settings.outputs[i]);
        layout->addWidget(m_outputs[i]);
    }
    layout->addStretch();
    return page;
}

QWidget* AusgabeSheet::createTerminPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    CPlanTable plans(m_doc.GetDatabase(), &m_doc);
    const bool readable = plans.OpenTable();
    for (int p = 0; p < kPlanCount; ++p) {
        // A plan without a name is offered by its number.
        const QString name = readable ? plans.PlanName(p) : QString();
        m_plans[p] = new QCheckBox(name.isEmpty() ? QStringLiteral("Plan %1").arg(p + 1) : name, page);
        m_plans[p]->setObjectName(QStringLiteral("Plan%1").arg(p + 1));
        m_plans[p]->setChecked(m_settings.plans[p]);
        layout->addWidget(m_plans[p]);
    }
    layout->addStretch();
    return page;
}

AusgabeSheet::GroupChoice AusgabeSheet::addGroupChoice(QWidget* page, QLayout* layout)
{
    GroupChoice choice;
    choice.all = new QRadioButton(QStringLiteral("&alle Gruppen"), page);
    choice.all->setObjectName(QStringLiteral("alleGruppen"));
    choice.chosen = new QRadioButton(QStringLiteral("&gewählte Gruppen"), page);
    choice.chosen->setObjectName(QStringLiteral("gewaehlteGruppen"));
    choice.all->setChecked(true); // the choice of groups is one run's, never kept
    choice.list = new QListWidget(page);
    choice.list->setObjectName(QStringLiteral("Gruppen"));
    choice.list->setSelectionMode(QAbstractItemView::MultiSelection);
    CGruppeTable groups(m_doc.GetDatabase(), &m_doc);
    for (const ComboItem& item : groups.GroupComboItems()) {
        auto* entry = new QListWidgetItem(item.text, choice.list);
        entry->setData(Qt::UserRole, item.data);
    }
    QRadioButton* chosen = choice.chosen;
    connect(choice.list, &QListWidget::itemSelectionChanged, this, [chosen] { chosen->setChecked(true); });
    layout->addWidget(choice.all);
    layout->addWidget(choice.chosen);
    layout->addWidget(choice.list);
    return choice;
}

std::optional<std::vector<int>> AusgabeSheet::GroupChoice::groups() const
{
    if (!chosen->isChecked())
        return std::nullopt;
    std::vector<int> ids;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected())
            ids.push_back(list->item(row)->data(Qt::UserRole).toInt());
    }
    return ids;
}

QWidget* AusgabeSheet::createGruppePage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    m_sheetGroups = addGroupChoice(page, layout);
    return page;
}

QWidget* AusgabeSheet::createTabellePage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    m_tableGroups = addGroupChoice(page, layout);
    m_ergebnis = new QCheckBox(QStringLiteral("&Ergebnis"), page);
    m_ergebnis->setObjectName(QStringLiteral("Ergebnis"));
    m_ergebnis->setChecked(m_settings.ergebnis);
    m_tabelle = new QCheckBox(QStringLiteral("&Tabelle"), page);
    m_tabelle->setObjectName(QStringLiteral("Tabelle"));
    m_tabelle->setChecked(m_settings.tabelle);
    layout->addWidget(m_ergebnis);
    layout->addWidget(m_tabelle);
    return page;
}

QWidget* AusgabeSheet::createEinzelPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* form = new QFormLayout;
    m_platz = new QLineEdit(QString::number(m_settings.platz), page);
    m_platz->setObjectName(QStringLiteral("Platz"));
    auto* label = new QLabel(QStringLiteral("Ausgabe &bis Platz:"), page);
    label->setBuddy(m_platz);
    form->addRow(label, m_platz);
    layout->addLayout(form);
    auto* group = new QGroupBox(QStringLiteral("Sortiert nach"), page);
    auto* groupLayout = new QVBoxLayout(group);
    constexpr std::array<const char*, 3> texts{"Teilnehmer &Klassen", "Gruppen K&lassen", "&ohne Unterteilung"};
    for (int i = 0; i < 3; ++i) {
        m_klasse[i] = new QRadioButton(QString::fromUtf8(texts[i]), group);
        m_klasse[i]->setObjectName(QStringLiteral("Klasse%1").arg(i));
        groupLayout->addWidget(m_klasse[i]);
    }
    m_klasse[static_cast<int>(m_settings.klasse)]->setChecked(true);
    layout->addWidget(group);
    layout->addStretch();
    return page;
}

QWidget* AusgabeSheet::createTeilnehmerPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* group = new QGroupBox(QStringLiteral("Sortiert nach"), page);
    auto* groupLayout = new QVBoxLayout(group);
    constexpr std::array<const char*, 2> texts{"&Nummer", "N&ame"};
    for (int i = 0; i < 2; ++i) {
        m_sort[i] = new QRadioButton(QString::fromUtf8(texts[i]), group);
        m_sort[i]->setObjectName(QStringLiteral("Sort%1").arg(i));
        groupLayout->addWidget(m_sort[i]);
    }
    m_sort[m_settings.sort == 1 ? 1 : 0]->setChecked(true);
    layout->addWidget(group);
    layout->addStretch();
    return page;
}

// The season ranking takes its classes from the "Einzel" tab; here only who counts.
QWidget* AusgabeSheet::createGesamtPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    m_mindestens = new QSpinBox(page);
    m_mindestens->setObjectName(QStringLiteral("Mindestens"));
    m_mindestens->setRange(1, kRoundsPerPlan);
    m_mindestens->setValue(m_settings.mindestens);
    auto* label = new QLabel(QStringLiteral("&mindestens"), page);
    label->setBuddy(m_mindestens);
    row->addWidget(label);
    row->addWidget(m_mindestens);
    row->addWidget(new QLabel(QStringLiteral("Durchgänge"), page));
    row->addStretch();
    layout->addLayout(row);
    layout->addStretch();
    return page;
}

QWidget* AusgabeSheet::createBerichtPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    m_reportGroups = addGroupChoice(page, layout);
    auto* row = new QHBoxLayout;
    m_series = new QSpinBox(page);
    m_series->setObjectName(QStringLiteral("Serien"));
    m_series->setRange(1, kMaxSeries);
    m_series->setValue(m_settings.series);
    auto* label = new QLabel(QStringLiteral("&Serien je Schütze:"), page);
    label->setBuddy(m_series);
    row->addWidget(label);
    row->addWidget(m_series);
    row->addStretch();
    layout->addLayout(row);
    return page;
}

void AusgabeSheet::accept()
{
    const std::optional<int> platz = readNumberField(this, m_platz, 0, kMaxPlatz);
    if (!platz) {
        m_tabs->setCurrentWidget(m_platz->parentWidget());
        m_platz->setFocus();
        return;
    }
    m_settings.platz = *platz;
    for (int i = 0; i < 3; ++i) {
        if (m_klasse[i]->isChecked())
            m_settings.klasse = static_cast<RankingClassMode>(i);
    }
    m_settings.round = m_round->currentIndex();
    for (int i = 0; i < kOutputCount; ++i)
        m_settings.outputs[i] = m_outputs[i]->isChecked();
    m_settings.ergebnis = m_ergebnis->isChecked();
    m_settings.tabelle = m_tabelle->isChecked();
    m_settings.groups = m_tableGroups.groups();
    m_settings.sheetGroups = m_sheetGroups.groups();
    m_settings.reportGroups = m_reportGroups.groups();
    for (int p = 0; p < kPlanCount; ++p)
        m_settings.plans[p] = m_plans[p]->isChecked();
    m_settings.sort = m_sort[1]->isChecked() ? 1 : 0;
    const OutputSettings stored = loadOutputSettings(m_doc);
    m_settings.mindestens = m_mindestens->value();
    m_settings.series = m_series->value();

    // The plans chosen belong to the workplace, the rest to the competition.
    for (int p = 0; p < kPlanCount; ++p)
        writeProfileInt(kTermin, QStringLiteral("Plan%1").arg(p + 1), m_settings.plans[p] ? 1 : 0);

    Database* db = m_doc.GetDatabase();
    Transaction transaction(*db);
    CProfileTable profile(db, &m_doc);
    bool ok = profile.WriteInt(kAll, QStringLiteral("Durchgang"), m_settings.round);
    for (int i = 0; i < kOutputCount; ++i) {
        // The choices of the season ranking and the forms are written only once they differ from
        // what is stored, so a competition whose user never chooses them keeps its settings rows
        // as they were.
        const auto output = static_cast<Output>(i);
        const bool later = output == Output::Gesamt || output == Output::Bericht || output == Output::Ausstehend;
        if (!later || m_settings.chosen(output) != stored.chosen(output))
            ok = ok && profile.WriteInt(kAll, outputKey(output), m_settings.outputs[i] ? 1 : 0);
    }
    if (m_settings.mindestens != stored.mindestens)
        ok = ok && profile.WriteInt(kGesamt, QStringLiteral("Mindestens"), m_settings.mindestens);
    if (m_settings.series != stored.series)
        ok = ok && profile.WriteInt(kBericht, QStringLiteral("Serien"), m_settings.series);
    ok = ok && profile.WriteInt(kTabelle, QStringLiteral("Ergebnis"), m_settings.ergebnis ? 1 : 0);
    ok = ok && profile.WriteInt(kTabelle, QStringLiteral("Tabelle"), m_settings.tabelle ? 1 : 0);
    ok = ok && profile.WriteInt(kEinzel, QStringLiteral("Platz"), m_settings.platz);
    ok = ok && profile.WriteInt(kEinzel, QStringLiteral("Klasse"), static_cast<int>(m_settings.klasse));
    ok = ok && profile.WriteInt(kTeilnehmer, QStringLiteral("Sort"), m_settings.sort);
    if (m_encoding)
        ok = ok && storeTextEncoding(m_doc, encoding());
    // The run goes ahead with the choices made even when they could not be kept; a failed write
    // has been shown already.
    if (ok && !transaction.commit())
        showDatabaseError(db->lastError().text);
    QDialog::accept();
}

} // namespace torvm::ui
