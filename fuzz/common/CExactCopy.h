// The fuzz input in a heap block of exactly its length.
#ifndef FUZZ_COMMON_CEXACTCOPY_H
#define FUZZ_COMMON_CEXACTCOPY_H

#include <cstddef>
#include <cstdint>
#include <memory>

namespace Fuzz
{
/// The input in a heap block of exactly its length (one unused byte for an empty input, passed with length 0), so
/// that AddressSanitizer reports a read one byte past it.
class CExactCopy
{
public:
    CExactCopy(const std::uint8_t* data, std::size_t size);
    std::uint8_t* Data() const
    {
        return m_data.get();
    }
    std::size_t Size() const
    {
        return m_size;
    }

private:
    std::unique_ptr<std::uint8_t[]> m_data;
    std::size_t m_size;
};
} // namespace Fuzz

#endif
