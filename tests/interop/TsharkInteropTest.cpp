// Frames from the message builders, as decoded by Wireshark's openSAFETY dissector and by the checker's decoder.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Epls/CDecodedFrameVisitor.h"
#include "Epls/CFrameDecoder.h"
#include "ProcessRunner.h"
#include "support/Messages/CFrameBuilder.h"

namespace
{
using Support::Bytes;
using Support::CFrameBuilder;

const Support::Udid ScmUdid{0x00u, 0x60u, 0x65u, 0xA1u, 0xB2u, 0xC3u};
const char* const ScmUdidText = "00:60:65:A1:B2:C3";
const Support::Udid ModuleUdid{0x00u, 0x60u, 0x65u, 0x01u, 0x02u, 0x03u};

// What both decoders must agree on. The dissector names ADR the receiver and TADR the sender.
struct CInteropCase
{
    std::string m_name;
    Bytes m_frame;
    std::uint8_t m_id;
    std::uint16_t m_adr;
    std::uint16_t m_tadr;
    std::uint16_t m_sdn;
    std::optional<std::uint16_t> m_index;
    std::optional<std::uint8_t> m_subIndex;
    std::optional<std::uint16_t> m_ct;
    std::optional<std::string> m_udid;
};

// A parameter set entry (index, sub-index, 4-byte length, data), so that the dissector, which reassembles and
// parses segmented downloads, finds what it expects.
Bytes Entry()
{
    return {0x18u, 0x10u, 0x01u, 0x04u, 0x00u, 0x00u, 0x00u, 0xAAu, 0xBBu, 0xCCu, 0xDDu};
}

// The dissector accepts the SCM UDID only when byte 1 of both sub-frames agree once decoded, which includes
// bits 8 and 9 of ADR and of ADR XOR SDN: SSDO cases keep those bits equal (ADR XOR SDN below 256).
std::vector<CInteropCase> Cases()
{
    const Bytes four{1u, 2u, 3u, 4u};
    const std::string moduleUdid = "00:60:65:01:02:03";
    // clang-format off
    return {
        {"AssignSadr", CFrameBuilder::SnmtAssignSadr(1023u, ModuleUdid).Sdn(1023u).Build(),
         0x2Au, 1023u, 1u, 1023u, {}, {}, {}, moduleUdid},
        {"ResponseUdid", CFrameBuilder::SnmtResponseUdid(1000u, ModuleUdid).Sdn(700u).Build(),
         0x29u, 1u, 1000u, 700u, {}, {}, {}, moduleUdid},
        {"SadrAssigned", CFrameBuilder::SnmtSadrAssigned(2u, ModuleUdid).Sdn(5u).Build(),
         0x2Bu, 1u, 2u, 5u, {}, {}, {}, moduleUdid},
        {"AssignUdidScm", CFrameBuilder::SnmtAssignUdidScm(9u, ScmUdid).Sdn(5u).Build(),
         0x2Cu, 9u, 1u, 5u, {}, {}, {}, {}},
        {"SnSetToOp", CFrameBuilder::SnmtSnSetToOp(512u, 0x01020304u).Sdn(1u).Build(),
         0x2Cu, 512u, 1u, 1u, {}, {}, {}, {}},
        {"SnFail", CFrameBuilder::SnmtSnFail(1023u, 3u, 2u).Sdn(1023u).Ct(0x1234u).Build(),
         0x2Du, 1u, 1023u, 1023u, {}, {}, {}, {}},
        {"SnAck", CFrameBuilder::SnmtSnAck(300u, 5u, 1u).Sdn(2u).Build(),
         0x2Cu, 300u, 1u, 2u, {}, {}, {}, {}},
        {"DownloadInitiateExpedited",
         CFrameBuilder::SsdoDownloadInitiateExpedited(1000u, 0x6000u, 1u, four).Sdn(1023u).Ct(0x0102u).ScmUdid(ScmUdid).Build(),
         0x38u, 1000u, 1u, 1023u, 0x6000u, 1u, 0x0102u, {}},
        {"UploadInitiateExpedited",
         CFrameBuilder::SsdoUploadInitiateExpeditedResponse(1023u, 0x1018u, 6u, four).Sdn(200u).Ct(0x0300u).ScmUdid(ScmUdid).Build(),
         0x39u, 1u, 1023u, 200u, 0x1018u, 6u, 0x0300u, {}},
        {"SlimUploadInitiateExpedited",
         CFrameBuilder::SsdoUploadInitiateExpeditedResponse(7u, 0x1018u, 1u, four, true).Sdn(7u).Ct(3u).ScmUdid(ScmUdid).Build(),
         0x3Bu, 1u, 7u, 7u, 0x1018u, 1u, 3u, {}},
        {"SlimDownloadInitiateExpeditedTwoByteCrc",
         CFrameBuilder::SsdoDownloadInitiateExpedited(600u, 0x6000u, 2u, Bytes(8u, 0x77u), true).Sdn(700u).ScmUdid(ScmUdid).Build(),
         0x3Au, 600u, 1u, 700u, 0x6000u, 2u, 0u, {}},
        {"DownloadInitiateSegmented",
         CFrameBuilder::SsdoDownloadInitiateSegmented(5u, 0x101Au, 0u, 300u, Bytes(8u, 0u)).Sdn(7u).ScmUdid(ScmUdid).Build(),
         0x38u, 5u, 1u, 7u, 0x101Au, std::nullopt, 0u, {}},
        // Segments go to modules of their own: the dissector reassembles all segments of one module's transfer.
        {"DownloadMiddleSegmentSlim",
         CFrameBuilder::SsdoDownloadSegment(6u, false, true, Entry(), false, true).Sdn(7u).Ct(0x0101u).ScmUdid(ScmUdid).Build(),
         0x3Au, 6u, 1u, 7u, {}, {}, 0x0101u, {}},
        // The dissector shows the parameter set entry inside the segment's data.
        {"DownloadEndSegment",
         CFrameBuilder::SsdoDownloadSegment(8u, true, false, Entry()).Sdn(7u).ScmUdid(ScmUdid).Build(),
         0x38u, 8u, 1u, 7u, 0x1018u, 1u, {}, {}},
        {"UploadMiddleSegment",
         CFrameBuilder::SsdoUploadSegmentResponse(10u, false, false, {1u, 2u, 3u}).Sdn(7u).ScmUdid(ScmUdid).Build(),
         0x39u, 1u, 10u, 7u, {}, {}, {}, {}},
        {"UploadInitiateExpeditedLe254",
         CFrameBuilder::SsdoUploadInitiateExpeditedResponse(1023u, 0x2000u, 3u, Bytes(250u, 0x42u)).Sdn(200u).Ct(0x8000u).ScmUdid(ScmUdid).Build(),
         0x39u, 1u, 1023u, 200u, 0x2000u, 3u, 0x8000u, {}},
    };
    // clang-format on
}

std::string HexDump(const std::vector<CInteropCase>& cases)
{
    std::ostringstream dump;
    dump << std::hex;
    for (const CInteropCase& testCase : cases)
    {
        for (std::size_t offset = 0u; offset < testCase.m_frame.size(); offset += 16u)
        {
            char position[24];
            (void)std::snprintf(position, sizeof(position), "%06zx", offset);
            dump << position;
            for (std::size_t i = offset; (i < offset + 16u) && (i < testCase.m_frame.size()); ++i)
            {
                char byte[4];
                (void)std::snprintf(byte, sizeof(byte), " %02x", testCase.m_frame[i]);
                dump << byte;
            }
            dump << '\n';
        }
    }
    return dump.str();
}

std::vector<std::string> SplitFields(const std::string& line)
{
    std::vector<std::string> fields;
    std::string field;
    for (const char character : line)
    {
        if (character == '\t')
        {
            fields.push_back(field);
            field.clear();
        }
        else
        {
            field.push_back(character);
        }
    }
    fields.push_back(field);
    return fields;
}

// A field the dissector left out reads as -1, which no expected value matches.
long Number(const std::string& text)
{
    return text.empty() ? -1L : static_cast<long>(std::stoul(text, nullptr, 0));
}

bool IsTrue(const std::string& text)
{
    return (text == "1") || (text == "True") || (text == "true");
}

// Reads the initiate frames' object as the checker's inspectors do.
class CObjectReader : public Epls::CDecodedFrameVisitor
{
public:
    void
    VisitSsdoUploadInitiateExpeditedResponse(const Epls::CDecodedSsdoUploadInitiateExpeditedResponse& frame) override
    {
        Read(frame);
    }
    void
    VisitSsdoUploadInitiateSegmentedResponse(const Epls::CDecodedSsdoUploadInitiateSegmentedResponse& frame) override
    {
        Read(frame);
    }
    void
    VisitSsdoDownloadInitiateExpeditedRequest(const Epls::CDecodedSsdoDownloadInitiateExpeditedRequest& frame) override
    {
        Read(frame);
    }
    void
    VisitSsdoDownloadInitiateSegmentedRequest(const Epls::CDecodedSsdoDownloadInitiateSegmentedRequest& frame) override
    {
        Read(frame);
    }

    std::optional<std::uint16_t> m_index;
    std::optional<std::uint8_t> m_subIndex;

private:
    template <typename Frame> void Read(const Frame& frame)
    {
        m_index = frame.GetIndex();
        m_subIndex = frame.GetSubIndex();
    }
};

TEST(TsharkInterop, DissectorAndDecoderAgreeOnBuiltFrames)
{
    if (!InteropTest::IsInstalled("tshark") || !InteropTest::IsInstalled("text2pcap"))
    {
        GTEST_SKIP() << "tshark and text2pcap are not installed (Debian package tshark): the frames are not "
                        "checked against Wireshark's openSAFETY dissector";
    }
    const std::vector<CInteropCase> cases = Cases();
    const InteropTest::CTemporaryDirectory directory;
    ASSERT_FALSE(directory.GetPath().empty());
    const std::string dumpPath = (directory.GetPath() / "frames.txt").string();
    const std::string capturePath = (directory.GetPath() / "frames.pcap").string();
    {
        std::ofstream dump(dumpPath);
        dump << HexDump(cases);
    }
    // Port 9877 is openSAFETY over plain UDP; the openSAFETY-over-UDP transport is moved out of its way.
    const InteropTest::CProcessResult converted =
        InteropTest::Run("text2pcap -q -u 1000,9877 '" + dumpPath + "' '" + capturePath + "' 2>&1");
    ASSERT_EQ(0, converted.m_exitStatus) << converted.m_output;
    const std::string fields[] = {"frame.number",
                                  "opensafety.msg.id",
                                  "opensafety.msg.receiver",
                                  "opensafety.msg.sender",
                                  "opensafety.msg.network",
                                  "opensafety.crc.valid",
                                  "opensafety.crc2.valid",
                                  "opensafety.ssdo.sodentry.index",
                                  "opensafety.ssdo.sodentry.subindex",
                                  "opensafety.ssdo.sano",
                                  "opensafety.snmt.udid"};
    std::string command = "tshark -r '" + capturePath +
                          "' -o opensafety_udp.network_udp_port:9999 -o opensafety.scm_udid:" + ScmUdidText +
                          " -o opensafety.scm_udid_autoset:FALSE -T fields -E occurrence=f";
    for (const std::string& field : fields)
    {
        command += " -e " + field;
    }
    const InteropTest::CProcessResult dissected = InteropTest::Run(command + " 2>/dev/null");
    ASSERT_EQ(0, dissected.m_exitStatus) << dissected.m_output;
    const std::vector<std::string> lines = InteropTest::SplitLines(dissected.m_output);
    ASSERT_EQ(cases.size(), lines.size()) << dissected.m_output;

    Epls::CFrameDecoder decoder;
    for (std::size_t i = 0u; i < cases.size(); ++i)
    {
        const CInteropCase& testCase = cases[i];
        SCOPED_TRACE(testCase.m_name + ": " + lines[i]);
        const std::vector<std::string> values = SplitFields(lines[i]);
        ASSERT_EQ(std::size(fields), values.size());
        // Wireshark: both CRCs valid, the same identifier, addresses and domain.
        EXPECT_TRUE(IsTrue(values[5])) << "CRC 1";
        EXPECT_TRUE(IsTrue(values[6])) << "CRC 2";
        EXPECT_EQ(testCase.m_id, Number(values[1]) >> 2);
        EXPECT_EQ(testCase.m_adr, Number(values[2]));
        EXPECT_EQ(testCase.m_tadr, Number(values[3]));
        EXPECT_EQ(testCase.m_sdn, Number(values[4]));
        if (testCase.m_index)
        {
            EXPECT_EQ(*testCase.m_index, Number(values[7]));
            // The dissector leaves sub-index 0 out.
            EXPECT_EQ(testCase.m_subIndex.value_or(0u), values[8].empty() ? 0L : Number(values[8]));
        }
        if (testCase.m_ct)
        {
            EXPECT_EQ(*testCase.m_ct, Number(values[9]));
        }
        if (testCase.m_udid)
        {
            EXPECT_EQ(*testCase.m_udid, values[10]);
        }

        // The checker's decoder reads the same frame the same way.
        const Epls::CDecodedFrame& decoded = decoder.GetDecodedFrame(
            static_cast<std::uint16_t>(testCase.m_frame.size()), testCase.m_frame.data(), ScmUdid.data());
        EXPECT_EQ(testCase.m_id, decoded.GetId());
        EXPECT_EQ(testCase.m_adr, decoded.GetAdr());
        EXPECT_EQ(testCase.m_tadr, decoded.GetTadr());
        EXPECT_EQ(testCase.m_sdn, decoded.GetSdn());
        if (testCase.m_ct)
        {
            EXPECT_EQ(*testCase.m_ct, decoded.GetCt());
        }
        CObjectReader object;
        decoded.Accept(object);
        if (object.m_index)
        {
            ASSERT_TRUE(testCase.m_index.has_value());
            EXPECT_EQ(*testCase.m_index, *object.m_index);
            EXPECT_EQ(testCase.m_subIndex.value_or(0u), *object.m_subIndex);
        }
    }
}
} // namespace
