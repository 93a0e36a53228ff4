#include "masterdata/ui/VereinCombo.h"

#include "document/TorvmDoc.h"

#include <QLineEdit>

#include <utility>

namespace torvm::ui {

CVereinCombo::CVereinCombo(QWidget* parent)
    : CNameCombo(parent)
{
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { m_typed = true; });
}

void CVereinCombo::Bind(QLineEdit* numberEdit, int* clubNumber)
{
    Bind(numberEdit, clubNumber, {});
}

void CVereinCombo::Bind(QLineEdit* numberEdit, int* clubNumber, std::function<void()> modified)
{
    m_numberEdit = numberEdit;
    m_clubNumber = clubNumber;
    m_modified = std::move(modified);
}

ComboItems CVereinCombo::completionItems(const QString& typed)
{
    CTorvmDoc* doc = document();
    if (!doc)
        return {};
    CVereinTable clubs(doc->GetDatabase(), doc);
    if (!clubs.OpenTable())
        return {};
    return clubs.ClubComboItems(typed);
}

void CVereinCombo::SelectClub(int number, bool reload)
{
    m_typed = false;
    if (reload)
        setItems(AllClubs());
    selectNumber(number);
}

void CVereinCombo::SelectClub(int number, const ComboItems& clubs)
{
    m_typed = false;
    setItems(clubs);
    selectNumber(number);
}

void CVereinCombo::WriteNumber()
{
    const int number = selectedNumber();
    if (m_clubNumber)
        *m_clubNumber = number;
    if (m_numberEdit)
        m_numberEdit->setText(QString::number(number));
}

void CVereinCombo::left()
{
    if (m_typed || selectedNumber() != 0)
        WriteNumber();
    m_typed = false;
}

void CVereinCombo::picked()
{
    if (m_modified)
        m_modified();
    WriteNumber();
}

} // namespace torvm::ui
