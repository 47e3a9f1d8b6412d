// The checks on their worst single frames, each next to decoding the same frames in the same run: a UDID report with
// 1023 configured modules (scans every address), and the four inspectors on maximum-size download frames (LE 254).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "Check/CCheckingAdditionalParameterInspector.h"
#include "Check/CCheckingFirmwareInspector.h"
#include "Check/CCheckingParameterInspector.h"
#include "Check/CCheckingUdidInspector.h"
#include "Check/CFirmwareCommissioner.h"
#include "Check/CPersistentAdditionalParameterCatalog.h"
#include "Check/CPersistentFirmwareChecker.h"
#include "Check/CPersistentParameterChecker.h"
#include "Check/CPersistentUdidChecker.h"
#include "Check/CUdidCommissioner.h"
#include "support/Messages/Bytes.h"
#include "tests/Check/CheckSupport.h"

namespace
{
using CheckTest::Bytes;
using Support::CFrameBuilder;

constexpr std::uint16_t ModuleCount = 1023u;
constexpr std::uint16_t ReportingModule = 512u;
constexpr std::uint16_t DownloadModule = 1u;
constexpr std::uint16_t AdditionalParameterModule = 2u;
constexpr std::uint16_t FirmwareModule = 3u;
constexpr std::uint32_t VendorId = 0x00ABCDEFu;
constexpr std::uint32_t ProductCode = 0x12345678u;
constexpr std::uint32_t RevisionNumber = 0x00030005u;
/// A 232-byte checksum entry and a 7-byte one of another object fill the 253 data bytes of a segment of LE 254.
constexpr std::size_t ChecksumLength = 232u;
constexpr std::size_t SegmentDataLength = 253u;
constexpr std::size_t ExpeditedDataLength = 250u;

Bytes MakeChecksum()
{
    Bytes checksum(ChecksumLength);
    for (std::size_t i = 0u; i < checksum.size(); ++i)
    {
        checksum[i] = static_cast<std::uint8_t>(i * 7u + 1u);
    }
    return checksum;
}

Bytes Entry(std::uint16_t index, std::uint8_t subIndex, const Bytes& data)
{
    const auto length = static_cast<std::uint32_t>(data.size());
    Bytes entry;
    entry.reserve(7u + data.size());
    Support::AppendLittleEndian(entry, index, 2u);
    entry.push_back(subIndex);
    Support::AppendLittleEndian(entry, length, 4u);
    entry.insert(entry.end(), data.begin(), data.end());
    return entry;
}

Bytes LittleEndian(std::uint32_t value)
{
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

Support::CAdditionalParameterRecord AdditionalParameter()
{
    Support::CAdditionalParameterRecord parameter;
    parameter.m_safetyAddress = AdditionalParameterModule;
    parameter.m_parameterNumber = 1u;
    parameter.m_data = Bytes(ExpeditedDataLength - 16u, 0xA5u);
    return parameter;
}

/// 1023 configured modules, each with a version, a checksum and an acknowledged UDID and minor revision.
Support::CParameterStreamBuilder MakeConfiguration()
{
    Support::CParameterStreamBuilder stream;
    for (std::uint16_t safetyAddress = 1u; safetyAddress <= ModuleCount; ++safetyAddress)
    {
        stream.AddModule({safetyAddress, VendorId, ProductCode, 3u, 5u, MakeChecksum()});
    }
    stream.AddAdditionalParameter(AdditionalParameter());
    return stream;
}

std::vector<std::pair<std::uint16_t, Support::Udid>> AcknowledgedUdids()
{
    std::vector<std::pair<std::uint16_t, Support::Udid>> udids;
    for (std::uint16_t safetyAddress = 1u; safetyAddress <= ModuleCount; ++safetyAddress)
    {
        udids.emplace_back(safetyAddress,
                           Support::Udid{0x10u, 0x20u, 0x30u, 0x40u, static_cast<std::uint8_t>(safetyAddress >> 8),
                                         static_cast<std::uint8_t>(safetyAddress)});
    }
    return udids;
}

class CAllowingCommissioner : public Check::CUdidCommissioner, public Check::CFirmwareCommissioner
{
public:
    bool CanManuallyAcknowledgeUdids() override
    {
        return true;
    }
    bool CanAutomaticallyAcknowledgeUdids() override
    {
        return true;
    }
    bool CanManuallyAcknowledgeFirmware() override
    {
        return true;
    }
    bool CanAutomaticallyAcknowledgeFirmware() override
    {
        return true;
    }
};

/// The four checks as start-up wires them, every module discovered with its acknowledged UDID.
struct CChecks
{
    CChecks()
        : m_configuration(MakeConfiguration()), m_udidFile(AcknowledgedUdids()), m_revisionFile({{FirmwareModule, 5u}}),
          m_udidChecker(m_configuration.m_safetyAddressReader, m_udidFile.m_reader, m_udidFile.m_writer, m_udidFile),
          m_firmwareChecker(m_configuration.m_invertedFirmwareVersionReader, m_revisionFile.m_reader,
                            m_revisionFile.m_writer, m_revisionFile),
          m_parameterChecker(
              std::make_unique<Check::CPersistentParameterChecker>(m_configuration.m_invertedChecksumReader)),
          m_catalog(
              std::make_unique<Check::CPersistentAdditionalParameterCatalog>(m_configuration.m_invertedHeaderReader)),
          m_udidInspector(m_udidChecker, m_commissioner), m_firmwareInspector(m_firmwareChecker, m_commissioner),
          m_parameterInspector(std::make_unique<Check::CCheckingParameterInspector>(*m_parameterChecker)),
          m_additionalParameterInspector(*m_catalog)
    {
        m_udidChecker.Initialize();
        m_firmwareChecker.Initialize();
        m_parameterChecker->Initialize();
        m_catalog->Initialize();
        for (const auto& [safetyAddress, udid] : AcknowledgedUdids())
        {
            m_udidInspector.InspectReceivedFrame(
                m_decoding.Frame(CFrameBuilder::SnmtResponseUdid(safetyAddress, udid)));
        }
        m_additionalParameterInspector.InspectReceivedFrame(m_decoding.Frame(CFrameBuilder::SnmtSnFail(
            AdditionalParameterModule,
            Check::CCheckingAdditionalParameterInspector::ms_AdditionalParameterNeededErrorGroup, 0u)));
        // A running segmented download of the parameter set to the download module.
        m_parameterInspector->InspectSentFrame(m_decoding.Frame(
            CFrameBuilder::SsdoDownloadInitiateSegmented(DownloadModule, 0x101Au, 0u, 0u, Bytes{}).Ct(1u)));
    }

    CheckTest::CDecoding m_decoding;
    CheckTest::CConfiguration m_configuration;
    CheckTest::CAcknowledgedUdidFile m_udidFile;
    CheckTest::CAcknowledgedMinorRevisionFile m_revisionFile;
    CAllowingCommissioner m_commissioner;
    Check::CPersistentUdidChecker m_udidChecker;
    Check::CPersistentFirmwareChecker m_firmwareChecker;
    std::unique_ptr<Check::CPersistentParameterChecker> m_parameterChecker;
    std::unique_ptr<Check::CPersistentAdditionalParameterCatalog> m_catalog;
    Check::CCheckingUdidInspector m_udidInspector;
    Check::CCheckingFirmwareInspector m_firmwareInspector;
    std::unique_ptr<Check::CCheckingParameterInspector> m_parameterInspector;
    Check::CCheckingAdditionalParameterInspector m_additionalParameterInspector;
};

CChecks& GetChecks()
{
    static CChecks checks;
    return checks;
}

using Inspection = std::function<void(CChecks&, const Epls::CDecodedFrame&)>;
using Verification = std::function<bool(CChecks&)>;

/// Decodes the frames in turn: the floor that every inspection is compared with.
void Decode(benchmark::State& state, const std::vector<Bytes>& frames)
{
    Epls::CFrameDecoder decoder;
    const Support::Udid scmUdid{};
    std::size_t next = 0u;
    for (auto _ : state)
    {
        const Bytes& frame = frames[next];
        next = (next + 1u == frames.size()) ? 0u : next + 1u;
        const Epls::CDecodedFrame& decoded =
            decoder.GetDecodedFrame(static_cast<std::uint16_t>(frame.size()), frame.data(), scmUdid.data());
        benchmark::DoNotOptimize(&decoded);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

/// Inspects frames decoded beforehand (one decoder each, so that all stay valid), in turn; then checks that the
/// inspection did what it should, so that a benchmark never times a path that gave up early.
void Inspect(benchmark::State& state, const std::vector<Bytes>& frames, const Inspection& inspection,
             const Verification& verification)
{
    CChecks& checks = GetChecks();
    const Support::Udid scmUdid{};
    std::vector<std::unique_ptr<Epls::CFrameDecoder>> decoders;
    std::vector<const Epls::CDecodedFrame*> decoded;
    for (const Bytes& frame : frames)
    {
        decoders.push_back(std::make_unique<Epls::CFrameDecoder>());
        decoded.push_back(
            &decoders.back()->GetDecodedFrame(static_cast<std::uint16_t>(frame.size()), frame.data(), scmUdid.data()));
    }
    // One untimed pass, so that even a single timed iteration starts from the steady state.
    for (const Epls::CDecodedFrame* frame : decoded)
    {
        inspection(checks, *frame);
    }
    std::size_t next = 0u;
    for (auto _ : state)
    {
        inspection(checks, *decoded[next]);
        next = (next + 1u == decoded.size()) ? 0u : next + 1u;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
    if (!verification(checks))
    {
        state.SkipWithError("the inspection did not reach the expected state");
    }
}

std::vector<Bytes> UdidReports()
{
    return {CFrameBuilder::SnmtResponseUdid(ReportingModule, AcknowledgedUdids()[ReportingModule - 1u].second).Build()};
}

/// Middle segments of LE 254 carrying a complete checksum entry and one other entry, CTs alternating so that none
/// repeats.
std::vector<Bytes> ChecksumSegments()
{
    Bytes data = Entry(0x1018u, 6u, MakeChecksum());
    const Bytes other = Entry(0x2000u, 1u, Bytes(SegmentDataLength - data.size() - 7u, 0x33u));
    data.insert(data.end(), other.begin(), other.end());
    return {CFrameBuilder::SsdoDownloadSegment(DownloadModule, false, false, data).Ct(2u).Build(),
            CFrameBuilder::SsdoDownloadSegment(DownloadModule, false, true, data).Ct(3u).Build()};
}

/// Middle segments of LE 254 packed with empty entries: the most entry heads a frame can carry.
std::vector<Bytes> EmptyEntrySegments()
{
    Bytes data;
    while (data.size() + 7u <= SegmentDataLength - 8u)
    {
        const Bytes entry = Entry(0x2000u, 1u, Bytes{});
        data.insert(data.end(), entry.begin(), entry.end());
    }
    const Bytes last = Entry(0x2001u, 1u, Bytes(SegmentDataLength - data.size() - 7u, 0u));
    data.insert(data.end(), last.begin(), last.end());
    return {CFrameBuilder::SsdoDownloadSegment(DownloadModule, false, false, data).Ct(2u).Build(),
            CFrameBuilder::SsdoDownloadSegment(DownloadModule, false, true, data).Ct(3u).Build()};
}

/// Expedited downloads of LE 254 whose header is checked at every frame.
std::vector<Bytes> AdditionalParameterDownloads()
{
    return {CFrameBuilder::SsdoDownloadInitiateExpedited(AdditionalParameterModule, 0x101Au, 0u,
                                                         Support::BuildAdditionalParameter(AdditionalParameter()))
                .Build()};
}

/// Vendor id, product code and revision number answers: every third completes a discovery.
std::vector<Bytes> VendorInformationAnswers()
{
    return {
        CFrameBuilder::SsdoUploadInitiateExpeditedResponse(FirmwareModule, 0x1018u, 1u, LittleEndian(VendorId)).Build(),
        CFrameBuilder::SsdoUploadInitiateExpeditedResponse(FirmwareModule, 0x1018u, 2u, LittleEndian(ProductCode))
            .Build(),
        CFrameBuilder::SsdoUploadInitiateExpeditedResponse(FirmwareModule, 0x1018u, 3u, LittleEndian(RevisionNumber))
            .Build()};
}

void InspectAllFour(CChecks& checks, const Epls::CDecodedFrame& frame)
{
    checks.m_udidInspector.InspectSentFrame(frame);
    checks.m_firmwareInspector.InspectSentFrame(frame);
    checks.m_parameterInspector->InspectSentFrame(frame);
    checks.m_additionalParameterInspector.InspectSentFrame(frame);
}

void Udid(CChecks& checks, const Epls::CDecodedFrame& frame)
{
    checks.m_udidInspector.InspectReceivedFrame(frame);
}

void Firmware(CChecks& checks, const Epls::CDecodedFrame& frame)
{
    checks.m_firmwareInspector.InspectReceivedFrame(frame);
}

void Parameter(CChecks& checks, const Epls::CDecodedFrame& frame)
{
    checks.m_parameterInspector->InspectSentFrame(frame);
}

void AdditionalParameterCheck(CChecks& checks, const Epls::CDecodedFrame& frame)
{
    checks.m_additionalParameterInspector.InspectSentFrame(frame);
}

bool UdidValid(CChecks& checks)
{
    return checks.m_udidChecker.IsValidModule(ReportingModule) && checks.m_udidInspector.IsValid();
}

bool FirmwareValid(CChecks& checks)
{
    return checks.m_firmwareChecker.IsValidModule(FirmwareModule) && checks.m_firmwareInspector.IsValid();
}

bool ParameterValid(CChecks& checks)
{
    return checks.m_parameterChecker->IsValidModule(DownloadModule) && checks.m_parameterInspector->IsValid();
}

bool AdditionalParameterValid(CChecks& checks)
{
    return checks.m_additionalParameterInspector.IsValid();
}

bool AllValid(CChecks& checks)
{
    return UdidValid(checks) && ParameterValid(checks) && AdditionalParameterValid(checks) &&
           checks.m_firmwareInspector.IsValid();
}
} // namespace

BENCHMARK_CAPTURE(Decode, UdidReport, UdidReports());
BENCHMARK_CAPTURE(Inspect, UdidReport_Udid1023Modules, UdidReports(), Udid, UdidValid);
BENCHMARK_CAPTURE(Decode, VendorInformation, VendorInformationAnswers());
BENCHMARK_CAPTURE(Inspect, VendorInformation_Firmware, VendorInformationAnswers(), Firmware, FirmwareValid);
BENCHMARK_CAPTURE(Decode, ChecksumSegment254, ChecksumSegments());
BENCHMARK_CAPTURE(Inspect, ChecksumSegment254_Udid, ChecksumSegments(), Udid, UdidValid);
BENCHMARK_CAPTURE(Inspect, ChecksumSegment254_Firmware, ChecksumSegments(), Firmware, FirmwareValid);
BENCHMARK_CAPTURE(Inspect, ChecksumSegment254_Parameter, ChecksumSegments(), Parameter, ParameterValid);
BENCHMARK_CAPTURE(Inspect, ChecksumSegment254_AdditionalParameter, ChecksumSegments(), AdditionalParameterCheck,
                  AdditionalParameterValid);
BENCHMARK_CAPTURE(Inspect, ChecksumSegment254_AllFour, ChecksumSegments(), InspectAllFour, AllValid);
BENCHMARK_CAPTURE(Decode, EmptyEntrySegment254, EmptyEntrySegments());
BENCHMARK_CAPTURE(Inspect, EmptyEntrySegment254_Parameter, EmptyEntrySegments(), Parameter, ParameterValid);
BENCHMARK_CAPTURE(Decode, AdditionalParameterDownload254, AdditionalParameterDownloads());
BENCHMARK_CAPTURE(Inspect, AdditionalParameterDownload254_AdditionalParameter, AdditionalParameterDownloads(),
                  AdditionalParameterCheck, AdditionalParameterValid);
