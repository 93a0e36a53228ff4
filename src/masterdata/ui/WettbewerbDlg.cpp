#include "masterdata/ui/WettbewerbDlg.h"

#include "app/TorvmDoc.h"
#include "app/ui/Prompt.h"
#include "app/ui/RunDialog.h"
#include "db/Recordsets.h"

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

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setAutoDefault(false);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &CWettbewerbDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CWettbewerbDlg::reject);
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
