// Four header streams read one after the other: application, machine options, extended machine options, loadable.
#include "Param/CAppendingInvertedAdditionalParameterHeaderReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "Param/CAdditionalParameterReaderEventCode.h"
#include "Param/CComputedInvertedAdditionalParameterHeaderReader.h"
#include "Param/CInvertingAdditionalParameterHeaderReader.h"
#include "Param/CParameterAdditionalParameterHeaderReader.h"
#include "support/Test/GuardExpectation.h"
#include "tests/Param/ParameterStreamFixture.h"

namespace
{
Support::CAdditionalParameterRecord Parameter(std::uint16_t sadr, std::uint8_t number)
{
    Support::CAdditionalParameterRecord parameter;
    parameter.m_safetyAddress = sadr;
    parameter.m_parameterNumber = number;
    parameter.m_data = {number};
    return parameter;
}

// A header stream of the given parameters, inverted.
struct CHeaderStream
{
    explicit CHeaderStream(const std::vector<Support::CAdditionalParameterRecord>& parameters)
        : m_stream(Build(parameters)), m_plain(m_stream.m_reader), m_inverted(m_plain)
    {
    }
    static Support::Bytes Build(const std::vector<Support::CAdditionalParameterRecord>& parameters)
    {
        Support::CParameterStreamBuilder builder;
        for (const auto& parameter : parameters)
        {
            builder.AddAdditionalParameter(parameter, std::nullopt, std::uint8_t{1u});
        }
        return builder.Build();
    }
    StreamTest::CParameterStream m_stream;
    Param::CParameterAdditionalParameterHeaderReader m_plain;
    Param::CInvertingAdditionalParameterHeaderReader m_inverted;
};

std::vector<std::pair<std::uint16_t, std::uint8_t>> ReadAll(Param::CInvertedAdditionalParameterHeaderReader& reader)
{
    std::vector<std::pair<std::uint16_t, std::uint8_t>> records;
    std::uint16_t sadr = 0;
    std::uint8_t number = 0;
    const std::uint8_t* invertedHeader = nullptr;
    reader.Open();
    while (reader.TryReadNext(sadr, number, invertedHeader))
    {
        EXPECT_EQ(static_cast<std::uint8_t>(~number), invertedHeader[0]);
        records.emplace_back(sadr, number);
    }
    reader.Close();
    return records;
}

TEST(CAppendingInvertedAdditionalParameterHeaderReader, DeliversAThenBThenCThenD)
{
    CHeaderStream application({Parameter(5u, 1u), Parameter(4u, 7u)});
    Param::CComputedInvertedAdditionalParameterHeaderReader machineOptions;
    const std::uint8_t options[76] = {1};
    machineOptions.SetAdditionalParameter(1u, 2u, 1234u, 76u, options);
    Param::CComputedInvertedAdditionalParameterHeaderReader extendedMachineOptions; // no file: nothing to deliver
    CHeaderStream loadable({Parameter(9u, 16u)});
    Param::CAppendingInvertedAdditionalParameterHeaderReader reader(application.m_inverted, machineOptions,
                                                                    extendedMachineOptions, loadable.m_inverted);
    const std::vector<std::pair<std::uint16_t, std::uint8_t>> expected = {{5u, 1u}, {4u, 7u}, {1u, 2u}, {9u, 16u}};
    EXPECT_EQ(expected, ReadAll(reader));
    EXPECT_EQ(expected, ReadAll(reader)) << "Close() closed all four, so a second pass opens them again";
}

TEST(CAppendingInvertedAdditionalParameterHeaderReader, AllEmptyEndsAtOnce)
{
    CHeaderStream a({});
    Param::CComputedInvertedAdditionalParameterHeaderReader b;
    Param::CComputedInvertedAdditionalParameterHeaderReader c;
    CHeaderStream d({});
    Param::CAppendingInvertedAdditionalParameterHeaderReader reader(a.m_inverted, b, c, d.m_inverted);
    EXPECT_TRUE(ReadAll(reader).empty());
}

TEST(CAppendingInvertedAdditionalParameterHeaderReader, RefusalOfALaterStreamPassesUnchanged)
{
    CHeaderStream a({Parameter(5u, 1u)});
    Param::CComputedInvertedAdditionalParameterHeaderReader b;
    Param::CComputedInvertedAdditionalParameterHeaderReader c;
    CHeaderStream d({Parameter(9u, 0u)});
    Param::CAppendingInvertedAdditionalParameterHeaderReader reader(a.m_inverted, b, c, d.m_inverted);
    reader.Open();
    std::uint16_t sadr = 0;
    std::uint8_t number = 0;
    const std::uint8_t* invertedHeader = nullptr;
    ASSERT_TRUE(reader.TryReadNext(sadr, number, invertedHeader));
    Support::ExpectException(Support::CaptureException([&] { (void)reader.TryReadNext(sadr, number, invertedHeader); }),
                             Param::CAdditionalParameterReaderEventCode::InvalidParameterNumber, 0u, 0u);
}
} // namespace
