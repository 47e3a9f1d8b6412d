// Shared by the fuzz targets: rule checks, exact and poisoned buffers.
#include "fuzz/common/FuzzSupport.h"

#include <sanitizer/asan_interface.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Fuzz
{
void Fail(const char* rule, const char* file, int line)
{
    (void)std::fprintf(stderr, "\n== rule broken: %s (%s:%d)\n", rule, file, line);
    std::abort();
}

CExactCopy::CExactCopy(const std::uint8_t* data, std::size_t size)
    : m_data(new std::uint8_t[(size == 0u) ? 1u : size]), m_size(size)
{
    if (size != 0u)
    {
        std::memcpy(m_data.get(), data, size);
    }
}

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

void RequireRefusal(const Util::CException& refusal, std::initializer_list<std::uint16_t> allowed, const char* parser)
{
    for (const std::uint16_t code : allowed)
    {
        if (refusal.m_eventCode == code)
        {
            return;
        }
    }
    (void)std::fprintf(stderr, "\n== %s refused with 0x%04X (information0 %u, information1 %u)\n", parser,
                       unsigned{refusal.m_eventCode}, unsigned{refusal.m_information0},
                       static_cast<unsigned>(refusal.m_information1));
    Fail("a parser refuses input only with its documented codes", __FILE__, __LINE__);
}
} // namespace Fuzz
