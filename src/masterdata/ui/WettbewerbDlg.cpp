#include "masterdata/ui/WettbewerbDlg.h"

#include "db/Recordsets.h"
#include "document/TorvmDoc.h"
#include "masterdata/ui/NumberField.h"
#include "results/PairingEntry.h"
#include "widgets/DialogButtons.h"
#include "widgets/Prompt.h"
#include "widgets/RunDialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace torvm::ui {

CWettbewerbDlg::CWettbewerbDlg(CTorvmDoc& doc, QWidget* parent)
    : QDialog(parent)
    , m_doc(doc)
{
    setWindowTitle(QStringLiteral("Wettbewerb"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_title = new QLineEdit(this);
    m_title->setObjectName(QStringLiteral("title"));
    m_title->setMinimumWidth(320);
    m_title->setMaxLength(255); // the width of the column that keeps it
    m_title->setText(doc.CompetitionTitle());
    m_title->selectAll();
    form->addRow(QStringLiteral("Wettbewerb:"), m_title);
    m_highest = new QLineEdit(this);
    m_highest->setObjectName(QStringLiteral("highest"));
    m_highest->setMaximumWidth(80);
    m_highest->setText(QString::number(highestSingleResult(doc.GetDatabase(), &doc)));
    m_highest->setToolTip(QStringLiteral("Ringzahlen darüber fragt die Ergebniseingabe nach; 0 = keine Prüfung"));
    form->addRow(QStringLiteral("Höchstes Einzelergebnis:"), m_highest);
    layout->addLayout(form);

    addOkCancelRow(this, layout);
}

void CWettbewerbDlg::accept()
{
    const std::optional<int> highest = readNumberField(this, m_highest, 0, kMaxRings);
    if (!highest)
        return;
    CRSWettbewerb title(m_doc.GetDatabase(), &m_doc);
    title.SetTitle(m_title->text());
    if (*highest != highestSingleResult(m_doc.GetDatabase(), &m_doc))
        setHighestSingleResult(m_doc.GetDatabase(), &m_doc, *highest);
    QDialog::accept();
}

void runWettbewerbCommand(QWidget* parent, CTorvmDoc& doc)
{
    runDialog<CWettbewerbDlg>(parent, doc);
}

} // namespace torvm::ui
