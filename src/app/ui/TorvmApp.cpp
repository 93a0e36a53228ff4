#include "app/ui/TorvmApp.h"

#include "app/ui/AboutDlg.h"
#include "app/ui/ChildFrame.h"
#include "app/ui/Help.h"
#include "app/ui/MainFrame.h"
#include "app/ui/ProductPicture.h"
#include "app/ui/RestoreDlg.h"
#include "app/ui/TorvmView.h"
#include "db/Backup.h"
#include "db/CompetitionFile.h"
#include "db/SafeFile.h"
#include "db/Settings.h"
#include "document/TorvmDoc.h"
#include "exchange/DemoCompetition.h"
#include "exchange/LegacyConversion.h"
#include "exchange/ui/NeueSaisonDlg.h"
#include "widgets/CommandIds.h"
#include "widgets/Prompt.h"
#include "widgets/WaitCursor.h"
#include "widgets/WindowPlacement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QPrintDialog>
#include <QPrinter>
#include <QSplashScreen>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>

namespace torvm::ui {

namespace {

constexpr auto kNewFilter = "Velmarik (*.mdb)|*.mdb|Alle Dateien (*.*)|*.*||"; // string 148
constexpr auto kNewTitle = "Neuen Wettkampf anlegen";                          // string 149
constexpr auto kOpenFilter = "Dateityp Velmarik (*.mdb)|*.mdb|Alle Dateien (*.*)|*.*||";
// How long the picture stays over the window that is already at work.
constexpr int kSplashMilliseconds = 800;

bool platformShowsWindows()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

} // namespace

CTorvmApp::CTorvmApp(QObject* parent)
    : QObject(parent)
    , m_commands([this](CTorvmDoc& doc) { CloseDocument(doc); })
    , m_showSplash(platformShowsWindows())
{
    installDialogHelp(this);
    m_commands.setOpener(cmd::SicherungWiederherstellen, [this](CTorvmDoc& doc, QWidget*) { RestoreBackup(doc); });
    m_commands.setOpener(cmd::NeueSaison, [this](CTorvmDoc& doc, QWidget* owner) {
        runNeueSaisonCommand(owner, doc, [this](const QString& path) { OpenDocumentFile(path); });
    });
    m_commands.onChanged = [this] {
        if (m_frame)
            m_frame->updateCommandStates();
    };
}

CTorvmApp::~CTorvmApp()
{
    // The windows go first: their views hold on to the documents until the end.
    if (m_frame) {
        for (CChildFrame* frame : m_frame->childFrames())
            frame->view()->releaseDocument();
    }
    m_frame.reset();
    for (auto& doc : m_docs)
        doc->OnCloseDocument();
    m_docs.clear();
}

void CTorvmApp::InitInstance()
{
    if (!helpViewerAvailable())
        message(nullptr, MessageIcon::None, QString::fromUtf8(kStrHelpMissing));
    m_maximiseFirstChild = true;

    if (m_showSplash) {
        m_splash = new QSplashScreen(productPicture());
        m_splash->show();
    }

    m_frame = std::make_unique<CMainFrame>(*this);
    placeMainWindow(m_frame.get(), QString::fromLatin1(kMainSection));
    m_frame->show();
    // The competition opens at once; the picture only lies over the window for a moment.
    openStartupFile();
    if (m_splash)
        QTimer::singleShot(kSplashMilliseconds, this, &CTorvmApp::dismissSplash);
}

void CTorvmApp::dismissSplash()
{
    if (!m_splash)
        return;
    m_splash->finish(m_frame.get());
    m_splash->deleteLater();
    m_splash = nullptr;
}

void CTorvmApp::openStartupFile()
{
    const QString stored =
        profileString(QString::fromLatin1(kMainSection), QString::fromLatin1(kFileNameKey), QString());
    // A first start in a folder without a competition is no error: the start page offers the ways in.
    if (stored.isEmpty() && !QFileInfo::exists(QString::fromLatin1(kDefaultFileName)))
        return;
    OpenDocumentFile(stored.isEmpty() ? QString::fromLatin1(kDefaultFileName) : stored);
}

std::vector<CTorvmDoc*> CTorvmApp::documents() const
{
    std::vector<CTorvmDoc*> list;
    for (const auto& doc : m_docs)
        list.push_back(doc.get());
    return list;
}

QList<CChildFrame*> CTorvmApp::frames(const CTorvmDoc* doc) const
{
    QList<CChildFrame*> list;
    if (!m_frame)
        return list;
    for (CChildFrame* frame : m_frame->childFrames()) {
        if (frame->document() == doc)
            list << frame;
    }
    return list;
}

void CTorvmApp::setPrintHandler(PrintHandler handler)
{
    m_print = std::move(handler);
    if (m_frame)
        m_frame->updateCommandStates();
}

void CTorvmApp::print(CTorvmView& view, PrintMode mode)
{
    if (m_print)
        m_print(view, mode);
}

QPrinter& CTorvmApp::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void CTorvmApp::OnFileNew()
{
    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.title = QString::fromUtf8(kNewTitle);
    request.lastFolder = FileRequest::LastFolder::Competitions;
    request.filter = QString::fromUtf8(kNewFilter);
    request.defaultSuffix = QStringLiteral("mdb");
    request.confirmOverwrite = true;
    const QString path = fileName(m_frame.get(), request);
    if (path.isEmpty())
        return;
    auto doc = std::make_unique<CTorvmDoc>();
    if (!doc->OnNewDocument(path)) {
        showFailure(*doc);
        return;
    }
    m_recent.add(path);
    if (m_frame)
        m_frame->updateRecentFileMenu();
    createFrame(adopt(std::move(doc)));
}

void CTorvmApp::OnFileOpen()
{
    FileRequest request;
    request.kind = FileRequest::Kind::Open;
    request.title = QStringLiteral("Öffnen");
    request.lastFolder = FileRequest::LastFolder::Competitions;
    request.filter = QString::fromUtf8(kOpenFilter);
    const QString path = fileName(m_frame.get(), request);
    if (!path.isEmpty())
        OpenDocumentFile(path);
}

void CTorvmApp::OnFileOpenRecent(int index)
{
    const QString path = m_recent.files().value(index);
    if (path.isEmpty())
        return;
    if (!OpenDocumentFile(path)) {
        // An entry that no longer opens leaves the list.
        m_recent.remove(static_cast<int>(m_recent.files().indexOf(path)));
        if (m_frame)
            m_frame->updateRecentFileMenu();
    }
}

CTorvmDoc* CTorvmApp::OpenDocumentFile(const QString& path)
{
    if (CTorvmDoc* open = CTorvmDoc::findOpen(path)) {
        if (const QList<CChildFrame*> shown = frames(open); !shown.isEmpty())
            m_frame->mdiArea()->setActiveSubWindow(shown.constFirst());
        return open;
    }
    if (isLegacyCompetition(path))
        return ConvertLegacyFile(path);
    auto doc = std::make_unique<CTorvmDoc>();
    if (!doc->OnOpenDocument(path, Access::ReadWriteIfAllowed)) {
        showFailure(*doc);
        return nullptr;
    }
    if (doc->IsReadOnly()) {
        dismissSplash(); // the notice would wait under it
        message(m_frame.get(), MessageIcon::Information,
                QStringLiteral("Die Wettkampfdatei %1 ist schreibgeschützt und wurde nur zum Lesen geöffnet. Sie "
                               "können drucken und exportieren; Änderungen werden nicht gespeichert.")
                    .arg(displayPath(path)));
    }
    // The day's first opening keeps a copy: a season's file is never more than a day's work away.
    if (QString why; !makeDailyBackup(*doc->GetDatabase(), path, QDateTime::currentDateTime(), &why)) {
        dismissSplash();
        message(m_frame.get(), MessageIcon::Exclamation,
                QStringLiteral("Die tägliche Sicherung des Wettkampfs wurde nicht angelegt: %1").arg(why));
    }
    m_recent.add(path);
    if (m_frame)
        m_frame->updateRecentFileMenu();
    CTorvmDoc* opened = adopt(std::move(doc));
    createFrame(opened);
    return opened;
}

CTorvmDoc* CTorvmApp::ConvertLegacyFile(const QString& path)
{
    dismissSplash();
    if (message(m_frame.get(), MessageIcon::Question, conversionQuestion(path), Buttons::YesNo) != Reply::Yes)
        return nullptr;
    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.title = QStringLiteral("Neue Wettkampfdatei speichern unter");
    request.lastFolder = FileRequest::LastFolder::Competitions;
    request.proposed = proposedConversionName(path);
    request.filter = QString::fromUtf8(kNewFilter);
    request.defaultSuffix = QStringLiteral("mdb");
    // The old file and any existing file stay as they are: the new competition needs a new name.
    request.confirmOverwrite = false;
    const QString target = fileName(m_frame.get(), request);
    if (target.isEmpty())
        return nullptr;
    if (QFileInfo::exists(target)) {
        message(m_frame.get(), MessageIcon::Exclamation,
                QStringLiteral("Die Datei %1 ist bereits vorhanden. Bitte wählen Sie für den übernommenen "
                               "Wettkampf einen neuen Namen.")
                    .arg(target));
        return nullptr;
    }
    const QString templatePath = findTemplate();
    if (templatePath.isEmpty()) {
        message(m_frame.get(), MessageIcon::Exclamation,
                QStringLiteral("Die Vorlage für neue Wettkämpfe „torvm.tpl“ wurde nicht gefunden. "
                               "Bitte installieren Sie das Programm neu."));
        return nullptr;
    }
    ConversionReport report;
    QString error;
    bool converted = false;
    {
        const WaitCursor wait;
        converted = convertLegacyCompetition(path, target, templatePath, &report, &error);
    }
    if (!converted) {
        message(m_frame.get(), MessageIcon::Exclamation, databaseErrorText(error));
        return nullptr;
    }
    message(m_frame.get(), report.complete() ? MessageIcon::Information : MessageIcon::Exclamation,
            QStringLiteral("Der Wettkampf wurde nach %1 übernommen.\n\n%2").arg(target, report.text()));
    return OpenDocumentFile(target);
}

QString CTorvmApp::demoPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("Beispielwettkampf.mdb"));
}

void CTorvmApp::OnOpenDemo()
{
    const QString path = demoPath();
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        CTorvmDoc maker;
        QString error;
        bool made = false;
        {
            const WaitCursor wait;
            made = maker.OnNewDocument(path) && fillDemoCompetition(maker, 1, &error);
        }
        if (!made) {
            maker.OnCloseDocument();
            QFile::remove(path);
            showFailure(maker);
            if (!error.isEmpty())
                message(m_frame.get(), MessageIcon::Exclamation, databaseErrorText(error));
            return;
        }
        maker.OnCloseDocument();
    }
    OpenDocumentFile(path);
}

void CTorvmApp::showFailure(const CTorvmDoc& doc)
{
    dismissSplash();
    if (!doc.failure().text.isEmpty())
        message(m_frame.get(), doc.failure().icon, doc.failure().text);
}

CTorvmDoc* CTorvmApp::adopt(std::unique_ptr<CTorvmDoc> doc)
{
    m_docs.push_back(std::move(doc));
    return m_docs.back().get();
}

CChildFrame* CTorvmApp::createFrame(CTorvmDoc* doc)
{
    if (!m_frame)
        return nullptr;
    auto* frame = new CChildFrame(doc);
    connect(frame, &CChildFrame::closing, this, &CTorvmApp::frameClosing);
    connect(frame->view(), &CTorvmView::pairingRequested, this, [this, frame](const EntryPosition& at) {
        if (CTorvmDoc* open = frame->document())
            m_commands.openPairing(*open, m_frame.get(), at);
    });
    frame->view()->OnInitialUpdate();
    const bool maximise = m_maximiseFirstChild;
    m_maximiseFirstChild = false;
    frame->setWindowTitle(QFileInfo(doc->path()).fileName());
    m_frame->addChild(frame, maximise);
    updateFrameTitles(doc);
    return frame;
}

void CTorvmApp::OnWindowNew(CTorvmDoc& doc)
{
    createFrame(&doc);
}

void CTorvmApp::updateFrameTitles(const CTorvmDoc* doc)
{
    const QList<CChildFrame*> list = frames(doc);
    const QString name = QFileInfo(doc->path()).fileName();
    for (int i = 0; i < list.size(); ++i)
        list.at(i)->setWindowTitle(list.size() == 1 ? name : QStringLiteral("%1:%2").arg(name).arg(i + 1));
    if (m_frame)
        m_frame->updateCaption();
}

void CTorvmApp::frameClosing(CChildFrame* frame)
{
    CTorvmDoc* doc = frame->document();
    frame->view()->releaseDocument();
    if (!doc)
        return;
    // The closing window is still on screen while it tells us.
    if (QList<CChildFrame*> others = frames(doc); others.removeAll(frame), !others.isEmpty()) {
        updateFrameTitles(doc);
        return;
    }
    doc->OnCloseDocument();
    const auto it = std::find_if(m_docs.begin(), m_docs.end(), [doc](const auto& owned) { return owned.get() == doc; });
    if (it != m_docs.end())
        m_docs.erase(it);
    // The closing window still counts until it has gone.
    if (m_frame)
        QTimer::singleShot(0, m_frame.get(), &CMainFrame::updateStartPage);
}

void CTorvmApp::CloseDocument(CTorvmDoc& doc)
{
    const QList<CChildFrame*> list = frames(&doc);
    for (CChildFrame* frame : list)
        frame->close();
}

void CTorvmApp::RestoreBackup(CTorvmDoc& doc)
{
    const QString path = doc.path();
    std::vector<BackupInfo> backups = listBackups(path);
    if (backups.empty()) {
        message(m_frame.get(), MessageIcon::Information,
                QStringLiteral("Vom Wettkampf %1 gibt es noch keine Sicherung.").arg(displayPath(path)));
        return;
    }
    CRestoreDlg dialog(std::move(backups), m_frame.get());
    if (dialog.exec() != QDialog::Accepted || dialog.chosen().isEmpty())
        return;
    const QString chosen = dialog.chosen();
    const QString question = QStringLiteral("Den Wettkampf %1 durch die Sicherung %2 ersetzen? Der jetzige Stand wird "
                                            "vorher gesichert.")
                                 .arg(displayPath(path), QFileInfo(chosen).fileName());
    if (message(m_frame.get(), MessageIcon::Question, question, Buttons::YesNo) != Reply::Yes)
        return;
    CloseDocument(doc);
    QString error;
    if (!restoreBackup(path, chosen, QDateTime::currentDateTime(), &error))
        message(m_frame.get(), MessageIcon::Exclamation, error);
    OpenDocumentFile(path);
}

void CTorvmApp::OnFilePrintSetup()
{
    QPrintDialog dialog(&printer(), m_frame.get());
    dialog.setWindowTitle(QStringLiteral("Druckereinrichtung"));
    dialog.setOptions({});
    dialog.exec();
}

void CTorvmApp::OnAppAbout()
{
    CAboutDlg dialog(m_frame.get());
    dialog.exec();
}

void CTorvmApp::OnHelp()
{
    showHelpPage(m_frame.get(), QStringLiteral("index.html"));
}

} // namespace torvm::ui
