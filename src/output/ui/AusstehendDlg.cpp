#include "output/ui/AusstehendDlg.h"

#include "document/TorvmDoc.h"
#include "output/MissingResults.h"
#include "output/PrintJob.h"
#include "output/ui/PrintCommands.h"
#include "widgets/DialogButtons.h"
#include "widgets/Prompt.h"
#include "widgets/RunDialog.h"

#include <QClipboard>
#include <QDateEdit>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace torvm::ui {

CAusstehendDlg::CAusstehendDlg(CTorvmDoc& doc, QWidget* parent)
    : QDialog(parent)
    , m_doc(doc)
{
    setWindowTitle(QStringLiteral("Ausstehende Ergebnisse"));
    auto* layout = new QVBoxLayout(this);
    auto* dateRow = new QHBoxLayout;
    m_reference = new QDateEdit(QDate::currentDate(), this);
    m_reference->setObjectName(QStringLiteral("stichtag"));
    m_reference->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    m_reference->setCalendarPopup(true);
    auto* label = new QLabel(QStringLiteral("Durchgänge vor dem &Stichtag:"), this);
    label->setBuddy(m_reference);
    dateRow->addWidget(label);
    dateRow->addWidget(m_reference);
    dateRow->addStretch(1);
    layout->addLayout(dateRow);
    m_list = new QPlainTextEdit(this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setReadOnly(true);
    m_list->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(m_list, 1);
    auto* buttons = new QHBoxLayout;
    QPushButton* copyButton = addButton(buttons, this, "&Kopieren", "copy");
    QPushButton* printButton = addButton(buttons, this, "&Drucken...", "print");
    buttons->addStretch(1);
    QPushButton* close = addButton(buttons, this, "Schließen", "close");
    layout->addLayout(buttons);
    connect(m_reference, &QDateEdit::dateChanged, this, &CAusstehendDlg::refresh);
    connect(copyButton, &QPushButton::clicked, this, &CAusstehendDlg::copy);
    connect(printButton, &QPushButton::clicked, this, &CAusstehendDlg::print);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    refresh();
    resize(720, 480);
}

QString CAusstehendDlg::text() const
{
    return m_list->toPlainText();
}

void CAusstehendDlg::refresh()
{
    QString error;
    const auto missing = missingResults(m_doc.GetDatabase(), &m_doc, m_reference->date(), &error);
    if (!missing) {
        m_list->setPlainText(databaseErrorText(error));
        return;
    }
    m_list->setPlainText(missingResultsText(*missing, m_reference->date()));
}

void CAusstehendDlg::copy()
{
    QGuiApplication::clipboard()->setText(text());
}

void CAusstehendDlg::print()
{
    // The same pages as the output sheet's "Ausstehende Ergebnisse", for the day chosen here.
    OutputOverrides only;
    only.outputs.emplace();
    (*only.outputs)[static_cast<int>(Output::Ausstehend)] = true;
    only.reference = m_reference->date();
    const PrintJob job(m_doc, loadOutputSettings(m_doc, only));
    QPrinter printer(QPrinter::HighResolution);
    printJob(printer, m_doc, job, this);
}

void runAusstehendCommand(QWidget* parent, CTorvmDoc& doc)
{
    runDialog<CAusstehendDlg>(parent, doc);
}

} // namespace torvm::ui
