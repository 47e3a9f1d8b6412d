// Additional-parameter inspector: compares downloaded additional-parameter headers with the catalog.
#include "Check/CCheckingAdditionalParameterInspector.h"

#include <algorithm>

#include "Check/CAdditionalParameterCatalog.h"
#include "Check/CAdditionalParameterCheckEventCode.h"
#include "Epls/CDecodedFrame.h"
#include "Epls/CDecodedSnmtAssignSadr.h"
#include "Epls/CDecodedSnmtSnFail.h"
#include "Epls/CDecodedSsdoDownloadEndSegmentRequest.h"
#include "Epls/CDecodedSsdoDownloadInitiateExpeditedRequest.h"
#include "Epls/CDecodedSsdoDownloadInitiateSegmentedRequest.h"
#include "Epls/CDecodedSsdoDownloadMiddleSegmentRequest.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"
#include "Util/Inversion.h"

namespace
{
constexpr std::uint32_t FileIdentifier = 0x62260FF6u;
}

namespace Check
{
CCheckingAdditionalParameterInspector::CCheckingAdditionalParameterInspector(
    const CAdditionalParameterCatalog& additionalParameterCatalog)
    : m_additionalParameterModeFlags{}, m_previousFrameNumber{}, m_segmentedDownloadRunningFlags{},
      m_additionalParameterHeaderLengths{}, m_invertedAdditionalParameterHeaderBuffers{},
      m_additionalParameterHeaderCheckedFlags{}, m_additionalParameterCatalog(additionalParameterCatalog), m_valid(true)
{
    for (auto& invertedHeader : m_invertedAdditionalParameterHeaderBuffers)
    {
        Util::ClearInvertedMemory(ms_HeaderLength, invertedHeader.data());
    }
}

void CCheckingAdditionalParameterInspector::InspectReceivedFrame(const Epls::CDecodedFrame& frame)
{
    frame.Accept(*this);
}

void CCheckingAdditionalParameterInspector::InspectSentFrame(const Epls::CDecodedFrame& frame)
{
    frame.Accept(*this);
}

bool CCheckingAdditionalParameterInspector::IsValid() const
{
    return m_valid;
}

void CCheckingAdditionalParameterInspector::VisitSnmtAssignSadr(const Epls::CDecodedSnmtAssignSadr& frame)
{
    m_additionalParameterModeFlags[GetModuleIndex(frame.GetSafetyAddress())] = false;
}

void CCheckingAdditionalParameterInspector::VisitSnmtSnFail(const Epls::CDecodedSnmtSnFail& frame)
{
    if (frame.GetErrorGroup() == ms_AdditionalParameterNeededErrorGroup)
    {
        m_additionalParameterModeFlags[GetModuleIndex(frame.GetSafetyAddress())] = true;
    }
}

void CCheckingAdditionalParameterInspector::VisitSsdoDownloadInitiateExpeditedRequest(
    const Epls::CDecodedSsdoDownloadInitiateExpeditedRequest& frame)
{
    const std::uint16_t safetyAddress = frame.GetSafetyAddress();
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    if (!m_additionalParameterModeFlags[i] || (frame.GetIndex() != ms_ParameterDownloadIndex) ||
        (frame.GetSubIndex() != ms_ParameterDownloadSubIndex))
    {
        return;
    }
    StartAdditionalParameterHeader(i);
    HandleParameterSetFragment(safetyAddress, frame.GetParameterDataLength(), frame.GetParameterData());
}

void CCheckingAdditionalParameterInspector::VisitSsdoDownloadInitiateSegmentedRequest(
    const Epls::CDecodedSsdoDownloadInitiateSegmentedRequest& frame)
{
    const std::uint16_t safetyAddress = frame.GetSafetyAddress();
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    if (!m_additionalParameterModeFlags[i] || (frame.GetIndex() != ms_ParameterDownloadIndex) ||
        (frame.GetSubIndex() != ms_ParameterDownloadSubIndex) ||
        (m_segmentedDownloadRunningFlags[i] && (frame.GetCt() == m_previousFrameNumber[i])))
    {
        return;
    }
    m_previousFrameNumber[i] = frame.GetCt();
    m_segmentedDownloadRunningFlags[i] = true;
    StartAdditionalParameterHeader(i);
    // The decoder refuses segmented initiate frames without the total length.
    SCM_GUARD(frame.GetParameterDataLength() >= ms_TotalParameterLengthLength);
    HandleParameterSetFragment(
        safetyAddress, static_cast<std::uint8_t>(frame.GetParameterDataLength() - ms_TotalParameterLengthLength),
        frame.GetParameterData() + ms_TotalParameterLengthLength);
}

void CCheckingAdditionalParameterInspector::VisitSsdoDownloadMiddleSegmentRequest(
    const Epls::CDecodedSsdoDownloadMiddleSegmentRequest& frame)
{
    const std::uint16_t safetyAddress = frame.GetSafetyAddress();
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    if (!m_additionalParameterModeFlags[i] || !m_segmentedDownloadRunningFlags[i] ||
        (m_previousFrameNumber[i] == frame.GetCt()))
    {
        return;
    }
    m_previousFrameNumber[i] = frame.GetCt();
    HandleParameterSetFragment(safetyAddress, frame.GetParameterDataLength(), frame.GetParameterData());
}

void CCheckingAdditionalParameterInspector::VisitSsdoDownloadEndSegmentRequest(
    const Epls::CDecodedSsdoDownloadEndSegmentRequest& frame)
{
    const std::uint16_t safetyAddress = frame.GetSafetyAddress();
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    if (!m_additionalParameterModeFlags[i] || !m_segmentedDownloadRunningFlags[i] ||
        (m_previousFrameNumber[i] == frame.GetCt()))
    {
        return;
    }
    m_segmentedDownloadRunningFlags[i] = false;
    HandleParameterSetFragment(safetyAddress, frame.GetParameterDataLength(), frame.GetParameterData());
}

void CCheckingAdditionalParameterInspector::StartAdditionalParameterHeader(std::uint32_t moduleIndex)
{
    m_additionalParameterHeaderLengths[moduleIndex] = 0u;
    m_additionalParameterHeaderCheckedFlags[moduleIndex] = false;
}

void CCheckingAdditionalParameterInspector::HandleParameterSetFragment(std::uint16_t safetyAddress,
                                                                       std::uint8_t fragmentLength,
                                                                       const std::uint8_t* fragment)
{
    SCM_GUARD(fragment != nullptr);
    if (!FinishReadingAdditionalParameterHeader(safetyAddress, fragmentLength, fragment))
    {
        return;
    }
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    // Marked only once the check returns: a refused header is refused again with every frame of its download.
    if (!m_additionalParameterHeaderCheckedFlags[i])
    {
        CheckAdditionalParameterHeader(safetyAddress);
        m_additionalParameterHeaderCheckedFlags[i] = true;
    }
}

bool CCheckingAdditionalParameterInspector::FinishReadingAdditionalParameterHeader(std::uint16_t safetyAddress,
                                                                                   std::uint8_t fragmentLength,
                                                                                   const std::uint8_t* fragment)
{
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    std::uint32_t& collected = m_additionalParameterHeaderLengths[i];
    const std::uint32_t taken = std::min<std::uint32_t>(fragmentLength, ms_HeaderLength - collected);
    Util::CopyInvertedMemory(taken, fragment, m_invertedAdditionalParameterHeaderBuffers[i].data() + collected);
    collected += taken;
    return collected == ms_HeaderLength;
}

void CCheckingAdditionalParameterInspector::CheckAdditionalParameterHeader(std::uint16_t safetyAddress)
{
    const auto& invertedHeader = m_invertedAdditionalParameterHeaderBuffers[GetModuleIndex(safetyAddress)];
    const std::uint8_t parameterNumber = Util::GetInvertedUInt8(invertedHeader[0]);
    if (!m_additionalParameterCatalog.HasAdditionalParameter(safetyAddress, parameterNumber))
    {
        m_valid = false;
        throw Util::CException(CAdditionalParameterCheckEventCode::UnknownAdditionalParameter, safetyAddress,
                               parameterNumber);
    }
    const std::uint8_t* expected =
        m_additionalParameterCatalog.GetInvertedAdditionalParameterHeader(safetyAddress, parameterNumber);
    SCM_GUARD(expected != nullptr);
    if (!std::equal(invertedHeader.begin(), invertedHeader.end(), expected))
    {
        m_valid = false;
        throw Util::CException(CAdditionalParameterCheckEventCode::InvalidAdditionalParameter, safetyAddress,
                               parameterNumber);
    }
}

std::uint32_t CCheckingAdditionalParameterInspector::GetModuleIndex(std::uint16_t safetyAddress)
{
    SCM_GUARD(Param::IsValidSafetyAddress(safetyAddress));
    return safetyAddress - 1u;
}
} // namespace Check
