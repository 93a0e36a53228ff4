#pragma once

#include "db/Database.h"
#include "db/Recordsets.h"

#include <QString>

#include <gtest/gtest.h>

#include <initializer_list>

namespace torvm::test {

// Writes rows straight into a competition file so the outputs have something to read.
class LeagueData {
public:
    explicit LeagueData(Database& db)
        : m_db(db)
    {
    }

    void exec(const char* sql) { ASSERT_TRUE(m_db.execute(sql)) << sql << ": " << m_db.lastError().text.toStdString(); }

    // Shooter rows 1, 2, ... of one team with the participants given (0 = none).
    void shooters(int group, int round, int slot, std::initializer_list<int> rings,
                  std::initializer_list<int> participants = {})
    {
        int row = 1;
        auto p = participants.begin();
        for (const int r : rings) {
            const int participant = p != participants.end() ? *p++ : 0;
            insert(resultKey(group, round, slot, row++), participant, round, r, 0, QString());
        }
    }

    // Row 99 of one team: its adjustment and remark.
    void adjustment(int group, int round, int slot, int points, const QString& text = {})
    {
        insert(resultKey(group, round, slot, kSummaryRow), 0, round, 0, points, text);
    }

    void insert(int id, int participant, int round, int rings, int points, const QString& text)
    {
        Statement st = m_db.prepare(R"(INSERT INTO "Wettkampf" ("ID", "TNr", "Durchgang", "Ergebnis", "Punkte", "Text")
                                       VALUES (?, ?, ?, ?, ?, ?))");
        st.bind(1, std::int64_t{id});
        st.bind(2, std::int64_t{participant});
        st.bind(3, std::int64_t{round});
        st.bind(4, std::int64_t{rings});
        st.bind(5, std::int64_t{points});
        if (text.isEmpty())
            st.bindNull(6);
        else
            st.bind(6, text);
        ASSERT_TRUE(st.exec()) << m_db.lastError().text.toStdString();
    }

private:
    Database& m_db;
};

} // namespace torvm::test
