#pragma once

#include "db/DateTime.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace torvm {

// Column types as a Jet table definition names them.
enum class JetType : std::uint8_t {
    Other = 0,
    Bool = 0x01,
    Byte = 0x02,
    Short = 0x03,
    Long = 0x04,
    Money = 0x05,
    Float = 0x06,
    Double = 0x07,
    DateTime = 0x08,
    Binary = 0x09,
    Text = 0x0a,
    Ole = 0x0b,
    Memo = 0x0c,
    Guid = 0x0f,
    Numeric = 0x10,
};

struct JetColumn {
    QString name;
    JetType type = JetType::Other;
};

// One value of a row. Dates travel as the raw serial (days since 30.12.1899) so nothing is lost
// to a text form; long binary values (pictures, OLE objects) are not carried and read as Null.
struct JetValue {
    enum class Kind : std::uint8_t { Null = 0, Integer = 1, Real = 2, Text = 3, False = 4, True = 5 };
    Kind kind = Kind::Null;
    std::int32_t integer = 0;
    double real = 0.0;
    QString text;

    bool isNull() const { return kind == Kind::Null; }
    bool boolean() const { return kind == Kind::True; }
    DateTime date() const { return kind == Kind::Real ? DateTime::fromOleDate(real) : DateTime(); }
};

using JetRow = std::vector<JetValue>;

// The stream the reading child writes to its parent: a fixed opening, then frames of one kind
// byte and a little-endian 32-bit payload length. Anything else on the pipe is a fault.
namespace jetframe {
inline constexpr char kMagic[8] = {'T', 'V', 'M', 'J', 'E', 'T', '\x01', '\n'};
inline constexpr int kHeaderSize = 5;
// Payload limit: a row of 255 columns of 64 KB texts stays below it; garbage does not.
inline constexpr std::uint32_t kMaxPayload = 32u * 1024u * 1024u;

enum Kind : char {
    TableBegin = 'T', // name, column count, per column: type byte and name
    Row = 'R',        // per column: value kind byte and its bytes
    TableEnd = 'E',   // rows delivered, rows unreadable, table unreadable flag
    Failure = 'F',    // the child refused the file: German reason
    End = 'Z',        // the whole file has been read
};

// Appends values in the frame encoding.
void putU8(QByteArray& out, std::uint8_t v);
void putU16(QByteArray& out, std::uint16_t v);
void putU32(QByteArray& out, std::uint32_t v);
void putF64(QByteArray& out, double v);
void putString(QByteArray& out, const QByteArray& utf8); // 32-bit length and bytes
// Starts a frame at the end of out and returns where its length goes; finish() writes it.
qsizetype begin(QByteArray& out, Kind kind);
void finish(QByteArray& out, qsizetype lengthAt);

// Reads values from a frame payload; every read checks the remaining length.
class Reader {
public:
    Reader(const char* data, qsizetype size)
        : m_data(data)
        , m_size(size)
    {
    }
    bool u8(std::uint8_t* v);
    bool u16(std::uint16_t* v);
    bool u32(std::uint32_t* v);
    bool f64(double* v);
    bool string(QString* v);
    bool atEnd() const { return m_pos == m_size; }

private:
    const char* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
};
} // namespace jetframe

} // namespace torvm
