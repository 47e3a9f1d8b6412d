// A file buffer of the checker's length whose bytes past the content are poisoned.
#ifndef FUZZ_COMMON_CPOISONEDBUFFER_H
#define FUZZ_COMMON_CPOISONEDBUFFER_H

#include <cstdint>
#include <memory>

namespace Fuzz
{
/// A buffer of the checker's length for a file, kept across runs as the checker keeps its own: Load puts the
/// content at its start and poisons every byte after it, so that the file classes get the buffer they get in the
/// checker and a read past the content is reported.
class CPoisonedBuffer
{
public:
    explicit CPoisonedBuffer(std::uint32_t bufferLength);
    ~CPoisonedBuffer();
    CPoisonedBuffer(const CPoisonedBuffer&) = delete;
    CPoisonedBuffer& operator=(const CPoisonedBuffer&) = delete;

    void Load(const std::uint8_t* content, std::uint32_t contentLength);
    std::uint8_t* Data() const
    {
        return m_data.get();
    }

private:
    std::unique_ptr<std::uint8_t[]> m_data;
    std::uint32_t m_bufferLength;
};
} // namespace Fuzz

#endif
