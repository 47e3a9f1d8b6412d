// Byte-level helpers shared by the file builders: little-endian fields, CRCs, complements.
#include "support/Files/FileBytes.h"

#include "Scm/QdriffCrc.h"

namespace Support
{
void PutUInt8(Bytes& bytes, std::size_t offset, std::uint8_t value)
{
    if (bytes.size() < offset + 1u)
    {
        bytes.resize(offset + 1u);
    }
    bytes[offset] = value;
}

void PutUInt16(Bytes& bytes, std::size_t offset, std::uint16_t value)
{
    PutUInt8(bytes, offset, static_cast<std::uint8_t>(value));
    PutUInt8(bytes, offset + 1u, static_cast<std::uint8_t>(value >> 8));
}

void PutUInt32(Bytes& bytes, std::size_t offset, std::uint32_t value)
{
    PutUInt16(bytes, offset, static_cast<std::uint16_t>(value));
    PutUInt16(bytes, offset + 2u, static_cast<std::uint16_t>(value >> 16));
}

void PutUInt64(Bytes& bytes, std::size_t offset, std::uint64_t value)
{
    PutUInt32(bytes, offset, static_cast<std::uint32_t>(value));
    PutUInt32(bytes, offset + 4u, static_cast<std::uint32_t>(value >> 32));
}

void AppendUInt16(Bytes& bytes, std::uint16_t value)
{
    PutUInt16(bytes, bytes.size(), value);
}

void AppendUInt32(Bytes& bytes, std::uint32_t value)
{
    PutUInt32(bytes, bytes.size(), value);
}

void AppendBytes(Bytes& bytes, const std::uint8_t* data, std::size_t length)
{
    bytes.insert(bytes.end(), data, data + length);
}

std::uint16_t ReadUInt16(const Bytes& bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(bytes.at(offset) | (bytes.at(offset + 1u) << 8));
}

std::uint32_t ReadUInt32(const Bytes& bytes, std::size_t offset)
{
    return static_cast<std::uint32_t>(ReadUInt16(bytes, offset)) |
           (static_cast<std::uint32_t>(ReadUInt16(bytes, offset + 2u)) << 16);
}

std::uint32_t Crc32(const Bytes& bytes, std::size_t offset, std::size_t length)
{
    if (length == 0u)
    {
        return 0u;
    }
    return GetCrc32_0x11EDC6F41(static_cast<std::uint32_t>(length), bytes.data() + offset, 0u);
}

std::uint16_t Crc16(const Bytes& bytes, std::size_t offset, std::size_t length)
{
    if (length == 0u)
    {
        return 0u;
    }
    return GetCrc16_0x1755B(static_cast<std::uint32_t>(length), bytes.data() + offset);
}
} // namespace Support
