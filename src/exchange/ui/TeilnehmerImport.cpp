#include "exchange/ui/TeilnehmerImport.h"

#include "db/Tables.h"
#include "document/TorvmDoc.h"
#include "exchange/MemberImport.h"
#include "exchange/ui/FortschrittDlg.h"
#include "masterdata/ui/MasterDataCommands.h"
#include "widgets/Prompt.h"

#include <QElapsedTimer>

namespace torvm::ui {

namespace {

constexpr auto kStrQuestion = "Achtung, die zu importierenden Teilnehmer und Vereine werden unter der "
                              "Original-Nummer gespeichert.\nDabei werden die vorhandenen Teilnehmer und "
                              "Vereine überschrieben, fortfahren?";                // string 138
constexpr auto kStrFilter = "Datendateien (*.mdb)|*.mdb|Alle Dateien (*.*)|*.*||"; // string 139
constexpr auto kStrFileTitle = "Teilnehmer importieren von";                       // string 140
constexpr auto kStrWindowTitle = "Teilnehmer Import";                              // string 141
constexpr auto kStrImporting = "Importiere Teilnehmer";                            // string 142
constexpr auto kStrImportingNumber = "Importiere Teilnehmer %1";                   // string 143
constexpr auto kDefaultSource = "Bssbvd.mdb";

// Repainting the status line for every member would cost more than storing it; a few updates a
// second are all the eye can follow. The cancel request is still asked for every row.
constexpr qint64 kStatusIntervalMs = 50;

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
    request.lastFolder = FileRequest::LastFolder::Imports;
    request.proposed = QString::fromUtf8(kDefaultSource);
    request.filter = QString::fromUtf8(kStrFilter);
    request.defaultSuffix = QStringLiteral("mdb");
    const QString source = fileName(parent, request);
    if (source.isEmpty())
        return;

    const auto run = [&](const MemberImportOptions& options) {
        CFortschrittDlg progress(parent, QString::fromUtf8(kStrWindowTitle), QString::fromUtf8(kStrImporting));
        const ProgressOnlyInput guard(&progress);
        QElapsedTimer sinceStatus;
        MemberImportProgress feedback;
        feedback.cancelled = [&progress] { return !progress.poll(); };
        feedback.report = [&progress, &sinceStatus](int, std::int32_t passNumber) {
            if (sinceStatus.isValid() && sinceStatus.elapsed() < kStatusIntervalMs)
                return;
            progress.setStatus(QString::fromUtf8(kStrImportingNumber).arg(passNumber));
            sinceStatus.start();
        };
        return importMembers(db, source, feedback, options);
    };
    MemberImportResult result = run({});
    // A damaged file: the user decides whether the rows that could be read are enough.
    if (result.damaged && message(parent, MessageIcon::Question,
                                  result.error + QStringLiteral("\n\nSollen die lesbaren Zeilen übernommen werden?"),
                                  Buttons::YesNo) == Reply::Yes)
        result = run({.skipUnreadable = true});
    else if (result.damaged)
        return;

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
    } else if (result.badPassNumbers > 0 || result.unreadableRows > 0) {
        message(parent, MessageIcon::Information, result.summary());
    }
    // Imported members come without the competition's classes.
    if (result.ok && !result.cancelled && result.members > 0 &&
        message(
            parent, MessageIcon::Question,
            QStringLiteral("Sollen den Teilnehmern jetzt die Klassen nach Geburtstag und Anrede zugeordnet werden?"),
            Buttons::YesNo) == Reply::Yes)
        runKlassenZuordnenCommand(parent, doc);
}

} // namespace torvm::ui
