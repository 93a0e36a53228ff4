#include "masterdata/ui/TeilnehmerCombo.h"

#include "document/TorvmDoc.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace torvm::ui {

CTeilnehmerCombo::CTeilnehmerCombo(QWidget* parent)
    : CNameCombo(parent)
{
}

ComboItems CTeilnehmerCombo::completionItems(const QString& typed)
{
    CTorvmDoc* doc = document();
    if (!doc || typed.size() < kMinTyped)
        return {};
    CTeilnehmerTable people(doc->GetDatabase(), doc);
    if (!people.OpenTable())
        return {};
    return people.NameComboItems(typed, m_preferredClub);
}

void CTeilnehmerCombo::SetParticipant(int number)
{
    setItems({});
    m_number = 0;
    CTorvmDoc* doc = document();
    if (number != 0 && doc) {
        CTeilnehmerTable people(doc->GetDatabase(), doc);
        if (people.Open() && !people.SelectParticipant(number)) {
            setItems({{people.m_Name + QLatin1Char(' ') + people.m_Vorname, number, QString()}});
            selectNumber(number);
            m_number = number;
            return;
        }
    }
    setEditText(QString());
}

void CTeilnehmerCombo::picked()
{
    writeNumber();
    if (m_number != 0)
        emit participantChosen();
}

void CTeilnehmerCombo::focusOutEvent(QFocusEvent* event)
{
    CNameCombo::focusOutEvent(event);
    const bool tabbed = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    if (tabbed && m_number != 0)
        emit participantChosen();
}

void CTeilnehmerCombo::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && count() > 0) {
        if (currentIndex() < 0)
            setCurrentIndex(0);
        picked();
        event->accept();
        return;
    }
    CNameCombo::keyPressEvent(event);
}

void CTeilnehmerCombo::writeNumber()
{
    if (currentIndex() < 0) {
        m_number = 0;
        return;
    }
    m_number = selectedNumber();
    if (m_numberEdit)
        m_numberEdit->setText(QString::number(m_number));
}

} // namespace torvm::ui
