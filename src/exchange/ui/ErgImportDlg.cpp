#include "exchange/ui/ErgImportDlg.h"

#include "db/Messages.h"
#include "db/Recordsets.h"
#include "db/Tables.h"
#include "document/TorvmDoc.h"
#include "exchange/ResultsImport.h"
#include "widgets/DialogButtons.h"
#include "widgets/Prompt.h"
#include "widgets/WaitCursor.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace torvm::ui {

namespace {

// The round is the one the output sheet prints, so an import is followed by its tables at once.
const QString kSection = QStringLiteral("VMPrintAll");
const QString kRoundKey = QStringLiteral("Durchgang");
const QString kFileKey = QStringLiteral("ErgFile");
const QString kDefaultFile = QStringLiteral("torvm2.mdb");

} // namespace

CErgImportDlg::CErgImportDlg(int round, const QString& path, QWidget* parent)
    : QDialog(parent)
    , m_round(std::clamp(round, 0, kRoundsPerPlan - 1))
    , m_path(path)
{
    setWindowTitle(QStringLiteral("Import Ergebnisse"));
    auto* layout = new QVBoxLayout(this);

    auto* roundRow = new QHBoxLayout;
    auto* roundLabel = new QLabel(QStringLiteral("&Durchgang:"), this);
    m_roundBox = new QComboBox(this);
    m_roundBox->setObjectName(QStringLiteral("durchgang"));
    for (int r = 1; r <= kRoundsPerPlan; ++r)
        m_roundBox->addItem(QString::number(r));
    m_roundBox->setCurrentIndex(m_round);
    roundLabel->setBuddy(m_roundBox);
    roundRow->addWidget(roundLabel);
    roundRow->addWidget(m_roundBox);
    roundRow->addStretch(1);
    layout->addLayout(roundRow);

    auto* fileLabel = new QLabel(QStringLiteral("Datei mit den zu importierenden Ergebnissen:"), this);
    layout->addWidget(fileLabel);
    auto* fileRow = new QHBoxLayout;
    m_pathEdit = new QLineEdit(m_path, this);
    m_pathEdit->setObjectName(QStringLiteral("datei"));
    m_pathEdit->setMinimumWidth(320);
    fileLabel->setBuddy(m_pathEdit);
    fileRow->addWidget(m_pathEdit, 1);
    QPushButton* change = addButton(fileRow, this, "Ändern...", "aendern");
    layout->addLayout(fileRow);

    addOkCancelRow(this, layout);

    connect(change, &QPushButton::clicked, this, &CErgImportDlg::choose);
    m_roundBox->setFocus();
}

void CErgImportDlg::choose()
{
    FileRequest request;
    request.kind = FileRequest::Kind::Open;
    request.title = QStringLiteral("Ergebnis-Importdatei");
    request.lastFolder = FileRequest::LastFolder::Imports;
    request.proposed = m_pathEdit->text();
    request.filter = QStringLiteral("Velmarik (*.mdb)|*.mdb|Alle Dateien (*.*)|*.*||");
    request.defaultSuffix = QStringLiteral("mdb");
    const QString chosen = fileName(this, request);
    if (!chosen.isEmpty())
        m_pathEdit->setText(QFileInfo(chosen).absoluteFilePath());
}

void CErgImportDlg::accept()
{
    m_round = m_roundBox->currentIndex();
    m_path = m_pathEdit->text().trimmed();
    QDialog::accept();
}

void runErgebnisImport(QWidget* parent, CTorvmDoc& doc)
{
    if (!doc.IsOpen()) {
        message(parent, MessageIcon::Exclamation, QString::fromUtf8(kStrNoCompetition));
        return;
    }
    Database& db = *doc.GetDatabase();
    int round = 0;
    QString path;
    {
        CProfileTable profile(&db, &doc);
        round = profile.GetInt(kSection, kRoundKey, 0);
        path = profile.GetString(kSection, kFileKey, kDefaultFile);
    }
    CErgImportDlg dialog(round, path, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    {
        // A setting that cannot be written has shown its error; the import would fail the same way.
        CProfileTable profile(&db, &doc);
        if (!profile.WriteInt(kSection, kRoundKey, dialog.round()) ||
            !profile.WriteString(kSection, kFileKey, dialog.path()))
            return;
    }
    ResultsImportResult result;
    {
        WaitCursor wait;
        result = importResults(db, dialog.path(), dialog.round());
    }
    if (!result.ok) {
        message(parent, MessageIcon::Exclamation, databaseErrorText(result.error));
        return;
    }
    doc.NotifyStandingsChanged();
    message(parent, MessageIcon::Information,
            QStringLiteral("Aus %1 wurde%2 %3 des Durchgangs %4 übernommen.")
                    .arg(QFileInfo(dialog.path()).fileName(), result.rowsCopied == 1 ? QString() : QStringLiteral("n"),
                         counted(result.rowsCopied, "Ergebniszeile", "Ergebniszeilen"))
                    .arg(dialog.round() + 1) +
                result.skippedNote());
}

} // namespace torvm::ui
