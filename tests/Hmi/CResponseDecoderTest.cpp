// Classification of responses, the fail-safe rewriting of status responses and the diagnosis fill-in.
#include "Hmi/CResponseDecoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Hmi/CDecodedResponseVisitor.h"
#include "Hmi/CObjectDictionary.h"
#include "Hmi/CResponseDecoderEventCode.h"
#include "support/Messages/CDiagnosisBuilder.h"
#include "support/Messages/CStatusBuilder.h"
#include "support/Messages/CStatusNewBuilder.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Support::Bytes;
using Support::CDiagnosisBuilder;
using Support::CStatusBuilder;
using Support::CStatusNewBuilder;
using Code = Hmi::CResponseDecoderEventCode;

constexpr std::size_t FlagsOffset = 23u;
constexpr std::size_t BitFlags1Offset = 44u;

/// Does what the session does with each kind: writes the checker's state, fills in diagnosis objects.
class CResponseHandler : public Hmi::CDecodedResponseVisitor
{
public:
    CResponseHandler(bool checkerFailed, const Hmi::CObjectDictionary* dictionary)
        : m_checkerFailed(checkerFailed), m_dictionary(dictionary)
    {
    }

    void VisitStatus(Hmi::CDecodedStatus& response) override
    {
        m_className = "CDecodedStatus";
        response.SetFailSafeFlags(m_checkerFailed);
    }
    void VisitStatusNew(Hmi::CDecodedStatusNew& response) override
    {
        m_className = "CDecodedStatusNew";
        response.SetFailSafeFlag(m_checkerFailed);
    }
    void VisitDiagnosis(Hmi::CDecodedDiagnosis& response) override
    {
        m_className = "CDecodedDiagnosis";
        if (m_dictionary != nullptr)
        {
            response.FillIn(*m_dictionary);
        }
    }

    std::string m_className = "CDecodedUnknownResponse";

private:
    bool m_checkerFailed;
    const Hmi::CObjectDictionary* m_dictionary;
};

/// The checker's own object: index 0x2432, sub-index 1; any other sub-index of it is error 2.
class CCheckerObjects : public Hmi::CObjectDictionary
{
public:
    virtual ~CCheckerObjects() = default;

    bool TryGetObject(std::uint16_t index, std::uint8_t subIndex, std::uint8_t& error,
                      std::uint32_t& value) const override
    {
        ++m_queries;
        if (index != 0x2432u)
        {
            return false;
        }
        error = (subIndex == 1u) ? 0u : 2u;
        if (error == 0u)
        {
            value = 0x00010203u;
        }
        return true;
    }

    mutable int m_queries = 0;
};

std::string Decode(Bytes& response, bool checkerFailed = false, const Hmi::CObjectDictionary* dictionary = nullptr)
{
    Hmi::CResponseDecoder decoder;
    CResponseHandler handler(checkerFailed, dictionary);
    decoder.GetDecodedResponse(static_cast<std::uint16_t>(response.size()), response.data()).Accept(handler);
    return handler.m_className;
}

Bytes Resized(Bytes bytes, std::size_t length)
{
    bytes.resize(length, 0u);
    return bytes;
}

struct CResponseCase
{
    std::string m_name;
    Bytes m_response;
    std::string m_expectedClass;
};

std::ostream& operator<<(std::ostream& stream, const CResponseCase& testCase)
{
    return stream << testCase.m_name;
}

std::vector<CResponseCase> ResponseCases()
{
    return {
        {"Status", CStatusBuilder().Build(), "CDecodedStatus"},
        {"StatusOfAnyCommand", CStatusBuilder().Command(0x0100u).Status(5u).Build(), "CDecodedStatus"},
        {"Status279Bytes", Resized(CStatusBuilder().Build(), 279u), "CDecodedUnknownResponse"},
        {"StatusLonger", Resized(CStatusBuilder().Build(), 300u), "CDecodedStatus"},
        {"StatusSelector5", CStatusBuilder().Selector(5u).Build(), "CDecodedUnknownResponse"},
        {"StatusNew", CStatusNewBuilder().Build(), "CDecodedStatusNew"},
        // A 280-byte response that meets every condition of the newer form is a new status.
        {"StatusNewIn280Bytes", Resized(CStatusNewBuilder().Build(), 280u), "CDecodedStatusNew"},
        {"StatusNewWrongCommandIn280Bytes", Resized(CStatusNewBuilder().Command(0x0100u).Build(), 280u),
         "CDecodedStatus"},
        {"StatusNew51Bytes", Resized(CStatusNewBuilder().Build(), 51u), "CDecodedUnknownResponse"},
        {"StatusNewWrongCommand", CStatusNewBuilder().Command(0x0100u).Build(), "CDecodedUnknownResponse"},
        {"StatusNewWrongData", CStatusNewBuilder().Data(0x5001u).Build(), "CDecodedUnknownResponse"},
        {"StatusNewVersion2", CStatusNewBuilder().Version(2u).Build(), "CDecodedUnknownResponse"},
        {"Diagnosis", CDiagnosisBuilder().Object(0x2432u, 1u).Build(), "CDecodedDiagnosis"},
        {"DiagnosisWithoutObjects", CDiagnosisBuilder().Build(), "CDecodedDiagnosis"},
        {"Diagnosis18Bytes", Resized(CDiagnosisBuilder().Build(), 18u), "CDecodedDiagnosis"},
        {"Diagnosis17Bytes", Resized(CDiagnosisBuilder().Build(), 17u), "CDecodedUnknownResponse"},
        {"DiagnosisVersionHighByteIgnored", CDiagnosisBuilder().Version(0x0701u).Build(), "CDecodedDiagnosis"},
        {"DiagnosisVersion2", CDiagnosisBuilder().Version(2u).Build(), "CDecodedUnknownResponse"},
        {"DiagnosisData2", CDiagnosisBuilder().Data(2u).Build(), "CDecodedUnknownResponse"},
        {"DiagnosisCommand0x8401", CDiagnosisBuilder().Command(0x8401u).Build(), "CDecodedUnknownResponse"},
        {"DiagnosisSelector4", CDiagnosisBuilder().Selector(4u).Build(), "CDecodedUnknownResponse"},
        {"TwelveBytes", Resized(CStatusBuilder().Build(), 12u), "CDecodedUnknownResponse"},
    };
}

class CResponseDecoderClassTest : public testing::TestWithParam<CResponseCase>
{
};

TEST_P(CResponseDecoderClassTest, ChoosesTheClassWithoutRefusingShortResponses)
{
    Bytes response = GetParam().m_response;
    EXPECT_EQ(GetParam().m_expectedClass, Decode(response));
}

INSTANTIATE_TEST_SUITE_P(CResponseDecoder, CResponseDecoderClassTest, testing::ValuesIn(ResponseCases()),
                         [](const testing::TestParamInfo<CResponseCase>& paramInfo) { return paramInfo.param.m_name; });

struct CFlagsCase
{
    std::uint8_t m_received;
    bool m_checkerFailed;
    std::uint8_t m_forwarded;
};

TEST(CDecodedStatus, WritesTheCheckersStateIntoTheFailSafeFlags)
{
    const std::vector<CFlagsCase> cases = {
        {0x55u, false, 0x55u}, {0x55u, true, 0x04u}, {0xAAu, false, 0x02u}, {0xAAu, true, 0x06u},
        {0x00u, false, 0x02u}, {0x00u, true, 0x06u}, {0x02u, false, 0x02u}, {0x54u, true, 0x06u},
    };
    for (const CFlagsCase& testCase : cases)
    {
        SCOPED_TRACE(testing::Message() << "flags " << static_cast<int>(testCase.m_received) << ", checker failed "
                                        << testCase.m_checkerFailed);
        const Bytes received =
            CStatusBuilder().FailSafeFlags(testCase.m_received).Byte(22u, 0x11u).Byte(24u, 0x22u).Build();
        Bytes forwarded = received;
        ASSERT_EQ("CDecodedStatus", Decode(forwarded, testCase.m_checkerFailed));
        EXPECT_EQ(testCase.m_forwarded, forwarded[FlagsOffset]);
        forwarded[FlagsOffset] = received[FlagsOffset];
        EXPECT_EQ(received, forwarded) << "only the flags byte changes";
    }
}

TEST(CDecodedStatusNew, SetsTheFailSafeBitOnlyWhenTheCheckerFailed)
{
    const std::vector<std::pair<std::uint32_t, bool>> cases = {
        {0x00000000u, false}, {0x00000010u, false}, {0x00000000u, true}, {0xFFFFFFEFu, true}, {0x80000001u, false}};
    for (const auto& [bitFlags1, checkerFailed] : cases)
    {
        SCOPED_TRACE(testing::Message() << "BitFlags1 " << bitFlags1 << ", checker failed " << checkerFailed);
        const Bytes received = CStatusNewBuilder().BitFlags1(bitFlags1).BitFlags2(0x10u).Build();
        Bytes forwarded = received;
        ASSERT_EQ("CDecodedStatusNew", Decode(forwarded, checkerFailed));
        const std::uint32_t expected = checkerFailed ? (bitFlags1 | 0x10u) : bitFlags1;
        Bytes expectedResponse = received;
        Support::SetLittleEndian(expectedResponse, BitFlags1Offset, expected, 4u);
        EXPECT_EQ(expectedResponse, forwarded);
    }
}

TEST(CDecodedStatus, ReportsSuccessAndTheScmsState)
{
    Bytes response = CStatusBuilder().Status(0u).FailSafeFlags(0x55u).Build();
    Hmi::CResponseDecoder decoder;
    auto& status = dynamic_cast<Hmi::CDecodedStatus&>(decoder.GetDecodedResponse(280u, response.data()));
    EXPECT_TRUE(status.IsSuccessful());
    EXPECT_TRUE(status.IsOk());
    EXPECT_EQ(0x55u, status.GetFailSafeFlags());

    response = CStatusBuilder().Status(0x0102u).FailSafeFlags(0xAAu).Build();
    auto& failed = dynamic_cast<Hmi::CDecodedStatus&>(decoder.GetDecodedResponse(280u, response.data()));
    EXPECT_FALSE(failed.IsSuccessful());
    EXPECT_EQ(0x0102u, failed.GetStatus());
    EXPECT_FALSE(failed.IsOk());
}

TEST(CDecodedStatusNew, ReportsSuccessAndTheScmsState)
{
    Bytes response = CStatusNewBuilder().Status(0u).Build();
    Hmi::CResponseDecoder decoder;
    auto& status = dynamic_cast<Hmi::CDecodedStatusNew&>(decoder.GetDecodedResponse(52u, response.data()));
    EXPECT_TRUE(status.IsSuccessful());
    EXPECT_TRUE(status.IsOk());
    EXPECT_FALSE(status.GetFailSafeFlag());

    response = CStatusNewBuilder().Status(3u).FailSafe(true).Build();
    auto& failed = dynamic_cast<Hmi::CDecodedStatusNew&>(decoder.GetDecodedResponse(52u, response.data()));
    EXPECT_FALSE(failed.IsSuccessful());
    EXPECT_EQ(3u, failed.GetStatus());
    EXPECT_TRUE(failed.GetFailSafeFlag());
    EXPECT_FALSE(failed.IsOk());
}

TEST(CDecodedDiagnosis, FillsInOnlyTheObjectsTheDictionaryHolds)
{
    const Bytes received = CDiagnosisBuilder()
                               .Object(0x2432u, 1u, 0x55u, 0xAAAAAAAAu)
                               .Object(0x1018u, 1u, 0u, 0xBBBBBBBBu)
                               .Object(0x2432u, 2u, 0u, 0xCCCCCCCCu)
                               .Build();
    Bytes forwarded = received;
    CCheckerObjects dictionary;
    ASSERT_EQ("CDecodedDiagnosis", Decode(forwarded, false, &dictionary));
    const Bytes expected = CDiagnosisBuilder()
                               .Object(0x2432u, 1u, 0u, 0x00010203u)
                               .Object(0x1018u, 1u, 0u, 0xBBBBBBBBu)
                               .Object(0x2432u, 2u, 2u, 0xCCCCCCCCu)
                               .Build();
    EXPECT_EQ(expected, forwarded);
    EXPECT_EQ(3, dictionary.m_queries);
}

TEST(CDecodedDiagnosis, ForwardsADiagnosisWithoutObjectsUnchanged)
{
    const Bytes received = CDiagnosisBuilder().Number(4u).State(9u).Build();
    Bytes forwarded = received;
    CCheckerObjects dictionary;
    ASSERT_EQ("CDecodedDiagnosis", Decode(forwarded, false, &dictionary));
    EXPECT_EQ(received, forwarded);
    EXPECT_EQ(0, dictionary.m_queries);
}

// The object count may announce more than was received: only whole objects inside the response count, and
// nothing beyond it is read or written (the buffers are exactly as long as the response).
TEST(CDecodedDiagnosis, ReadsOnlyObjectsWhollyInsideTheResponse)
{
    const Bytes twoObjects = CDiagnosisBuilder().Object(0x2432u, 1u).Object(0x2432u, 1u).NumberOfObjects(40u).Build();
    struct CCountCase
    {
        std::size_t m_length;
        std::uint16_t m_objectCount;
    };
    for (const CCountCase& testCase : std::vector<CCountCase>{
             {18u, 0u}, {19u, 0u}, {20u, 0u}, {22u, 0u}, {29u, 0u}, {30u, 1u}, {37u, 1u}, {38u, 2u}})
    {
        SCOPED_TRACE(testCase.m_length);
        Bytes response = Resized(twoObjects, testCase.m_length);
        response.shrink_to_fit();
        Hmi::CResponseDecoder decoder;
        auto& diagnosis = dynamic_cast<Hmi::CDecodedDiagnosis&>(
            decoder.GetDecodedResponse(static_cast<std::uint16_t>(response.size()), response.data()));
        EXPECT_EQ(testCase.m_objectCount, diagnosis.GetObjectCount());
        CCheckerObjects dictionary;
        diagnosis.FillIn(dictionary);
        EXPECT_EQ(testCase.m_objectCount, dictionary.m_queries);
    }
    // A count below what was received limits the objects as well.
    Bytes response = CDiagnosisBuilder().Object(0x2432u, 1u).Object(0x2432u, 1u).NumberOfObjects(1u).Build();
    CCheckerObjects dictionary;
    ASSERT_EQ("CDecodedDiagnosis", Decode(response, false, &dictionary));
    EXPECT_EQ(1, dictionary.m_queries);
    EXPECT_EQ(0u, response[22u + 8u + 4u]) << "the second object keeps its data";
}

TEST(CDecodedResponse, RefusesFieldReadsFromShortResponses)
{
    const Bytes status = CStatusBuilder().Build();
    const Bytes statusNew = CStatusNewBuilder().Build();
    Support::ExpectException(
        Support::CaptureException([&] { (void)Hmi::CDecodedResponse::GetSelector(12u, status.data()); }),
        Code::ResponseTooShort, 0u, 12u);
    Support::ExpectException(
        Support::CaptureException([&] { (void)Hmi::CDecodedResponse::GetCommand(12u, status.data()); }),
        Code::ResponseTooShort, 0u, 12u);
    EXPECT_EQ(4u, Hmi::CDecodedResponse::GetSelector(13u, status.data()));
    Support::ExpectException(
        Support::CaptureException([&] { (void)Hmi::CDecodedStatus::GetStatus(279u, status.data()); }),
        Code::ResponseTooShort, 0u, 279u);
    Support::ExpectException(
        Support::CaptureException([&] { (void)Hmi::CDecodedStatus::GetFailSafeFlags(52u, status.data()); }),
        Code::ResponseTooShort, 0u, 52u);
    Support::ExpectException(
        Support::CaptureException([&] { (void)Hmi::CDecodedStatusNew::GetFailSafeFlag(51u, statusNew.data()); }),
        Code::ResponseTooShort, 0u, 51u);
    Support::ExpectException(
        Support::CaptureException([&] { (void)Hmi::CDecodedDiagnosis::GetData(17u, statusNew.data()); }),
        Code::ResponseTooShort, 0u, 17u);
    Hmi::CResponseDecoder decoder;
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)decoder.GetDecodedResponse(280u, nullptr); }),
                         "CResponseDecoder.cpp");
}
} // namespace
