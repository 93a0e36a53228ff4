#pragma once

#include "output/TextExport.h"

#include <QDialog>

#include <array>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLayout;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace torvm {

class CTorvmDoc;

namespace ui {

// The sheet "Ausgabe": which outputs of which round, and the options of every output that has any.
// Shows the stored choices; confirming stores them and fixes the run's settings. For the text
// file it also asks for the character set.
class AusgabeSheet : public QDialog {
    Q_OBJECT
public:
    enum class Use { Pages, TextFile };
    explicit AusgabeSheet(CTorvmDoc& doc, QWidget* parent = nullptr, Use use = Use::Pages);

    // What the confirmed sheet asks for; valid after accept().
    const OutputSettings& settings() const { return m_settings; }
    // The character set chosen for the text file; Windows-1252 for pages.
    TextEncoding encoding() const;

    QTabWidget* tabs() const { return m_tabs; }

    void accept() override;

private:
    // "alle Gruppen", "gewählte Gruppen" and the list of groups; a click into the list chooses
    // the selected groups.
    struct GroupChoice {
        QRadioButton* all = nullptr;
        QRadioButton* chosen = nullptr;
        QListWidget* list = nullptr;
        std::optional<std::vector<int>> groups() const;
    };

    QWidget* createMainPage();
    QWidget* createTerminPage();
    QWidget* createGruppePage();
    QWidget* createTabellePage();
    QWidget* createEinzelPage();
    QWidget* createTeilnehmerPage();
    QWidget* createGesamtPage();
    QWidget* createBerichtPage();
    GroupChoice addGroupChoice(QWidget* page, QLayout* layout);

    CTorvmDoc& m_doc;
    OutputSettings m_settings;
    QTabWidget* m_tabs = nullptr;
    QComboBox* m_round = nullptr;
    std::array<QCheckBox*, kOutputCount> m_outputs{};
    std::array<QCheckBox*, kPlanCount> m_plans{};
    GroupChoice m_sheetGroups;
    GroupChoice m_tableGroups;
    GroupChoice m_reportGroups;
    QCheckBox* m_ergebnis = nullptr;
    QCheckBox* m_tabelle = nullptr;
    QLineEdit* m_platz = nullptr;
    std::array<QRadioButton*, 3> m_klasse{}; // by RankingClassMode
    std::array<QRadioButton*, 2> m_sort{};   // by number, by name
    QSpinBox* m_mindestens = nullptr;
    QSpinBox* m_series = nullptr;
    QComboBox* m_encoding = nullptr; // text file only
};

} // namespace ui
} // namespace torvm
