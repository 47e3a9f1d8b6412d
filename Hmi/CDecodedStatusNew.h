// The SCM's status response in its newer 52-byte form, with the fail-safe bit the checker sets.
#ifndef HMI_CDECODEDSTATUSNEW_H
#define HMI_CDECODEDSTATUSNEW_H

#include <cstdint>

#include "Hmi/CDecodedResponse.h"

namespace Hmi
{
/// Selector 4, at least 52 bytes, usCommand 0x0200 (offset 4), usData 0x5000 (offset 10), ucVersion 1 (offset
/// 12); usStatus at offset 8 (0 is success); bit 4 of BitFlags1 (offset 44) is the fail-safe flag.
class CDecodedStatusNew : public CDecodedResponse
{
public:
    static constexpr std::uint32_t ms_Selector = 4u;
    static constexpr std::uint32_t ms_StatusNewLength = 52u;
    static constexpr std::uint16_t ms_Command = 0x0200u;
    static constexpr std::uint32_t ms_StatusOffset = 8u;
    static constexpr std::uint32_t ms_DataOffset = 10u;
    static constexpr std::uint16_t ms_Data = 0x5000u;
    static constexpr std::uint32_t ms_VersionOffset = 12u;
    static constexpr std::uint8_t ms_Version1 = 1u;
    static constexpr std::uint32_t ms_BitFlags1Offset = 44u;
    static constexpr std::uint32_t ms_FailSafeFlag = 16u;

    /// At least 52 bytes with selector 4, command 0x0200, data 0x5000 and version 1; false for a shorter
    /// response. Raises 0xE200 for a null response.
    static bool IsStatusNew(std::uint16_t responseLength, const std::uint8_t* response);

    // The status fields raise 0xE200 for a null response and 0xE2CA (information1 = responseLength) for one
    // shorter than 52 bytes.

    static std::uint16_t GetData(std::uint16_t responseLength, const std::uint8_t* response);
    static std::uint8_t GetVersion(std::uint16_t responseLength, const std::uint8_t* response);
    static std::uint16_t GetStatus(std::uint16_t responseLength, const std::uint8_t* response);
    static bool GetFailSafeFlag(std::uint16_t responseLength, const std::uint8_t* response);
    /// Sets the fail-safe bit when the checker failed; otherwise leaves the SCM's own bit as it is.
    static void SetFailSafeFlag(std::uint16_t responseLength, std::uint8_t* rawResponse, bool checkerFailed);

    /// Calls VisitStatusNew.
    void Accept(CDecodedResponseVisitor& visitor) override;
    std::uint16_t GetStatus() const;
    /// The command succeeded: status 0.
    bool IsSuccessful() const;
    bool GetFailSafeFlag() const;
    /// The fail-safe bit is clear.
    bool IsOk() const;
    void SetFailSafeFlag(bool checkerFailed);
};
} // namespace Hmi

#endif
