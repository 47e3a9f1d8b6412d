// The SCM's object-read response, in which the checker fills in the objects it answers itself.
#ifndef HMI_CDECODEDDIAGNOSIS_H
#define HMI_CDECODEDDIAGNOSIS_H

#include <cstdint>

#include "Hmi/CDecodedResponse.h"

namespace Hmi
{
class CObjectDictionary;

/// Selector 7, at least 18 bytes, Command 0x8400 (offset 4), low byte of Version 1 (offset 8), Data 1 (offset
/// 16); NumberOfObjects at offset 18, then from offset 22 the objects of 8 bytes each: Index (uint16), Subindex
/// (uint8), Error (uint8) and Data (uint32).
class CDecodedDiagnosis : public CDecodedResponse
{
public:
    static constexpr std::uint32_t ms_Selector = 7u;
    static constexpr std::uint32_t ms_DiagnosisLengthMin = 18u;
    static constexpr std::uint16_t ms_Command = 0x8400u;
    static constexpr std::uint32_t ms_VersionOffset = 8u;
    static constexpr std::uint8_t ms_Version1 = 1u;
    static constexpr std::uint32_t ms_DataOffset = 16u;
    static constexpr std::uint16_t ms_Data = 1u;
    static constexpr std::uint32_t ms_NumberOfObjectsOffset = 18u;
    static constexpr std::uint32_t ms_ObjectsOffset = 22u;
    static constexpr std::uint32_t ms_ObjectLength = 8u;
    static constexpr std::uint32_t ms_ObjectIndexOffset = 0u;
    static constexpr std::uint32_t ms_ObjectSubIndexOffset = 2u;
    static constexpr std::uint32_t ms_ObjectErrorOffset = 3u;
    static constexpr std::uint32_t ms_ObjectDataOffset = 4u;

    /// At least 18 bytes with selector 7, command 0x8400, data 1 and the low byte of the version 1; false for a
    /// shorter response. Raises 0xE200 for a null response.
    static bool IsDiagnosis(std::uint16_t responseLength, const std::uint8_t* response);
    /// Raises 0xE200 for a null response and 0xE2CA (information1 = responseLength) below 18 bytes.
    static std::uint16_t GetData(std::uint16_t responseLength, const std::uint8_t* response);
    /// The whole 16-bit Version field. Raises 0xE200 for a null response and 0xE2CA below 18 bytes.
    static std::uint16_t GetVersion(std::uint16_t responseLength, const std::uint8_t* response);

    /// Calls VisitDiagnosis.
    void Accept(CDecodedResponseVisitor& visitor) override;
    /// The objects that lie wholly inside the received response: NumberOfObjects, cut to what the length covers
    /// (0 when the response ends before NumberOfObjects).
    std::uint16_t GetObjectCount() const;
    /// Asks the dictionary for each object of GetObjectCount(); it writes the object's Error byte directly, and
    /// when it holds the object and the Error byte is then 0, its value goes into the object's Data field. Objects
    /// the dictionary does not hold stay as the SCM sent them. Nothing outside the received response is touched.
    void FillIn(const CObjectDictionary& dictionary);
};
} // namespace Hmi

#endif
