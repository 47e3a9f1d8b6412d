// Common base of every decoded response from the SCM: the selector and the command field.
#ifndef HMI_CDECODEDRESPONSE_H
#define HMI_CDECODEDRESPONSE_H

#include <cstdint>

namespace Hmi
{
class CDecodedResponseVisitor;

/// A response as the SCM sends it (little-endian): a 4-byte selector, then a 16-bit command field. Unlike other
/// decoded messages it refers to a writable buffer, since the checker may change a response before forwarding it.
/// Valid until the owning decoder decodes the next response.
class CDecodedResponse
{
public:
    static constexpr std::uint32_t ms_SelectorLength = 4u;
    static constexpr std::uint32_t ms_CommandOffset = 4u;
    /// The length below which the selector and the command field are not read.
    static constexpr std::uint32_t ms_ResponseLengthMin = 13u;

    CDecodedResponse();
    CDecodedResponse(const CDecodedResponse&) = delete;
    CDecodedResponse& operator=(const CDecodedResponse&) = delete;

    /// Calls the visitor operation named after the concrete class, or none for an unknown response.
    virtual void Accept(CDecodedResponseVisitor& visitor) = 0;
    virtual ~CDecodedResponse();

    /// Stores the response without checking it; only the response decoder calls it.
    void Initialize(std::uint16_t responseLength, std::uint8_t* response);

    /// Raises 0xE200 for a null response and 0xE2CA (information1 = responseLength) below ms_ResponseLengthMin.
    static std::uint32_t GetSelector(std::uint16_t responseLength, const std::uint8_t* response);
    /// Raises 0xE200 for a null response and 0xE2CA (information1 = responseLength) below ms_ResponseLengthMin.
    static std::uint16_t GetCommand(std::uint16_t responseLength, const std::uint8_t* response);

protected:
    /// Raises 0xE200 for a null response and 0xE2CA (information1 = responseLength) below requiredLength.
    static void CheckResponse(std::uint16_t responseLength, const std::uint8_t* response, std::uint32_t requiredLength);
    std::uint16_t GetResponseLength() const;
    std::uint8_t* GetResponse() const;

private:
    std::uint16_t m_responseLength;
    std::uint8_t* m_response;
};
} // namespace Hmi

#endif
