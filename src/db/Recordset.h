#pragma once

#include "db/Database.h"
#include "db/DateTime.h"

#include <QString>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace torvm {

// What a recordset needs of the open competition when it is handed no connection: the file to
// open one of its own on. The competition document provides it; the table layer knows no more of it.
class CompetitionSource {
public:
    virtual const QString& path() const = 0;

protected:
    ~CompetitionSource() = default;
};

// What a bound member holds for a Null column, and for every column after a select that found no
// row. Code that tests a number for 0 sees these as "something"; code that needs to know asks
// IsFieldNull: the same number can be a real value in the file, and then it is written back as one.
inline constexpr std::int32_t kNullLong = 1246576928; // 0x4A4D4120
inline constexpr std::int16_t kNullShort = 32484;     // 0x7EE4

// The visitor a recordset hands its bound members to, in column order.
class FieldExchange {
public:
    virtual ~FieldExchange() = default;
    virtual void Long(const char* column, std::int32_t& value) = 0;
    virtual void Short(const char* column, std::int16_t& value) = 0;
    virtual void Text(const char* column, QString& value) = 0;
    virtual void Date(const char* column, DateTime& value) = 0;
};

// A table seen through bound members, the way every dialog and output works on the file: select
// rows by a condition, move through them, and add or edit the current one.
//
// Selected rows are read in full when the select runs and the statement is reset at once, so a
// dialog that sits on a record holds no lock on the file.
class CRecordset {
public:
    using Row = std::vector<SqlValue>;

    // Works on db; when db is null it opens the competition's file over a connection of its own.
    CRecordset(Database* db, const CompetitionSource* doc);
    virtual ~CRecordset();
    CRecordset(const CRecordset&) = delete;
    CRecordset& operator=(const CRecordset&) = delete;

    virtual const char* TableName() const = 0;
    virtual void DoFieldExchange(FieldExchange& fx) = 0;

    // "[Table]", the statement the recordset stands for when nothing else is selected.
    QString GetDefaultSQL() const;

    bool Open();
    void Close();
    bool IsOpen() const { return m_open; }

    // where and orderBy are SQL fragments written in code (column names quoted), never user text:
    // every value goes in through params. Null where/orderBy select all rows / keep file order.
    bool Select(const char* where, std::initializer_list<SqlValue> params = {}, const char* orderBy = nullptr);

    bool IsEOF() const;
    bool IsBOF() const;
    void MoveFirst();
    void MoveNext();
    void MovePrev();
    void MoveLast();
    int GetRecordCount() const { return static_cast<int>(m_rows.size()); }
    // Rows in the whole table, without reading them; -1 on a database error.
    int CountRows();
    // The bound columns in file order.
    const std::vector<std::string>& Columns();

    // AddNew starts a row with numbers 0 (as the file's defaults) and empty texts; Edit keeps the
    // current row's values. Update writes every bound member.
    void AddNew();
    void Edit();
    bool Update();

    // The members as row values (Null where a number member stands for Null) and back.
    Row SaveBuffer();
    void RestoreBuffer(const Row& row);
    void SetFieldsNull();

    // Whether the number member field (one of this recordset's bound members) stands for Null: it
    // was read from a Null column or set Null, and still holds the marker. Texts and dates: never.
    bool IsFieldNull(const void* field) const;
    // Makes field (nullptr: every number member) Null, which also puts the marker in, or, with
    // null false, a value even when it holds the marker's number (a pass number 1246576928).
    void SetFieldNull(const void* field, bool null = true);
    // A number as a dialog shows it: Null as 0, "none". Setting it back, 0 keeps a Null member Null
    // and any other number is stored as that number.
    std::int32_t NumberOrNone(const std::int32_t& field) const { return IsFieldNull(&field) ? 0 : field; }
    void SetNumberOrNone(std::int32_t& field, std::int32_t value);

    Database* GetDatabase() const { return m_db; }
    const CompetitionSource* GetDocument() const { return m_doc; }
    const DbError& GetLastError() const { return m_error; }

protected:
    // Writes every member under key: the row is added when missing, else overwritten; the
    // members keep the caller's values. The key member must already hold key.
    bool UpsertBuffer(const char* keyColumn, const SqlValue& key);

private:
    struct Stored {
        std::int64_t rowid;
        Row values;
    };
    enum class EditMode { None, Add, Edit };

    bool ensureConnection();
    void loadCurrent();
    bool fail();

    Database* m_db;
    std::unique_ptr<Database> m_ownDb;
    const CompetitionSource* m_doc;
    bool m_open = false;
    std::vector<Stored> m_rows;
    // Per bound column in exchange order: whether its number member stands for Null.
    std::vector<bool> m_null;
    int m_pos = -1;
    EditMode m_mode = EditMode::None;
    DbError m_error;
};

} // namespace torvm
