// Shared by the fuzz targets: rule checks.
#include "fuzz/common/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>

namespace Fuzz
{
void Fail(const char* rule, const char* file, int line)
{
    (void)std::fprintf(stderr, "\n== rule broken: %s (%s:%d)\n", rule, file, line);
    std::abort();
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
