#include "exchange/ui/PublishDlg.h"

#include "db/Tables.h"
#include "document/TorvmDoc.h"
#include "exchange/Publish.h"
#include "exchange/WebExport.h"
#include "exchange/ui/FortschrittDlg.h"
#include "widgets/DialogButtons.h"
#include "widgets/Prompt.h"

#include <qt6keychain/keychain.h>

#include <QCheckBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QVBoxLayout>

namespace torvm::ui {

namespace {

const QString kSection = QStringLiteral("Web");
const QString kTargetKey = QStringLiteral("Ziel");
const QString kService = QStringLiteral("Velmarik Wettkampfverwaltung");

// The keyring answers asynchronously; the dialog waits for it, which is quick or an error.
template <typename Job> bool runJob(Job& job)
{
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.setAutoDelete(false);
    job.start();
    loop.exec();
    return job.error() == QKeychain::NoError;
}

QString storedPassword(const QString& address)
{
    QKeychain::ReadPasswordJob job(kService);
    job.setKey(address);
    return runJob(job) ? job.textData() : QString();
}

// False when there is no keyring: the password is then asked each time.
bool keepInKeyring(const QString& address, const QString& password, bool keep)
{
    if (!keep) {
        QKeychain::DeletePasswordJob job(kService);
        job.setKey(address);
        runJob(job);
        return true;
    }
    QKeychain::WritePasswordJob job(kService);
    job.setKey(address);
    job.setTextData(password);
    return runJob(job);
}

QString outcome(const PublishResult& r)
{
    return QStringLiteral("Die Webseiten wurden veröffentlicht: %1 Dateien übertragen, %2 entfernt, %3 unverändert.")
        .arg(r.uploaded)
        .arg(r.removed)
        .arg(r.unchanged);
}

} // namespace

CPublishDlg::CPublishDlg(CTorvmDoc& doc, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Web veröffentlichen"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Die Webseiten (wie unter „Web Export“ eingestellt) werden auf den "
                                                "Server übertragen;\nnur geänderte Dateien werden gesendet."),
                                 this));
    auto* form = new QFormLayout;
    m_address = new QLineEdit(
        CProfileTable(doc.GetDatabase(), &doc).GetString(kSection, kTargetKey, QStringLiteral("sftp://")), this);
    m_address->setObjectName(QStringLiteral("adresse"));
    m_address->setMinimumWidth(360);
    m_address->setPlaceholderText(QStringLiteral("sftp://benutzer@server/ordner"));
    form->addRow(QStringLiteral("&Adresse:"), m_address);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("passwort"));
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("&Passwort:"), m_password);
    m_keep = new QCheckBox(QStringLiteral("Passwort im &Schlüsselbund des Systems merken"), this);
    m_keep->setObjectName(QStringLiteral("merken"));
    form->addRow(QString(), m_keep);
    layout->addLayout(form);
    addOkCancelRow(this, layout);
    connect(m_address, &QLineEdit::editingFinished, this, &CPublishDlg::fillPassword);
    fillPassword();
    m_address->setFocus();
}

void CPublishDlg::fillPassword()
{
    QString error;
    const auto target = PublishTarget::parse(m_address->text(), &error);
    if (!target || !m_password->text().isEmpty())
        return;
    const QString stored = storedPassword(target->address());
    m_password->setText(stored);
    m_keep->setChecked(!stored.isEmpty());
}

QString CPublishDlg::address() const
{
    return m_address->text().trimmed();
}

QString CPublishDlg::password() const
{
    return m_password->text();
}

bool CPublishDlg::keepPassword() const
{
    return m_keep->isChecked();
}

void CPublishDlg::accept()
{
    QString error;
    if (!PublishTarget::parse(address(), &error)) {
        message(this, MessageIcon::Exclamation, error);
        m_address->setFocus();
        return;
    }
    QDialog::accept();
}

void runPublish(QWidget* parent, CTorvmDoc& doc)
{
    QString address;
    QString password;
    bool keep = false;
    {
        CPublishDlg dialog(doc, parent);
        if (dialog.exec() != QDialog::Accepted)
            return;
        address = dialog.address();
        password = dialog.password();
        keep = dialog.keepPassword();
    }
    QString error;
    const PublishTarget target = *PublishTarget::parse(address, &error);
    if (!doc.IsReadOnly())
        CProfileTable(doc.GetDatabase(), &doc).WriteString(kSection, kTargetKey, target.address());
    if (!keepInKeyring(target.address(), password, keep))
        message(parent, MessageIcon::Information,
                QStringLiteral("Es ist kein Schlüsselbund verfügbar; das Passwort wird beim nächsten Mal wieder "
                               "abgefragt."));

    const QTemporaryDir site;
    CWebExport exporter(doc, loadWebOptions(doc), loadOrganiser(doc));
    exporter.setStyle(loadWebStyle(doc));
    if (!site.isValid() || !exporter.run(site.path()).succeeded())
        return;

    PublishOptions options;
    options.password = password;
    options.hostKey = acceptedHostKey(target);
    QWidget* window = parent ? parent->window() : nullptr;
    PublishResult result;
    for (;;) {
        {
            CFortschrittDlg progress(window, QString::fromUtf8(kProgramName),
                                     QStringLiteral("Verbindung zu %1 ...").arg(target.host));
            const ProgressOnlyInput guard(&progress);
            progress.poll();
            options.progress = [&progress](int done, int total) {
                progress.setStatus(QStringLiteral("Datei %1 von %2 wird übertragen ...").arg(done + 1).arg(total));
                return progress.poll();
            };
            result = publishFolder(site.path(), target, options);
            options.progress = nullptr;
        }
        if (result.status != PublishResult::Status::UnknownHost)
            break;
        if (message(parent, MessageIcon::Question,
                    result.error + QStringLiteral("\n\nDiesem Server vertrauen und die Webseiten übertragen?"),
                    Buttons::YesNo) != Reply::Yes)
            return;
        options.hostKey = result.hostKey;
    }
    switch (result.status) {
    case PublishResult::Status::Done:
        if (options.hostKey != acceptedHostKey(target) && !result.hostKey.isEmpty())
            storeAcceptedHostKey(target, result.hostKey);
        message(parent, MessageIcon::Information, outcome(result));
        break;
    case PublishResult::Status::Cancelled:
        message(parent, MessageIcon::Information,
                QStringLiteral("Die Übertragung wurde abgebrochen. Jede Seite auf dem Server ist vollständig (alt "
                               "oder neu); das nächste Veröffentlichen überträgt den Rest."));
        break;
    default:
        message(parent, MessageIcon::Exclamation, result.error);
    }
}

} // namespace torvm::ui
