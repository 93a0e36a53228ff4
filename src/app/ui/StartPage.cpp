#include "app/ui/StartPage.h"

#include "widgets/EnterMovesFocus.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace torvm::ui {

CStartPage::CStartPage(Choices choices, QWidget* parent)
    : QWidget(parent)
    , m_openRecent(std::move(choices.openRecent))
{
    setObjectName(QStringLiteral("startPage"));
    // The page scrolls rather than holding the main window at its width.
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto* page = new QWidget;
    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->addWidget(scroll);
    auto* outer = new QVBoxLayout(page);
    auto* column = new QVBoxLayout;
    column->setSpacing(fontMetrics().height() / 2);

    auto* heading = new QLabel(QStringLiteral("Willkommen in der Velmarik Wettkampfverwaltung"), this);
    QFont big = heading->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    heading->setFont(big);
    column->addWidget(heading);
    column->addWidget(
        new QLabel(QStringLiteral("Es ist noch kein Wettkampf geöffnet. Wie möchten Sie beginnen?"), this));
    column->addSpacing(fontMetrics().height());
    column->addWidget(choice(QStringLiteral("Neuen Wettkampf anlegen …"),
                             QStringLiteral("Eine leere Wettkampfdatei für eine neue Saison"), "startNeu",
                             std::move(choices.newCompetition)));
    column->addWidget(choice(QStringLiteral("Wettkampf öffnen …"),
                             QStringLiteral("Eine vorhandene Wettkampfdatei (.mdb) wählen"), "startOeffnen",
                             std::move(choices.openCompetition)));
    column->addWidget(choice(QStringLiteral("Beispielwettkampf öffnen"),
                             QStringLiteral("Drei Ligagruppen mit Ergebnissen zum Ausprobieren"), "startBeispiel",
                             std::move(choices.openDemo)));
    m_recent = new QVBoxLayout;
    m_recent->setSpacing(column->spacing());
    column->addLayout(m_recent);

    outer->addStretch(1);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addLayout(column);
    row->addStretch(1);
    outer->addLayout(row);
    outer->addStretch(2);
    scroll->setWidget(page);
}

QPushButton* CStartPage::choice(const QString& text, const QString& detail, const char* objectName,
                                std::function<void()> action)
{
    auto* button = new QPushButton(text + QLatin1Char('\n') + detail, this);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setToolTip(detail);
    enterPresses(button);
    button->setMinimumHeight(fontMetrics().height() * 3);
    button->setStyleSheet(QStringLiteral("text-align: left; padding: 4px 12px;"));
    connect(button, &QPushButton::clicked, this, [action = std::move(action)] {
        if (action)
            action();
    });
    return button;
}

void CStartPage::setRecentFiles(const QStringList& files)
{
    while (QLayoutItem* item = m_recent->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    if (files.isEmpty())
        return;
    m_recent->addSpacing(fontMetrics().height());
    m_recent->addWidget(new QLabel(QStringLiteral("Zuletzt geöffnet:"), this));
    for (int i = 0; i < files.size(); ++i) {
        const QFileInfo file(files.at(i));
        m_recent->addWidget(choice(file.fileName(), QDir::toNativeSeparators(file.absolutePath()),
                                   QStringLiteral("startZuletzt%1").arg(i + 1).toLatin1().constData(), [this, i] {
                                       if (m_openRecent)
                                           m_openRecent(i);
                                   }));
    }
}

} // namespace torvm::ui
