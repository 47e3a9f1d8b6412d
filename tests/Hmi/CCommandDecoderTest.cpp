// Classification and accessors of operator commands, on commands built as the runtime sends them.
#include "Hmi/CCommandDecoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Hmi/CCommandDecoderEventCode.h"
#include "Hmi/CDecodedCommandVisitor.h"
#include "support/Messages/CCommandBuilder.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Support::Bytes;
using Support::CCommandBuilder;
using Code = Hmi::CCommandDecoderEventCode;

const Support::Password Password{'s', 'e', 'c', 'r', 'e', 't', 0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 0xFFu};
const Support::Password NewPassword{'n', 'e', 'w', 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0x80u};

/// Records the visited class, and the module count where there is one.
class CCommandRecorder : public Hmi::CDecodedCommandVisitor
{
public:
    void VisitChangePassword(const Hmi::CDecodedChangePassword& /*command*/) override
    {
        m_className = "CDecodedChangePassword";
    }
    void VisitAcknowledgeTessera(const Hmi::CDecodedAcknowledgeTessera& /*command*/) override
    {
        m_className = "CDecodedAcknowledgeTessera";
    }
    void VisitAcknowledgeModules(const Hmi::CDecodedAcknowledgeModules& command) override
    {
        m_className = "CDecodedAcknowledgeModules";
        m_moduleCount = command.GetAcknowledgedModuleCount();
    }
    void VisitAcknowledgeFirmware(const Hmi::CDecodedAcknowledgeFirmware& /*command*/) override
    {
        m_className = "CDecodedAcknowledgeFirmware";
    }
    void VisitRequestStatus(const Hmi::CDecodedRequestStatus& /*command*/) override
    {
        m_className = "CDecodedRequestStatus";
    }
    void VisitActivateSetupMode(const Hmi::CDecodedActivateSetupMode& /*command*/) override
    {
        m_className = "CDecodedActivateSetupMode";
    }
    void VisitDeactivateSetupMode(const Hmi::CDecodedDeactivateSetupMode& /*command*/) override
    {
        m_className = "CDecodedDeactivateSetupMode";
    }

    std::string m_className = "CDecodedUnknownCommand";
    int m_moduleCount = 0;
};

struct CCommandCase
{
    std::string m_name;
    Bytes m_command;
    std::string m_expectedClass;
    int m_expectedModuleCount;
};

std::ostream& operator<<(std::ostream& stream, const CCommandCase& testCase)
{
    return stream << testCase.m_name;
}

std::vector<CCommandCase> CommandCases()
{
    return {
        {"ChangePassword", CCommandBuilder::ChangePassword(Password, NewPassword).Build(), "CDecodedChangePassword", 0},
        {"ChangePasswordWithoutNewPassword",
         CCommandBuilder().Command(0x0100u).Data(0x5000u).Password(Password).Build(), "CDecodedChangePassword", 0},
        {"AcknowledgeTessera", CCommandBuilder::AcknowledgeTessera(Password).Build(), "CDecodedAcknowledgeTessera", 0},
        {"AcknowledgeTesseraData0x0201", CCommandBuilder::AcknowledgeTessera(Password).Data(0x0201u).Build(),
         "CDecodedUnknownCommand", 0},
        {"AcknowledgeOneModule", CCommandBuilder::AcknowledgeModules(Password, 1u).Build(),
         "CDecodedAcknowledgeModules", 1},
        {"AcknowledgeTwoModules", CCommandBuilder::AcknowledgeModules(Password, 2u).Build(),
         "CDecodedAcknowledgeModules", 2},
        {"AcknowledgeThreeModules", CCommandBuilder::AcknowledgeModules(Password, 3u).Build(),
         "CDecodedAcknowledgeModules", 3},
        {"AcknowledgeFourModules", CCommandBuilder::AcknowledgeModules(Password, 4u).Build(),
         "CDecodedAcknowledgeModules", 4},
        {"AcknowledgeFiveOrMoreModules", CCommandBuilder::AcknowledgeModules(Password, 5u).Build(),
         "CDecodedAcknowledgeModules", 5},
        {"AcknowledgeModulesData0x0070", CCommandBuilder::AcknowledgeModules(Password, 1u).Data(0x0070u).Build(),
         "CDecodedUnknownCommand", 0},
        {"AcknowledgeModulesData0x0010", CCommandBuilder::AcknowledgeModules(Password, 1u).Data(0x0010u).Build(),
         "CDecodedUnknownCommand", 0},
        {"AcknowledgeFirmware", CCommandBuilder::AcknowledgeFirmware(Password).Build(), "CDecodedAcknowledgeFirmware",
         0},
        {"RequestStatus", CCommandBuilder::RequestStatus().Build(), "CDecodedRequestStatus", 0},
        {"StatusCommandWithData0x5000", CCommandBuilder::RequestStatus().Data(0x5000u).Build(),
         "CDecodedUnknownCommand", 0},
        {"ActivateSetupMode", CCommandBuilder::ActivateSetupMode(Password).Build(), "CDecodedActivateSetupMode", 0},
        {"DeactivateSetupMode", CCommandBuilder::DeactivateSetupMode(Password).Build(), "CDecodedDeactivateSetupMode",
         0},
        {"Selector2", CCommandBuilder::AcknowledgeTessera(Password).Selector(2u).Build(), "CDecodedUnknownCommand", 0},
        {"Selector0x00010003", CCommandBuilder::AcknowledgeTessera(Password).Selector(0x00010003u).Build(),
         "CDecodedUnknownCommand", 0},
        {"Command0x0300", CCommandBuilder::AcknowledgeFirmware(Password).Command(0x0300u).Build(),
         "CDecodedUnknownCommand", 0},
        // The number takes no part in the choice.
        {"AcknowledgeTesseraNumber0xFFFF", CCommandBuilder::AcknowledgeTessera(Password).Number(0xFFFFu).Build(),
         "CDecodedAcknowledgeTessera", 0},
        {"ActivateSetupModeNumber7", CCommandBuilder::ActivateSetupMode(Password).Number(7u).Build(),
         "CDecodedActivateSetupMode", 0},
    };
}

class CCommandDecoderClassTest : public testing::TestWithParam<CCommandCase>
{
};

TEST_P(CCommandDecoderClassTest, ChoosesTheClassOfSelectorCommandAndData)
{
    const CCommandCase& testCase = GetParam();
    Hmi::CCommandDecoder decoder;
    const Hmi::CDecodedCommand& decoded =
        decoder.GetDecodedCommand(static_cast<std::uint8_t>(testCase.m_command.size()), testCase.m_command.data());
    CCommandRecorder recorder;
    decoded.Accept(recorder);
    EXPECT_EQ(testCase.m_expectedClass, recorder.m_className);
    EXPECT_EQ(testCase.m_expectedModuleCount, recorder.m_moduleCount);
}

INSTANTIATE_TEST_SUITE_P(CCommandDecoder, CCommandDecoderClassTest, testing::ValuesIn(CommandCases()),
                         [](const testing::TestParamInfo<CCommandCase>& paramInfo) { return paramInfo.param.m_name; });

TEST(CCommandDecoder, ReadsTheHeaderFieldsInPlace)
{
    const Bytes command = CCommandBuilder::AcknowledgeFirmware(Password).Number(0xBEEFu).Build();
    Hmi::CCommandDecoder decoder;
    const Hmi::CDecodedCommand& decoded = decoder.GetDecodedCommand(26u, command.data());
    EXPECT_EQ(0x0100u, decoded.GetCommand());
    EXPECT_EQ(0xBEEFu, decoded.GetNumber());
    EXPECT_EQ(0x0100u, decoded.GetData());
    EXPECT_EQ(command.data() + 10, decoded.GetPassword());
    EXPECT_TRUE(std::equal(Password.begin(), Password.end(), decoded.GetPassword()));
    EXPECT_EQ(3u, Hmi::CDecodedCommand::GetSelector(26u, command.data()));
}

TEST(CCommandDecoder, RefusesCommandsShorterThanTheHeader)
{
    const Bytes command = CCommandBuilder::RequestStatus().Build();
    Hmi::CCommandDecoder decoder;
    // Length 0 is the postponed command before any command was forwarded.
    for (const std::uint8_t length : {std::uint8_t{25u}, std::uint8_t{1u}, std::uint8_t{0u}})
    {
        Support::ExpectException(
            Support::CaptureException([&] { (void)decoder.GetDecodedCommand(length, command.data()); }),
            Code::CommandTooShort, 0u, length);
    }
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)decoder.GetDecodedCommand(26u, nullptr); }),
                         "CDecodedCommand.cpp");
}

TEST(CCommandDecoder, ReadsTheNewPasswordOnlyFromAFullChangePasswordCommand)
{
    const Bytes full = CCommandBuilder::ChangePassword(Password, NewPassword).Build();
    ASSERT_EQ(42u, full.size());
    Hmi::CCommandDecoder decoder;
    for (std::uint8_t length = 26u; length < 42u; ++length)
    {
        const auto& decoded =
            dynamic_cast<const Hmi::CDecodedChangePassword&>(decoder.GetDecodedCommand(length, full.data()));
        Support::ExpectException(Support::CaptureException([&] { (void)decoded.GetChangedPassword(); }),
                                 Code::CommandTooShort, 0u, length);
    }
    const auto& decoded = dynamic_cast<const Hmi::CDecodedChangePassword&>(decoder.GetDecodedCommand(42u, full.data()));
    EXPECT_EQ(full.data() + 26, decoded.GetChangedPassword());
    EXPECT_TRUE(std::equal(NewPassword.begin(), NewPassword.end(), decoded.GetChangedPassword()));
}

TEST(CDecodedAcknowledgeModules, GuardsAModuleCountOutsideItsTable)
{
    const Bytes command = CCommandBuilder::AcknowledgeModules(Password, 1u).Data(0x0070u).Build();
    Hmi::CDecodedAcknowledgeModules decoded;
    decoded.Initialize(26u, command.data());
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)decoded.GetAcknowledgedModuleCount(); }),
                         "CDecodedAcknowledgeModules.cpp");
}
} // namespace
