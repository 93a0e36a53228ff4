#include "app/ui/MainFrame.h"

#include "app/ui/ChildFrame.h"
#include "app/ui/DocumentCommands.h"
#include "app/ui/StartPage.h"
#include "app/ui/TorvmApp.h"
#include "app/ui/TorvmView.h"
#include "controls/ui/HyperLink.h"
#include "db/Settings.h"
#include "document/RecentFileList.h"
#include "document/TorvmDoc.h"
#include "widgets/CommandIcons.h"
#include "widgets/CommandIds.h"
#include "widgets/OutputNotifier.h"
#include "widgets/Prompt.h"
#include "widgets/WindowPlacement.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

namespace torvm::ui {

namespace {

struct CommandText {
    int id;
    const char* text;   // menu text; after "\t" the key as the menu shows it
    const char* keys;   // accelerators, ";" between several
    const char* prompt; // status bar text, after "\n" the tooltip
};

// Menu texts keep the wording users know; the standard keys of desktop programs come on top. No
// two items of one menu share a mnemonic: Alt and the letter must reach the one item it names.
const CommandText kCommands[] = {
    {cmd::FileNew, "&Neu\tStrg+N", "Ctrl+N", "Legt einen neuen Wettkampf an.\nNeuer Wettkampf (Strg+N)"},
    {cmd::FileOpen, "Ö&ffnen...\tStrg+O", "Ctrl+O", "Öffnet einen bestehenden Wettkampf.\nWettkampf öffnen (Strg+O)"},
    {cmd::FileClose, "&Schließen\tStrg+W", "Ctrl+W", "Schließt den aktiven Wettkampf.\nSchließen"},
    {cmd::TeilnehmerImport, "Teilnehmer Import", "",
     "Teilnehmer und Vereine von BSSB Win übernehmen.\nTeilnehmer und Vereine übernehmen"},
    {cmd::ErgebnisImport, "Ergebnis Import", "",
     "Übernimmt die Ergebnisse eines Durchgangs aus einer anderen Wettkampfdatei.\nErgebnisse übernehmen"},
    {cmd::ErgebnisseEinlesen, "Ergebnisse aus Datei e&inlesen...", "",
     "Liest die Ergebnisse ein, die Vereine in die Ergebnisvorlage eingetragen haben.\nErgebnisse einlesen"},
    {cmd::SicherungWiederherstellen, "Sicherung &wiederherstellen...", "",
     "Ersetzt den Wettkampf durch eine seiner Sicherungen.\nSicherung wiederherstellen"},
    {cmd::NeueSaison, "Neue Sais&on...", "",
     "Legt aus diesem Wettkampf die Datei der nächsten Saison an, mit Auf- und Abstieg.\nNeue Saison"},
    {cmd::WebExport, "Web Export", "", "Erstellt Webseiten zur Veröffentlichung im Internet.\nWebseiten erstellen"},
    {cmd::WebVeroeffentlichen, "Web &veröffentlichen...", "",
     "Überträgt die Webseiten auf den Server des Vereins oder Verbands.\nWeb veröffentlichen"},
    {cmd::KalenderExport, "&Kalender exportieren...", "",
     "Speichert die Termine der Begegnungen als Kalenderdatei (iCalendar).\nKalender exportieren"},
    {cmd::SpeichernUnter, "Speichern unter", "",
     "Erzeugt eine Textdatei mit Ergebnissen und Tabellen.\nErgebnisse und Tabellen speichern"},
    {cmd::AlsTabelleSpeichern, "Als Tabe&lle speichern...", "",
     "Speichert Ergebnisse, Tabellen und Listen als Tabellenkalkulation (xlsx).\nAls Tabelle speichern"},
    {cmd::ErgebnisVorlage, "Ergebnisvorla&ge...", "",
     "Speichert eine CSV-Datei, in die die Vereine die Ergebnisse eines Durchgangs eintragen.\nErgebnisvorlage"},
    {cmd::FilePrint, "&Drucken...\tStrg+P", "Ctrl+P",
     "Druckt Ergebnisse, Tabellen und Listen des Wettkampfs.\nDrucken (Strg+P)"},
    {cmd::FilePrintPreview, "Sei&tenansicht", "", "Zeigt die Seiten so an, wie sie gedruckt werden.\nSeitenansicht"},
    {cmd::AlsPdfSpeichern, "Als &PDF speichern...", "",
     "Speichert die Seiten, die gedruckt würden, in einer PDF-Datei.\nAls PDF speichern"},
    {cmd::FilePrintSetup, "Drucker&einrichtung...", "",
     "Wählt den Drucker und ändert die Druckeinstellungen.\nDruckereinrichtung"},
    {cmd::FileMruFirst, "Letzte Datei", "", "Öffnet diesen Wettkampf.\nZuletzt geöffnet"},
    {cmd::AppExit, "&Beenden\tStrg+Q", "Ctrl+Q", "Beendet die Velmarik Wettkampfverwaltung.\nBeenden"},
    {cmd::EditUndo, "&Rückgängig\tStrg+Z", "Ctrl+Z;Alt+Backspace", "Macht die letzte Aktion rückgängig.\nRückgängig"},
    {cmd::EditCut, "&Ausschneiden\tStrg+X", "Ctrl+X;Shift+Del",
     "Schneidet die Markierung aus und legt sie in die Zwischenablage.\nAusschneiden"},
    {cmd::EditCopy, "K&opieren\tStrg+C", "Ctrl+C;Ctrl+Ins", "Kopiert die Markierung in die Zwischenablage.\nKopieren"},
    {cmd::EditPaste, "E&infügen\tStrg+V", "Ctrl+V;Shift+Ins", "Fügt den Inhalt der Zwischenablage ein.\nEinfügen"},
    {cmd::Teilnehmer, "&Teilnehmer", "", "Öffnet den Dialog zur Bearbeitung der Teilnehmer.\nTeilnehmer"},
    {cmd::Verein, "&Verein", "", "Öffnet den Dialog zur Bearbeitung der Vereine.\nVereine"},
    {cmd::Wettbewerb, "&Wettbewerb", "", "Titel bearbeiten.\nTitel bearbeiten"},
    {cmd::Wertungsregeln, "Wertu&ngsregeln...", "",
     "Legt fest, wie Ergebnisse gewertet und geprüft werden.\nWertungsregeln"},
    {cmd::Klasse, "&Klasse", "", "Klasseneinteilung festlegen.\nKlasseneinteilung festlegen"},
    {cmd::KlassenZuordnen, "Klassen &zuordnen...", "",
     "Ordnet jedem Teilnehmer die Klasse nach Geburtstag und Anrede zu.\nKlassen zuordnen"},
    {cmd::VereinListe, "Vereinsli&ste", "", "Zeigt alle Vereine in einer Liste.\nVereinsliste"},
    {cmd::TeilnehmerListe, "Teilnehmer&liste", "", "Zeigt alle Teilnehmer in einer Liste.\nTeilnehmerliste"},
    {cmd::GruppenListe, "Gr&uppenliste", "", "Zeigt alle Gruppen mit ihren Mannschaften.\nGruppenliste"},
    {cmd::Plan, "Wettkampf&plan", "", "Wettkampfplan eingeben.\nWettkampfplan eingeben"},
    {cmd::Gruppe, "&Gruppe", "", "Öffnet den Dialog zur Einteilung der Gruppen.\nGruppen"},
    {cmd::Ergebnis, "&Ergebnis", "", "Öffnet den Dialog zur Eingabe der Ergebnisse.\nErgebnisse"},
    {cmd::AusstehendeErgebnisse, "&Ausstehende Ergebnisse...", "",
     "Zeigt die Paarungen vergangener Durchgänge, für die noch kein Ergebnis eingetragen ist.\nAusstehende "
     "Ergebnisse"},
    {cmd::ViewToolbar, "&Symbolleiste", "", "Blendet die Symbolleiste ein oder aus.\nSymbolleiste ein/aus"},
    {cmd::ViewStatusBar, "S&tatusleiste", "", "Blendet die Statusleiste ein oder aus.\nStatusleiste ein/aus"},
    {cmd::WindowNew, "Neues &Fenster", "", "Öffnet ein weiteres Fenster für den aktiven Wettkampf.\nNeues Fenster"},
    {cmd::WindowCascade, "Über&lappend", "", "Ordnet die Fenster überlappend an.\nÜberlappend"},
    {cmd::WindowTile, "&Nebeneinander", "", "Ordnet die Fenster nebeneinander an.\nNebeneinander"},
    {cmd::WindowArrange, "&Symbole anordnen", "", "Ordnet die Symbole am unteren Fensterrand an.\nSymbole anordnen"},
    {cmd::HelpFinder, "&Hilfethemen\tF1", "F1", "Zeigt die Hilfe zur Wettkampfverwaltung an.\nHilfe (F1)"},
    {cmd::AppAbout, "Inf&o über Velmarik Wettkampfverwaltung...", "",
     "Zeigt Programminformationen, Versionsnummer und Copyright an.\nInfo"},
};

// Menu layouts: 0 is a separator, kRecent the place of the recent-file list, kExport the submenu
// "Exportieren".
constexpr int kRecent = -1;
constexpr int kExport = -2;
const std::vector<int> kFileNoDoc = {cmd::FileNew, cmd::FileOpen, 0, cmd::FilePrintSetup, 0, kRecent, 0, cmd::AppExit};
const std::vector<int> kFileDoc = {cmd::FileNew,
                                   cmd::FileOpen,
                                   cmd::FileClose,
                                   0,
                                   cmd::TeilnehmerImport,
                                   cmd::ErgebnisImport,
                                   cmd::ErgebnisseEinlesen,
                                   cmd::SicherungWiederherstellen,
                                   cmd::NeueSaison,
                                   0,
                                   cmd::WebExport,
                                   cmd::WebVeroeffentlichen,
                                   cmd::SpeichernUnter,
                                   kExport,
                                   0,
                                   cmd::FilePrint,
                                   cmd::FilePrintPreview,
                                   cmd::AlsPdfSpeichern,
                                   cmd::FilePrintSetup,
                                   0,
                                   kRecent,
                                   0,
                                   cmd::AppExit};
// Files for other programs: calendars, spreadsheets and the form the clubs fill in.
const std::vector<int> kExportMenu = {cmd::KalenderExport, cmd::AlsTabelleSpeichern, cmd::ErgebnisVorlage};
const std::vector<int> kEdit = {cmd::EditUndo,
                                0,
                                cmd::EditCut,
                                cmd::EditCopy,
                                cmd::EditPaste,
                                0,
                                cmd::Teilnehmer,
                                cmd::Verein,
                                cmd::Wettbewerb,
                                cmd::Wertungsregeln,
                                cmd::Klasse,
                                cmd::Plan,
                                cmd::Gruppe,
                                cmd::Ergebnis,
                                0,
                                cmd::TeilnehmerListe,
                                cmd::VereinListe,
                                cmd::GruppenListe,
                                cmd::KlassenZuordnen};
const std::vector<int> kViewMenu = {cmd::ViewToolbar, cmd::ViewStatusBar, 0, cmd::AusstehendeErgebnisse};
const std::vector<int> kWindow = {cmd::WindowNew, cmd::WindowCascade, cmd::WindowTile, cmd::WindowArrange};
const std::vector<int> kHelp = {cmd::HelpFinder, 0, cmd::AppAbout};
const std::vector<int> kToolBar = {cmd::FileNew,
                                   cmd::FileOpen,
                                   0,
                                   cmd::SpeichernUnter,
                                   cmd::WebExport,
                                   cmd::FilePrint,
                                   0,
                                   cmd::EditCut,
                                   cmd::EditCopy,
                                   cmd::EditPaste,
                                   0,
                                   cmd::Teilnehmer,
                                   cmd::Verein,
                                   cmd::Gruppe,
                                   0,
                                   cmd::Ergebnis,
                                   0,
                                   cmd::AppAbout};

// Commands that have nothing to work on in this program.
bool alwaysDisabled(int id)
{
    return id == cmd::EditUndo || id == cmd::EditCut || id == cmd::EditCopy || id == cmd::EditPaste;
}

QLabel* indicator(const QString& text)
{
    auto* label = new QLabel(text);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("NUM")) + 12);
    // Qt cannot read the lock keys' state on every platform; the panes stay grey there.
    label->setEnabled(false);
    return label;
}

} // namespace

QString CMainFrame::baseCaption()
{
    return QString::fromUtf8(kProgramName);
}

CMainFrame::CMainFrame(CTorvmApp& app)
    : m_app(app)
    , m_mdi(new QMdiArea)
    , m_pages(new QStackedWidget(this))
    , m_startPage(new CStartPage({[&app] { app.OnFileNew(); }, [&app] { app.OnFileOpen(); },
                                  [&app] { app.OnOpenDemo(); }, [&app](int index) { app.OnFileOpenRecent(index); }}))
{
    setObjectName(QStringLiteral("mainFrame"));
    setWindowIcon(applicationIcon());
    setWindowTitle(baseCaption());
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pages->addWidget(m_startPage);
    m_pages->addWidget(m_mdi);
    setCentralWidget(m_pages);

    createActions();
    createMenus();
    createToolBar();
    createStatusBar();

    connect(m_mdi, &QMdiArea::subWindowActivated, this, &CMainFrame::onSubWindowActivated);
    showMenu(false);
    updateCommandStates();
}

CMainFrame::~CMainFrame()
{
    // The area and its windows outlive this part of the object; what they report while they
    // are torn down must not reach it. A window closed but not yet deleted is no longer listed by
    // the area, yet still its child.
    for (QMdiSubWindow* sub : m_mdi->findChildren<QMdiSubWindow*>())
        sub->disconnect(this);
    m_mdi->disconnect(this);
}

void CMainFrame::createActions()
{
    for (const CommandText& c : kCommands) {
        const QString prompt = QString::fromUtf8(c.prompt);
        auto* act = new QAction(QString::fromUtf8(c.text), this);
        act->setObjectName(QStringLiteral("command%1").arg(c.id));
        act->setData(c.id);
        act->setStatusTip(prompt.section(QLatin1Char('\n'), 0, 0));
        act->setToolTip(prompt.section(QLatin1Char('\n'), 1));
        act->setIcon(commandIcon(c.id));
        act->setIconVisibleInMenu(false);
        QList<QKeySequence> keys;
        for (const QString& key : QString::fromLatin1(c.keys).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            keys << QKeySequence(key, QKeySequence::PortableText);
        act->setShortcuts(keys);
        if (!keys.isEmpty()) {
            // Keys work whichever menu bar is up; enabled states decide what they do.
            addAction(act);
        }
        const int id = c.id;
        if (id == cmd::ViewToolbar || id == cmd::ViewStatusBar) {
            act->setCheckable(true);
            act->setChecked(true);
        }
        connect(act, &QAction::triggered, this, [this, id] { dispatch(id); });
        m_actions[id] = act;
    }
    m_actions[cmd::FileMruFirst]->setEnabled(false);
}

void CMainFrame::fillMenu(QMenu* menu, const std::vector<int>& layout)
{
    menu->clear();
    for (int id : layout) {
        if (id == 0) {
            menu->addSeparator();
        } else if (id == kExport) {
            menu->addMenu(m_export);
        } else if (id == kRecent) {
            if (m_recentActions.isEmpty())
                menu->addAction(m_actions.at(cmd::FileMruFirst));
            else
                menu->addActions(m_recentActions);
        } else {
            menu->addAction(m_actions.at(id));
        }
    }
}

void CMainFrame::createMenus()
{
    m_fileNoDoc = new QMenu(QStringLiteral("&Datei"), this);
    m_fileDoc = new QMenu(QStringLiteral("&Datei"), this);
    m_export = new QMenu(QStringLiteral("E&xportieren"), this);
    m_edit = new QMenu(QStringLiteral("&Bearbeiten"), this);
    m_view = new QMenu(QStringLiteral("&Ansicht"), this);
    m_window = new QMenu(QStringLiteral("&Fenster"), this);
    m_help = new QMenu(QStringLiteral("&?"), this);
    fillMenu(m_export, kExportMenu);
    fillMenu(m_edit, kEdit);
    fillMenu(m_view, kViewMenu);
    fillMenu(m_window, kWindow);
    fillMenu(m_help, kHelp);
    connect(m_window, &QMenu::aboutToShow, this, &CMainFrame::fillWindowList);
    updateRecentFileMenu();
}

void CMainFrame::createToolBar()
{
    m_toolBar = new QToolBar(QStringLiteral("Symbolleiste"), this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setIconSize(QSize(16, 15));
    m_toolBar->setMovable(true);
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    for (int id : kToolBar) {
        if (id == 0)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(m_actions.at(id));
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    QAction* toggle = m_actions.at(cmd::ViewToolbar);
    connect(m_toolBar, &QToolBar::visibilityChanged, toggle, [this, toggle](bool visible) {
        // A hidden main window hides its toolbar too; only the user's choice counts.
        if (isVisible())
            toggle->setChecked(visible);
    });
}

void CMainFrame::createStatusBar()
{
    auto* ready = new QLabel(QStringLiteral("Bereit"));
    ready->setObjectName(QStringLiteral("idlePrompt"));
    statusBar()->addWidget(ready, 1);

    // The file a command wrote last, in place of the idle prompt, with the way to it.
    auto* written = new QWidget;
    written->setObjectName(QStringLiteral("ausgabe"));
    auto* row = new QHBoxLayout(written);
    row->setContentsMargins(0, 0, 0, 0);
    auto* path = new QLabel(written);
    path->setObjectName(QStringLiteral("ausgabePfad"));
    path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* open = new CHyperLink(QStringLiteral("Öffnen"), written);
    open->setObjectName(QStringLiteral("ausgabeOeffnen"));
    auto* folder = new CHyperLink(QStringLiteral("Ordner öffnen"), written);
    folder->setObjectName(QStringLiteral("ausgabeOrdner"));
    row->addWidget(path);
    row->addWidget(open);
    row->addWidget(folder);
    row->addStretch(1);
    written->hide();
    statusBar()->addWidget(written, 1);
    connect(&OutputNotifier::instance(), &OutputNotifier::written, this,
            [ready, written, path, open, folder](const QString& file) {
                const QFileInfo info(file);
                path->setText(QStringLiteral("Gespeichert: %1").arg(QDir::toNativeSeparators(info.absoluteFilePath())));
                open->setUrl(info.absoluteFilePath());
                folder->setUrl(info.absolutePath());
                ready->hide();
                written->show();
            });
    for (const char* pane : {"UF", "NUM", "RF"}) {
        QLabel* label = indicator(QString::fromLatin1(pane));
        label->setObjectName(QStringLiteral("pane%1").arg(QString::fromLatin1(pane)));
        statusBar()->addPermanentWidget(label);
    }
}

QAction* CMainFrame::action(int id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

CChildFrame* CMainFrame::activeChild() const
{
    return qobject_cast<CChildFrame*>(m_mdi->currentSubWindow());
}

QList<CChildFrame*> CMainFrame::childFrames() const
{
    QList<CChildFrame*> frames;
    for (QMdiSubWindow* sub : m_mdi->subWindowList(QMdiArea::CreationOrder)) {
        if (auto* frame = qobject_cast<CChildFrame*>(sub); frame && !frame->isHidden())
            frames << frame;
    }
    return frames;
}

void CMainFrame::addChild(CChildFrame* frame, bool maximise)
{
    m_pages->setCurrentWidget(m_mdi);
    m_mdi->addSubWindow(frame);
    connect(frame, &QMdiSubWindow::windowStateChanged, this, &CMainFrame::updateCaption);
    if (maximise) {
        frame->showMaximized();
    } else {
        // Large enough to read the overview (at least two thirds of the area), never beyond the area:
        // a window in a corner the size of the old title form showed nothing of it. Sized before it
        // is shown, so a window that follows a maximised one also comes back at this size.
        const QSize area = m_mdi->viewport()->size();
        const QSize size = frame->sizeHint().expandedTo(area * 2 / 3).boundedTo(area);
        // Cascaded one title bar apart, starting over where the next would leave the area.
        const int step = frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame) *
                         static_cast<int>(m_mdi->subWindowList().size() - 1);
        frame->setGeometry(
            QRect(QPoint(step % (area.width() - size.width() + 1), step % (area.height() - size.height() + 1)), size));
        frame->show();
    }
    m_mdi->setActiveSubWindow(frame);
    onSubWindowActivated();
}

void CMainFrame::showMenu(bool competition)
{
    m_competitionMenu = competition;
    menuBar()->clear();
    if (competition) {
        menuBar()->addMenu(m_fileDoc);
        menuBar()->addMenu(m_edit);
        menuBar()->addMenu(m_view);
        menuBar()->addMenu(m_window);
    } else {
        menuBar()->addMenu(m_fileNoDoc);
        menuBar()->addMenu(m_view);
    }
    menuBar()->addMenu(m_help);
}

void CMainFrame::updateStartPage()
{
    m_pages->setCurrentWidget(childFrames().isEmpty() ? m_startPage : static_cast<QWidget*>(m_mdi));
}

void CMainFrame::onSubWindowActivated()
{
    updateStartPage();
    const bool competition = activeChild() != nullptr;
    if (competition != m_competitionMenu)
        showMenu(competition);
    updateCommandStates();
    updateCaption();
}

void CMainFrame::updateCommandStates()
{
    CChildFrame* child = activeChild();
    const bool hasDocument = child && child->document();
    for (const auto& [id, act] : m_actions) {
        bool enabled = true;
        if (alwaysDisabled(id) || id == cmd::FileMruFirst)
            enabled = false;
        else if (DocumentCommands::handles(id))
            enabled = hasDocument && m_app.commands().isAvailable(id);
        else if (id == cmd::FilePrint || id == cmd::FilePrintPreview || id == cmd::AlsPdfSpeichern)
            enabled = hasDocument && m_app.canPrint();
        else if (id == cmd::WindowNew || id == cmd::WindowCascade || id == cmd::WindowTile || id == cmd::WindowArrange)
            enabled = child != nullptr;
        act->setEnabled(enabled);
    }
}

void CMainFrame::updateRecentFileMenu()
{
    qDeleteAll(m_recentActions);
    m_recentActions.clear();
    const RecentFileList& recent = m_app.recentFiles();
    const QString prompt = m_actions.at(cmd::FileMruFirst)->statusTip();
    for (int i = 0; i < recent.files().size(); ++i) {
        auto* act = new QAction(recent.menuText(i), this);
        act->setObjectName(QStringLiteral("command%1").arg(cmd::FileMruFirst + i));
        act->setData(cmd::FileMruFirst + i);
        act->setStatusTip(prompt);
        connect(act, &QAction::triggered, this, [this, i] { m_app.OnFileOpenRecent(i); });
        m_recentActions << act;
    }
    fillMenu(m_fileNoDoc, kFileNoDoc);
    fillMenu(m_fileDoc, kFileDoc);
    m_startPage->setRecentFiles(recent.files());
}

QString CMainFrame::wantedCaption() const
{
    // A maximised competition window shows its name in brackets, as the window it fills;
    // otherwise the caption names the active competition after a dash.
    CChildFrame* child = activeChild();
    if (!child)
        return baseCaption();
    if (child->isMaximized())
        return QStringLiteral("%1 - [%2]").arg(baseCaption(), child->windowTitle());
    return QStringLiteral("%1 - %2").arg(baseCaption(), child->windowTitle());
}

void CMainFrame::updateCaption()
{
    const QString wanted = wantedCaption();
    if (windowTitle() != wanted)
        setWindowTitle(wanted);
}

bool CMainFrame::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    // Qt writes its own caption when a competition window is maximised or restored; ours wins.
    if (event->type() == QEvent::WindowTitleChange && !m_settingCaption) {
        m_settingCaption = true;
        updateCaption();
        m_settingCaption = false;
    }
    return handled;
}

void CMainFrame::dispatch(int id)
{
    if (DocumentCommands::handles(id)) {
        if (CChildFrame* child = activeChild(); child && child->document())
            m_app.commands().execute(id, *child->document(), this);
        return;
    }
    switch (id) {
    case cmd::FileNew:
        m_app.OnFileNew();
        break;
    case cmd::FileOpen:
        m_app.OnFileOpen();
        break;
    case cmd::FilePrintSetup:
        m_app.OnFilePrintSetup();
        break;
    case cmd::FilePrint:
        if (CChildFrame* child = activeChild())
            m_app.print(*child->view(), PrintMode::Print);
        break;
    case cmd::FilePrintPreview:
        if (CChildFrame* child = activeChild())
            m_app.print(*child->view(), PrintMode::Preview);
        break;
    case cmd::AlsPdfSpeichern:
        if (CChildFrame* child = activeChild())
            m_app.print(*child->view(), PrintMode::Pdf);
        break;
    case cmd::AppExit:
        close();
        break;
    case cmd::AppAbout:
        m_app.OnAppAbout();
        break;
    case cmd::HelpFinder:
        m_app.OnHelp();
        break;
    case cmd::ViewToolbar:
        m_toolBar->setVisible(m_actions.at(id)->isChecked());
        break;
    case cmd::ViewStatusBar:
        statusBar()->setVisible(m_actions.at(id)->isChecked());
        break;
    case cmd::WindowNew:
        if (CChildFrame* child = activeChild(); child && child->document())
            m_app.OnWindowNew(*child->document());
        break;
    case cmd::WindowCascade:
        m_mdi->cascadeSubWindows();
        break;
    case cmd::WindowTile:
        m_mdi->tileSubWindows();
        break;
    case cmd::WindowArrange:
        arrangeIcons();
        break;
    default:
        break;
    }
}

void CMainFrame::arrangeIcons()
{
    // Minimised windows line up along the bottom edge, left to right, in rows upwards.
    const QRect area = m_mdi->viewport()->rect();
    int x = 0;
    int row = 0;
    for (QMdiSubWindow* sub : m_mdi->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isMinimized())
            continue;
        const QSize size = sub->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            ++row;
        }
        sub->move(x, area.height() - (row + 1) * size.height());
        x += size.width();
    }
}

void CMainFrame::fillWindowList()
{
    qDeleteAll(m_windowListActions);
    m_windowListActions.clear();
    const QList<CChildFrame*> frames = childFrames();
    if (frames.isEmpty())
        return;
    m_windowListActions << m_window->addSeparator();
    for (int i = 0; i < frames.size(); ++i) {
        CChildFrame* frame = frames.at(i);
        QString title = frame->windowTitle();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* act = m_window->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(title));
        act->setCheckable(true);
        act->setChecked(frame == activeChild());
        connect(act, &QAction::triggered, frame, [this, frame] { m_mdi->setActiveSubWindow(frame); });
        m_windowListActions << act;
    }
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    m_mdi->closeAllSubWindows();
    if (!childFrames().isEmpty()) {
        event->ignore();
        return;
    }
    storeWindowRect(this, QString::fromLatin1(kMainSection));
    event->accept();
}

} // namespace torvm::ui
