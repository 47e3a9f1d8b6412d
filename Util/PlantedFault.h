// Faults that a fuzz build can switch on, to show that a fuzz target finds them. Only fuzz builds define
// SCM_PLANTABLE_FAULTS; there the environment variable SCM_PLANTED_FAULT names the one fault to switch on. In every
// other build each fault is the constant 0 and leaves its bounds check as it is.
#ifndef UTIL_PLANTEDFAULT_H
#define UTIL_PLANTEDFAULT_H

#if defined(SCM_PLANTABLE_FAULTS)
#include <cstdlib>
#include <cstring>
#endif

namespace Util
{
namespace PlantedFault
{
/// One name per planted fault; fuzz/README.md says which fuzz target finds which.
enum Name : unsigned
{
    None,
    FrameSegmentLength,
    CommandPasswordLength,
    DiagnosisObjectCount,
    EventLength,
    TesseraUidLength,
    TesseraDatHeader,
    TolParaSafCrcTable,
    AutoCnfBinHeader,
    EmoData1BinHeader,
    ParData1BinHeader,
    FwRevCnfBinAuthentification,
    ParameterRecordEnd,
    FailSafeKeepsFrames,
    NameCount
};

#if defined(SCM_PLANTABLE_FAULTS)
/// The fault that SCM_PLANTED_FAULT names, read once; None when it is unset or names none.
inline Name GetPlanted()
{
    static const Name planted = []
    {
        static const char* const names[NameCount] = {"None",
                                                     "FrameSegmentLength",
                                                     "CommandPasswordLength",
                                                     "DiagnosisObjectCount",
                                                     "EventLength",
                                                     "TesseraUidLength",
                                                     "TesseraDatHeader",
                                                     "TolParaSafCrcTable",
                                                     "AutoCnfBinHeader",
                                                     "EmoData1BinHeader",
                                                     "ParData1BinHeader",
                                                     "FwRevCnfBinAuthentification",
                                                     "ParameterRecordEnd",
                                                     "FailSafeKeepsFrames"};
        const char* value = std::getenv("SCM_PLANTED_FAULT");
        for (unsigned i = 1u; (value != nullptr) && (i < NameCount); ++i)
        {
            if (std::strcmp(value, names[i]) == 0)
            {
                return static_cast<Name>(i);
            }
        }
        return None;
    }();
    return planted;
}
#endif
} // namespace PlantedFault
} // namespace Util

#if defined(SCM_PLANTABLE_FAULTS)
/// 1 where the named fault is planted, else 0: an off-by-one added to a bounds check, or a step skipped.
#define SCM_PLANTED_FAULT_ON(name) ((::Util::PlantedFault::GetPlanted() == ::Util::PlantedFault::name) ? 1u : 0u)
#else
#define SCM_PLANTED_FAULT_ON(name) 0u
#endif

#endif
