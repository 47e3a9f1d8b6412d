// Builds "pardata1.bin" parameter data files.
#include "support/Files/CParData1BinBuilder.h"

#include <algorithm>

namespace
{
constexpr std::uint32_t HeaderLength = 64u;
constexpr std::uint32_t BlockLength = 16384u;
} // namespace

namespace Support
{
Bytes CParData1BinBuilder::BuildData() const
{
    Bytes data;
    for (const CAdditionalParameterRecord& parameter : m_parameters)
    {
        const Bytes entry = BuildAdditionalParameter(parameter);
        AppendBytes(data, entry.data(), entry.size());
    }
    AppendBytes(data, m_dataTail.data(), m_dataTail.size());
    return data;
}

Bytes CParData1BinBuilder::Build() const
{
    const Bytes data = BuildData();
    const auto dataLength = static_cast<std::uint32_t>(data.size());
    const std::uint32_t dataOffset = HeaderLength + m_dataGap;
    const std::uint32_t crcOffset = dataOffset + dataLength + m_crcGap;
    const std::uint32_t crcCount = (dataLength + BlockLength - 1u) / BlockLength;

    Bytes bytes(crcOffset, 0u);
    std::copy(data.begin(), data.end(), bytes.begin() + dataOffset);
    for (std::uint32_t block = 0u; block < crcCount; ++block)
    {
        const std::uint32_t begin = block * BlockLength;
        std::uint32_t crc = Crc32(data, begin, std::min(BlockLength, dataLength - begin));
        if (m_spoilBlockCrc == block)
        {
            crc ^= 0x00800000u;
        }
        AppendUInt32(bytes, crc);
    }

    PutUInt16(bytes, 0u, m_parameterCount.value_or(static_cast<std::uint16_t>(m_parameters.size())));
    PutUInt16(bytes, 2u, m_headerLength.value_or(static_cast<std::uint16_t>(HeaderLength)));
    PutUInt16(bytes, 4u, m_fileVersion);
    PutUInt16(bytes, 6u, m_offset.value_or(static_cast<std::uint16_t>(HeaderLength)));
    PutUInt32(bytes, 8u, m_timestamp);
    PutUInt32(bytes, 12u, m_dataLength.value_or(dataLength));
    PutUInt32(bytes, 16u, m_dataOffset.value_or(dataOffset));
    PutUInt32(bytes, 20u, m_crcCount.value_or(crcCount));
    PutUInt32(bytes, 24u, m_crcOffset.value_or(crcOffset));
    std::uint32_t headerCrc = Crc32(bytes, 0u, 60u);
    if (m_spoilHeaderCrc)
    {
        headerCrc ^= 0x00000010u;
    }
    PutUInt32(bytes, 60u, headerCrc);
    return bytes;
}
} // namespace Support
