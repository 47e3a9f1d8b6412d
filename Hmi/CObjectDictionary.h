// The objects whose values the checker answers itself in diagnosis responses.
#ifndef HMI_COBJECTDICTIONARY_H
#define HMI_COBJECTDICTIONARY_H

#include <cstdint>

namespace Hmi
{
/// Implemented by the session. Never deleted through this interface, hence the protected destructor.
class CObjectDictionary
{
public:
    /// False when the dictionary does not hold the object at index (nothing written). True when it does; then
    /// error is set (0: value is valid and set; otherwise an error code to report, such as 2 for an unknown
    /// sub-index).
    virtual bool TryGetObject(std::uint16_t index, std::uint8_t subIndex, std::uint8_t& error,
                              std::uint32_t& value) const = 0;

protected:
    ~CObjectDictionary() = default;
};
} // namespace Hmi

#endif
