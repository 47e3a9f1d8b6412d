// Shared by the fuzz targets: the rule check that ends a run, and the check that a refusal carries one of the
// codes its parser documents.
#ifndef FUZZ_COMMON_FUZZSUPPORT_H
#define FUZZ_COMMON_FUZZSUPPORT_H

#include <cstdint>
#include <initializer_list>

#include "Util/CException.h"

namespace Fuzz
{
/// Prints the broken rule and aborts, so that libFuzzer keeps the input as a crash.
[[noreturn]] void Fail(const char* rule, const char* file, int line);

/// Aborts unless the refusal has one of the allowed codes; the guard code 0xE200 is never allowed, since no
/// input may bring a parser into a state its callers must never produce.
void RequireRefusal(const Util::CException& refusal, std::initializer_list<std::uint16_t> allowed, const char* parser);
} // namespace Fuzz

#define FUZZ_REQUIRE(condition, rule) ((condition) ? (void)0 : ::Fuzz::Fail((rule), __FILE__, __LINE__))

#endif
