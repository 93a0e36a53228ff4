#include "exchange/ui/NeueSaisonDlg.h"

#include "db/Recordsets.h"
#include "db/SafeFile.h"
#include "document/TorvmDoc.h"
#include "widgets/DialogButtons.h"
#include "widgets/Prompt.h"
#include "widgets/RunDialog.h"
#include "widgets/WaitCursor.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace torvm::ui {

CNeueSaisonDlg::CNeueSaisonDlg(CTorvmDoc& doc, QWidget* parent)
    : QDialog(parent)
    , m_doc(doc)
    , m_groups(finalTables(doc.GetDatabase(), &doc))
{
    setWindowTitle(QStringLiteral("Neue Saison"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Die neue Wettkampfdatei erhält Vereine, Teilnehmer, Klassen (ein Jahr "
                                                "weiter), Wettkampfpläne (52 Wochen später) und die Gruppen mit ihren "
                                                "Mannschaften, aber keine Ergebnisse. Die erste Gruppe ist die "
                                                "höchste Spielklasse."),
                                 this));
    auto* counts = new QGridLayout;
    counts->addWidget(new QLabel(QStringLiteral("Gruppe"), this), 0, 0);
    counts->addWidget(new QLabel(QStringLiteral("Aufsteiger"), this), 0, 1);
    counts->addWidget(new QLabel(QStringLiteral("Absteiger"), this), 0, 2);
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        const int row = static_cast<int>(g) + 1;
        counts->addWidget(new QLabel(QStringLiteral("%1 %2").arg(g + 1).arg(m_groups[g].name), this), row, 0);
        for (auto* boxes : {&m_up, &m_down}) {
            auto* box = new QSpinBox(this);
            box->setRange(0, kSlotCount);
            // The highest group sends nobody up, the lowest nobody down.
            const bool possible = boxes == &m_up ? g > 0 : g + 1 < m_groups.size();
            box->setValue(possible ? 1 : 0);
            box->setEnabled(possible);
            box->setObjectName((boxes == &m_up ? QStringLiteral("auf%1") : QStringLiteral("ab%1")).arg(g + 1));
            counts->addWidget(box, row, boxes == &m_up ? 1 : 2);
            boxes->push_back(box);
            connect(box, &QSpinBox::valueChanged, this, &CNeueSaisonDlg::propose);
        }
    }
    layout->addLayout(counts);

    m_teams = new QTreeWidget(this);
    m_teams->setObjectName(QStringLiteral("teams"));
    m_teams->setRootIsDecorated(false);
    m_teams->setHeaderLabels({QStringLiteral("Gruppe"), QStringLiteral("Platz"), QStringLiteral("Mannschaft"),
                              QStringLiteral("Nächste Saison")});
    QStringList groupNames;
    for (const SeasonGroup& group : m_groups)
        groupNames << QStringLiteral("%1 %2").arg(group.id + 1).arg(group.name);
    for (const SeasonGroup& group : m_groups) {
        for (std::size_t place = 0; place < group.table.size(); ++place) {
            auto* item = new QTreeWidgetItem(
                m_teams, {groupNames[group.id], QString::number(place + 1), group.table[place].name, QString()});
            auto* target = new QComboBox(m_teams);
            target->addItems(groupNames);
            m_teams->setItemWidget(item, 3, target);
            m_targets.push_back({{group.id, group.table[place].slot}, target});
        }
    }
    m_teams->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(m_teams, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    QPushButton* create = addButton(buttons, this, "&Anlegen...", "create");
    QPushButton* cancel = addButton(buttons, this, "Abbrechen", "cancel");
    create->setDefault(true);
    layout->addLayout(buttons);
    connect(create, &QPushButton::clicked, this, &CNeueSaisonDlg::create);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    propose();
    resize(640, 520);
}

void CNeueSaisonDlg::propose()
{
    std::vector<int> up, down;
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        up.push_back(m_up[g]->value());
        down.push_back(m_down[g]->value());
    }
    const SeasonMoves proposed = proposeMoves(m_groups, up, down);
    for (const auto& [team, box] : m_targets) {
        const auto moved = proposed.find(team);
        box->setCurrentIndex(moved == proposed.end() ? team.first : moved->second);
    }
}

SeasonMoves CNeueSaisonDlg::moves() const
{
    SeasonMoves chosen;
    for (const auto& [team, box] : m_targets) {
        if (box->currentIndex() != team.first)
            chosen[team] = box->currentIndex();
    }
    return chosen;
}

void CNeueSaisonDlg::create()
{
    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.title = QStringLiteral("Neue Saison speichern unter");
    request.lastFolder = FileRequest::LastFolder::Competitions;
    request.proposed = nextSeasonTitle(QFileInfo(m_doc.path()).completeBaseName()) + QStringLiteral(".mdb");
    request.filter = QStringLiteral("Velmarik (*.mdb)|*.mdb|Alle Dateien (*.*)|*.*||");
    request.defaultSuffix = QStringLiteral("mdb");
    const QString path = fileName(this, request);
    if (path.isEmpty())
        return;
    if (pathExists(path)) {
        message(this, MessageIcon::Exclamation,
                QStringLiteral("Die Datei %1 ist bereits vorhanden. Die neue Saison bekommt eine eigene Datei; "
                               "bitte wählen Sie einen anderen Namen.")
                    .arg(displayPath(path)));
        return;
    }
    QString error;
    bool made = false;
    {
        const WaitCursor wait;
        made = createNewSeason(*m_doc.GetDatabase(), path, moves(), &error);
    }
    if (!made) {
        message(this, MessageIcon::Exclamation, databaseErrorText(error));
        return;
    }
    m_created = path;
    accept();
}

void runNeueSaisonCommand(QWidget* parent, CTorvmDoc& doc, const std::function<void(const QString&)>& open)
{
    if (!doc.IsOpen()) {
        message(parent, MessageIcon::Exclamation, QString::fromUtf8(kStrNoCompetition));
        return;
    }
    CNeueSaisonDlg dialog(doc, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (message(
            parent, MessageIcon::Question,
            QStringLiteral("Die neue Saison wurde als %1 angelegt. Jetzt öffnen?").arg(displayPath(dialog.created())),
            Buttons::YesNo) == Reply::Yes)
        open(dialog.created());
}

} // namespace torvm::ui
