// The fuzz input in a heap block of exactly its length.
#include "fuzz/common/CExactCopy.h"

#include <cstring>

namespace Fuzz
{
CExactCopy::CExactCopy(const std::uint8_t* data, std::size_t size)
    : m_data(new std::uint8_t[(size == 0u) ? 1u : size]), m_size(size)
{
    if (size != 0u)
    {
        std::memcpy(m_data.get(), data, size);
    }
}
} // namespace Fuzz
