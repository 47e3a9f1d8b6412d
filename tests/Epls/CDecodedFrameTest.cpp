// Header fields of decoded frames: both forms, both CRC widths, keyed sub-frames, the raw-frame readers.
#include "Epls/CDecodedFrame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Epls/CDecodedUnknownFrame.h"
#include "Epls/CFrameDecoder.h"
#include "Epls/CFrameDecoderEventCode.h"
#include "Scm/QdriffCrc.h"
#include "Util/CUdid.h"
#include "support/Messages/CFrameBuilder.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Support::Bytes;
using Support::CFrameBuilder;
using Code = Epls::CFrameDecoderEventCode;

const Support::Udid ScmUdid{0x00u, 0x60u, 0x65u, 0xA1u, 0xB2u, 0xC3u};

struct CHeader
{
    std::uint16_t m_adr;
    std::uint8_t m_id;
    std::uint8_t m_le;
    std::uint16_t m_ct;
    std::uint16_t m_sdn;
    std::uint16_t m_tadr;
    std::uint8_t m_tr;
};

struct CHeaderCase
{
    std::string m_name;
    Bytes m_frame;
    std::size_t m_expectedLength;
    CHeader m_expected;
};

std::ostream& operator<<(std::ostream& stream, const CHeaderCase& testCase)
{
    return stream << testCase.m_name;
}

Bytes Payload(std::size_t length)
{
    Bytes payload(length);
    for (std::size_t i = 0u; i < length; ++i)
    {
        payload[i] = static_cast<std::uint8_t>(0x21u + i);
    }
    return payload;
}

std::vector<CHeaderCase> HeaderCases()
{
    return {
        // Basic SNMT, one-byte CRCs, the largest addresses, domain and TR.
        {"SnmtLe6",
         CFrameBuilder().Id(0x2Au).Adr(1023u).Tadr(1023u).Sdn(1023u).Ct(0xABCDu).Tr(63u).Payload(Payload(6u)).Build(),
         4u + 6u + 1u + 5u + 6u + 1u,
         {1023u, 0x2Au, 6u, 0xABCDu, 1023u, 1023u, 63u}},
        {"SnmtLe0", CFrameBuilder().Id(0x28u).Adr(2u).Tadr(1u).Sdn(1u).Build(), 11u, {2u, 0x28u, 0u, 0u, 1u, 1u, 0u}},
        {"SnmtLe8",
         CFrameBuilder().Id(0x2Cu).Adr(300u).Tadr(1u).Sdn(512u).Ct(256u).Payload(Payload(8u)).Build(),
         4u + 8u + 1u + 5u + 8u + 1u,
         {300u, 0x2Cu, 8u, 256u, 512u, 1u, 0u}},
        // LE 9 is the first with two-byte CRCs.
        {"SnmtLe9",
         CFrameBuilder().Id(0x2Du).Adr(1u).Tadr(700u).Sdn(3u).Ct(0x0100u).Tr(1u).Payload(Payload(9u)).Build(),
         2u * 9u + 4u + 9u,
         {1u, 0x2Du, 9u, 0x0100u, 3u, 700u, 1u}},
        // Basic SSDO keyed with the SCM UDID; the XOR reaches into the payload copy.
        {"SsdoLe4",
         CFrameBuilder()
             .Id(0x38u)
             .Adr(1000u)
             .Tadr(1u)
             .Sdn(1023u)
             .Ct(0x1234u)
             .Tr(5u)
             .Payload(Payload(4u))
             .ScmUdid(ScmUdid)
             .Build(),
         4u + 4u + 1u + 5u + 4u + 1u,
         {1000u, 0x38u, 4u, 0x1234u, 1023u, 1u, 5u}},
        {"SsdoLe0",
         CFrameBuilder().Id(0x39u).Adr(1u).Tadr(1022u).Sdn(44u).Ct(0xFFFFu).ScmUdid(ScmUdid).Build(),
         11u,
         {1u, 0x39u, 0u, 0xFFFFu, 44u, 1022u, 0u}},
        {"SsdoLe254",
         CFrameBuilder()
             .Id(0x39u)
             .Adr(1u)
             .Tadr(1023u)
             .Sdn(1023u)
             .Ct(0x8001u)
             .Tr(62u)
             .Payload(Payload(254u))
             .ScmUdid(ScmUdid)
             .Build(),
         521u,
         {1u, 0x39u, 254u, 0x8001u, 1023u, 1023u, 62u}},
        // Slim SSDO: no payload copy; the XOR reaches the first CRC 2 byte.
        {"SlimLe8",
         CFrameBuilder().Id(0x3Au).Adr(513u).Tadr(1u).Sdn(2u).Ct(0x0201u).Payload(Payload(8u)).ScmUdid(ScmUdid).Build(),
         4u + 8u + 1u + 5u + 1u,
         {513u, 0x3Au, 8u, 0x0201u, 2u, 1u, 0u}},
        {"SlimLe9",
         CFrameBuilder()
             .Id(0x3Bu)
             .Adr(1u)
             .Tadr(1023u)
             .Sdn(1000u)
             .Ct(0x0300u)
             .Tr(7u)
             .Payload(Payload(9u))
             .ScmUdid(ScmUdid)
             .Build(),
         9u + 4u + 9u,
         {1u, 0x3Bu, 9u, 0x0300u, 1000u, 1023u, 7u}},
        {"SlimLe254",
         CFrameBuilder()
             .Id(0x3Au)
             .Adr(1023u)
             .Tadr(1u)
             .Sdn(1u)
             .Ct(0x4000u)
             .Payload(Payload(254u))
             .ScmUdid(ScmUdid)
             .Build(),
         254u + 4u + 9u,
         {1023u, 0x3Au, 254u, 0x4000u, 1u, 1u, 0u}},
    };
}

// Initialises a frame object directly, so that the header is judged apart from what any class needs of the
// payload. SSDO frames are keyed with the SCM UDID, SNMT frames with zeros, as the decoder does.
class CDecodedFrameHeaderTest : public testing::TestWithParam<CHeaderCase>
{
protected:
    void Initialize(const Bytes& frame)
    {
        const bool isSsdo = (GetParam().m_expected.m_id & 0x38u) == 0x38u;
        m_frame.Initialize(static_cast<std::uint16_t>(frame.size()), frame.data(),
                           isSsdo ? ScmUdid.data() : Util::CUdid::ms_Zero);
    }

    Epls::CDecodedUnknownFrame m_frame;
};

TEST_P(CDecodedFrameHeaderTest, DecodesBothSubFrameHeaders)
{
    const CHeaderCase& testCase = GetParam();
    ASSERT_EQ(testCase.m_expectedLength, testCase.m_frame.size());
    Initialize(testCase.m_frame);
    const Epls::CDecodedFrame& decoded = m_frame;
    const CHeader& expected = testCase.m_expected;
    EXPECT_EQ(expected.m_adr, decoded.GetAdr());
    EXPECT_EQ(expected.m_id, decoded.GetId());
    EXPECT_EQ(expected.m_le, decoded.GetLe());
    EXPECT_EQ(expected.m_ct, decoded.GetCt());
    EXPECT_EQ(expected.m_sdn, decoded.GetSdn());
    EXPECT_EQ(expected.m_tadr, decoded.GetTadr());
    EXPECT_EQ(expected.m_tr, decoded.GetTr());
    EXPECT_EQ(testCase.m_frame.data() + 4, decoded.GetDbs());
}

// A queue message is exactly one frame: a byte more is refused like a byte less, and leaves the object unreadable.
TEST_P(CDecodedFrameHeaderTest, RefusesATrailingByteAndAMissingOne)
{
    const CHeaderCase& testCase = GetParam();
    for (const std::uint8_t trailing : {0xEEu, 0x00u})
    {
        Bytes longer = testCase.m_frame;
        longer.push_back(trailing);
        Support::ExpectException(Support::CaptureException([&] { Initialize(longer); }), Code::InvalidLength, 0u, 0u);
        Support::ExpectGuard(Support::CaptureGuard([&] { (void)m_frame.GetCt(); }), "CDecodedFrame.cpp");
    }

    const Bytes shorter(testCase.m_frame.begin(), testCase.m_frame.end() - 1);
    const Util::CException exception = Support::CaptureException([&] { Initialize(shorter); });
    if (shorter.size() < Epls::CDecodedFrame::ms_FrameLengthMin)
    {
        Support::ExpectException(exception, Code::FrameTooShort, 0u, static_cast<std::uint32_t>(shorter.size()));
    }
    else
    {
        Support::ExpectException(exception, Code::InvalidLength, 0u, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(CDecodedFrame, CDecodedFrameHeaderTest, testing::ValuesIn(HeaderCases()),
                         [](const testing::TestParamInfo<CHeaderCase>& paramInfo) { return paramInfo.param.m_name; });

// Rewrites a two-byte CRC with the other polynomial: a receiver that picked the wrong one would accept it.
void RewriteCrc16(Bytes& frame, std::size_t crcOffset, bool useBasicPolynomial)
{
    const auto length = static_cast<std::uint32_t>(crcOffset);
    const std::uint16_t crc =
        useBasicPolynomial ? GetCrc16_0x1755B(length, frame.data()) : GetCrc16_0x15935(length, frame.data());
    frame[crcOffset] = static_cast<std::uint8_t>(crc);
    frame[crcOffset + 1u] = static_cast<std::uint8_t>(crc >> 8);
}

TEST(CDecodedFrame, UsesPolynomial0x5935OnSlimAnd0x755BOnBasicTwoByteCrcs)
{
    Epls::CFrameDecoder decoder;
    Bytes slim =
        CFrameBuilder::SsdoDownloadSegment(5u, false, false, Bytes(11u, 7u), false, true).ScmUdid(ScmUdid).Build();
    RewriteCrc16(slim, 4u + 12u, true);
    Support::ExpectException(
        Support::CaptureException(
            [&]
            { (void)decoder.GetDecodedFrame(static_cast<std::uint16_t>(slim.size()), slim.data(), ScmUdid.data()); }),
        Code::InvalidCrc, 0u, 0u);

    Bytes basic = CFrameBuilder::SnmtExtendedServiceRequest(5u, 2u, Bytes(8u, 7u)).Build();
    RewriteCrc16(basic, 4u + 9u, false);
    Support::ExpectException(
        Support::CaptureException(
            [&]
            { (void)decoder.GetDecodedFrame(static_cast<std::uint16_t>(basic.size()), basic.data(), ScmUdid.data()); }),
        Code::InvalidCrc, 0u, 0u);
}

TEST(CDecodedFrame, DecodesSnmtFramesWithoutTheScmUdid)
{
    const Bytes frame = CFrameBuilder::SnmtSnFail(77u, 3u, 2u).Sdn(9u).ScmUdid(ScmUdid).Build();
    const Support::Udid otherUdid{1u, 2u, 3u, 4u, 5u, 6u};
    Epls::CFrameDecoder decoder;
    for (const Support::Udid& udid : {ScmUdid, otherUdid})
    {
        EXPECT_EQ(
            9u, decoder.GetDecodedFrame(static_cast<std::uint16_t>(frame.size()), frame.data(), udid.data()).GetSdn());
    }
}

struct CIdCase
{
    std::uint8_t m_id;
    bool m_isSlim;
    bool m_isSnmt;
    bool m_isSsdo;
    bool m_isSpdo;
};

TEST(CDecodedFrame, ClassifiesRawFramesByIdentifier)
{
    const std::vector<CIdCase> cases = {
        {0x28u, false, true, false, false},  {0x2Fu, false, true, false, false},  {0x30u, false, false, false, true},
        {0x37u, false, false, false, true},  {0x38u, false, false, true, false},  {0x39u, false, false, true, false},
        {0x3Au, true, false, true, false},   {0x3Bu, true, false, true, false},   {0x3Fu, false, false, true, false},
        {0x00u, false, false, false, false}, {0x27u, false, false, false, false},
    };
    for (const CIdCase& testCase : cases)
    {
        // Byte 1 also carries ADR bits 8 and 9, which must not leak into the identifier.
        const Bytes frame = CFrameBuilder().Id(testCase.m_id).Adr(0x3FFu).Payload({0xC7u}).Build();
        const auto length = static_cast<std::uint16_t>(frame.size());
        SCOPED_TRACE(static_cast<int>(testCase.m_id));
        EXPECT_EQ(testCase.m_id, Epls::CDecodedFrame::GetId(length, frame.data()));
        EXPECT_EQ(testCase.m_isSlim, Epls::CDecodedFrame::IsSlim(length, frame.data()));
        EXPECT_EQ(!testCase.m_isSlim, Epls::CDecodedFrame::IsBasic(length, frame.data()));
        EXPECT_EQ(testCase.m_isSnmt, Epls::CDecodedFrame::IsSnmt(length, frame.data()));
        EXPECT_EQ(testCase.m_isSsdo, Epls::CDecodedFrame::IsSsdo(length, frame.data()));
        EXPECT_EQ(testCase.m_isSpdo, Epls::CDecodedFrame::IsSpdo(length, frame.data()));
        EXPECT_EQ(0xC7u, Epls::CDecodedFrame::GetSnmtExtendedService(length, frame.data()));
        EXPECT_EQ(0xC7u, Epls::CDecodedFrame::GetSsdoSodAccessCommand(length, frame.data()));
    }
}

TEST(CDecodedFrame, RawFrameReadersCheckTheFrameFirst)
{
    const Bytes frame(10u, 0u);
    Support::ExpectException(Support::CaptureException([&] { (void)Epls::CDecodedFrame::GetId(10u, frame.data()); }),
                             Code::FrameTooShort, 0u, 10u);
    Support::ExpectException(
        Support::CaptureException([&] { (void)Epls::CDecodedFrame::GetSsdoSodAccessCommand(3u, frame.data()); }),
        Code::FrameTooShort, 0u, 3u);
    Support::ExpectGuard(Support::CaptureGuard([] { (void)Epls::CDecodedFrame::IsSnmt(11u, nullptr); }),
                         "CDecodedFrame.cpp");
}

// Sub-frame 2 is judged through its UDID-keyed head and the rest in place: every payload length of both forms, with
// the CRC starting inside the head (slim, LE 0), right after it and beyond it, must decode with the right UDID and
// fail CRC 2 when any one of the six UDID bytes differs; a basic frame's payload copies are compared at the keyed
// first byte and at the last.
TEST(CDecodedFrame, JudgesSubFrameTwoOfEveryPayloadLengthThroughTheScmUdid)
{
    for (const std::uint8_t id : {std::uint8_t{0x38u}, std::uint8_t{0x3Bu}, std::uint8_t{0x28u}})
    {
        const bool isSsdo = (id & 0x38u) == 0x38u;
        const Support::Udid udid = isSsdo ? ScmUdid : Support::Udid{};
        for (unsigned le = 0u; le <= 254u; ++le)
        {
            SCOPED_TRACE("id " + std::to_string(id) + " LE " + std::to_string(le));
            const Bytes payload = Payload(le);
            const Bytes frame = CFrameBuilder()
                                    .Id(id)
                                    .Adr(0x2A5u)
                                    .Sdn(0x15Au)
                                    .Ct(0xBEEFu)
                                    .Tadr(0x3C3u)
                                    .Tr(0x2Du)
                                    .Payload(payload)
                                    .ScmUdid(udid)
                                    .Build();
            const auto length = static_cast<std::uint16_t>(frame.size());
            Epls::CDecodedUnknownFrame decoded;
            decoded.Initialize(length, frame.data(), udid.data());
            EXPECT_EQ(0xBEEFu, decoded.GetCt());
            EXPECT_EQ(0x15Au, decoded.GetSdn());
            EXPECT_EQ(0x3C3u, decoded.GetTadr());
            EXPECT_EQ(0x2Du, decoded.GetTr());
            for (std::size_t i = 0u; isSsdo && (i < udid.size()); ++i)
            {
                Support::Udid other = udid;
                other[i] = static_cast<std::uint8_t>(other[i] ^ 0x10u);
                Support::ExpectException(
                    Support::CaptureException([&] { decoded.Initialize(length, frame.data(), other.data()); }),
                    Code::InvalidCrc, 0u, 0u);
            }
            if ((id == 0x3Bu) || (le == 0u))
            {
                continue;
            }
            for (const std::size_t differing : {std::size_t{0u}, std::size_t{le - 1u}})
            {
                Bytes copy = payload;
                copy[differing] = static_cast<std::uint8_t>(copy[differing] ^ 0x01u);
                const Bytes inconsistent = CFrameBuilder()
                                               .Id(id)
                                               .Adr(0x2A5u)
                                               .Sdn(0x15Au)
                                               .Payload(payload)
                                               .PayloadCopy(copy)
                                               .ScmUdid(udid)
                                               .Build();
                Support::ExpectException(Support::CaptureException(
                                             [&] {
                                                 decoded.Initialize(static_cast<std::uint16_t>(inconsistent.size()),
                                                                    inconsistent.data(), udid.data());
                                             }),
                                         Code::InconsistentPayload, 0u, 0u);
            }
        }
    }
}
} // namespace
