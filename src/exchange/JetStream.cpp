#include "exchange/JetStream.h"

#include <cstring>

namespace torvm::jetframe {

void putU8(QByteArray& out, std::uint8_t v)
{
    out.append(static_cast<char>(v));
}

void putU16(QByteArray& out, std::uint16_t v)
{
    const char bytes[2] = {static_cast<char>(v & 0xff), static_cast<char>(v >> 8)};
    out.append(bytes, 2);
}

void putU32(QByteArray& out, std::uint32_t v)
{
    const char bytes[4] = {static_cast<char>(v & 0xff), static_cast<char>((v >> 8) & 0xff),
                           static_cast<char>((v >> 16) & 0xff), static_cast<char>(v >> 24)};
    out.append(bytes, 4);
}

void putF64(QByteArray& out, double v)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    putU32(out, static_cast<std::uint32_t>(bits & 0xffffffffu));
    putU32(out, static_cast<std::uint32_t>(bits >> 32));
}

void putString(QByteArray& out, const QByteArray& utf8)
{
    putU32(out, static_cast<std::uint32_t>(utf8.size()));
    out.append(utf8);
}

qsizetype begin(QByteArray& out, Kind kind)
{
    out.append(kind);
    const qsizetype at = out.size();
    putU32(out, 0);
    return at;
}

void finish(QByteArray& out, qsizetype lengthAt)
{
    const auto length = static_cast<std::uint32_t>(out.size() - lengthAt - 4);
    for (int i = 0; i < 4; ++i)
        out[lengthAt + i] = static_cast<char>((length >> (8 * i)) & 0xff);
}

bool Reader::u8(std::uint8_t* v)
{
    if (m_size - m_pos < 1)
        return false;
    *v = static_cast<std::uint8_t>(m_data[m_pos++]);
    return true;
}

bool Reader::u16(std::uint16_t* v)
{
    if (m_size - m_pos < 2)
        return false;
    const auto* p = reinterpret_cast<const unsigned char*>(m_data + m_pos);
    *v = static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    m_pos += 2;
    return true;
}

bool Reader::u32(std::uint32_t* v)
{
    if (m_size - m_pos < 4)
        return false;
    const auto* p = reinterpret_cast<const unsigned char*>(m_data + m_pos);
    *v = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    m_pos += 4;
    return true;
}

bool Reader::f64(double* v)
{
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    if (!u32(&low) || !u32(&high))
        return false;
    const std::uint64_t bits = (static_cast<std::uint64_t>(high) << 32) | low;
    std::memcpy(v, &bits, sizeof bits);
    return true;
}

bool Reader::string(QString* v)
{
    std::uint32_t length = 0;
    if (!u32(&length) || static_cast<qsizetype>(length) > m_size - m_pos)
        return false;
    *v = QString::fromUtf8(m_data + m_pos, static_cast<qsizetype>(length));
    m_pos += length;
    return true;
}

} // namespace torvm::jetframe
