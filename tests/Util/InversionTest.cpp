// Inverted form: complements, clearing, and the passwords' byte semantics.
#include "Util/Inversion.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "Util/CUdid.h"

namespace
{
TEST(Inversion, ComplementsEveryWidth)
{
    EXPECT_EQ(0x5Au, Util::GetInvertedUInt8(0xA5u));
    EXPECT_EQ(0xEDCBu, Util::GetInvertedUInt16(0x1234u));
    EXPECT_EQ(0xFFFFFFFFu, Util::GetInvertedUInt32(0u));
    EXPECT_EQ(0x0123456789ABCDEFull, Util::GetInvertedUInt64(0xFEDCBA9876543210ull));
}

TEST(Inversion, MemoryHelpersComplementExactlyTheGivenRange)
{
    std::array<std::uint8_t, 6> plain = {0x00, 0xFF, 0x0F, 0xF0, 0x12, 0x00};
    std::array<std::uint8_t, 8> inverted;
    inverted.fill(0x77);
    EXPECT_EQ(inverted.data() + 1, Util::GetInvertedMemory(5u, plain.data(), inverted.data() + 1));
    const std::array<std::uint8_t, 8> expected = {0x77, 0xFF, 0x00, 0xF0, 0x0F, 0xED, 0x77, 0x77};
    EXPECT_EQ(expected, inverted);

    Util::InvertMemory(6u, plain.data());
    Util::InvertMemory(6u, plain.data());
    EXPECT_EQ((std::array<std::uint8_t, 6>{0x00, 0xFF, 0x0F, 0xF0, 0x12, 0x00}), plain);
}

TEST(Inversion, ClearedInvertedUdidIsTheInvalidZeroUdid)
{
    std::uint8_t invertedUdid[6] = {1, 2, 3, 4, 5, 6};
    Util::ClearInvertedUdid(invertedUdid);
    std::uint8_t udid[6];
    Util::GetInvertedUdid(invertedUdid, udid);
    EXPECT_TRUE(Util::CUdid::IsZero(udid));
    EXPECT_FALSE(Util::CUdid::IsValid(udid));
}

TEST(Inversion, PasswordsAreBytesNotText)
{
    std::uint8_t password[16] = {};
    std::uint8_t inverted[16];
    Util::GetInvertedPassword(password, inverted);
    for (std::uint8_t byte : inverted)
    {
        EXPECT_EQ(0xFFu, byte);
    }
    std::uint8_t a[16] = {'a', 0, 'b'};
    std::uint8_t b[16] = {'a', 0, 'c'};
    EXPECT_TRUE(Util::AreDifferentPasswords(a, b)); // a zero byte does not end the comparison
    b[2] = 'b';
    EXPECT_TRUE(Util::AreEqualPasswords(a, b));
    a[15] = 1;
    EXPECT_TRUE(Util::AreDifferentPasswords(a, b));
}

TEST(Inversion, ClearsCpuIdAndPasswordToInvertedZero)
{
    std::uint8_t cpuId[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::uint8_t password[17] = {};
    password[16] = 0x42;
    Util::ClearInvertedCpuId(cpuId);
    Util::ClearInvertedPassword(password);
    for (std::uint8_t byte : cpuId)
    {
        EXPECT_EQ(0xFFu, byte);
    }
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_EQ(0xFFu, password[i]);
    }
    EXPECT_EQ(0x42u, password[16]);
}
} // namespace
