// The SCM's status response in its older 280-byte form, with the fail-safe flags the checker rewrites.
#ifndef HMI_CDECODEDSTATUS_H
#define HMI_CDECODEDSTATUS_H

#include <cstdint>

#include "Hmi/CDecodedResponse.h"

namespace Hmi
{
/// Selector 4, at least 280 bytes: the status header RStatus_t (usCommand at 4, usNumber at 6, usStatus at 8;
/// status 0 is success) and, among the SCM's state, the fail-safe flags byte ucFailSafe at offset 23.
class CDecodedStatus : public CDecodedResponse
{
public:
    static constexpr std::uint32_t ms_Selector = 4u;
    static constexpr std::uint32_t ms_StatusLength = 280u;
    static constexpr std::uint32_t ms_StatusOffset = 8u;
    static constexpr std::uint32_t ms_FailSafeFlagsOffset = 23u;
    /// Neither the SCM nor the checker is fail-safe.
    static constexpr std::uint8_t ms_Ok = 0x55u;
    /// What the SCM reports when it is fail-safe.
    static constexpr std::uint8_t ms_FailSafe = 0xAAu;
    static constexpr std::uint8_t ms_ScmFailSafeFlag = 0x02u;
    static constexpr std::uint8_t ms_CheckerFailSafeFlag = 0x04u;

    /// At least 280 bytes with selector 4; false for a shorter response. Raises 0xE200 for a null response.
    static bool IsStatus(std::uint16_t responseLength, const std::uint8_t* response);

    // The status fields raise 0xE200 for a null response and 0xE2CA (information1 = responseLength) for one
    // shorter than 280 bytes.

    static std::uint16_t GetStatus(std::uint16_t responseLength, const std::uint8_t* response);
    static std::uint8_t GetFailSafeFlags(std::uint16_t responseLength, const std::uint8_t* response);
    /// Writes the checker's state into the flags: 0x55 stays 0x55, or becomes 0x04 when the checker failed; any
    /// other value (the SCM is fail-safe) becomes 0x02, or 0x06 when the checker failed too.
    static void SetFailSafeFlags(std::uint16_t responseLength, std::uint8_t* rawResponse, bool checkerFailed);

    /// Calls VisitStatus.
    void Accept(CDecodedResponseVisitor& visitor) override;
    std::uint16_t GetStatus() const;
    /// The command succeeded: status 0.
    bool IsSuccessful() const;
    std::uint8_t GetFailSafeFlags() const;
    /// The flags are ms_Ok.
    bool IsOk() const;
    void SetFailSafeFlags(bool checkerFailed);
};
} // namespace Hmi

#endif
