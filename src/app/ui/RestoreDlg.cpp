#include "app/ui/RestoreDlg.h"

#include "widgets/DialogButtons.h"

#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace torvm::ui {

namespace {

QString count(int n)
{
    return n < 0 ? QStringLiteral("nicht lesbar") : QString::number(n);
}

} // namespace

CRestoreDlg::CRestoreDlg(std::vector<BackupInfo> backups, QWidget* parent)
    : QDialog(parent)
    , m_backups(std::move(backups))
{
    setWindowTitle(QStringLiteral("Sicherung wiederherstellen"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("&Sicherungen dieses Wettkampfs (die neueste zuerst):"), this);
    layout->addWidget(label);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("list"));
    label->setBuddy(m_list);
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("Datum"), QStringLiteral("Uhrzeit"), QStringLiteral("Größe"),
                             QStringLiteral("Teilnehmer"), QStringLiteral("Ergebniszeilen")});
    const QLocale german(QLocale::German, QLocale::Germany);
    for (const BackupInfo& backup : m_backups) {
        auto* item =
            new QTreeWidgetItem(m_list, {backup.made.toString(QStringLiteral("dd.MM.yyyy")),
                                         backup.made.toString(QStringLiteral("HH:mm:ss")),
                                         german.formattedDataSize(backup.size, 1, QLocale::DataSizeTraditionalFormat),
                                         count(backup.participants), count(backup.results)});
        item->setToolTip(0, backup.path);
        for (int c = 2; c < 5; ++c)
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (!m_backups.empty())
        m_list->setCurrentItem(m_list->topLevelItem(0));
    connect(m_list, &QTreeWidget::itemActivated, this, &QDialog::accept);
    layout->addWidget(m_list, 1);
    addOkCancelRow(this, layout);
    resize(560, 360);
}

QString CRestoreDlg::chosen() const
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    return row >= 0 ? m_backups[static_cast<std::size_t>(row)].path : QString();
}

} // namespace torvm::ui
