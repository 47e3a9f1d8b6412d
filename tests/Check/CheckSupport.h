// Shared by the check tests and benchmarks: real decoders over built messages, and the domain's configuration and
// acknowledgement files wired through the record streams as the persistence manager wires them.
#ifndef TESTS_CHECK_CHECKSUPPORT_H
#define TESTS_CHECK_CHECKSUPPORT_H

#include <cstdint>
#include <utility>
#include <vector>

#include "Check/CPersistentFirmwareCheckerCallback.h"
#include "Check/CPersistentUdidCheckerCallback.h"
#include "Epls/CFrameDecoder.h"
#include "Event/CEventDecoder.h"
#include "Hmi/CCommandDecoder.h"
#include "Param/CByteArrayParameterReader.h"
#include "Param/CFwRevCnfBinChk.h"
#include "Param/CFwRevCnfBinChkInvertedMinorRevisionReader.h"
#include "Param/CFwRevCnfBinChkInvertedMinorRevisionWriter.h"
#include "Param/CInvertingAdditionalParameterHeaderReader.h"
#include "Param/CInvertingFirmwareVersionReader.h"
#include "Param/CInvertingParameterChecksumReader.h"
#include "Param/CParameterAdditionalParameterHeaderReader.h"
#include "Param/CParameterFirmwareVersionReader.h"
#include "Param/CParameterParameterChecksumReader.h"
#include "Param/CParameterSafetyAddressReader.h"
#include "Param/CTesseraDatChk.h"
#include "Param/CTesseraDatChkInvertedUdidReader.h"
#include "Param/CTesseraDatChkInvertedUdidWriter.h"
#include "support/Files/CFwRevCnfBinBuilder.h"
#include "support/Files/CParameterStreamBuilder.h"
#include "support/Files/CTesseraDatBuilder.h"
#include "support/Messages/CCommandBuilder.h"
#include "support/Messages/CEventBuilder.h"
#include "support/Messages/CFrameBuilder.h"

namespace CheckTest
{
using Support::Bytes;
using Support::Udid;

/// Builds messages and decodes them with the checker's own decoders. Each decoded message points into a buffer
/// kept here and stays valid until the next message of its kind.
class CDecoding
{
public:
    const Epls::CDecodedFrame& Frame(const Support::CFrameBuilder& builder)
    {
        m_frame = builder.Build();
        return m_frameDecoder.GetDecodedFrame(static_cast<std::uint16_t>(m_frame.size()), m_frame.data(),
                                              ms_ScmUdid.data());
    }

    const Hmi::CDecodedCommand& Command(const Support::CCommandBuilder& builder)
    {
        m_command = builder.Build();
        return m_commandDecoder.GetDecodedCommand(static_cast<std::uint8_t>(m_command.size()), m_command.data());
    }

    const Event::CDecodedEvent& Event(const Support::CEventBuilder& builder)
    {
        m_event = builder.Build();
        return m_eventDecoder.GetDecodedEvent(static_cast<std::uint8_t>(m_event.size()), m_event.data());
    }

private:
    static constexpr Udid ms_ScmUdid{};

    Bytes m_frame;
    Bytes m_command;
    Bytes m_event;
    Epls::CFrameDecoder m_frameDecoder;
    Hmi::CCommandDecoder m_commandDecoder;
    Event::CEventDecoder m_eventDecoder;
};

/// One SOD parameter stream ("tol_para.saf" SCM section) read in place and filtered per kind of record; every filter
/// but the safety-address reader is inverted. Not copyable: the readers refer to each other.
struct CConfiguration
{
    explicit CConfiguration(const Support::CParameterStreamBuilder& stream)
        : m_stream(stream.Build()), m_parameterReader(), m_safetyAddressReader(m_parameterReader),
          m_firmwareVersionReader(m_parameterReader), m_invertedFirmwareVersionReader(m_firmwareVersionReader),
          m_checksumReader(m_parameterReader), m_invertedChecksumReader(m_checksumReader),
          m_headerReader(m_parameterReader), m_invertedHeaderReader(m_headerReader)
    {
        // A byte-array reader needs a non-null buffer even when the stream is empty.
        m_stream.reserve(1u);
        m_parameterReader.Initialize(static_cast<std::uint32_t>(m_stream.size()), m_stream.data());
    }
    CConfiguration(const CConfiguration&) = delete;
    CConfiguration& operator=(const CConfiguration&) = delete;

    Bytes m_stream;
    Param::CByteArrayParameterReader m_parameterReader;
    Param::CParameterSafetyAddressReader m_safetyAddressReader;
    Param::CParameterFirmwareVersionReader m_firmwareVersionReader;
    Param::CInvertingFirmwareVersionReader m_invertedFirmwareVersionReader;
    Param::CParameterParameterChecksumReader m_checksumReader;
    Param::CInvertingParameterChecksumReader m_invertedChecksumReader;
    Param::CParameterAdditionalParameterHeaderReader m_headerReader;
    Param::CInvertingAdditionalParameterHeaderReader m_invertedHeaderReader;
};

/// "tessera.dat.chk" in memory with its UDID reader and writer. The callback rebuilds the file, as the persistence
/// manager does before it stores it.
class CAcknowledgedUdidFile : public Check::CPersistentUdidCheckerCallback
{
public:
    static constexpr std::uint32_t ms_BufferLength = 65536u;

    /// The acknowledged UDIDs (plain), stored complemented as the checker's copy holds them.
    explicit CAcknowledgedUdidFile(const std::vector<std::pair<std::uint16_t, Udid>>& udids = {})
        : m_buffer(ms_BufferLength), m_file(ms_BufferLength, m_buffer.data()), m_reader(m_file), m_writer(m_file),
          m_writeCount(0u)
    {
        std::uint32_t length = 0u;
        if (!udids.empty())
        {
            Support::CTesseraDatBuilder builder;
            builder.m_inverted = true;
            for (const auto& [safetyAddress, udid] : udids)
            {
                builder.AddUdid(safetyAddress, udid);
            }
            const Bytes content = builder.Build();
            std::copy(content.begin(), content.end(), m_buffer.begin());
            length = static_cast<std::uint32_t>(content.size());
        }
        m_file.ReadContent(length);
    }

    void WriteAcknowledgedInvertedUdids() override
    {
        ++m_writeCount;
        m_file.WriteContent();
    }

    /// The records of the file as last rebuilt, read back through a fresh file object: (address, plain UDID).
    std::vector<std::pair<std::uint16_t, Udid>> ReadBack()
    {
        Bytes copy(m_buffer.begin(), m_buffer.begin() + m_file.GetContentLength());
        copy.resize(ms_BufferLength);
        Param::CTesseraDatChk file(ms_BufferLength, copy.data());
        file.ReadContent(m_file.GetContentLength());
        Param::CTesseraDatChkInvertedUdidReader reader(file);
        std::vector<std::pair<std::uint16_t, Udid>> records;
        reader.Open();
        std::uint16_t safetyAddress = 0u;
        const std::uint8_t* invertedUdid = nullptr;
        while (reader.TryReadNext(safetyAddress, invertedUdid))
        {
            Udid udid{};
            for (std::size_t i = 0u; i < udid.size(); ++i)
            {
                udid[i] = static_cast<std::uint8_t>(~invertedUdid[i]);
            }
            records.emplace_back(safetyAddress, udid);
        }
        reader.Close();
        return records;
    }

    Bytes m_buffer;
    Param::CTesseraDatChk m_file;
    Param::CTesseraDatChkInvertedUdidReader m_reader;
    Param::CTesseraDatChkInvertedUdidWriter m_writer;
    unsigned m_writeCount;
};

/// "fwrevcnf.bin.chk" in memory with its minor-revision reader and writer. The callback rebuilds the file.
class CAcknowledgedMinorRevisionFile : public Check::CPersistentFirmwareCheckerCallback
{
public:
    static constexpr std::uint32_t ms_BufferLength = 65536u;

    /// The acknowledged minor revisions (plain), stored complemented as the checker's copy holds them, in a buffer
    /// of the given capacity.
    explicit CAcknowledgedMinorRevisionFile(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& revisions = {},
                                            std::uint32_t bufferLength = ms_BufferLength)
        : m_buffer(bufferLength), m_file(bufferLength, m_buffer.data()), m_reader(m_file), m_writer(m_file),
          m_writeCount(0u)
    {
        Support::CFwRevCnfBinBuilder builder;
        builder.m_inverted = true;
        for (const auto& [safetyAddress, minorRevision] : revisions)
        {
            builder.AddModule(safetyAddress, minorRevision);
        }
        const Bytes content = builder.Build();
        std::copy(content.begin(), content.end(), m_buffer.begin());
        m_file.ReadContent(static_cast<std::uint32_t>(content.size()));
    }

    void WriteAcknowledgedInvertedMinorRevisions() override
    {
        ++m_writeCount;
        m_file.WriteContent();
    }

    /// The records of the file as last rebuilt, read back through a fresh file object: (address, plain revision).
    std::vector<std::pair<std::uint16_t, std::uint16_t>> ReadBack()
    {
        Bytes copy(m_buffer.begin(), m_buffer.begin() + m_file.GetContentLength());
        copy.resize(ms_BufferLength);
        Param::CFwRevCnfBinChk file(ms_BufferLength, copy.data());
        file.ReadContent(m_file.GetContentLength());
        Param::CFwRevCnfBinChkInvertedMinorRevisionReader reader(file);
        std::vector<std::pair<std::uint16_t, std::uint16_t>> records;
        reader.Open();
        std::uint16_t safetyAddress = 0u;
        std::uint16_t invertedMinorRevision = 0u;
        while (reader.TryReadNext(safetyAddress, invertedMinorRevision))
        {
            records.emplace_back(safetyAddress, static_cast<std::uint16_t>(~invertedMinorRevision));
        }
        reader.Close();
        return records;
    }

    Bytes m_buffer;
    Param::CFwRevCnfBinChk m_file;
    Param::CFwRevCnfBinChkInvertedMinorRevisionReader m_reader;
    Param::CFwRevCnfBinChkInvertedMinorRevisionWriter m_writer;
    unsigned m_writeCount;
};

/// A UDID whose bytes tell the test apart: 0x10 + n at the front, n at the back.
inline Udid MakeUdid(std::uint8_t n)
{
    return Udid{static_cast<std::uint8_t>(0x10u + n), 0x22u, 0x33u, 0x44u, 0x55u, n};
}
} // namespace CheckTest

#endif
