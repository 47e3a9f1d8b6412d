// Shared by the fuzz targets: the rule check that ends a run, input buffers that end exactly where the input
// ends, and the check that a refusal carries one of the codes its parser documents.
#ifndef FUZZ_COMMON_FUZZSUPPORT_H
#define FUZZ_COMMON_FUZZSUPPORT_H

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>

#include "Util/CException.h"

namespace Fuzz
{
/// Prints the broken rule and aborts, so that libFuzzer keeps the input as a crash.
[[noreturn]] void Fail(const char* rule, const char* file, int line);

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

/// Aborts unless the refusal has one of the allowed codes; the guard code 0xE200 is never allowed, since no
/// input may bring a parser into a state its callers must never produce.
void RequireRefusal(const Util::CException& refusal, std::initializer_list<std::uint16_t> allowed, const char* parser);
} // namespace Fuzz

#define FUZZ_REQUIRE(condition, rule) ((condition) ? (void)0 : ::Fuzz::Fail((rule), __FILE__, __LINE__))

#endif
