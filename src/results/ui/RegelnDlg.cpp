#include "results/ui/RegelnDlg.h"

#include "document/TorvmDoc.h"
#include "masterdata/ui/NumberField.h"
#include "results/CompetitionRules.h"
#include "widgets/DialogButtons.h"
#include "widgets/RunDialog.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace torvm::ui {

CRegelnDlg::CRegelnDlg(CTorvmDoc& doc, QWidget* parent)
    : QDialog(parent)
    , m_doc(doc)
{
    setWindowTitle(QStringLiteral("Wertungsregeln"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_highest = new QLineEdit(this);
    m_highest->setObjectName(QStringLiteral("highest"));
    m_highest->setMaximumWidth(80);
    m_highest->setText(QString::number(highestSingleResult(doc.GetDatabase(), &doc)));
    m_highest->setToolTip(QStringLiteral("Ringzahlen darüber fragt die Ergebniseingabe nach; 0 = keine Prüfung"));
    form->addRow(QStringLiteral("Höchstes Einzelergebnis:"), m_highest);
    layout->addLayout(form);

    addOkCancelRow(this, layout);
}

void CRegelnDlg::accept()
{
    const std::optional<int> highest = readNumberField(this, m_highest, 0, kMaxRings);
    if (!highest)
        return;
    if (*highest != highestSingleResult(m_doc.GetDatabase(), &m_doc))
        setHighestSingleResult(m_doc.GetDatabase(), &m_doc, *highest);
    QDialog::accept();
}

void runRegelnCommand(QWidget* parent, CTorvmDoc& doc)
{
    runDialog<CRegelnDlg>(parent, doc);
}

} // namespace torvm::ui
