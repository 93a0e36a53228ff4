#include "exchange/ui/TeilnehmerImport.h"

#include "app/TorvmDoc.h"
#include "app/ui/Prompt.h"
#include "db/Tables.h"
#include "exchange/MemberImport.h"
#include "exchange/ui/FortschrittDlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>

namespace torvm::ui {

namespace {

constexpr auto kStrQuestion = "Achtung, die zu importierenden Teilnehmer und Vereine werden unter der "
                              "Original-Nummer gespeichert.\nDabei werden die vorhandenen Teilnehmer und "
                              "Vereine überschrieben, fortfahren?";                // string 138
constexpr auto kStrFilter = "Datendateien (*.mdb)|*.mdb|Alle Dateien (*.*)|*.*||"; // string 139
constexpr auto kStrFileTitle = "Teilnehmer importieren von";                       // string 140
constexpr auto kStrWindowTitle = "Velmarik Teilnehmer Import";                     // string 141
constexpr auto kStrImporting = "Importiere Teilnehmer";                            // string 142
constexpr auto kStrImportingNumber = "Importiere Teilnehmer %1";                   // string 143
constexpr auto kDefaultSource = "Bssbvd.mdb";

// Repainting the status line for every member would cost more than storing it; a few updates a
// second are all the eye can follow. The cancel request is still asked for every row.
constexpr qint64 kStatusIntervalMs = 50;

// The import dispatches window events between rows so that its window stays alive. Meanwhile a
// click or key elsewhere must not close the competition (or the program) under it, nor start a
// second import: such input is dropped and closing refused until the import ends. The progress
// window and any message box that the work itself brings up stay usable.
class InputOnlyForProgress : public QObject {
public:
    explicit InputOnlyForProgress(QWidget* progress)
        : m_progress(progress)
    {
        qApp->installEventFilter(this);
    }
    ~InputOnlyForProgress() override { qApp->removeEventFilter(this); }
    InputOnlyForProgress(const InputOnlyForProgress&) = delete;
    InputOnlyForProgress& operator=(const InputOnlyForProgress&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::Close:
            break;
        default:
            return false;
        }
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr) {
            // Menu commands reach their actions as shortcut events.
            return event->type() == QEvent::Shortcut;
        }
        const QWidget* window = widget->window();
        if (window == m_progress || window->isModal())
            return false;
        // An accepted override keeps the key from triggering a shortcut; the key itself is dropped.
        if (event->type() == QEvent::ShortcutOverride)
            event->accept();
        else
            event->ignore();
        return true;
    }

private:
    QWidget* m_progress;
};

} // namespace

void runTeilnehmerImport(QWidget* parent, CTorvmDoc& doc)
{
    if (!doc.IsOpen()) {
        message(parent, MessageIcon::Exclamation, QString::fromUtf8(kStrNoCompetition));
        return;
    }
    Database& db = *doc.GetDatabase();
    if (message(parent, MessageIcon::Question, QString::fromUtf8(kStrQuestion), Buttons::YesNo) != Reply::Yes)
        return;
    {
        // The participants must be writable before the user is sent looking for the file.
        CTeilnehmerTable participants(&db, &doc);
        if (!participants.OpenTable())
            return;
    }
    FileRequest request;
    request.kind = FileRequest::Kind::Open;
    request.title = QString::fromUtf8(kStrFileTitle);
    request.proposed = QString::fromUtf8(kDefaultSource);
    request.filter = QString::fromUtf8(kStrFilter);
    request.defaultSuffix = QStringLiteral("mdb");
    const QString source = fileName(parent, request);
    if (source.isEmpty())
        return;

    MemberImportResult result;
    {
        CFortschrittDlg progress(parent, QString::fromUtf8(kStrWindowTitle), QString::fromUtf8(kStrImporting));
        const InputOnlyForProgress guard(&progress);
        QElapsedTimer sinceStatus;
        MemberImportProgress feedback;
        feedback.cancelled = [&progress] { return !progress.poll(); };
        feedback.report = [&progress, &sinceStatus](int, std::int32_t passNumber) {
            if (sinceStatus.isValid() && sinceStatus.elapsed() < kStatusIntervalMs)
                return;
            progress.setStatus(QString::fromUtf8(kStrImportingNumber).arg(passNumber));
            sinceStatus.start();
        };
        result = importMembers(db, source, feedback);
    }

    if (!result.ok) {
        QString text = databaseErrorText(result.error);
        if (result.members > 0)
            text +=
                QStringLiteral("\n\nDie %1 bis dahin übernommenen Teilnehmer bleiben gespeichert.").arg(result.members);
        message(parent, MessageIcon::Exclamation, text);
    } else if (result.cancelled) {
        message(parent, MessageIcon::Information,
                QStringLiteral("Der Import wurde abgebrochen. %1 Teilnehmer wurden bis dahin übernommen.")
                    .arg(result.members));
    }
}

} // namespace torvm::ui
