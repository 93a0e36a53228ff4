#include "masterdata/ui/ListenDlg.h"

#include "db/Messages.h"
#include "document/TorvmDoc.h"
#include "masterdata/ui/TeilnehmerDlg.h"
#include "masterdata/ui/VereinDlg.h"
#include "widgets/DialogButtons.h"
#include "widgets/HeaderWidths.h"
#include "widgets/Prompt.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace torvm::ui {

namespace {

QString title(MasterList kind)
{
    switch (kind) {
    case MasterList::Clubs:
        return QStringLiteral("Vereine");
    case MasterList::Participants:
        return QStringLiteral("Teilnehmer");
    case MasterList::Groups:
        break;
    }
    return QStringLiteral("Gruppen");
}

// Down in the search field goes on into the list, onto its first row, as in a file dialog.
class DownIntoList : public QObject {
public:
    DownIntoList(QLineEdit* search, QTableView* list)
        : QObject(search)
        , m_list(list)
    {
        search->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Down ||
            m_list->model()->rowCount() == 0)
            return false;
        m_list->setFocus(Qt::TabFocusReason);
        if (!m_list->currentIndex().isValid())
            m_list->selectRow(0);
        return true;
    }

private:
    QTableView* m_list;
};

} // namespace

CListenDlg::CListenDlg(CTorvmDoc& doc, MasterList kind, QWidget* parent)
    : QDialog(parent)
    , m_doc(doc)
    , m_kind(kind)
    , m_model(makeListModel(kind))
{
    setWindowTitle(title(kind));
    auto* layout = new QVBoxLayout(this);
    auto* searchRow = new QHBoxLayout;
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("search"));
    m_search->setClearButtonEnabled(true);
    m_search->setPlaceholderText(QStringLiteral("Name, Nummer oder Ort"));
    auto* searchLabel = new QLabel(QStringLiteral("&Suchen:"), this);
    searchLabel->setBuddy(m_search);
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_search, 1);
    layout->addLayout(searchRow);

    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("list"));
    m_view->setModel(m_model.get());
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSortingEnabled(true);
    m_view->sortByColumn(-1, Qt::AscendingOrder); // as read until a heading is clicked
    m_view->verticalHeader()->hide();
    // Fixed row heights let the view scroll 50 000 rows without measuring each.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->setWordWrap(false);
    // Widths from the font instead of from the contents: measuring the cells would read and lay
    // out the text of every row.
    const int charWidth = m_view->fontMetrics().averageCharWidth();
    for (int c = 0; c < m_model->columnCount(); ++c)
        m_view->setColumnWidth(c, charWidth * m_model->columnWidth(c) + 12);
    fitSectionsToHeadings(m_view->horizontalHeader());
    layout->addWidget(m_view, 1);

    auto* buttons = new QHBoxLayout;
    QPushButton* create = addButton(buttons, this, "&Neu", "new");
    QPushButton* edit = addButton(buttons, this, "&Bearbeiten", "edit");
    QPushButton* remove = addButton(buttons, this, "&Löschen", "delete");
    buttons->addStretch(1);
    QPushButton* close = addButton(buttons, this, "Schließen", "close");
    layout->addLayout(buttons);
    connect(m_search, &QLineEdit::textChanged, m_model.get(), &MasterListModel::setFilter);
    new DownIntoList(m_search, m_view);
    connect(m_view, &QTableView::activated, this, &CListenDlg::editEntry);
    connect(create, &QPushButton::clicked, this, &CListenDlg::createEntry);
    connect(edit, &QPushButton::clicked, this, &CListenDlg::editEntry);
    connect(remove, &QPushButton::clicked, this, &CListenDlg::deleteEntry);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    reload(std::nullopt);
    resize(720, 480);
    m_search->setFocus();
}

void CListenDlg::reload(std::optional<std::int32_t> select)
{
    loadList(m_kind, m_doc, *m_model);
    const int row = select ? m_model->rowOfKey(*select) : -1;
    if (row >= 0)
        m_view->selectRow(row);
}

std::optional<std::int32_t> CListenDlg::currentKey() const
{
    const QModelIndex index = m_view->currentIndex();
    if (!index.isValid() || !m_view->selectionModel()->isRowSelected(index.row()))
        return std::nullopt;
    return m_model->keyAt(index.row());
}

void CListenDlg::createEntry()
{
    if (m_kind == MasterList::Participants) {
        CTeilnehmerDlg editor(m_doc, 0, this);
        editor.exec();
        reload(editor.shownNumber()); // the new entry, as with clubs and groups
        return;
    }
    CVereinTable clubs(m_doc.GetDatabase(), &m_doc);
    CVereinDlg editor(m_doc, clubs.NextClubNumber(), this);
    editor.exec();
    reload(editor.returnedNumber());
}

void CListenDlg::openEditor(std::int32_t key)
{
    if (m_kind == MasterList::Participants) {
        CTeilnehmerDlg editor(m_doc, key, this);
        editor.exec();
        return;
    }
    CVereinDlg editor(m_doc, key, this);
    editor.exec();
}

void CListenDlg::editEntry()
{
    const std::optional<std::int32_t> key = currentKey();
    if (!key)
        return;
    openEditor(*key);
    reload(key);
}

QString CListenDlg::refusal(std::int32_t key)
{
    if (m_kind == MasterList::Participants) {
        const int results = CTeilnehmerTable(m_doc.GetDatabase(), &m_doc).ResultRowCount(key);
        if (results != 0)
            return QStringLiteral("Der Teilnehmer %1 steht in %2 und kann nicht gelöscht werden.")
                .arg(key)
                .arg(results < 0 ? QStringLiteral("unbekannt vielen Ergebniszeilen")
                                 : counted(results, "Ergebniszeile", "Ergebniszeilen"));
        return {};
    }
    const auto [participants, groupSlots] = CVereinTable(m_doc.GetDatabase(), &m_doc).ClubUse(key);
    if (participants < 0 || groupSlots < 0)
        return QStringLiteral("Ob der Verein %1 noch verwendet wird, ließ sich nicht prüfen.").arg(key);
    if (participants == 0 && groupSlots == 0)
        return {};
    return QStringLiteral("Der Verein %1 kann nicht gelöscht werden: ihm gehören noch %2 Teilnehmer, "
                          "und %3 %4 ihn als Mannschaft.")
        .arg(key)
        .arg(participants)
        .arg(counted(groupSlots, "Gruppe", "Gruppen"),
             groupSlots == 1 ? QStringLiteral("führt") : QStringLiteral("führen"));
}

QString CListenDlg::deleteQuestion(const QString& name, std::int32_t key) const
{
    if (m_kind == MasterList::Participants)
        return QStringLiteral("Teilnehmer %1 (%2) wirklich löschen?").arg(name).arg(key);
    return QStringLiteral("Verein %1 (%2) wirklich löschen?").arg(name).arg(key);
}

bool CListenDlg::deleteRow(std::int32_t key)
{
    if (m_kind == MasterList::Participants)
        return CTeilnehmerTable(m_doc.GetDatabase(), &m_doc).DeleteParticipant(key);
    return CVereinTable(m_doc.GetDatabase(), &m_doc).DeleteClub(key);
}

void CListenDlg::deleteEntry()
{
    const std::optional<std::int32_t> chosen = currentKey();
    if (!chosen)
        return;
    const std::int32_t key = *chosen;
    const QString why = refusal(key);
    if (!why.isEmpty()) {
        message(this, MessageIcon::Exclamation, why);
        return;
    }
    const int row = m_model->rowOfKey(key);
    const QString name = m_model->data(m_model->index(row, 1)).toString();
    if (message(this, MessageIcon::Question, deleteQuestion(name, key), Buttons::YesNo) != Reply::Yes)
        return;
    const bool deleted = deleteRow(key);
    if (!deleted)
        message(this, MessageIcon::Exclamation, databaseErrorText(m_doc.GetDatabase()->lastError().text));
    const int neighbour = row + 1 < m_model->rowCount() ? row + 1 : row - 1;
    reload(neighbour >= 0 ? std::optional<std::int32_t>(m_model->keyAt(neighbour)) : std::nullopt);
}

void runListCommand(QWidget* parent, CTorvmDoc& doc, MasterList kind)
{
    if (!doc.IsOpen()) {
        message(parent, MessageIcon::Exclamation, QString::fromUtf8(kStrNoCompetition));
        return;
    }
    CListenDlg dialog(doc, kind, parent);
    dialog.exec();
}

} // namespace torvm::ui
