// Merging two sorted inverted UDID streams: the order, duplicates from A, fresh passes, refusals passing through.
#include "Param/CMergingInvertedUdidReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <map>
#include <random>
#include <utility>
#include <vector>

#include "Param/CByteArrayReaderEventCode.h"
#include "Param/CByteArrayUdidReader.h"
#include "Param/CInvertingUdidReader.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Bytes = std::vector<std::uint8_t>;

// A plain UDID stream of the given safety addresses; the first UDID byte tells the side, the second the address.
Bytes MakeUdidStream(const std::vector<std::uint16_t>& addresses, std::uint8_t side)
{
    Bytes bytes;
    for (const std::uint16_t sadr : addresses)
    {
        bytes.insert(bytes.end(), {static_cast<std::uint8_t>(sadr), static_cast<std::uint8_t>(sadr >> 8), side,
                                   static_cast<std::uint8_t>(sadr), 3, 4, 5, 6});
    }
    return bytes;
}

// One side: plain bytes, a byte-array reader over them and its inverting decorator.
struct CSide
{
    explicit CSide(Bytes bytes) : m_bytes(std::move(bytes)), m_inverted(m_plain)
    {
        m_plain.Initialize(static_cast<std::uint32_t>(m_bytes.size()), m_bytes.data());
    }
    Bytes m_bytes;
    Param::CByteArrayUdidReader m_plain;
    Param::CInvertingUdidReader m_inverted;
};

// (address, side) pairs of a whole pass, the side read back from the complemented UDID.
std::vector<std::pair<std::uint16_t, std::uint8_t>> ReadAll(Param::CInvertedUdidReader& reader)
{
    std::vector<std::pair<std::uint16_t, std::uint8_t>> records;
    std::uint16_t sadr = 0;
    const std::uint8_t* invertedUdid = nullptr;
    while (reader.TryReadNext(sadr, invertedUdid))
    {
        EXPECT_EQ(static_cast<std::uint8_t>(~sadr), invertedUdid[1]) << "UDID of another record at " << sadr;
        records.emplace_back(sadr, static_cast<std::uint8_t>(~invertedUdid[0]));
    }
    return records;
}

TEST(CMergingInvertedUdidReader, MergesByAddressAndTakesTheFirstStreamOnEqualAddresses)
{
    CSide a(MakeUdidStream({1, 3, 5}, 0xA));
    CSide b(MakeUdidStream({2, 3, 6}, 0xB));
    Param::CMergingInvertedUdidReader merged(a.m_inverted, b.m_inverted);
    merged.Open();
    const std::vector<std::pair<std::uint16_t, std::uint8_t>> expected = {
        {1, 0xA}, {2, 0xB}, {3, 0xA}, {5, 0xA}, {6, 0xB}};
    EXPECT_EQ(expected, ReadAll(merged));
    merged.Close();
    merged.Open();
    EXPECT_EQ(expected, ReadAll(merged)) << "a second pass delivers the same records";
    merged.Close();
}

TEST(CMergingInvertedUdidReader, PassClosedEarlyDoesNotLeakIntoTheNextPass)
{
    CSide a(MakeUdidStream({1, 3}, 0xA));
    CSide b(MakeUdidStream({2, 4}, 0xB));
    Param::CMergingInvertedUdidReader merged(a.m_inverted, b.m_inverted);
    merged.Open();
    std::uint16_t sadr = 0;
    const std::uint8_t* invertedUdid = nullptr;
    ASSERT_TRUE(merged.TryReadNext(sadr, invertedUdid)); // 1 from A, 2 from B held back
    merged.Close();
    merged.Open();
    const std::vector<std::pair<std::uint16_t, std::uint8_t>> expected = {{1, 0xA}, {2, 0xB}, {3, 0xA}, {4, 0xB}};
    EXPECT_EQ(expected, ReadAll(merged));
}

TEST(CMergingInvertedUdidReader, RefusalOfEitherStreamPassesUnchanged)
{
    Bytes badB = MakeUdidStream({2, 9}, 0xB);
    badB[8] = 0x00; // second record of B: safety address 0
    badB[9] = 0x04; // 1024
    CSide a(MakeUdidStream({1, 3, 5}, 0xA));
    CSide b(badB);
    Param::CMergingInvertedUdidReader merged(a.m_inverted, b.m_inverted);
    merged.Open();
    std::uint16_t sadr = 0;
    const std::uint8_t* invertedUdid = nullptr;
    ASSERT_TRUE(merged.TryReadNext(sadr, invertedUdid));
    EXPECT_EQ(1u, sadr);
    ASSERT_TRUE(merged.TryReadNext(sadr, invertedUdid));
    EXPECT_EQ(2u, sadr);
    Support::ExpectException(Support::CaptureException([&] { (void)merged.TryReadNext(sadr, invertedUdid); }),
                             Param::CByteArrayReaderEventCode::InvalidSafetyAddress, 0u, 1024u);
}

// Randomised against a model: the merge of two sorted sets where A wins on equal addresses.
TEST(CMergingInvertedUdidReader, AgreesWithAMapMergeOnRandomStreams)
{
    const std::uint32_t seed = std::random_device{}();
    std::cout << "seed " << seed << '\n';
    std::mt19937 random(seed);
    for (int round = 0; round < 200; ++round)
    {
        std::map<std::uint16_t, std::uint8_t> model;
        std::vector<std::uint16_t> addressesA;
        std::vector<std::uint16_t> addressesB;
        std::uniform_int_distribution<int> pick(0, 3);
        for (std::uint16_t sadr = 1; sadr <= 40; ++sadr)
        {
            const int choice = pick(random); // 0 none, 1 A, 2 B, 3 both
            if ((choice & 1) != 0)
            {
                addressesA.push_back(sadr);
                model[sadr] = 0xA;
            }
            if ((choice & 2) != 0)
            {
                addressesB.push_back(sadr);
                model.emplace(sadr, 0xB);
            }
        }
        CSide a(MakeUdidStream(addressesA, 0xA));
        CSide b(MakeUdidStream(addressesB, 0xB));
        Param::CMergingInvertedUdidReader merged(a.m_inverted, b.m_inverted);
        merged.Open();
        const std::vector<std::pair<std::uint16_t, std::uint8_t>> expected(model.begin(), model.end());
        ASSERT_EQ(expected, ReadAll(merged)) << "seed " << seed << " round " << round;
        merged.Close();
    }
}
} // namespace
