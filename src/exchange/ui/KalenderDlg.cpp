#include "exchange/ui/KalenderDlg.h"

#include "db/Messages.h"
#include "db/SafeFile.h"
#include "document/TorvmDoc.h"
#include "exchange/Calendar.h"
#include "widgets/DialogButtons.h"
#include "widgets/OutputNotifier.h"
#include "widgets/Prompt.h"
#include "widgets/WaitCursor.h"

#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>

namespace torvm::ui {

namespace {

// The combo's data: a group as its number, a club as the negative of its number minus one
// (club numbers start at 1), every group as none.
constexpr int kAll = std::numeric_limits<int>::min();

int clubData(int club)
{
    return -club - 1;
}

} // namespace

CKalenderDlg::CKalenderDlg(CTorvmDoc& doc, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Kalender exportieren"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_choice = new QComboBox(this);
    m_choice->setObjectName(QStringLiteral("auswahl"));
    m_choice->addItem(QStringLiteral("Alle Gruppen"), kAll);
    const FixtureCalendar calendar = collectFixtureCalendar(doc);
    for (const auto& [id, name] : calendar.groupNames)
        m_choice->addItem(QStringLiteral("Gruppe: %1").arg(name), id);
    for (const CalendarClub& club : clubsWithTeams(doc)) {
        if (club.number > 0)
            m_choice->addItem(QStringLiteral("Verein: %1").arg(club.name), clubData(club.number));
    }
    form->addRow(QStringLiteral("&Termine von:"), m_choice);
    m_minutes = new QSpinBox(this);
    m_minutes->setObjectName(QStringLiteral("dauer"));
    m_minutes->setRange(kMinEventMinutes, kMaxEventMinutes);
    m_minutes->setSingleStep(15);
    m_minutes->setSuffix(QStringLiteral(" Minuten"));
    m_minutes->setValue(loadEventMinutes(doc));
    form->addRow(QStringLiteral("&Dauer einer Begegnung:"), m_minutes);
    layout->addLayout(form);
    addOkCancelRow(this, layout);
    m_choice->setFocus();
}

std::optional<int> CKalenderDlg::group() const
{
    const int chosen = m_choice->currentData().toInt();
    return chosen >= 0 ? std::optional<int>(chosen) : std::nullopt;
}

std::optional<int> CKalenderDlg::club() const
{
    const int chosen = m_choice->currentData().toInt();
    return chosen < 0 && chosen != kAll ? std::optional<int>(-chosen - 1) : std::nullopt;
}

QString CKalenderDlg::choiceName() const
{
    const QString text = m_choice->currentText();
    return m_choice->currentIndex() == 0 ? QString() : text.mid(text.indexOf(QLatin1String(": ")) + 2);
}

int CKalenderDlg::minutes() const
{
    return m_minutes->value();
}

void runCalendarExport(QWidget* parent, CTorvmDoc& doc)
{
    CKalenderDlg dialog(doc, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // A write-protected competition keeps its duration; the file is written all the same.
    if (!doc.IsReadOnly())
        storeEventMinutes(doc, dialog.minutes());

    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.title = QStringLiteral("Kalender exportieren");
    request.lastFolder = FileRequest::LastFolder::Exports;
    request.proposed = QFileInfo(doc.path()).completeBaseName() + QStringLiteral(".ics");
    request.defaultFolder = QFileInfo(doc.path()).absolutePath();
    request.filter = QStringLiteral("Kalender (*.ics)|*.ics|Alle Dateien (*.*)|*.*||");
    request.defaultSuffix = QStringLiteral("ics");
    const QString path = fileName(parent, request);
    if (path.isEmpty())
        return;

    FixtureCalendar calendar;
    QString error;
    bool written = false;
    {
        const WaitCursor wait;
        calendar = collectFixtureCalendar(doc);
        if (calendar.ok) {
            if (const auto group = dialog.group())
                calendar = calendar.ofGroup(*group);
            else if (const auto club = dialog.club())
                calendar = calendar.ofClub(*club);
            const QString name = calendarName(calendar.title, dialog.choiceName());
            written = writeFileSafely(
                path,
                [&](QIODevice& file) {
                    return writeCalendar(file, calendar, name, dialog.minutes(), QDateTime::currentDateTimeUtc());
                },
                &error);
        }
    }
    if (!calendar.ok) {
        message(parent, MessageIcon::Exclamation, databaseErrorText(calendar.error));
        return;
    }
    if (!written) {
        message(parent, MessageIcon::Exclamation, error);
        return;
    }
    reportOutputWritten(path);
    const int events = calendar.datedEvents();
    QString text = events == 1 ? QStringLiteral("1 Termin wurde in den Kalender geschrieben.")
                               : QStringLiteral("%1 Termine wurden in den Kalender geschrieben.").arg(events);
    if (const int undated = calendar.undatedRounds(); undated == 1)
        text += QStringLiteral("\n1 Durchgang ohne Datum wurde ausgelassen.");
    else if (undated > 1)
        text += QStringLiteral("\n%1 Durchgänge ohne Datum wurden ausgelassen.").arg(undated);
    message(parent, MessageIcon::Information, text);
}

} // namespace torvm::ui
