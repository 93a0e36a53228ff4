#pragma once

#include "output/TextExport.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QTabWidget;

namespace torvm {

class CTorvmDoc;

namespace ui {

// The sheet "Ausgabe": which outputs of which round, and the options of the league tables.
// Shows the competition's stored choices; confirming stores them and fixes the run's settings.
class AusgabeSheet : public QDialog {
    Q_OBJECT
public:
    explicit AusgabeSheet(CTorvmDoc& doc, QWidget* parent = nullptr);

    // What the confirmed sheet asks for; valid after accept().
    const OutputSettings& settings() const { return m_settings; }

    QTabWidget* tabs() const { return m_tabs; }

    void accept() override;

private:
    QWidget* createMainPage();
    QWidget* createTabellePage();
    QWidget* createEinzelPage();

    CTorvmDoc& m_doc;
    OutputSettings m_settings;
    QTabWidget* m_tabs = nullptr;
    QComboBox* m_round = nullptr;
    std::array<QCheckBox*, kOutputCount> m_outputs{};
    QRadioButton* m_allGroups = nullptr;
    QRadioButton* m_chosenGroups = nullptr;
    QListWidget* m_groups = nullptr;
    QCheckBox* m_ergebnis = nullptr;
    QCheckBox* m_tabelle = nullptr;
    QLineEdit* m_platz = nullptr;
    std::array<QRadioButton*, 3> m_klasse{}; // by RankingClassMode
};

} // namespace ui
} // namespace torvm
