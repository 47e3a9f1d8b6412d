// Decoding of frames, commands, responses and events into key=value lines.
#include "tools/scm-decode/MessageFormat.h"

#include <cstdio>
#include <sstream>

#include "Epls/CDecodedFrameVisitor.h"
#include "Epls/CFrameDecoder.h"
#include "Epls/Id.h"
#include "Event/CDecodedEventVisitor.h"
#include "Event/CEventDecoder.h"
#include "Hmi/CCommandDecoder.h"
#include "Hmi/CDecodedCommandVisitor.h"
#include "Hmi/CDecodedResponseVisitor.h"
#include "Hmi/CResponseDecoder.h"
#include "Scm/ScmCheckerEventCode.h"
#include "Util/ByteOrder.h"
#include "Util/CException.h"

namespace ScmDecode
{
namespace
{
std::string Hex(unsigned value, int digits)
{
    char text[16];
    (void)std::snprintf(text, sizeof(text), "0x%0*X", digits, value);
    return text;
}

std::string Bytes(const std::uint8_t* data, std::size_t length)
{
    return Support::ToHex(data, length);
}

// An empty message has no buffer; the decoders still get one, so that they report the length 0.
const std::uint8_t* DataOf(const Support::Bytes& bytes)
{
    static const std::uint8_t none = 0u;
    return bytes.empty() ? &none : bytes.data();
}

std::string Refusal(const Util::CException& exception)
{
    const char* name = ScmGetEventCodeName(exception.m_eventCode);
    std::ostringstream line;
    line << "error=" << Hex(exception.m_eventCode, 4) << " name=" << ((name != nullptr) ? name : "Unknown")
         << " info0=" << exception.m_information0 << " info1=" << exception.m_information1;
    return line.str();
}

// Runs the decoding and formatting; a refusal anywhere on the way replaces the line.
template <typename Format> CDecodeResult Decode(Format format)
{
    try
    {
        return {format(), false};
    }
    catch (const Util::CException& exception)
    {
        return {Refusal(exception), true};
    }
}

// The class name and the fields of the class's own accessors, in the order they are printed.
class CFrameFields : public Epls::CDecodedFrameVisitor
{
public:
    void VisitSnmtAssignSadr(const Epls::CDecodedSnmtAssignSadr& frame) override
    {
        Class("CDecodedSnmtAssignSadr");
        m_fields << " sadr=" << frame.GetSafetyAddress() << " udid=" << Bytes(frame.GetUdid(), 6u);
    }
    void VisitSnmtAssignUdidScm(const Epls::CDecodedSnmtAssignUdidScm& frame) override
    {
        Class("CDecodedSnmtAssignUdidScm");
        Service(frame);
        m_fields << " scm_udid=" << Bytes(frame.GetScmUdid(), 6u);
    }
    void VisitSnmtResponseUdid(const Epls::CDecodedSnmtResponseUdid& frame) override
    {
        Class("CDecodedSnmtResponseUdid");
        m_fields << " sadr=" << frame.GetSafetyAddress() << " udid=" << Bytes(frame.GetUdid(), 6u);
    }
    void VisitSnmtSadrAssigned(const Epls::CDecodedSnmtSadrAssigned& frame) override
    {
        Class("CDecodedSnmtSadrAssigned");
        m_fields << " sadr=" << frame.GetSafetyAddress() << " udid=" << Bytes(frame.GetUdid(), 6u);
    }
    void VisitSnmtSnSetToOp(const Epls::CDecodedSnmtSnSetToOp& frame) override
    {
        Class("CDecodedSnmtSnSetToOp");
        Service(frame);
        m_fields << " sadr=" << frame.GetSafetyAddress();
    }
    void VisitSnmtSnFail(const Epls::CDecodedSnmtSnFail& frame) override
    {
        Class("CDecodedSnmtSnFail");
        Error(frame);
    }
    void VisitSnmtSnAck(const Epls::CDecodedSnmtSnAck& frame) override
    {
        Class("CDecodedSnmtSnAck");
        Error(frame);
    }
    void
    VisitSsdoUploadInitiateExpeditedResponse(const Epls::CDecodedSsdoUploadInitiateExpeditedResponse& frame) override
    {
        Class("CDecodedSsdoUploadInitiateExpeditedResponse");
        Initiate(frame);
    }
    void
    VisitSsdoUploadInitiateSegmentedResponse(const Epls::CDecodedSsdoUploadInitiateSegmentedResponse& frame) override
    {
        Class("CDecodedSsdoUploadInitiateSegmentedResponse");
        Initiate(frame);
    }
    void VisitSsdoUploadMiddleSegmentResponse(const Epls::CDecodedSsdoUploadMiddleSegmentResponse& frame) override
    {
        Class("CDecodedSsdoUploadMiddleSegmentResponse");
        Segment(frame);
    }
    void VisitSsdoUploadEndSegmentResponse(const Epls::CDecodedSsdoUploadEndSegmentResponse& frame) override
    {
        Class("CDecodedSsdoUploadEndSegmentResponse");
        Segment(frame);
    }
    void
    VisitSsdoDownloadInitiateExpeditedRequest(const Epls::CDecodedSsdoDownloadInitiateExpeditedRequest& frame) override
    {
        Class("CDecodedSsdoDownloadInitiateExpeditedRequest");
        Initiate(frame);
    }
    void
    VisitSsdoDownloadInitiateSegmentedRequest(const Epls::CDecodedSsdoDownloadInitiateSegmentedRequest& frame) override
    {
        Class("CDecodedSsdoDownloadInitiateSegmentedRequest");
        Initiate(frame);
    }
    void VisitSsdoDownloadMiddleSegmentRequest(const Epls::CDecodedSsdoDownloadMiddleSegmentRequest& frame) override
    {
        Class("CDecodedSsdoDownloadMiddleSegmentRequest");
        Segment(frame);
    }
    void VisitSsdoDownloadEndSegmentRequest(const Epls::CDecodedSsdoDownloadEndSegmentRequest& frame) override
    {
        Class("CDecodedSsdoDownloadEndSegmentRequest");
        Segment(frame);
    }

    const char* m_className = "CDecodedUnknownFrame";
    std::ostringstream m_fields;

private:
    void Class(const char* className)
    {
        m_className = className;
    }
    template <typename Frame> void Service(const Frame& frame)
    {
        m_fields << " service=" << static_cast<unsigned>(frame.GetDbs()[0]);
    }
    template <typename Frame> void Error(const Frame& frame)
    {
        Service(frame);
        m_fields << " sadr=" << frame.GetSafetyAddress()
                 << " error_group=" << static_cast<unsigned>(frame.GetErrorGroup())
                 << " error_code=" << static_cast<unsigned>(frame.GetErrorCode());
    }
    template <typename Frame> void Initiate(const Frame& frame)
    {
        m_fields << " command=" << Hex(frame.GetDbs()[0], 2) << " sadr=" << frame.GetSafetyAddress()
                 << " index=" << Hex(frame.GetIndex(), 4) << " subindex=" << static_cast<unsigned>(frame.GetSubIndex())
                 << " data=" << Bytes(frame.GetParameterData(), frame.GetParameterDataLength());
    }
    template <typename Frame> void Segment(const Frame& frame)
    {
        m_fields << " command=" << Hex(frame.GetDbs()[0], 2) << " sadr=" << frame.GetSafetyAddress()
                 << " data=" << Bytes(frame.GetParameterData(), frame.GetParameterDataLength());
    }
};

class CCommandFields : public Hmi::CDecodedCommandVisitor
{
public:
    void VisitChangePassword(const Hmi::CDecodedChangePassword& command) override
    {
        m_className = "CDecodedChangePassword";
        m_fields << " new_password=" << Bytes(command.GetChangedPassword(), Hmi::CDecodedCommand::ms_PasswordLength);
    }
    void VisitAcknowledgeTessera(const Hmi::CDecodedAcknowledgeTessera& /*command*/) override
    {
        m_className = "CDecodedAcknowledgeTessera";
    }
    void VisitAcknowledgeModules(const Hmi::CDecodedAcknowledgeModules& command) override
    {
        m_className = "CDecodedAcknowledgeModules";
        m_fields << " count=" << static_cast<int>(command.GetAcknowledgedModuleCount());
    }
    void VisitAcknowledgeFirmware(const Hmi::CDecodedAcknowledgeFirmware& /*command*/) override
    {
        m_className = "CDecodedAcknowledgeFirmware";
    }
    void VisitRequestStatus(const Hmi::CDecodedRequestStatus& /*command*/) override
    {
        m_className = "CDecodedRequestStatus";
    }
    void VisitActivateSetupMode(const Hmi::CDecodedActivateSetupMode& /*command*/) override
    {
        m_className = "CDecodedActivateSetupMode";
    }
    void VisitDeactivateSetupMode(const Hmi::CDecodedDeactivateSetupMode& /*command*/) override
    {
        m_className = "CDecodedDeactivateSetupMode";
    }

    const char* m_className = "CDecodedUnknownCommand";
    std::ostringstream m_fields;
};

class CResponseFields : public Hmi::CDecodedResponseVisitor
{
public:
    explicit CResponseFields(const Support::Bytes& response) : m_response(response) {}

    void VisitStatus(Hmi::CDecodedStatus& response) override
    {
        m_className = "CDecodedStatus";
        m_fields << " status=" << response.GetStatus() << " successful=" << response.IsSuccessful()
                 << " fail_safe_flags=" << static_cast<unsigned>(response.GetFailSafeFlags())
                 << " ok=" << response.IsOk();
    }
    void VisitStatusNew(Hmi::CDecodedStatusNew& response) override
    {
        m_className = "CDecodedStatusNew";
        m_fields << " status=" << response.GetStatus() << " successful=" << response.IsSuccessful()
                 << " fail_safe_flag=" << response.GetFailSafeFlag() << " ok=" << response.IsOk();
    }
    void VisitDiagnosis(Hmi::CDecodedDiagnosis& response) override
    {
        using Diagnosis = Hmi::CDecodedDiagnosis;
        m_className = "CDecodedDiagnosis";
        const auto length = static_cast<std::uint16_t>(m_response.size());
        m_fields << " version=" << (Diagnosis::GetVersion(length, m_response.data()) & 0xFFu)
                 << " data=" << Diagnosis::GetData(length, m_response.data())
                 << " objects=" << response.GetObjectCount();
        for (std::uint16_t i = 0u; i < response.GetObjectCount(); ++i)
        {
            const std::uint8_t* object = m_response.data() + Diagnosis::ms_ObjectsOffset +
                                         (static_cast<std::size_t>(i) * Diagnosis::ms_ObjectLength);
            m_fields << " index" << i << '='
                     << Hex(Util::GetLittleEndianUInt16(object, Diagnosis::ms_ObjectIndexOffset), 4) << " subindex" << i
                     << '=' << static_cast<unsigned>(object[Diagnosis::ms_ObjectSubIndexOffset]) << " error" << i << '='
                     << static_cast<unsigned>(object[Diagnosis::ms_ObjectErrorOffset]) << " value" << i << '='
                     << Util::GetLittleEndianUInt32(object, Diagnosis::ms_ObjectDataOffset);
        }
    }

    const char* m_className = "CDecodedUnknownResponse";
    std::ostringstream m_fields;

private:
    const Support::Bytes& m_response;
};

class CEventFields : public Event::CDecodedEventVisitor
{
public:
    void VisitTesseraAcknowledged(const Event::CDecodedTesseraAcknowledged& event) override
    {
        m_className = "CDecodedTesseraAcknowledged";
        Kind(event);
    }
    void VisitModulesAcknowledged(const Event::CDecodedModulesAcknowledged& event) override
    {
        m_className = "CDecodedModulesAcknowledged";
        Kind(event);
        m_fields << " count=" << event.GetAcknowledgedModuleCount();
    }
    void VisitFirmwareAcknowledged(const Event::CDecodedFirmwareAcknowledged& event) override
    {
        m_className = "CDecodedFirmwareAcknowledged";
        Kind(event);
    }

    const char* m_className = "CDecodedUnknownEvent";
    std::ostringstream m_fields;

private:
    void Kind(const Event::CDecodedAcknowledged& event)
    {
        m_fields << " kind="
                 << ((event.GetKind() == Event::CDecodedAcknowledged::SetupMode) ? "SetupMode" : "Automatic");
    }
};
} // namespace

CDecodeResult FormatFrame(const Support::Bytes& frame, const Support::Udid& scmUdid)
{
    return Decode(
        [&]
        {
            Epls::CFrameDecoder decoder;
            const Epls::CDecodedFrame& decoded =
                decoder.GetDecodedFrame(static_cast<std::uint16_t>(frame.size()), DataOf(frame), scmUdid.data());
            CFrameFields fields;
            decoded.Accept(fields);
            std::ostringstream line;
            line << "class=" << fields.m_className << " id=" << Hex(decoded.GetId(), 2) << " adr=" << decoded.GetAdr()
                 << " sdn=" << decoded.GetSdn() << " le=" << static_cast<unsigned>(decoded.GetLe())
                 << " ct=" << decoded.GetCt() << " tadr=" << decoded.GetTadr()
                 << " tr=" << static_cast<unsigned>(decoded.GetTr());
            const std::string classFields = fields.m_fields.str();
            if (!classFields.empty())
            {
                line << classFields;
            }
            else if (decoded.GetLe() > 0u)
            {
                // Frames the checker does not inspect still show what classified them.
                const std::uint8_t id = decoded.GetId();
                if ((id == Epls::Id::SnmtExtendedServiceRequest) || (id == Epls::Id::SnmtExtendedServiceResponse))
                {
                    line << " service=" << static_cast<unsigned>(decoded.GetDbs()[0]);
                }
                else if (Epls::Id::IsSsdo(id))
                {
                    line << " command=" << Hex(decoded.GetDbs()[0], 2);
                }
            }
            return line.str();
        });
}

CDecodeResult FormatCommand(const Support::Bytes& command)
{
    return Decode(
        [&]
        {
            Hmi::CCommandDecoder decoder;
            const auto length = static_cast<std::uint8_t>(command.size());
            const Hmi::CDecodedCommand& decoded = decoder.GetDecodedCommand(length, DataOf(command));
            CCommandFields fields;
            decoded.Accept(fields);
            std::ostringstream line;
            line << "class=" << fields.m_className
                 << " selector=" << Hmi::CDecodedCommand::GetSelector(length, command.data())
                 << " command=" << Hex(decoded.GetCommand(), 4) << " number=" << decoded.GetNumber()
                 << " data=" << Hex(decoded.GetData(), 4)
                 << " password=" << Bytes(decoded.GetPassword(), Hmi::CDecodedCommand::ms_PasswordLength)
                 << fields.m_fields.str();
            return line.str();
        });
}

CDecodeResult FormatResponse(const Support::Bytes& response)
{
    return Decode(
        [&]
        {
            // The decoder works on a writable buffer; the tool decodes a copy and changes nothing.
            Support::Bytes copy = response;
            const auto length = static_cast<std::uint16_t>(copy.size());
            if (copy.empty())
            {
                copy.push_back(0u);
            }
            Hmi::CResponseDecoder decoder;
            Hmi::CDecodedResponse& decoded = decoder.GetDecodedResponse(length, copy.data());
            CResponseFields fields(response);
            decoded.Accept(fields);
            std::ostringstream line;
            line << "class=" << fields.m_className << " length=" << length;
            if (length >= Hmi::CDecodedResponse::ms_ResponseLengthMin)
            {
                line << " selector=" << Hmi::CDecodedResponse::GetSelector(length, copy.data())
                     << " command=" << Hex(Hmi::CDecodedResponse::GetCommand(length, copy.data()), 4);
            }
            line << fields.m_fields.str();
            return line.str();
        });
}

CDecodeResult FormatEvent(const Support::Bytes& event)
{
    return Decode(
        [&]
        {
            Event::CEventDecoder decoder;
            const auto length = static_cast<std::uint8_t>(event.size());
            const Event::CDecodedEvent& decoded = decoder.GetDecodedEvent(length, DataOf(event));
            CEventFields fields;
            decoded.Accept(fields);
            std::ostringstream line;
            line << "class=" << fields.m_className << " level=" << static_cast<unsigned>(decoded.GetLevel())
                 << " code=" << Hex(decoded.GetCode(), 4) << " info0=" << decoded.GetInformation0()
                 << " info1=" << decoded.GetInformation1() << fields.m_fields.str();
            return line.str();
        });
}
} // namespace ScmDecode
