#include "support/JetFixtures.h"

#include "support/JetWriter.h"

#include <QStringList>

namespace torvm::test {

namespace {

// "Name:T" entries; L Long, S Short, B Byte, Y yes/no, D date/time, T text.
std::vector<JetColumn> parse(const QStringList& layout)
{
    std::vector<JetColumn> columns;
    for (const QString& entry : layout) {
        const QString name = entry.section(QLatin1Char(':'), 0, 0);
        const QChar code = entry.section(QLatin1Char(':'), 1, 1).at(0);
        JetType type = JetType::Text;
        switch (code.toLatin1()) {
        case 'L':
            type = JetType::Long;
            break;
        case 'S':
            type = JetType::Short;
            break;
        case 'B':
            type = JetType::Byte;
            break;
        case 'Y':
            type = JetType::Bool;
            break;
        case 'D':
            type = JetType::DateTime;
            break;
        default:
            break;
        }
        columns.push_back({name, type});
    }
    return columns;
}

QStringList numbered(const QString& stem, int from, int to, const QString& code)
{
    QStringList list;
    for (int i = from; i <= to; ++i)
        list << QStringLiteral("%1%2:%3").arg(stem).arg(i).arg(code);
    return list;
}

} // namespace

std::vector<JetColumn> mitgliederColumns()
{
    QStringList layout{QStringLiteral("Gau:L"),
                     QStringLiteral("Verein:L"),
                     QStringLiteral("Mitglied:L"),
                     QStringLiteral("VereinsNr:L"),
                     QStringLiteral("MName:T"),
                     QStringLiteral("Vorname:T"),
                     QStringLiteral("NZusatz:T"),
                     QStringLiteral("Strasse:T"),
                     QStringLiteral("LKZ:T"),
                     QStringLiteral("PLZ:T"),
                     QStringLiteral("Ort:T"),
                     QStringLiteral("Tel_Privat:T"),
                     QStringLiteral("Tel_Dienst:T"),
                     QStringLiteral("Fax_Privat:T"),
                     QStringLiteral("Fax_Dienst:T"),
                     QStringLiteral("EMail_Adresse:T"),
                     QStringLiteral("Geburtsdatum:D"),
                     QStringLiteral("Geschlecht:B"),
                     QStringLiteral("Eintritt:D"),
                     QStringLiteral("Eintritt_BSSB:D"),
                     QStringLiteral("Eintritt_DSB:D"),
                     QStringLiteral("Austritt:D"),
                     QStringLiteral("Stammverein:L"),
                     QStringLiteral("Schuetzenjugend:Y"),
                     QStringLiteral("Aufnahmegebuehr:B"),
                     QStringLiteral("BTK_BSSB:B"),
                     QStringLiteral("BTK_Verein:B"),
                     QStringLiteral("BTA_HV:B"),
                     QStringLiteral("Sonstiges:B"),
                     QStringLiteral("Zahlweise:L"),
                     QStringLiteral("BLZ:L"),
                     QStringLiteral("KontoNr:T"),
                     QStringLiteral("KIH_Name:T"),
                     QStringLiteral("KIH_Vorname:T"),
                     QStringLiteral("KIH_Zusatz:T"),
                     QStringLiteral("KIH_Strasse:T"),
                     QStringLiteral("KIH_LKZ:T"),
                     QStringLiteral("KIH_PLZ:T"),
                     QStringLiteral("KIH_Ort:T"),
                     QStringLiteral("Mitglied_GAU:L"),
                     QStringLiteral("Passnummer:L"),
                     QStringLiteral("Antragsart:T"),
                     QStringLiteral("KZ_ANTRAG_JN:T"),
                     QStringLiteral("Antragsdatum:D"),
                     QStringLiteral("KZ_Sonderdaten_Gesamt:T")};
    layout << numbered(QStringLiteral("KZ_Sonderdaten_"), 1, 4, QStringLiteral("T")) << QStringLiteral("Sele_Gesamt:T")
         << numbered(QStringLiteral("Sele_"), 1, 10, QStringLiteral("T"))
         << numbered(QStringLiteral("Sportart_"), 1, 8, QStringLiteral("T"))
         << QStringList{QStringLiteral("Bemerkung:T"),          QStringLiteral("Ersterfassung:D"),
                        QStringLiteral("LetzteAenderung_am:D"), QStringLiteral("KZ_Passdaten_Aenderung:B"),
                        QStringLiteral("TRANSFERDATUM_BSSB:D"), QStringLiteral("UEBERGABE_KZ_PASSDAT:T"),
                        QStringLiteral("KZ_SPERRE:T"),          QStringLiteral("KZ_LOESCHEN:T"),
                        QStringLiteral("KZ_ABRECHNUNG:L"),      QStringLiteral("KZ_ABR_VEREIN:L"),
                        QStringLiteral("TRANSFER_KZ:T"),        QStringLiteral("RS_TRANSFER:T"),
                        QStringLiteral("KZ_ZUSATZTEXTE:T"),     QStringLiteral("KZ_Zweitvereine:T"),
                        QStringLiteral("KZ_nicht_abrechnen:S")};
    return parse(layout);
}

std::vector<JetColumn> vereineKurzColumns()
{
    QStringList layout{QStringLiteral("Verein:L"),
                     QStringLiteral("VName:T"),
                     QStringLiteral("Strasse:T"),
                     QStringLiteral("PLZ:T"),
                     QStringLiteral("Ort:T"),
                     QStringLiteral("Telefon:T"),
                     QStringLiteral("Fax:T"),
                     QStringLiteral("Bemerkung:T"),
                     QStringLiteral("Bankeinzug:Y"),
                     QStringLiteral("BLZ:L"),
                     QStringLiteral("Konto:T"),
                     QStringLiteral("Ersterfassung:D"),
                     QStringLiteral("LetzteAenderung_am:D"),
                     QStringLiteral("Landkreis:T"),
                     QStringLiteral("Regierungsbezirk:B"),
                     QStringLiteral("Gründungsjahr:L"),
                     QStringLiteral("Aufnahmejahr:L"),
                     QStringLiteral("Schiessstaette_Strasse:T"),
                     QStringLiteral("Schiessstaette_PLZ:T"),
                     QStringLiteral("Schiessstaette_Ort:T"),
                     QStringLiteral("Schiessstaette_Bezeichnung:T"),
                     QStringLiteral("Schiessstaette_Telefon:T"),
                     QStringLiteral("Sele_Gesamt:T")};
    layout << numbered(QStringLiteral("Sele_"), 1, 5, QStringLiteral("T"))
         << QStringList{
                QStringLiteral("Erster_SM:L"), QStringLiteral("Erster_SM_TD:T"), QStringLiteral("Erster_SM_TP:T"),
                QStringLiteral("Sportl:L"),    QStringLiteral("Sportl_TD:T"),    QStringLiteral("Sportl_TP:T"),
                QStringLiteral("Jugendl:L"),   QStringLiteral("Jugendl_TD:T"),   QStringLiteral("Jugendl_TP:T"),
                QStringLiteral("Postempf:L"),  QStringLiteral("Zeitungsempf:L"), QStringLiteral("Loeschkz:B"),
                QStringLiteral("Sperrkz:B"),   QStringLiteral("VName_lang:T"),   QStringLiteral("VSuchname:T")};
    return parse(layout);
}

JetRow sampleMitglied(const std::vector<JetColumn>& columns, int index)
{
    JetRow row;
    row.reserve(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const int salt = index * 31 + int(c);
        switch (columns[c].type) {
        case JetType::Long:
            row.push_back(jetInt(index * 7 + int(c)));
            break;
        case JetType::Short:
            row.push_back(jetInt(std::int16_t(salt % 30000)));
            break;
        case JetType::Byte:
            row.push_back(jetInt(salt % 256));
            break;
        case JetType::Bool:
            row.push_back(jetBool(salt % 2 == 0));
            break;
        case JetType::DateTime:
            row.push_back(jetDate(DateTime::fromParts(1930 + index % 80, 1 + index % 12, 1 + index % 28)));
            break;
        default:
            row.push_back(jetText(QStringLiteral("%1 Müßig %2").arg(columns[c].name).arg(index)));
            break;
        }
    }
    return row;
}

} // namespace torvm::test
