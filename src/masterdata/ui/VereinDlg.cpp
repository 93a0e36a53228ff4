#include "masterdata/ui/VereinDlg.h"

#include "document/TorvmDoc.h"
#include "masterdata/ClubRecord.h"
#include "masterdata/ui/NumberField.h"
#include "widgets/DialogButtons.h"
#include "widgets/EnterMovesFocus.h"
#include "widgets/Prompt.h"
#include "widgets/WindowPlacement.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace torvm::ui {

// ------------------------------------------------------------------------------------ CVereinDlg

bool confirmClubNumber(QWidget* parent, CTorvmDoc& doc, QLineEdit* edit, int number)
{
    if (number == 0)
        return true;
    CVereinTable clubs(doc.GetDatabase(), &doc);
    if (clubs.OpenTable() && !clubs.SelectClub(number))
        return true;
    const QString text = QStringLiteral("Einen Verein mit der Nummer %1 gibt es nicht.\n"
                                        "Soll er jetzt angelegt werden? (Nein: die Nummer korrigieren)")
                             .arg(number);
    if (message(parent, MessageIcon::Question, text, Buttons::YesNo) == Reply::Yes) {
        CVereinDlg editor(doc, number, parent);
        if (editor.exec() == QDialog::Accepted && editor.returnedNumber() != 0)
            return true;
    }
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    return false;
}

CVereinDlg::CVereinDlg(CTorvmDoc& doc, int number, QWidget* parent)
    : QDialog(parent)
    , m_table(doc.GetDatabase(), &doc)
    , m_number(number)
{
    setWindowTitle(QStringLiteral("Verein"));
    const ClubFields club = m_table.OpenTable() ? loadClub(m_table, number) : ClubFields{};
    m_meistbeteiligungZero = club.meistbeteiligungZero;

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    QLineEdit* shown = addField(form, "Nummer:", "number", QString::number(number));
    showReadOnly(shown);
    shown->setFocusPolicy(Qt::NoFocus);
    m_name = addField(form, "Verein:", "name", club.name);
    m_sortieren = addField(form, "Sortiername:", "sortieren", club.sortieren);
    m_empfaenger = addField(form, "Postempfänger:", "empfaenger", club.empfaenger);
    m_strasse = addField(form, "Straße:", "strasse", club.strasse);
    m_plz = addField(form, "PLZ:", "plz", club.plz);
    m_ort = addField(form, "Ort:", "ort", club.ort);
    m_land = addField(form, "Land:", "land", club.land);
    m_entfernung = addField(form, "Entfernung in km:", "entfernung", QString::number(club.entfernung));
    layout->addLayout(form);

    addOkCancelRow(this, layout);
    // "Abbrechen" says what it does; only Esc and closing the window ask.
    auto* cancel = findChild<QPushButton*>(QStringLiteral("cancel"));
    disconnect(cancel, &QPushButton::clicked, this, nullptr);
    connect(cancel, &QPushButton::clicked, this, [this] { QDialog::reject(); });

    m_name->setFocus();
    placeFixedDialog(this, QString::fromLatin1(kVereinPositionSection));
}

QLineEdit* CVereinDlg::addField(QFormLayout* form, const char* label, const char* name, const QString& text)
{
    auto* edit = new QLineEdit(text, this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMinimumWidth(260);
    enterMovesFocus(edit);
    form->addRow(QString::fromUtf8(label), edit);
    return edit;
}

void CVereinDlg::accept()
{
    const std::optional<int> distance =
        readNumberField(this, m_entfernung, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    if (!distance)
        return;
    ClubFields club;
    club.name = m_name->text();
    club.sortieren = m_sortieren->text();
    club.empfaenger = m_empfaenger->text();
    club.strasse = m_strasse->text();
    club.plz = m_plz->text();
    club.ort = m_ort->text();
    club.land = m_land->text();
    club.entfernung = *distance;
    club.meistbeteiligungZero = m_meistbeteiligungZero;
    if (!m_table.IsOpen() || !storeClub(m_table, m_number, club)) {
        // Stay open: what was typed is still there to be stored again.
        showDatabaseError(m_table.GetLastError().text);
        return;
    }
    m_returned = m_number;
    QDialog::accept();
}

void CVereinDlg::reject()
{
    const QList<QLineEdit*> fields = findChildren<QLineEdit*>();
    if (mayDropChanges(this, std::any_of(fields.begin(), fields.end(),
                                         [](const QLineEdit* field) { return field->isModified(); })))
        QDialog::reject();
}

void CVereinDlg::done(int result)
{
    if (result != QDialog::Accepted)
        m_returned = 0;
    storeWindowRect(this, QString::fromLatin1(kVereinPositionSection));
    m_table.Close();
    QDialog::done(result);
}

// ---------------------------------------------------------------------------------- CVereinNrDlg

CVereinNrDlg::CVereinNrDlg(CTorvmDoc& doc, QWidget* parent)
    : QDialog(parent)
    , m_doc(doc)
{
    setWindowTitle(QStringLiteral("Verein"));
    {
        // Without the table the proposal falls back to 1, as for an empty table.
        CVereinTable clubs(doc.GetDatabase(), &doc);
        m_number = clubs.Open() ? clubs.NextClubNumber() : 1;
    }

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_edit = new QLineEdit(QString::number(m_number), this);
    m_edit->setObjectName(QStringLiteral("number"));
    form->addRow(QStringLiteral("Nummer:"), m_edit);
    layout->addLayout(form);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    QPushButton* ok = addButton(buttons, this, "OK", "ok");
    ok->setDefault(true);
    QPushButton* close = addButton(buttons, this, "Schließen", "close");
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &CVereinNrDlg::editClub);
    connect(close, &QPushButton::clicked, this, &CVereinNrDlg::reject);

    m_edit->setFocus();
    m_edit->selectAll();
    placeFixedDialog(this, QString::fromLatin1(kNewPositionSection));
}

void CVereinNrDlg::editClub()
{
    const std::optional<int> number = readNumberField(this, m_edit, 1, kMaxMasterNumber);
    if (!number)
        return;
    CVereinDlg editor(m_doc, *number, this);
    editor.exec();
    m_number = editor.returnedNumber();
    m_edit->setFocus();
    m_edit->selectAll();
}

void CVereinNrDlg::done(int result)
{
    storeWindowRect(this, QString::fromLatin1(kNewPositionSection));
    QDialog::done(result);
}

} // namespace torvm::ui
