#include "exchange/ui/WebDlg.h"

#include "controls/ui/HyperLink.h"
#include "db/Recordsets.h"
#include "db/Tables.h"
#include "document/TorvmDoc.h"
#include "exchange/ui/FortschrittDlg.h"
#include "widgets/DialogButtons.h"
#include "widgets/OutputNotifier.h"
#include "widgets/Prompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <memory>
#include <vector>

namespace torvm::ui {

namespace {

constexpr auto kCaption = kProgramName;

// Keeps the user out of a window while an operation runs in it. Its parts are disabled rather
// than the window itself, which would disable the progress window it owns as well.
class WindowInputBlock {
public:
    explicit WindowInputBlock(QWidget* window)
    {
        if (!window)
            return;
        for (QWidget* part : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!part->isWindow() && part->isEnabled()) {
                part->setEnabled(false);
                m_parts.emplace_back(part);
            }
        }
    }
    ~WindowInputBlock()
    {
        for (const QPointer<QWidget>& part : m_parts) {
            if (part)
                part->setEnabled(true);
        }
    }
    WindowInputBlock(const WindowInputBlock&) = delete;
    WindowInputBlock& operator=(const WindowInputBlock&) = delete;

private:
    std::vector<QPointer<QWidget>> m_parts;
};

} // namespace

CWebDlg::CWebDlg(CTorvmDoc& doc, const QString& defaultFolder, QWidget* parent)
    : QDialog(parent)
    , m_doc(doc)
    , m_folderPath(loadWebFolder(doc, defaultFolder))
    , m_storedFolder(m_folderPath)
{
    setWindowTitle(QStringLiteral("Web erstellen"));
    const WebOptions stored = loadWebOptions(doc);

    m_termin = new QCheckBox(QStringLiteral("Terminplan"), this);
    m_termin->setObjectName(QStringLiteral("termin"));
    m_termin->setChecked(stored.termin);
    m_tabelle = new QCheckBox(QStringLiteral("Tabelle"), this);
    m_tabelle->setObjectName(QStringLiteral("tabelle"));
    m_tabelle->setChecked(stored.tabelle);
    m_einzel = new QCheckBox(QStringLiteral("Einzelwertung"), this);
    m_einzel->setObjectName(QStringLiteral("einzel"));
    m_einzel->setChecked(stored.einzel);

    m_round = new QComboBox(this);
    m_round->setObjectName(QStringLiteral("durchgang"));
    for (int r = 1; r <= kRoundsPerPlan; ++r)
        m_round->addItem(QString::number(r));
    // The round to publish is, as a rule, the last one with results.
    const int lastShot = CWettkampfTable(doc.GetDatabase(), &doc).LastRoundWithResults();
    m_round->setCurrentIndex(lastShot >= 0 && lastShot < kRoundsPerPlan ? lastShot : stored.round);

    m_organiser = new QLineEdit(this);
    m_organiser->setObjectName(QStringLiteral("veranstalter"));
    m_organiser->setMaxLength(kOrganiserMaxLength);
    m_organiser->setMinimumWidth(280);
    m_organiser->setText(loadOrganiser(doc));

    m_classic = new QRadioButton(QStringLiteral("&Klassisch"), this);
    m_classic->setObjectName(QStringLiteral("klassisch"));
    m_modern = new QRadioButton(QStringLiteral("&Modern"), this);
    m_modern->setObjectName(QStringLiteral("modern"));
    (loadWebStyle(doc) == WebStyle::Modern ? m_modern : m_classic)->setChecked(true);

    m_folder = new QLabel(QDir::toNativeSeparators(m_folderPath), this);
    m_folder->setObjectName(QStringLiteral("ordner"));
    m_folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* change = makeButton(this, "Ä&ndern ...", "ordnerAendern");
    connect(change, &QPushButton::clicked, this, [this] {
        FileRequest request;
        request.kind = FileRequest::Kind::Folder;
        request.title = QStringLiteral("Zielordner der Webseiten");
        request.proposed = m_folderPath;
        const QString chosen = fileName(this, request);
        if (chosen.isEmpty())
            return;
        m_folderPath = QDir::cleanPath(chosen);
        m_folder->setText(QDir::toNativeSeparators(m_folderPath));
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_termin);
    layout->addWidget(m_tabelle);
    layout->addWidget(m_einzel);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Durchgang:"), m_round);
    form->addRow(QStringLiteral("&Veranstalter:"), m_organiser);
    auto* styles = new QHBoxLayout;
    styles->addWidget(m_classic);
    styles->addWidget(m_modern);
    styles->addStretch(1);
    form->addRow(QStringLiteral("Stil:"), styles);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(change);
    form->addRow(QStringLiteral("Zielordner:"), folderRow);
    layout->addLayout(form);
    addOkCancelRow(this, layout);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

WebOptions CWebDlg::options() const
{
    WebOptions o;
    o.termin = m_termin->isChecked();
    o.tabelle = m_tabelle->isChecked();
    o.einzel = m_einzel->isChecked();
    o.round = m_round->currentIndex();
    return o;
}

WebStyle CWebDlg::style() const
{
    return m_modern->isChecked() ? WebStyle::Modern : WebStyle::Classic;
}

QString CWebDlg::organiser() const
{
    return normalisedOrganiser(m_organiser->text());
}

void CWebDlg::accept()
{
    // A setting that cannot be written has been reported; the export still runs with the
    // choices made here.
    // The folder is written only once the user chose one, so the default keeps following the
    // user's data folder.
    if (storeWebOptions(m_doc, options()) && storeOrganiser(m_doc, organiser()) && storeWebStyle(m_doc, style()) &&
        m_folderPath != m_storedFolder)
        storeWebFolder(m_doc, m_folderPath);
    QDialog::accept();
}

CWebFertigDlg::CWebFertigDlg(const QString& indexPath, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8(kCaption));
    auto* done = new QLabel(QStringLiteral("Die Webseiten wurden erfolgreich erstellt."), this);
    m_link = new CHyperLink(QStringLiteral("Klicken Sie hier, um Ihre Website zu sehen"), this, indexPath);
    m_link->setObjectName(QStringLiteral("link"));
    auto* path = new QLabel(QStringLiteral("(") + indexPath + QStringLiteral(")"), this);
    path->setObjectName(QStringLiteral("indexDatei"));
    path->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* fertig = makeButton(this, "Fertig", "fertig");
    fertig->setDefault(true);
    connect(fertig, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(done);
    layout->addSpacing(8);
    layout->addWidget(m_link);
    layout->addWidget(path);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(fertig);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_link->setFocus();
}

void runWebExport(QWidget* parent, CTorvmDoc& doc, const QString& defaultFolder)
{
    if (!doc.IsOpen()) {
        message(parent, MessageIcon::Exclamation, QString::fromUtf8(kStrNoCompetition));
        return;
    }
    QString organiser;
    WebOptions options;
    WebStyle style = WebStyle::Classic;
    QString folder;
    {
        CWebDlg dialog(doc, defaultFolder.isEmpty() ? defaultWebFolder(doc.path()) : defaultFolder, parent);
        if (dialog.exec() != QDialog::Accepted)
            return;
        options = dialog.options();
        organiser = dialog.organiser();
        style = dialog.style();
        folder = dialog.folder();
    }
    if (holdsOtherCompetitionsSite(folder, doc.path()) &&
        message(parent, MessageIcon::Question,
                QStringLiteral("Der Ordner %1 enthält die Webseiten des Wettkampfs %2.\n\nSollen sie durch die "
                               "Webseiten dieses Wettkampfs ersetzt werden?")
                    .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(siteCompetition(folder))),
                Buttons::YesNo) != Reply::Yes)
        return;

    QWidget* window = parent ? parent->window() : nullptr;
    std::unique_ptr<WindowInputBlock> block;
    std::unique_ptr<CFortschrittDlg> progress;
    std::unique_ptr<ProgressOnlyInput> guard;
    CWebExport exporter(doc, options, organiser);
    exporter.setStyle(style);
    exporter.setProgress({[&] {
                              block = std::make_unique<WindowInputBlock>(window);
                              progress = std::make_unique<CFortschrittDlg>(window);
                              progress->setWindowTitle(QString::fromUtf8(kProgramName));
                              progress->setStatus(QString::fromUtf8(kStrWebBusy));
                              guard = std::make_unique<ProgressOnlyInput>(progress.get());
                              progress->poll();
                          },
                          [&] { return !progress || progress->poll(); }});
    const WebExportResult result = exporter.run(folder);
    guard.reset();
    progress.reset();

    switch (result.status) {
    case WebExportResult::Status::Complete: {
        reportOutputWritten(result.indexPath);
        CWebFertigDlg done(result.indexPath, window);
        done.exec();
        break;
    }
    case WebExportResult::Status::Cancelled:
        message(window, MessageIcon::Information,
                QStringLiteral("Die Erstellung der Webseiten wurde abgebrochen; nicht alle Gruppenseiten wurden "
                               "geschrieben."));
        break;
    case WebExportResult::Status::Incomplete:
        message(window, MessageIcon::Information, QStringLiteral("Die Webseiten wurden nicht vollständig erstellt."));
        break;
    case WebExportResult::Status::Failed:
        break;
    }
}

} // namespace torvm::ui
