// UDID comparison, validity and the guard on null arguments.
#include "Util/CUdid.h"

#include <gtest/gtest.h>

#include "Util/CException.h"
#include "support/Test/GuardExpectation.h"

namespace
{
TEST(CUdid, ComparesAllSixBytes)
{
    const std::uint8_t a[6] = {1, 2, 3, 4, 5, 6};
    for (int i = 0; i < 6; ++i)
    {
        std::uint8_t b[6] = {1, 2, 3, 4, 5, 6};
        EXPECT_TRUE(Util::CUdid::AreEqual(a, b));
        b[i] ^= 0x80u;
        EXPECT_TRUE(Util::CUdid::AreDifferent(a, b)) << "byte " << i;
    }
}

TEST(CUdid, OnlyTheAllZeroUdidIsInvalid)
{
    const std::uint8_t zero[6] = {};
    const std::uint8_t lastBitSet[6] = {0, 0, 0, 0, 0, 1};
    EXPECT_TRUE(Util::CUdid::IsZero(zero));
    EXPECT_TRUE(Util::CUdid::IsInvalid(zero));
    EXPECT_TRUE(Util::CUdid::IsValid(lastBitSet));
    EXPECT_FALSE(Util::CUdid::IsInvalid(lastBitSet));
}

TEST(CUdid, NullArgumentRaisesTheGuardFirstArgumentFirst)
{
    const std::uint8_t udid[6] = {1};
    const Util::CException first = Support::CaptureGuard([&] { (void)Util::CUdid::AreEqual(nullptr, nullptr); });
    const Util::CException second = Support::CaptureGuard([&] { (void)Util::CUdid::AreEqual(udid, nullptr); });
    Support::ExpectGuard(first, "CUdid.cpp", 0x0D0702F8u);
    Support::ExpectGuard(second, "CUdid.cpp", 0x0D0702F8u);
    EXPECT_LT(first.m_information0, second.m_information0) << "the first argument is tested first";
    Support::ExpectGuard(Support::CaptureGuard([] { (void)Util::CUdid::IsValid(nullptr); }), "CUdid.cpp", 0x0D0702F8u);
}
} // namespace
