// Fuzz target of the parameter record streams: the input is a raw stream of SOD records (and, read the other way,
// of UDID and minor-revision records). Every record is pulled through the byte-array readers and through each
// filter that the checks put on the stream, plain and inverting; handed-out data must lie in the input, and a
// refusal must never be the guard's.
#include <cstddef>
#include <cstdint>

#include "Param/CByteArrayMinorRevisionReader.h"
#include "Param/CByteArrayParameterReader.h"
#include "Param/CByteArrayUdidReader.h"
#include "Param/CInvertingAdditionalParameterHeaderReader.h"
#include "Param/CInvertingCommissioningFlagReader.h"
#include "Param/CInvertingConfigurationDataReader.h"
#include "Param/CInvertingFirmwareVersionReader.h"
#include "Param/CInvertingMinorRevisionReader.h"
#include "Param/CInvertingParameterChecksumReader.h"
#include "Param/CInvertingUdidReader.h"
#include "Param/CParameterAdditionalParameterHeaderReader.h"
#include "Param/CParameterCommissioningFlagReader.h"
#include "Param/CParameterConfigurationDataReader.h"
#include "Param/CParameterFirmwareVersionReader.h"
#include "Param/CParameterParameterChecksumReader.h"
#include "Param/CParameterSafetyAddressReader.h"
#include "Param/CParameterUdidReader.h"
#include "Util/FileIdentifier.h"
#include "fuzz/common/CExactCopy.h"
#include "fuzz/common/FuzzSupport.h"

namespace
{
const std::uint8_t* inputBegin = nullptr;
const std::uint8_t* inputEnd = nullptr;
volatile std::uint32_t sink;

void RequireInInput(const std::uint8_t* data, std::size_t length)
{
    FUZZ_REQUIRE((data >= inputBegin) && (data <= inputEnd) && (length <= static_cast<std::size_t>(inputEnd - data)),
                 "a record's data lies in the stream");
    std::uint32_t sum = 0u;
    for (std::size_t i = 0u; i < length; ++i)
    {
        sum += data[i];
    }
    sink = sum;
}

// Pulls every record; a refusal closes the stream and must be the reader's own code.
template <typename Reader, typename... Values> void Drain(Reader& reader, Values&... values)
{
    reader.Open();
    try
    {
        while (reader.TryReadNext(values...))
        {
        }
    }
    catch (const Util::CException& refusal)
    {
        FUZZ_REQUIRE(refusal.m_eventCode != Util::InternalConsistencyEventCode,
                     "no stream brings a reader into a state its callers must never produce");
        // A filter closes the stream it refuses; the byte-array readers leave closing to their caller.
        try
        {
            reader.Close();
        }
        catch (const Util::CException&)
        {
        }
        return;
    }
    reader.Close();
}

void FilterParameters(Param::CByteArrayParameterReader& parameters)
{
    std::uint16_t index = 0u;
    std::uint8_t subIndex = 0u;
    std::uint32_t length = 0u;
    const std::uint8_t* data = nullptr;
    parameters.Open();
    try
    {
        while (parameters.TryReadNext(index, subIndex, length, data))
        {
            RequireInInput(data, length);
        }
    }
    catch (const Util::CException& refusal)
    {
        FUZZ_REQUIRE(refusal.m_eventCode != Util::InternalConsistencyEventCode, "the record reader refuses data");
    }
    parameters.Close();

    std::uint16_t sadr = 0u;
    Param::CParameterSafetyAddressReader safetyAddresses(parameters);
    Drain(safetyAddresses, sadr);

    std::uint32_t vendorId = 0u;
    std::uint32_t productCode = 0u;
    std::uint16_t major = 0u;
    std::uint16_t minor = 0u;
    Param::CParameterFirmwareVersionReader versions(parameters);
    Param::CInvertingFirmwareVersionReader invertedVersions(versions);
    Drain(versions, sadr, vendorId, productCode, major, minor);
    Drain(invertedVersions, sadr, vendorId, productCode, major, minor);

    Param::CParameterParameterChecksumReader checksums(parameters);
    Param::CInvertingParameterChecksumReader invertedChecksums(checksums);
    Drain(checksums, sadr, length, data);
    Drain(invertedChecksums, sadr, length, data);

    std::uint8_t number = 0u;
    Param::CParameterAdditionalParameterHeaderReader headers(parameters);
    Param::CInvertingAdditionalParameterHeaderReader invertedHeaders(headers);
    Drain(headers, sadr, number, data);
    Drain(invertedHeaders, sadr, number, data);

    bool setupMode = false;
    bool acknowledgeTessera = false;
    bool acknowledgeMinorRevisions = false;
    Param::CParameterCommissioningFlagReader flags(parameters);
    Param::CInvertingCommissioningFlagReader invertedFlags(flags);
    Drain(flags, setupMode, acknowledgeTessera, acknowledgeMinorRevisions);
    Drain(invertedFlags, setupMode, acknowledgeTessera, acknowledgeMinorRevisions);

    bool machineOptions = false;
    Param::CParameterConfigurationDataReader configuration(parameters);
    Param::CInvertingConfigurationDataReader invertedConfiguration(configuration);
    Drain(configuration, machineOptions);
    Drain(invertedConfiguration, machineOptions);

    Param::CParameterUdidReader udids(parameters);
    Param::CInvertingUdidReader invertedUdids(udids);
    Drain(udids, sadr, data);
    Drain(invertedUdids, sadr, data);
}

Param::CByteArrayParameterReader parameterStream;
Param::CByteArrayUdidReader udidStream;
Param::CByteArrayMinorRevisionReader minorRevisionStream;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 0x40000u)
    {
        return 0;
    }
    const Fuzz::CExactCopy stream(data, size);
    inputBegin = stream.Data();
    inputEnd = stream.Data() + size;
    const auto length = static_cast<std::uint32_t>(size);

    parameterStream.Initialize(length, stream.Data());
    FilterParameters(parameterStream);

    udidStream.Initialize(length, stream.Data());
    std::uint16_t sadr = 0u;
    const std::uint8_t* udid = nullptr;
    udidStream.Open();
    try
    {
        while (udidStream.TryReadNext(sadr, udid))
        {
            RequireInInput(udid, 6u);
        }
    }
    catch (const Util::CException& refusal)
    {
        FUZZ_REQUIRE(refusal.m_eventCode != Util::InternalConsistencyEventCode, "the UDID reader refuses data");
    }
    udidStream.Close();

    minorRevisionStream.Initialize(length, stream.Data());
    std::uint16_t minor = 0u;
    Param::CInvertingMinorRevisionReader invertedMinorRevisions(minorRevisionStream);
    Drain(minorRevisionStream, sadr, minor);
    Drain(invertedMinorRevisions, sadr, minor);
    return 0;
}
