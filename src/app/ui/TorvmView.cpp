#include "app/ui/TorvmView.h"

#include "controls/ui/HyperLink.h"
#include "widgets/WaitCursor.h"

#include "document/TorvmDoc.h"
#include "output/CompetitionOverview.h"
#include "output/MissingResults.h"

#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QScrollArea>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace torvm::ui {

namespace {

constexpr int kSideMargin = 8;

QLabel* boldLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QString roundLine(const GroupOverview& group)
{
    if (group.round < 0)
        return QStringLiteral("Der Plan der Gruppe hat noch keinen Durchgang.");
    return QStringLiteral("Durchgang %1: %2 mit Ergebnis").arg(group.round + 1).arg(pairingProgressText(group));
}

QTableWidget* standingsTable(const GroupOverview& group, QWidget* parent)
{
    auto* table = new QTableWidget(static_cast<int>(group.standings.size()), 4, parent);
    table->setObjectName(QStringLiteral("tabelle%1").arg(group.group + 1));
    table->setHorizontalHeaderLabels(
        {QStringLiteral("Platz"), QStringLiteral("Mannschaft"), QStringLiteral("Punkte"), QStringLiteral("Ringe")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    // Tab goes from link to link; the table only shows.
    table->setFocusPolicy(Qt::NoFocus);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int row = 0; row < table->rowCount(); ++row) {
        const OverviewStanding& s = group.standings[static_cast<std::size_t>(row)];
        const QStringList cells{s.place > 0 ? QStringLiteral("%1.").arg(s.place) : QString(), s.team,
                                QStringLiteral("%1 : %2").arg(s.pointsFor).arg(s.pointsAgainst), s.rings};
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column != 1)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, column, item);
        }
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    table->resizeRowsToContents();
    // As high as its rows: the overview scrolls as a whole, never a table inside it.
    int height = table->horizontalHeader()->sizeHint().height() + 2 * table->frameWidth();
    for (int row = 0; row < table->rowCount(); ++row)
        height += table->rowHeight(row);
    table->setFixedHeight(height);
    return table;
}

} // namespace

CTorvmView::CTorvmView(CTorvmDoc* doc, QWidget* parent)
    : QWidget(parent)
    , m_doc(doc)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    // A quarter inch high, the size the labels have always had.
    QFont bold;
    bold.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    bold.setStyleHint(QFont::SansSerif);
    bold.setPixelSize(std::max(1, logicalDpiY() * 8 / 32));
    bold.setWeight(QFont::Bold);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kSideMargin, 10, kSideMargin, kSideMargin);
    m_name = new QLabel(QStringLiteral("Velmarik Wettkampfverwaltung"), this);
    m_name->setObjectName(QStringLiteral("programLabel"));
    m_name->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_name->setFont(bold);
    layout->addWidget(m_name);

    // A long title wraps onto a second line instead of being cut off.
    m_title = new QLabel(doc ? doc->title() : QString(), this);
    m_title->setObjectName(QStringLiteral("titleLabel"));
    m_title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_title->setWordWrap(true);
    m_title->setFont(bold);
    layout->addWidget(m_title);

    m_overview = new QScrollArea(this);
    m_overview->setObjectName(QStringLiteral("overview"));
    m_overview->setWidgetResizable(true);
    m_overview->setFrameShape(QFrame::NoFrame);
    m_overview->setFocusPolicy(Qt::NoFocus);
    m_overview->viewport()->setAutoFillBackground(false);
    layout->addWidget(m_overview, 1);

    m_refresh = new QTimer(this);
    m_refresh->setSingleShot(true);
    m_refresh->setInterval(0);
    connect(m_refresh, &QTimer::timeout, this, &CTorvmView::refreshOverview);

    if (doc) {
        connect(doc, &CTorvmDoc::titleChanged, this, &CTorvmView::setTitle);
        connect(doc, &CTorvmDoc::standingsChanged, this, &CTorvmView::scheduleRefresh);
    }
}

CTorvmView::~CTorvmView() = default;

QString CTorvmView::programLabel() const
{
    return m_name->text();
}

QString CTorvmView::titleLabel() const
{
    return m_title->text();
}

void CTorvmView::OnInitialUpdate()
{
    if (!m_doc || m_set)
        return;
    const WaitCursor wait;
    m_set = std::make_unique<CTorvmSet>(m_doc.data());
    m_set->Open();
    setTitle(m_doc->title());
    refreshOverview();
}

void CTorvmView::releaseDocument()
{
    m_refresh->stop();
    m_set.reset();
    if (m_doc)
        disconnect(m_doc, nullptr, this, nullptr);
    m_doc = nullptr;
}

void CTorvmView::setTitle(const QString& title)
{
    m_title->setText(title);
}

void CTorvmView::scheduleRefresh()
{
    m_refresh->start();
}

void CTorvmView::refreshOverview()
{
    m_refresh->stop();
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("overviewContent"));
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 8, 0, 0);
    const auto note = [content, layout](const QString& text) {
        auto* label = new QLabel(text, content);
        label->setWordWrap(true);
        layout->addWidget(label);
    };
    if (m_doc && m_doc->IsOpen()) {
        QString error;
        const auto groups = competitionOverview(*m_doc, QDate::currentDate(), &error);
        if (!groups) {
            note(QStringLiteral("Die Übersicht kann nicht gelesen werden:\n") + error);
        } else if (groups->empty()) {
            note(QStringLiteral("Noch keine Gruppe angelegt. Mit „Gruppe“ im Menü Bearbeiten legen Sie die erste an; "
                                "hier steht dann ihr Stand."));
        } else {
            for (const GroupOverview& group : *groups)
                layout->addWidget(groupSection(group));
        }
    }
    layout->addStretch(1);
    // The old content goes later: one of its links may be the one whose click brought us here.
    if (QWidget* old = m_overview->takeWidget())
        old->deleteLater();
    m_overview->setWidget(content);
}

QWidget* CTorvmView::groupSection(const GroupOverview& group)
{
    auto* section = new QWidget;
    section->setObjectName(QStringLiteral("gruppe%1").arg(group.group + 1));
    auto* layout = new QVBoxLayout(section);
    layout->setContentsMargins(0, 0, 0, 12);
    QLabel* heading = boldLabel(groupTitle(group.group, group.name), section);
    heading->setObjectName(QStringLiteral("name"));
    layout->addWidget(heading);
    if (!group.standings.empty()) {
        layout->addWidget(new QLabel(group.hasResults
                                         ? QStringLiteral("Tabelle nach dem %1. Durchgang").arg(group.round + 1)
                                         : QStringLiteral("Tabelle vor dem ersten Durchgang"),
                                     section));
        layout->addWidget(standingsTable(group, section));
    }
    auto* progress = new QLabel(roundLine(group), section);
    progress->setObjectName(QStringLiteral("stand"));
    layout->addWidget(progress);
    auto* next = new QLabel(nextRoundText(group), section);
    next->setObjectName(QStringLiteral("naechster"));
    layout->addWidget(next);
    if (!group.missing.empty()) {
        layout->addWidget(new QLabel(QStringLiteral("Ausstehende Ergebnisse (Klick öffnet die Eingabe):"), section));
        for (const MissingPairing& p : group.missing) {
            auto* link =
                new CHyperLink(QStringLiteral("Durchgang %1, Paarung %2 (%3): %4 – %5")
                                   .arg(p.round + 1)
                                   .arg(p.pairing + 1)
                                   .arg(p.date.date().toString(QStringLiteral("dd.MM.yyyy")), p.a.team, p.b.team),
                               section, QStringLiteral("Ergebnis eingeben"));
            link->setObjectName(QStringLiteral("ausstehend"));
            link->setOptions(CHyperLink::kDefaultOptions | CHyperLink::InProgram);
            const EntryPosition at{p.group, p.round, p.pairing};
            // Queued: the entry runs after the click is done with the link, which a refresh replaces.
            connect(
                link, &CHyperLink::activated, this, [this, at] { emit pairingRequested(at); }, Qt::QueuedConnection);
            layout->addWidget(link);
        }
    }
    return section;
}

} // namespace torvm::ui
