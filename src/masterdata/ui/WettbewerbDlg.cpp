#include "masterdata/ui/WettbewerbDlg.h"

#include "db/Recordsets.h"
#include "document/TorvmDoc.h"
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
    layout->addLayout(form);

    addOkCancelRow(this, layout);
}

void CWettbewerbDlg::accept()
{
    CRSWettbewerb title(m_doc.GetDatabase(), &m_doc);
    title.SetTitle(m_title->text());
    QDialog::accept();
}

void runWettbewerbCommand(QWidget* parent, CTorvmDoc& doc)
{
    runDialog<CWettbewerbDlg>(parent, doc);
}

} // namespace torvm::ui
