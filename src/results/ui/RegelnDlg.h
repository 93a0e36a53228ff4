#pragma once

#include "results/CompetitionRules.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

// The competition's scoring rules ("Wertungsregeln"): tenths, the highest single result, the order
// of teams equal in points and the substitute limit, each with a sentence saying what it does.
// "OK" stores them together, "Abbrechen" stores nothing.
class CRegelnDlg : public QDialog {
    Q_OBJECT
public:
    explicit CRegelnDlg(CTorvmDoc& doc, QWidget* parent = nullptr);

public slots:
    void accept() override;

private:
    void tenthsToggled(bool on);
    void offerHighestValues(bool tenths);
    void showTieBreakSentence(int position);
    std::vector<TieBreak> chosenTieBreaks() const;

    CTorvmDoc& m_doc;
    QCheckBox* m_tenths;
    QComboBox* m_highestBox;
    QLineEdit* m_highest;
    std::array<QComboBox*, kMaxTieBreaks> m_tieBreak{};
    std::array<QLabel*, kMaxTieBreaks> m_tieBreakSentence{};
    QLineEdit* m_substitutes;
};

// The "Wertungsregeln" command of a competition window.
void runRegelnCommand(QWidget* parent, CTorvmDoc& doc);

} // namespace torvm::ui
