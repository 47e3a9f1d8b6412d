// Registration of the self-verification's events: the corrupted-executable code is stored, any other throws.
#include "Scm/ScmEventLog.h"

#include <gtest/gtest.h>

#include "Scm/ScmCheckerEventCode.h"
#include "Util/CException.h"
#include "support/Test/GuardExpectation.h"

namespace
{
TEST(ScmEventRegistration, CorruptedExecutableIsStoredAsExecutableCorrupted)
{
    QdrEventCode = 0u;
    Qdrevt_EnregisterEventInfo(QDR_EVENT_EXECUTABLE_CORRUPTED, 7u, 0x01020304u);
    EXPECT_EQ(static_cast<std::uint32_t>(ScmStartExecutableCorrupted), QdrEventCode);
    EXPECT_EQ(7u, QdrEventInfo0);
    EXPECT_EQ(0x01020304u, QdrEventInfo1);
}

TEST(ScmEventRegistration, AnyOtherCodeThrowsWithTheUpperHalfDropped)
{
    for (std::uint32_t code : {0x9123E2D4u, 0x0010ABCDu, 0x00000001u, 0x9000E203u})
    {
        const Util::CException exception = Support::CaptureException([&] { Qdrevt_EnregisterEventInfo(code, 3u, 4u); });
        Support::ExpectException(exception, static_cast<std::uint16_t>(code & 0xFFFFu), 3u, 4u);
    }
}

TEST(ScmEventCodeNames, NameAndOwnerOfEveryCode)
{
    EXPECT_STREQ("InvalidCrc", ScmGetEventCodeName(0xE2C0u));
    EXPECT_STREQ("Epls::CFrameDecoderEventCode", ScmGetEventCodeOwner(0xE2C0u));
    EXPECT_STREQ("InternalConsistency", ScmGetEventCodeName(0xE200u));
    EXPECT_STREQ("InvalidFileCrc", ScmGetEventCodeName(0xE2A5u));
    EXPECT_STREQ("InvalidAdditionalParameter", ScmGetEventCodeName(0xE2EDu));
    EXPECT_EQ(nullptr, ScmGetEventCodeName(0xE201u));
    EXPECT_EQ(nullptr, ScmGetEventCodeName(0xE2EEu));
    EXPECT_EQ(nullptr, ScmGetEventCodeOwner(0u));
    int named = 0;
    for (unsigned code = 0xE200u; code <= 0xE2EDu; ++code)
    {
        named += (ScmGetEventCodeName(code) != nullptr) ? 1 : 0;
    }
    EXPECT_EQ(160, named);
}
} // namespace
