#include "masterdata/ui/TeilnehmerDlg.h"

#include "controls/ui/MaskEdit.h"
#include "document/TorvmDoc.h"
#include "masterdata/ui/NumberField.h"
#include "masterdata/ui/VereinCombo.h"
#include "masterdata/ui/VereinDlg.h"
#include "widgets/DialogButtons.h"
#include "widgets/EnterMovesFocus.h"
#include "widgets/Prompt.h"
#include "widgets/WindowPlacement.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <initializer_list>
#include <limits>

namespace torvm::ui {

namespace {

QLineEdit* addEdit(QFormLayout* form, QWidget* parent, const char* label, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMinimumWidth(220);
    form->addRow(QString::fromUtf8(label), edit);
    return edit;
}

// The list position of value, or none (-1) when the list has no such entry.
void selectPosition(QComboBox* box, int value)
{
    box->setCurrentIndex(value >= 0 && value < box->count() ? value : -1);
}

} // namespace

// -------------------------------------------------------------------------------- CTeilnehmerDlg

CTeilnehmerDlg::CTeilnehmerDlg(CTorvmDoc& doc, int number, QWidget* parent)
    : QDialog(parent)
    , m_doc(doc)
    , m_table(doc.GetDatabase(), &doc)
{
    setWindowTitle(QStringLiteral("Teilnehmer"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_number = new QLabel(this);
    m_number->setObjectName(QStringLiteral("number"));
    form->addRow(QStringLiteral("Nummer:"), m_number);
    m_name = addEdit(form, this, "Nachname:", "name");
    m_vorname = addEdit(form, this, "Vorname:", "vorname");
    m_anrede = new QComboBox(this);
    m_anrede->setObjectName(QStringLiteral("anrede"));
    m_anrede->addItems({QString(), QStringLiteral("Herr"), QStringLiteral("Frau")});
    form->addRow(QStringLiteral("Anrede:"), m_anrede);
    m_titel = addEdit(form, this, "Titel:", "titel");
    m_zusatz = addEdit(form, this, "Zusatz:", "zusatz");
    m_birthday = new CDateEdit(this, MissingDate::Blank);
    m_birthday->setObjectName(QStringLiteral("geburtstag"));
    form->addRow(QStringLiteral("Geburtstag:"), m_birthday);
    m_clubEdit = addEdit(form, this, "Verein (Nummer):", "vereinNummer");
    m_clubCombo = new CVereinCombo(this);
    m_clubCombo->setObjectName(QStringLiteral("vereinName"));
    m_clubCombo->setMinimumWidth(220);
    form->addRow(QStringLiteral("(Name):"), m_clubCombo);
    m_klasse = new QComboBox(this);
    m_klasse->setObjectName(QStringLiteral("klasse"));
    form->addRow(QStringLiteral("Klasse:"), m_klasse);
    layout->addLayout(form);

    auto* buttons = new QHBoxLayout;
    QPushButton* previous = addButton(buttons, this, "<", "previous");
    QPushButton* next = addButton(buttons, this, ">", "next");
    QPushButton* newClub = addButton(buttons, this, "Neuer Verein", "newClub");
    buttons->addStretch(1);
    QPushButton* ok = addButton(buttons, this, "OK", "ok");
    QPushButton* cancel = addButton(buttons, this, "Abbrechen", "cancel");
    layout->addLayout(buttons);
    connect(previous, &QPushButton::clicked, this, [this] { step(false); });
    connect(next, &QPushButton::clicked, this, [this] { step(true); });
    connect(newClub, &QPushButton::clicked, this, &CTeilnehmerDlg::newClub);
    connect(ok, &QPushButton::clicked, this, &CTeilnehmerDlg::accept);
    // "Abbrechen" says what it does; only Esc and closing the window ask.
    connect(cancel, &QPushButton::clicked, this, [this] { QDialog::reject(); });

    m_table.OpenTable();
    {
        CKlasseTable classes(doc.GetDatabase(), &doc);
        if (classes.OpenTable()) {
            for (const ComboItem& item : classes.ClassComboItems())
                m_klasse->addItem(item.text, item.data);
        }
    }
    m_clubCombo->AttachDocument(&doc);
    m_clubCombo->Bind(m_clubEdit, &m_clubNumber);
    connect(m_clubEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_clubCombo->SelectClub(text.trimmed().toInt(), false); });

    // Enter moves on as Tab does; only the buttons act on it.
    for (QWidget* field : std::initializer_list<QWidget*>{m_name, m_vorname, m_anrede, m_titel, m_zusatz, m_birthday,
                                                          m_clubEdit, m_clubCombo, m_klasse})
        enterMovesFocus(field);

    showParticipant(number);
    m_name->setFocus();
    placeFixedDialog(this, QString::fromLatin1(kTeilPositionSection));
}

int CTeilnehmerDlg::nextFreeNumber()
{
    return m_table.NextPassNumber();
}

void CTeilnehmerDlg::showParticipant(int number)
{
    ParticipantFields fields;
    if (number == 0 || !m_table.IsOpen() || !loadParticipant(m_table, number, fields)) {
        showNewParticipant(number != 0 ? number : nextFreeNumber());
        return;
    }
    m_current = number;
    m_proposed = 0;
    display(fields);
}

void CTeilnehmerDlg::showNewParticipant(int number)
{
    m_current = 0;
    m_proposed = number;
    display(ParticipantFields{});
}

void CTeilnehmerDlg::display(const ParticipantFields& fields)
{
    m_number->setText(QString::number(shownNumber()));
    m_name->setText(fields.name);
    m_vorname->setText(fields.vorname);
    m_titel->setText(fields.titel);
    m_zusatz->setText(fields.zusatz);
    m_loadedAnrede = fields.anrede;
    m_loadedKlasse = fields.klasse;
    m_loadedBirthday = fields.geburtstag;
    selectPosition(m_anrede, fields.anrede);
    selectPosition(m_klasse, fields.klasse);
    m_birthday->set(fields.geburtstag);
    m_clubNumber = fields.verein;
    m_loadedClub = fields.verein;
    {
        const QSignalBlocker block(m_clubEdit);
        m_clubEdit->setText(QString::number(fields.verein));
    }
    m_clubCombo->SelectClub(fields.verein, true);
}

bool CTeilnehmerDlg::store()
{
    if (m_clubCombo->hasFocus() && m_clubCombo->selectedNumber() != 0) // still in the combo: its pick counts
        m_clubCombo->WriteNumber();
    const std::optional<int> club =
        readNumberField(this, m_clubEdit, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    if (!club)
        return false;

    ParticipantFields fields;
    fields.name = m_name->text();
    fields.vorname = m_vorname->text();
    fields.titel = m_titel->text();
    fields.zusatz = m_zusatz->text();
    fields.anrede = m_anrede->currentIndex() >= 0 ? m_anrede->currentIndex() : m_loadedAnrede;
    fields.klasse = m_klasse->currentIndex() >= 0 ? m_klasse->currentIndex() : m_loadedKlasse;
    fields.verein = *club;
    if (m_birthday->isModified()) {
        const DateTime typed = m_birthday->get();
        if (typed.status() == DateTime::Status::Invalid) {
            message(this, MessageIcon::Exclamation, QStringLiteral("Geben Sie bitte ein gültiges Datum ein."));
            m_birthday->setFocus();
            return false;
        }
        // A field emptied again means no birthday, which the file keeps as Null.
        fields.geburtstag = typed.isNull() ? DateTime() : DateTime::fromParts(typed.year(), typed.month(), typed.day());
    } else {
        // Untouched, the birthday stays as the file held it, even where the field shows less of it.
        fields.geburtstag = m_loadedBirthday;
    }

    if (m_current == 0 && !fields.hasName())
        return true;
    if (!confirmClubNumber(this, m_doc, m_clubEdit, fields.verein))
        return false;
    m_clubCombo->SelectClub(fields.verein, true); // a club just created joins the list
    const int number = m_current != 0 ? m_current : m_proposed;
    if (!m_table.IsOpen() || !storeParticipant(m_table, number, fields)) {
        showDatabaseError(m_table.GetLastError().text);
        return false;
    }
    m_current = number;
    m_proposed = 0;
    m_loadedBirthday = fields.geburtstag;
    m_birthday->setModified(false);
    return true;
}

void CTeilnehmerDlg::step(bool forward)
{
    if (!store())
        return;
    const StepTarget target = stepTarget(m_table, m_current, forward);
    switch (target.kind) {
    case StepTarget::Kind::Record:
        showParticipant(target.number);
        break;
    case StepTarget::Kind::Edge:
        beep();
        if (forward)
            showNewParticipant(nextFreeNumber());
        break;
    case StepTarget::Kind::Unstored:
        showNewParticipant(nextFreeNumber());
        break;
    }
    // The next participant is typed from the top, whichever button was pressed.
    m_name->setFocus(Qt::OtherFocusReason);
    m_name->selectAll();
}

void CTeilnehmerDlg::newClub()
{
    CVereinNrDlg clubs(m_doc, this);
    clubs.exec();
    const int number = clubs.number();
    if (number == 0)
        return;
    m_clubNumber = number;
    {
        const QSignalBlocker block(m_clubEdit);
        m_clubEdit->setText(QString::number(number));
    }
    m_clubCombo->SelectClub(number, true);
}

void CTeilnehmerDlg::accept()
{
    if (store())
        QDialog::accept();
}

bool CTeilnehmerDlg::isModified() const
{
    const auto position = [](const QComboBox* box, int value) {
        return value >= 0 && value < box->count() ? value : -1;
    };
    return m_name->isModified() || m_vorname->isModified() || m_titel->isModified() || m_zusatz->isModified() ||
           m_birthday->isModified() || m_anrede->currentIndex() != position(m_anrede, m_loadedAnrede) ||
           m_klasse->currentIndex() != position(m_klasse, m_loadedKlasse) ||
           m_clubEdit->text().trimmed() != QString::number(m_loadedClub);
}

void CTeilnehmerDlg::reject()
{
    if (mayDropChanges(this, isModified()))
        QDialog::reject();
}

void CTeilnehmerDlg::done(int result)
{
    m_table.Close();
    QDialog::done(result);
}

// ------------------------------------------------------------------------------ CTeilnehmerNrDlg

CTeilnehmerNrDlg::CTeilnehmerNrDlg(CTorvmDoc& doc, QWidget* parent)
    : QDialog(parent)
    , m_doc(doc)
{
    setWindowTitle(QStringLiteral("Teilnehmer"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("number"));
    form->addRow(QStringLiteral("Nummer:"), m_edit);
    layout->addLayout(form);

    auto* buttons = new QHBoxLayout;
    QPushButton* first = addButton(buttons, this, "|<", "first");
    QPushButton* last = addButton(buttons, this, ">|", "last");
    QPushButton* fresh = addButton(buttons, this, "Neu", "new");
    QPushButton* open = addButton(buttons, this, ">>", "open");
    open->setDefault(true);
    QPushButton* close = addButton(buttons, this, "Schließen", "close");
    layout->addLayout(buttons);
    connect(first, &QPushButton::clicked, this, [this] { propose(&CTeilnehmerTable::FirstPassNumber); });
    connect(last, &QPushButton::clicked, this, [this] { propose(&CTeilnehmerTable::LastPassNumber); });
    connect(fresh, &QPushButton::clicked, this, [this] { propose(&CTeilnehmerTable::NextPassNumber); });
    connect(open, &QPushButton::clicked, this, &CTeilnehmerNrDlg::edit);
    connect(close, &QPushButton::clicked, this, &CTeilnehmerNrDlg::reject);

    propose(&CTeilnehmerTable::NextPassNumber);
    placeFixedDialog(this, QString::fromLatin1(kNewPositionSection));
}

void CTeilnehmerNrDlg::propose(int (CTeilnehmerTable::*which)())
{
    // Each proposal reads the file afresh: the editor may have added participants meanwhile.
    CTeilnehmerTable people(m_doc.GetDatabase(), &m_doc);
    const int number = people.Open() ? (people.*which)() : 1;
    m_edit->setText(QString::number(number));
    m_edit->setFocus();
    m_edit->selectAll();
}

void CTeilnehmerNrDlg::edit()
{
    const std::optional<int> number = readNumberField(this, m_edit, 0, kMaxMasterNumber);
    if (!number)
        return;
    CTeilnehmerDlg editor(m_doc, *number, this);
    editor.exec();
    m_edit->setFocus();
    m_edit->selectAll();
}

void CTeilnehmerNrDlg::done(int result)
{
    storeWindowRect(this, QString::fromLatin1(kNewPositionSection));
    QDialog::done(result);
}

} // namespace torvm::ui
