#pragma once

#include "masterdata/ui/DialogDriver.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"

#include <QTableView>

namespace torvm::ui {

// Three clubs, three participants and one result row, for the list windows.
class ListenDlgTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::ScriptedPrompter prompter;

    void exec(const char* sql)
    {
        ASSERT_TRUE(comp.db()->execute(sql)) << sql << ": " << comp.db()->lastError().text.toStdString();
    }
    std::int64_t scalar(const char* sql)
    {
        Statement st = comp.db()->prepare(sql);
        EXPECT_TRUE(st.next()) << sql;
        return st.int64(0);
    }
    void SetUp() override
    {
        exec("INSERT INTO Verein (Vereinsnummer, Name, Sortieren, Ort) VALUES (1, 'SV Tell', 'Tell', 'Au'), "
             "(2, 'SG Öd', 'Öd', 'Ebersberg'), (3, 'KK Leer', 'Leer', 'Aßling')");
        exec("INSERT INTO Teilnehmer (Paßnummer, Name, Vorname, Verein) VALUES (7, 'Östermeier', 'Anna', 1), "
             "(12, 'Müller', 'Sepp', 2), (30, 'Oster', 'Kim', 1)");
        exec("INSERT INTO Wettkampf (ID, TNr, Durchgang, Ergebnis) VALUES (10101, 7, 0, 300)");
    }
    static QStringList column(QTableView* view, int c)
    {
        QStringList texts;
        for (int r = 0; r < view->model()->rowCount(); ++r)
            texts << view->model()->index(r, c).data().toString();
        return texts;
    }
    static void selectRowOf(QTableView* view, const QString& text, int c)
    {
        const int row = column(view, c).indexOf(text);
        ASSERT_GE(row, 0) << text.toStdString();
        view->selectRow(row);
    }
};

} // namespace torvm::ui
