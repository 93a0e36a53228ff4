#include "app/ui/HelpWindow.h"

#include "widgets/WindowPlacement.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace torvm::ui {

namespace {

constexpr auto kSection = "VMHilfePosition";

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

CHelpWindow::CHelpWindow(const QString& folder, QWidget* parent)
    : QDialog(parent, Qt::Window)
    , m_folder(folder)
    , m_contents(new QTreeWidget(this))
    , m_searchField(new QLineEdit(this))
    , m_hits(new QListWidget(this))
    , m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("Hilfe – Velmarik Wettkampfverwaltung"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_contents->setObjectName(QStringLiteral("inhalt"));
    m_contents->setHeaderHidden(true);
    m_searchField->setObjectName(QStringLiteral("suchtext"));
    m_searchField->setPlaceholderText(QStringLiteral("Suchbegriff eingeben"));
    m_hits->setObjectName(QStringLiteral("treffer"));
    m_browser->setObjectName(QStringLiteral("seite"));
    m_browser->setOpenExternalLinks(true);
    m_browser->setSearchPaths({folder});

    auto* searchPage = new QWidget(this);
    auto* searchLayout = new QVBoxLayout(searchPage);
    searchLayout->setContentsMargins(0, 0, 0, 0);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(m_searchField, 1);
    auto* find = new QPushButton(QStringLiteral("&Suchen"), searchPage);
    find->setObjectName(QStringLiteral("suchen"));
    find->setAutoDefault(false);
    searchRow->addWidget(find);
    searchLayout->addLayout(searchRow);
    searchLayout->addWidget(m_hits, 1);

    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("reiter"));
    tabs->addTab(m_contents, QStringLiteral("&Inhalt"));
    tabs->addTab(searchPage, QStringLiteral("S&uche"));

    auto* back = new QPushButton(QStringLiteral("&Zurück"), this);
    back->setObjectName(QStringLiteral("zurueck"));
    auto* forward = new QPushButton(QStringLiteral("&Vorwärts"), this);
    forward->setObjectName(QStringLiteral("vorwaerts"));
    auto* home = new QPushButton(QStringLiteral("&Startseite"), this);
    home->setObjectName(QStringLiteral("startseite"));
    auto* close = new QPushButton(QStringLiteral("Schließen"), this);
    close->setObjectName(QStringLiteral("schliessen"));
    for (QPushButton* b : {back, forward, home, close})
        b->setAutoDefault(false);
    back->setEnabled(false);
    forward->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addWidget(home);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(tabs);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(home, &QPushButton::clicked, this, [this] { showPage(QStringLiteral("index.html")); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(m_contents, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { showPage(item->data(0, Qt::UserRole).toString()); });
    connect(m_contents, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { showPage(item->data(0, Qt::UserRole).toString()); });
    connect(m_searchField, &QLineEdit::returnPressed, this, &CHelpWindow::runSearch);
    connect(find, &QPushButton::clicked, this, &CHelpWindow::runSearch);
    connect(m_hits, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (item->data(Qt::UserRole).toString().isEmpty())
            return;
        showPage(item->data(Qt::UserRole).toString());
        // The first place of the first word, as a reader looks for it.
        const QString word = m_searchField->text().simplified().section(QLatin1Char(' '), 0, 0);
        if (!word.isEmpty())
            m_browser->find(word);
    });
    connect(m_hits, &QListWidget::itemClicked, m_hits, &QListWidget::itemActivated);

    loadContents();
    const QFontMetrics metrics(font());
    placeSizedDialog(this, QString::fromLatin1(kSection), metrics.averageCharWidth() * 130, metrics.height() * 40);
    storeRectOnFinish(this, QString::fromLatin1(kSection));
}

void CHelpWindow::loadContents()
{
    const QStringList lines = readText(QDir(m_folder).filePath(QStringLiteral("inhalt.txt"))).split(QLatin1Char('\n'));
    std::vector<QTreeWidgetItem*> parents;
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        const int depth = int(line.size() - QString(line).remove(QRegularExpression(QStringLiteral("^ +"))).size()) / 2;
        const QString target = line.trimmed().section(QLatin1Char('|'), 0, 0);
        const QString title = line.trimmed().section(QLatin1Char('|'), 1);
        parents.resize(std::min<std::size_t>(parents.size(), std::size_t(depth)));
        auto* item = parents.empty() ? new QTreeWidgetItem(m_contents) : new QTreeWidgetItem(parents.back());
        item->setText(0, title);
        item->setData(0, Qt::UserRole, target);
        parents.push_back(item);
        const QString file = target.section(QLatin1Char('#'), 0, 0);
        if (std::none_of(m_pages.begin(), m_pages.end(), [&file](const Page& p) { return p.file == file; })) {
            QTextDocument doc;
            doc.setHtml(readText(QDir(m_folder).filePath(file)));
            m_pages.push_back({file, title, doc.toPlainText().toLower()});
        }
    }
    m_contents->expandAll();
}

void CHelpWindow::showPage(const QString& page)
{
    const QString file = page.section(QLatin1Char('#'), 0, 0);
    QUrl url = QUrl::fromLocalFile(QDir(m_folder).filePath(file));
    if (page.contains(QLatin1Char('#')))
        url.setFragment(page.section(QLatin1Char('#'), 1));
    m_browser->setSource(url);
    raise();
    activateWindow();
}

QUrl CHelpWindow::currentPage() const
{
    return m_browser->source();
}

QStringList CHelpWindow::search(const QString& text) const
{
    const QStringList words = text.toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {};
    std::vector<std::pair<qsizetype, const Page*>> found;
    for (const Page& page : m_pages) {
        // The words as one phrase count most: "Teilnehmer übernehmen" is a button, not two words.
        qsizetype count = page.text.count(words.join(QLatin1Char(' '))) * 100;
        bool all = true;
        for (const QString& word : words) {
            const qsizetype n = page.text.count(word);
            all = all && n > 0;
            count += n;
        }
        if (all)
            found.emplace_back(count, &page);
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    QStringList result;
    for (const auto& [count, page] : found)
        result << page->file + QLatin1Char('|') + page->title;
    return result;
}

void CHelpWindow::runSearch()
{
    m_hits->clear();
    const QStringList found = search(m_searchField->text());
    for (const QString& hit : found) {
        auto* item = new QListWidgetItem(hit.section(QLatin1Char('|'), 1), m_hits);
        item->setData(Qt::UserRole, hit.section(QLatin1Char('|'), 0, 0));
    }
    if (found.isEmpty())
        new QListWidgetItem(QStringLiteral("Keine Seite enthält alle Suchbegriffe."), m_hits);
}

} // namespace torvm::ui
