// A file buffer of the checker's length whose bytes past the content are poisoned.
#include "fuzz/common/CPoisonedBuffer.h"

#include <sanitizer/asan_interface.h>

#include <cstring>

#include "fuzz/common/FuzzSupport.h"

namespace Fuzz
{
CPoisonedBuffer::CPoisonedBuffer(std::uint32_t bufferLength)
    : m_data(new std::uint8_t[bufferLength]()), m_bufferLength(bufferLength)
{
}

CPoisonedBuffer::~CPoisonedBuffer()
{
    ASAN_UNPOISON_MEMORY_REGION(m_data.get(), m_bufferLength);
}

void CPoisonedBuffer::Load(const std::uint8_t* content, std::uint32_t contentLength)
{
    FUZZ_REQUIRE(contentLength <= m_bufferLength, "content fits the buffer");
    ASAN_UNPOISON_MEMORY_REGION(m_data.get(), contentLength);
    if (contentLength != 0u)
    {
        std::memcpy(m_data.get(), content, contentLength);
    }
    ASAN_POISON_MEMORY_REGION(m_data.get() + contentLength, m_bufferLength - contentLength);
}
} // namespace Fuzz
