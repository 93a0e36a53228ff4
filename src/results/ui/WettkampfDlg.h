#pragma once

#include "results/PairingEntry.h"

#include <QDialog>

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

class CTeilnehmerCombo;

inline constexpr auto kWettkampfPositionSection = "VMWettkampfPosition";

// Result entry for one pairing of one round of one group: participant numbers, rings and row
// marks (Ersatz, Einzelschütze, außer Konkurrenz) of both teams, and whether a team did not appear. Every move to
// another pairing, round or group saves the pairing being left first; a field that fails its check or a save the file
// refuses keeps the dialog where it is, with everything typed still there.
class CWettkampfDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRounds = 20;   // a plan holds up to 19 rounds; outputs offer 20
    static constexpr int kPairings = 10; // positions per round
    static constexpr int kWidth = 600;

    // Opens at the pairing at, or where the entry was last left.
    explicit CWettkampfDlg(CTorvmDoc& doc, QWidget* parent = nullptr, std::optional<EntryPosition> at = std::nullopt);

    int group() const { return m_entry.group(); }
    int round() const { return m_entry.round(); }
    int pairing() const { return m_entry.pairing(); }

public slots:
    void accept() override;
    // Esc and closing the window: a changed pairing is not thrown away unasked.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        QLineEdit* number = nullptr;
        CTeilnehmerCombo* name = nullptr;
        QLineEdit* rings = nullptr;
        QCheckBox* substitute = nullptr;
        QComboBox* scoring = nullptr; // index = [Wertung]
    };

    void buildRows(QWidget* content);
    void fillGroupList();
    // false when the pairing shown could not be saved: the dialog stays where it is.
    bool moveTo(int group, int round, int pairing);
    // ">" (+1) and "<" (-1): past the round's last pairing on to the next group, past the last
    // group on to the next round; the status line says where a step across a group went.
    void step(int direction);
    void load(int group, int round, int pairing);
    void display();
    // Reads every shown field into the pairing; false after the check message of the first
    // field that holds no valid value (the field then has the focus).
    bool collect();
    bool saveShown();
    // The warnings of the pairing in one message; true when there are none or the user stores
    // anyway. "Korrigieren" puts the focus on the first field named.
    bool confirmWarnings();
    QLineEdit* field(const PairingWarning& warning) const;
    // The totals of the rows that count, and the results that do not count in parentheses (except
    // in the field being typed into).
    void showTotals();
    // Ctrl+E, Ctrl+I and Ctrl+K in a row's fields: Ersatz, Einzelschütze, außer Konkurrenz on or off.
    bool markRow(int side, int row, int key);
    void numberChanged(int side, int row);
    void takeOverParticipants();
    void editPoints();
    void focusFirstField();
    void openNameSearch(int side, int row, QKeyEvent* letter);

    CTorvmDoc& m_doc;
    PairingEntry m_entry;
    QScrollArea* m_scroll = nullptr;
    QComboBox* m_groupBox = nullptr;
    QComboBox* m_roundBox = nullptr;
    QLabel* m_heading = nullptr;
    QLabel* m_position = nullptr; // "Paarung x von y"
    QLabel* m_conflict = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_points = nullptr;
    std::array<QLabel*, 2> m_teamLabel{};
    std::array<QLabel*, 2> m_totalLabel{};
    std::array<QCheckBox*, 2> m_absent{};
    bool m_tenths = false; // the competition scores tenths: rings typed and shown as 97,3
    std::array<QLabel*, kShooterRows> m_rowLabel{};
    std::array<std::array<Row, kShooterRows>, 2> m_rows{};
};

// The "Ergebnis" command of a competition window, at the pairing at or where the entry was last left;
// without a group there is nothing to enter, and the user is told so.
void runErgebnisCommand(QWidget* parent, CTorvmDoc& doc, std::optional<EntryPosition> at = std::nullopt);

} // namespace torvm::ui
