#include "results/ui/WettkampfDlg.h"

#include "document/TorvmDoc.h"
#include "masterdata/ui/NumberField.h"
#include "masterdata/ui/TeilnehmerCombo.h"
#include "results/ui/PunkteDlg.h"
#include "results/ui/RingsField.h"
#include "widgets/DialogButtons.h"
#include "widgets/EnterMovesFocus.h"
#include "widgets/Prompt.h"
#include "widgets/RunDialog.h"
#include "widgets/WaitCursor.h"
#include "widgets/WindowPlacement.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace torvm::ui {

namespace {

constexpr int kNumberWidth = 64;
constexpr int kRingsWidth = 60;
constexpr int kNameWidth = 130;

QString sideName(int side)
{
    return side == 0 ? QStringLiteral("A") : QStringLiteral("B");
}

// An empty field is an empty row, not a typing error.
std::optional<int> readField(QWidget* dialog, QLineEdit* edit, qint64 min, qint64 max)
{
    if (edit->text().trimmed().isEmpty())
        return 0;
    return readNumberField(dialog, edit, min, max);
}

std::optional<int> readRings(QWidget* dialog, QLineEdit* edit, bool tenths)
{
    if (withoutParentheses(edit->text()).isEmpty())
        return 0;
    return readRingsField(dialog, edit, tenths, kMaxRings);
}

// The entries of a row's scoring list, in the order of the values of [Wertung].
struct ScoringEntry {
    const char* text;
    const char* tip;
};
constexpr ScoringEntry kScoringEntries[] = {
    {"–", "Mannschaftsschütze"},
    {"ES", "Einzelschütze: nur in der Einzelwertung, zählt nicht für die Mannschaft (Strg+I)"},
    {"AK", "außer Konkurrenz: ohne Platz, zählt nirgends (Strg+K)"},
};

} // namespace

CWettkampfDlg::CWettkampfDlg(CTorvmDoc& doc, QWidget* parent, std::optional<EntryPosition> at)
    : QDialog(parent)
    , m_doc(doc)
    , m_entry(doc.GetDatabase(), &doc)
{
    setWindowTitle(QStringLiteral("Wettkampf"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("scroll"));
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->verticalScrollBar()->setSingleStep(10);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    outer->addWidget(m_scroll);
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);

    auto* navigation = new QHBoxLayout;
    QPushButton* previous = addButton(navigation, content, "<", "previous");
    previous->setToolTip(QStringLiteral("Vorherige Paarung"));
    QPushButton* ok = addButton(navigation, content, "OK", "ok");
    m_cancel = addButton(navigation, content, "Abbrechen", "cancel");
    m_next = addButton(navigation, content, ">", "next");
    m_next->setToolTip(QStringLiteral("Nächste Paarung"));
    navigation->addSpacing(8);
    navigation->addWidget(new QLabel(QStringLiteral("Gehe zu:"), content));
    m_groupBox = new QComboBox(content);
    m_groupBox->setObjectName(QStringLiteral("gotoGroup"));
    m_groupBox->setMinimumWidth(120);
    navigation->addWidget(m_groupBox, 1);
    navigation->addWidget(new QLabel(QStringLiteral("Durchgang:"), content));
    m_roundBox = new QComboBox(content);
    m_roundBox->setObjectName(QStringLiteral("round"));
    for (int r = 1; r <= kRounds; ++r)
        m_roundBox->addItem(QString::number(r), r);
    navigation->addWidget(m_roundBox);
    layout->addLayout(navigation);

    auto* actions = new QHBoxLayout;
    QPushButton* takeOver = addButton(actions, content, "Teilnehmer übernehmen", "takeOver");
    m_heading = new QLabel(content);
    m_heading->setObjectName(QStringLiteral("heading"));
    m_heading->setAlignment(Qt::AlignCenter);
    actions->addWidget(m_heading, 1);
    m_points = addButton(actions, content, "Punkte", "points");
    layout->addLayout(actions);
    m_position = new QLabel(content);
    m_position->setObjectName(QStringLiteral("position"));
    m_position->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_position);
    m_conflict = new QLabel(content);
    m_conflict->setObjectName(QStringLiteral("conflict"));
    m_conflict->setWordWrap(true);
    m_conflict->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));
    layout->addWidget(m_conflict);

    buildRows(content);
    layout->addStretch(1);
    m_scroll->setWidget(content);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setContentsMargins(6, 2, 6, 4);
    outer->addWidget(m_status);

    connect(previous, &QPushButton::clicked, this, [this] { step(-1); });
    connect(m_next, &QPushButton::clicked, this, [this] { step(+1); });
    connect(ok, &QPushButton::clicked, this, &CWettkampfDlg::accept);
    // "Abbrechen" says what it does; only Esc and closing the window ask.
    connect(m_cancel, &QPushButton::clicked, this, [this] { QDialog::reject(); });
    connect(m_groupBox, &QComboBox::activated, this,
            [this](int index) { moveTo(m_groupBox->itemData(index).toInt(), round(), 0); });
    connect(m_roundBox, &QComboBox::activated, this, [this](int index) { moveTo(group(), index, 0); });
    connect(takeOver, &QPushButton::clicked, this, &CWettkampfDlg::takeOverParticipants);
    connect(m_points, &QPushButton::clicked, this, &CWettkampfDlg::editPoints);

    // Tab runs down the rows of team A, then team B, then on to ">": a round is typed from the
    // keyboard alone. The name lists stay out of the Tab chain; F4 or a letter in a number field
    // opens its row's name search. The scroll area takes no stop of its own.
    m_scroll->setFocusPolicy(Qt::NoFocus);
    QWidget* last = nullptr;
    auto chain = [&last](QWidget* w) {
        if (last)
            setTabOrder(last, w);
        last = w;
    };
    for (const auto& side : m_rows) {
        for (const Row& row : side) {
            chain(row.number);
            chain(row.rings);
        }
    }
    for (QWidget* w :
         {static_cast<QWidget*>(m_next), static_cast<QWidget*>(previous), static_cast<QWidget*>(ok),
          static_cast<QWidget*>(m_cancel), static_cast<QWidget*>(m_groupBox), static_cast<QWidget*>(m_roundBox),
          static_cast<QWidget*>(takeOver), static_cast<QWidget*>(m_points), static_cast<QWidget*>(m_absent[0]),
          static_cast<QWidget*>(m_absent[1])})
        chain(w);

    m_entry.open();
    CRSWettbewerb title(doc.GetDatabase(), &doc);
    const EntryPosition start = at ? *at : title.LoadEntryPosition();
    placeSizedDialog(this, QString::fromLatin1(kWettkampfPositionSection), scrollDialogWidth(m_scroll, kWidth),
                     scrollDialogHeight(m_scroll));
    storeRectOnFinish(this, QString::fromLatin1(kWettkampfPositionSection));
    load(start.group, std::clamp(start.round, 0, kRounds - 1), std::clamp(start.pairing, 0, kPairings - 1));
}

void CWettkampfDlg::buildRows(QWidget* content)
{
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    constexpr int kFirstRow = 2; // above the shooters: team and total, "nicht angetreten" and the heads
    for (int s = 0; s < 2; ++s) {
        const int column = s * 6; // A: 0..4, row numbers: 5, B: 6..10
        m_teamLabel[s] = new QLabel(content);
        m_teamLabel[s]->setObjectName(QStringLiteral("team") + sideName(s));
        grid->addWidget(m_teamLabel[s], 0, column, 1, 2);
        m_totalLabel[s] = new QLabel(QStringLiteral("0"), content);
        m_totalLabel[s]->setObjectName(QStringLiteral("total") + sideName(s));
        m_totalLabel[s]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(m_totalLabel[s], 0, column + 2);
        m_absent[s] = new QCheckBox(QStringLiteral("nicht angetreten"), content);
        m_absent[s]->setObjectName(QStringLiteral("absent") + sideName(s));
        m_absent[s]->setToolTip(QStringLiteral("Die Mannschaft ist nicht angetreten: statt ihrer Summe steht „n. a.“, "
                                               "die andere erhält die Punkte."));
        grid->addWidget(m_absent[s], 1, column, 1, 2);
        auto* substituteHead = new QLabel(QStringLiteral("E"), content);
        substituteHead->setToolTip(QStringLiteral("Ersatz"));
        grid->addWidget(substituteHead, 1, column + 3, Qt::AlignCenter);
        grid->addWidget(new QLabel(QStringLiteral("Wertung"), content), 1, column + 4);
        connect(m_absent[s], &QCheckBox::toggled, this, &CWettkampfDlg::showTotals);
        for (int n = 0; n < kShooterRows; ++n) {
            Row& row = m_rows[s][n];
            const QString suffix = sideName(s) + QString::number(n + 1);
            row.number = new QLineEdit(content);
            row.number->setObjectName(QStringLiteral("number") + suffix);
            row.number->setFixedWidth(kNumberWidth);
            row.name = new CTeilnehmerCombo(content);
            row.name->setObjectName(QStringLiteral("name") + suffix);
            row.name->setMinimumWidth(kNameWidth);
            row.name->setFocusPolicy(Qt::ClickFocus);
            row.name->AttachDocument(&m_doc);
            row.name->Bind(row.number);
            row.rings = new QLineEdit(content);
            row.rings->setObjectName(QStringLiteral("rings") + suffix);
            row.rings->setFixedWidth(kRingsWidth);
            row.rings->setAlignment(Qt::AlignRight);
            // The marks stay out of the Tab chain: Ctrl+E, Ctrl+I and Ctrl+K set them from the row.
            row.substitute = new QCheckBox(content);
            row.substitute->setObjectName(QStringLiteral("substitute") + suffix);
            row.substitute->setToolTip(QStringLiteral("Ersatz: zählt wie jeder Schütze und wird mit „E“ markiert "
                                                      "(Strg+E)"));
            row.substitute->setFocusPolicy(Qt::ClickFocus);
            row.scoring = new QComboBox(content);
            row.scoring->setObjectName(QStringLiteral("scoring") + suffix);
            for (const ScoringEntry& entry : kScoringEntries) {
                row.scoring->addItem(QString::fromUtf8(entry.text));
                row.scoring->setItemData(row.scoring->count() - 1, QString::fromUtf8(entry.tip), Qt::ToolTipRole);
            }
            row.scoring->setToolTip(QStringLiteral("ES = Einzelschütze (Strg+I), AK = außer Konkurrenz (Strg+K)"));
            row.scoring->setFocusPolicy(Qt::ClickFocus);
            const int line = n + kFirstRow;
            grid->addWidget(row.number, line, column);
            grid->addWidget(row.name, line, column + 1);
            grid->addWidget(row.rings, line, column + 2);
            grid->addWidget(row.substitute, line, column + 3, Qt::AlignCenter);
            grid->addWidget(row.scoring, line, column + 4);
            enterMovesFocus(row.number);
            enterMovesFocus(row.rings);
            row.rings->installEventFilter(this);
            row.number->installEventFilter(this);
            row.number->setToolTip(QStringLiteral("Paßnummer; F4 oder ein Buchstabe sucht nach dem Namen. "
                                                  "Strg+E Ersatz, Strg+I Einzelschütze, Strg+K außer Konkurrenz"));
            connect(row.number, &QLineEdit::textChanged, this, [this, s, n] { numberChanged(s, n); });
            connect(row.scoring, &QComboBox::currentIndexChanged, this, &CWettkampfDlg::showTotals);
            // After a pick the rings of that shooter are what is typed next.
            connect(row.name, &CTeilnehmerCombo::participantChosen, this, [rings = row.rings] {
                rings->setFocus(Qt::OtherFocusReason);
                rings->selectAll();
            });
        }
    }
    for (int n = 0; n < kShooterRows; ++n) {
        m_rowLabel[n] = new QLabel(QString::number(n + 1), content);
        m_rowLabel[n]->setAlignment(Qt::AlignCenter);
        m_rowLabel[n]->setMinimumWidth(24);
        grid->addWidget(m_rowLabel[n], n + kFirstRow, 5);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(7, 1);
    static_cast<QVBoxLayout*>(content->layout())->addLayout(grid);
}

void CWettkampfDlg::fillGroupList()
{
    const QSignalBlocker block(m_groupBox);
    m_groupBox->clear();
    CGruppeTable groups(m_doc.GetDatabase(), &m_doc);
    for (const ComboItem& item : groups.GroupComboItems())
        m_groupBox->addItem(item.text, item.data);
    m_groupBox->setCurrentIndex(m_groupBox->findData(group()));
}

bool CWettkampfDlg::moveTo(int group, int round, int pairing)
{
    if (!saveShown()) {
        // The lists show where the dialog still is.
        const QSignalBlocker blockGroup(m_groupBox);
        const QSignalBlocker blockRound(m_roundBox);
        m_groupBox->setCurrentIndex(m_groupBox->findData(this->group()));
        m_roundBox->setCurrentIndex(this->round());
        return false;
    }
    m_status->clear();
    if (group != this->group() || round != this->round() || pairing != this->pairing()) {
        WaitCursor wait;
        load(group, round, pairing);
    }
    return true;
}

void CWettkampfDlg::step(int direction)
{
    const int target = pairing() + direction;
    if (target >= 0 && target < std::max(m_entry.pairingCount(), 1)) {
        moveTo(group(), round(), target);
        return;
    }
    int index = m_groupBox->findData(group()) + direction;
    int nextRound = round();
    if (index < 0 || index >= m_groupBox->count()) {
        nextRound += direction;
        index = direction > 0 ? 0 : m_groupBox->count() - 1;
    }
    if (nextRound < 0 || nextRound >= kRounds || m_groupBox->count() == 0) {
        m_status->setText(direction > 0 ? QStringLiteral("Dies ist die letzte Paarung des letzten Durchgangs.")
                                        : QStringLiteral("Dies ist die erste Paarung des ersten Durchgangs."));
        return;
    }
    const int nextGroup = m_groupBox->itemData(index).toInt();
    if (!moveTo(nextGroup, nextRound, 0))
        return;
    if (direction < 0 && m_entry.pairingCount() > 1)
        load(nextGroup, nextRound, m_entry.pairingCount() - 1);
    m_status->setText(
        QStringLiteral("%1 %2, Durchgang %3, Paarung %4")
            .arg(direction > 0 ? QStringLiteral("Weiter in") : QStringLiteral("Zurück in"), m_entry.groupName())
            .arg(round() + 1)
            .arg(pairing() + 1));
}

void CWettkampfDlg::load(int group, int round, int pairing)
{
    m_entry.load(group, round, pairing);
    m_tenths = competitionRules(m_doc.GetDatabase(), &m_doc).tenths;
    fillGroupList();
    {
        const QSignalBlocker block(m_roundBox);
        m_roundBox->setCurrentIndex(round);
    }
    display();
    // The height follows the team: both teams' rows in full where the screen allows. A width the
    // user chose stays.
    resize(std::max(width(), scrollDialogWidth(m_scroll, kWidth)), scrollDialogHeight(m_scroll));
    focusFirstField();
}

void CWettkampfDlg::display()
{
    m_heading->setText(m_entry.groupName());
    QString position = QStringLiteral("Paarung %1 von %2").arg(pairing() + 1).arg(m_entry.pairingCount());
    // Says why results stand in parentheses.
    if (m_entry.bestCount() > 0 && m_entry.bestCount() < m_entry.teamSize())
        position +=
            QStringLiteral(" – es zählen die besten %1 von %2").arg(m_entry.bestCount()).arg(m_entry.teamSize());
    m_position->setText(position);
    m_conflict->setText(m_entry.conflict());
    m_conflict->setVisible(!m_entry.conflict().isEmpty());
    const bool editable = m_entry.conflict().isEmpty();
    const int size = m_entry.teamSize();
    bool anyTeam = false;
    for (int s = 0; s < 2; ++s) {
        const PairingSide& side = m_entry.side(s);
        anyTeam = anyTeam || side.hasTeam();
        m_teamLabel[s]->setText(side.team);
        {
            const QSignalBlocker block(m_absent[s]);
            m_absent[s]->setChecked(side.hasTeam() && side.absent);
        }
        m_absent[s]->setVisible(side.hasTeam());
        m_absent[s]->setEnabled(editable);
        for (int n = 0; n < kShooterRows; ++n) {
            const Row& row = m_rows[s][n];
            // Without a team on this side there is nothing the rows could be stored under.
            const bool shown = side.hasTeam() && n < size;
            {
                const QSignalBlocker block(row.number);
                row.number->setText(QString::number(shown ? side.participant[n] : 0));
            }
            row.rings->setText(ringText(shown ? side.rings[n] : 0, m_tenths));
            row.name->SetParticipant(shown ? side.participant[n] : 0);
            row.name->setPreferredClub(side.club);
            row.substitute->setChecked(shown && side.substitute[n]);
            {
                const QSignalBlocker block(row.scoring);
                row.scoring->setCurrentIndex(shown ? side.scoring[n] : 0);
            }
            for (QWidget* w :
                 {static_cast<QWidget*>(row.number), static_cast<QWidget*>(row.name), static_cast<QWidget*>(row.rings),
                  static_cast<QWidget*>(row.substitute), static_cast<QWidget*>(row.scoring)}) {
                w->setVisible(shown);
                w->setEnabled(editable);
            }
        }
    }
    for (int n = 0; n < kShooterRows; ++n)
        m_rowLabel[n]->setVisible(anyTeam && n < size);
    m_points->setEnabled(editable && m_entry.side(0).hasTeam() && m_entry.side(1).hasTeam());
    showTotals();
}

void CWettkampfDlg::focusFirstField()
{
    for (const auto& side : m_rows) {
        if (!side[0].number->isHidden() && side[0].number->isEnabled()) {
            side[0].number->setFocus();
            side[0].number->selectAll();
            return;
        }
    }
    m_next->setFocus();
}

bool CWettkampfDlg::collect()
{
    for (int s = 0; s < 2; ++s) {
        PairingSide& side = m_entry.side(s);
        if (!side.hasTeam())
            continue;
        for (int n = 0; n < m_entry.teamSize(); ++n) {
            const Row& row = m_rows[s][n];
            const std::optional<int> number = readField(this, row.number, std::numeric_limits<std::int32_t>::min(),
                                                        std::numeric_limits<std::int32_t>::max());
            if (!number)
                return false;
            const std::optional<int> rings = readRings(this, row.rings, m_tenths);
            if (!rings)
                return false;
            side.participant[n] = *number;
            side.rings[n] = *rings;
            side.substitute[n] = row.substitute->isChecked();
            side.scoring[n] = static_cast<std::uint8_t>(std::max(row.scoring->currentIndex(), 0));
        }
        side.absent = m_absent[s]->isChecked();
    }
    return true;
}

QLineEdit* CWettkampfDlg::field(const PairingWarning& warning) const
{
    const Row& row = m_rows[warning.side][warning.row];
    return warning.field == PairingWarning::Field::Rings ? row.rings : row.number;
}

bool CWettkampfDlg::confirmWarnings()
{
    const std::vector<PairingWarning> warnings = m_entry.check(highestSingleResult(m_doc.GetDatabase(), &m_doc));
    if (warnings.empty())
        return true;
    QStringList lines{QStringLiteral("Bitte prüfen Sie diese Paarung:"), QString()};
    for (const PairingWarning& w : warnings)
        lines << QStringLiteral("- ") + w.text;
    if (message(this, MessageIcon::Exclamation, lines.join(QLatin1Char('\n')), Buttons::SaveAnywayCorrect) ==
        Reply::Yes)
        return true;
    QLineEdit* first = field(warnings.front());
    m_scroll->ensureWidgetVisible(first);
    first->setFocus(Qt::OtherFocusReason);
    first->selectAll();
    return false;
}

bool CWettkampfDlg::saveShown()
{
    if (!collect())
        return false;
    if (!m_entry.isModified())
        return true;
    if (!confirmWarnings())
        return false;
    bool saved = false;
    {
        WaitCursor wait;
        saved = m_entry.save();
    }
    if (saved) {
        m_doc.NotifyStandingsChanged();
        return true;
    }
    message(this, MessageIcon::Exclamation, databaseErrorText(m_entry.lastError().text));
    return false;
}

void CWettkampfDlg::showTotals()
{
    const QWidget* typing = QApplication::focusWidget();
    for (int s = 0; s < 2; ++s) {
        const int rows = m_entry.side(s).hasTeam() ? m_entry.teamSize() : 0;
        std::array<std::int32_t, kShooterRows> rings{};
        std::array<std::uint8_t, kShooterRows> scoring{};
        std::array<bool, kShooterRows> readable{};
        for (int n = 0; n < rows; ++n) {
            const Row& row = m_rows[s][n];
            const QString typed = withoutParentheses(row.rings->text());
            const std::optional<std::int32_t> value = typed.isEmpty() ? 0 : parseRings(typed, m_tenths);
            // A value the check will refuse counts nothing until it is mended.
            readable[n] = value && *value <= kMaxRings;
            rings[n] = readable[n] ? *value : 0;
            scoring[n] = static_cast<std::uint8_t>(std::max(row.scoring->currentIndex(), 0));
        }
        const bool absent = m_absent[s]->isChecked();
        const std::array<bool, kShooterRows> counted = countedRows(rings, scoring, rows, m_entry.bestCount());
        std::int64_t total = 0;
        for (int n = 0; n < rows; ++n) {
            total += counted[n] ? rings[n] : 0;
            QLineEdit* field = m_rows[s][n].rings;
            if (!readable[n] || field == typing)
                continue;
            const QString text = ringText(rings[n], m_tenths);
            const bool aside = rings[n] != 0 && (absent || !counted[n]);
            field->setText(aside ? QLatin1Char('(') + text + QLatin1Char(')') : text);
        }
        m_totalLabel[s]->setText(absent ? QStringLiteral("n. a.") : ringText(total, m_tenths));
    }
}

bool CWettkampfDlg::markRow(int side, int row, int key)
{
    const Row& r = m_rows[side][row];
    if (!r.scoring->isEnabled())
        return false;
    switch (key) {
    case Qt::Key_E:
        r.substitute->toggle();
        return true;
    case Qt::Key_I:
        r.scoring->setCurrentIndex(r.scoring->currentIndex() == kIndividual ? int{kTeamShooter} : int{kIndividual});
        return true;
    case Qt::Key_K:
        r.scoring->setCurrentIndex(r.scoring->currentIndex() == kOutOfContest ? int{kTeamShooter} : int{kOutOfContest});
        return true;
    default:
        return false;
    }
}

void CWettkampfDlg::numberChanged(int side, int row)
{
    const Row& r = m_rows[side][row];
    bool ok = false;
    const int number = r.number->text().trimmed().toInt(&ok);
    // A name just picked from the list wrote this number; the list stays as it is.
    if (ok && number != 0 && r.name->currentIndex() >= 0 && r.name->selectedNumber() == number)
        return;
    r.name->SetParticipant(ok ? number : 0);
}

void CWettkampfDlg::openNameSearch(int side, int row, QKeyEvent* letter)
{
    CTeilnehmerCombo* name = m_rows[side][row].name;
    name->setFocus(Qt::ShortcutFocusReason);
    name->lineEdit()->selectAll();
    // The letter begins the name, typed over what the box showed.
    if (letter)
        QCoreApplication::sendEvent(name->lineEdit(), letter);
}

bool CWettkampfDlg::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::FocusIn && type != QEvent::FocusOut)
        return QDialog::eventFilter(watched, event);
    int side = -1;
    int row = -1;
    for (int s = 0; s < 2 && side < 0; ++s) {
        for (int n = 0; n < kShooterRows && side < 0; ++n) {
            if (watched == m_rows[s][n].number || watched == m_rows[s][n].rings) {
                side = s;
                row = n;
            }
        }
    }
    if (side < 0)
        return QDialog::eventFilter(watched, event);
    const Row& fields = m_rows[side][row];
    if (type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const auto modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (modifiers == Qt::ControlModifier && markRow(side, row, key->key()))
            return true;
        const QString text = key->text();
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        const bool letter = plain && text.size() == 1 && text.at(0).isLetter();
        if (watched == fields.number && (key->key() == Qt::Key_F4 || letter)) {
            openNameSearch(side, row, letter ? key : nullptr);
            return true;
        }
    }
    // A result that does not count is typed over without its parentheses.
    if (type == QEvent::FocusIn && watched == fields.rings) {
        const QString plain = withoutParentheses(fields.rings->text());
        if (plain != fields.rings->text())
            fields.rings->setText(plain);
    }
    if (type == QEvent::FocusOut && watched == fields.rings) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // "Abbrechen" must stay reachable with a wrong value in a field, and a message box or
        // another window taking the focus is no reason to check.
        const bool leavesForGood = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
                                   QApplication::focusWidget() != m_cancel;
        if (leavesForGood && readRings(this, fields.rings, m_tenths))
            showTotals();
    }
    return QDialog::eventFilter(watched, event);
}

void CWettkampfDlg::takeOverParticipants()
{
    if (round() == 0)
        return;
    m_entry.takeOverParticipants();
    display();
    focusFirstField();
}

void CWettkampfDlg::editPoints()
{
    if (!collect())
        return;
    const PairingSide& a = m_entry.side(0);
    const PairingSide& b = m_entry.side(1);
    CPunkteDlg points(this);
    points.setGroupName(m_entry.groupName());
    points.setTeams(a.team, b.team);
    points.setTotals(m_entry.countedTotal(0), m_entry.countedTotal(1), m_tenths);
    points.setReason(0, a.reason);
    points.setAdjustment(0, a.adjustment);
    points.setReason(1, b.reason);
    points.setAdjustment(1, b.adjustment);
    if (points.exec() != QDialog::Accepted)
        return;
    for (int s = 0; s < 2; ++s) {
        m_entry.side(s).reason = points.reason(s);
        m_entry.side(s).adjustment = points.adjustment(s);
    }
}

void CWettkampfDlg::reject()
{
    if (m_entry.conflict().isEmpty()) {
        // A wrong value has been shown and keeps the dialog open: leaving now would drop the other
        // changes of the pairing without asking. "Abbrechen" still leaves.
        if (!collect())
            return;
        if (m_entry.isModified()) {
            switch (message(this, MessageIcon::Question, QStringLiteral("Änderungen an dieser Paarung speichern?"),
                            Buttons::YesNoCancel)) {
            case Reply::Yes:
                if (!saveShown())
                    return;
                break;
            case Reply::No:
                break;
            default:
                return;
            }
        }
    }
    QDialog::reject();
}

void CWettkampfDlg::accept()
{
    if (!saveShown())
        return;
    CRSWettbewerb title(m_doc.GetDatabase(), &m_doc);
    title.SaveEntryPosition(group(), round(), pairing());
    QDialog::accept();
}

void runErgebnisCommand(QWidget* parent, CTorvmDoc& doc, std::optional<EntryPosition> at)
{
    CGruppeTable groups(doc.GetDatabase(), &doc);
    if (groups.GroupComboItems().empty()) {
        message(parent, MessageIcon::Information,
                QStringLiteral("Es gibt noch keine Gruppe. Bitte legen Sie zuerst eine Gruppe an (Befehl \"Gruppe\"); "
                               "dann können Sie ihre Ergebnisse eingeben."));
        return;
    }
    runDialog<CWettkampfDlg>(parent, doc, at);
}

} // namespace torvm::ui
