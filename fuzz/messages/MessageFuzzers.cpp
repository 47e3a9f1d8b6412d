// Fuzz targets of the operator command, response and event decoders, one per build (SCM_FUZZ_COMMAND,
// SCM_FUZZ_RESPONSE, SCM_FUZZ_EVENT): scm-decode's formatting reads every field of the decoded class, and a
// refusal must carry the decoder's own code. Responses are also changed the way the session changes them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "Event/CEventDecoderEventCode.h"
#include "Hmi/CCommandDecoderEventCode.h"
#include "Hmi/CDecodedDiagnosis.h"
#include "Hmi/CDecodedResponseVisitor.h"
#include "Hmi/CDecodedStatus.h"
#include "Hmi/CDecodedStatusNew.h"
#include "Hmi/CObjectDictionary.h"
#include "Hmi/CResponseDecoder.h"
#include "Hmi/CResponseDecoderEventCode.h"
#include "fuzz/common/CExactCopy.h"
#include "fuzz/common/FuzzSupport.h"
#include "tools/scm-decode/MessageFormat.h"

namespace
{
// A refusal line of scm-decode starts with "error=0xNNNN".
void RequireRefusal(const ScmDecode::CDecodeResult& result, std::uint16_t allowed, const char* parser)
{
    if (!result.m_refused)
    {
        return;
    }
    FUZZ_REQUIRE(result.m_line.compare(0u, 8u, "error=0x") == 0, "a refusal line names its code");
    const auto code = static_cast<std::uint16_t>(std::strtoul(result.m_line.c_str() + 8, nullptr, 16));
    Fuzz::RequireRefusal(Util::CException(code), {allowed}, parser);
}

#if defined(SCM_FUZZ_RESPONSE)
// Answers every odd index with its sub-index, as a dictionary with holes would.
class CDictionary : public Hmi::CObjectDictionary
{
public:
    bool TryGetObject(std::uint16_t index, std::uint8_t subIndex, std::uint8_t& error,
                      std::uint32_t& value) const override
    {
        if ((index & 1u) == 0u)
        {
            return false;
        }
        error = static_cast<std::uint8_t>(subIndex & 1u);
        value = subIndex;
        return true;
    }
};

// What the session does to a response before it forwards it.
class CSessionChanges : public Hmi::CDecodedResponseVisitor
{
public:
    void VisitStatus(Hmi::CDecodedStatus& response) override
    {
        if (response.IsSuccessful() && response.IsOk())
        {
            response.SetFailSafeFlags(response.GetFailSafeFlags() == 0u);
        }
        (void)response.GetStatus();
    }
    void VisitStatusNew(Hmi::CDecodedStatusNew& response) override
    {
        if (response.IsSuccessful() && response.IsOk())
        {
            response.SetFailSafeFlag(!response.GetFailSafeFlag());
        }
        (void)response.GetStatus();
    }
    void VisitDiagnosis(Hmi::CDecodedDiagnosis& response) override
    {
        response.FillIn(CDictionary());
    }
};

Hmi::CResponseDecoder responseDecoder;
#endif
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
#if defined(SCM_FUZZ_COMMAND)
    if (size > 0xFFu)
    {
        return 0;
    }
    RequireRefusal(ScmDecode::FormatCommand(Support::Bytes(data, data + size)),
                   Hmi::CCommandDecoderEventCode::CommandTooShort, "the command decoder");
#elif defined(SCM_FUZZ_EVENT)
    if (size > 0xFFu)
    {
        return 0;
    }
    RequireRefusal(ScmDecode::FormatEvent(Support::Bytes(data, data + size)),
                   Event::CEventDecoderEventCode::EventTooShort, "the event decoder");
#elif defined(SCM_FUZZ_RESPONSE)
    if (size > 0xFFFFu)
    {
        return 0;
    }
    RequireRefusal(ScmDecode::FormatResponse(Support::Bytes(data, data + size)),
                   Hmi::CResponseDecoderEventCode::ResponseTooShort, "the response decoder");
    const Fuzz::CExactCopy response(data, size);
    try
    {
        Hmi::CDecodedResponse& decoded =
            responseDecoder.GetDecodedResponse(static_cast<std::uint16_t>(size), response.Data());
        CSessionChanges changes;
        decoded.Accept(changes);
    }
    catch (const Util::CException& refusal)
    {
        Fuzz::RequireRefusal(refusal, {Hmi::CResponseDecoderEventCode::ResponseTooShort}, "the response decoder");
    }
#else
#error "one of SCM_FUZZ_COMMAND, SCM_FUZZ_RESPONSE, SCM_FUZZ_EVENT"
#endif
    return 0;
}
