// Parameter inspector: reassembles module parameter checksums from uploads and downloads and releases matching modules.
#include "Check/CCheckingParameterInspector.h"

#include <algorithm>

#include "Check/CParameterCheckEventCode.h"
#include "Check/CParameterChecker.h"
#include "Epls/CDecodedFrame.h"
#include "Epls/CDecodedSnmtAssignSadr.h"
#include "Epls/CDecodedSnmtSnSetToOp.h"
#include "Epls/CDecodedSsdoDownloadEndSegmentRequest.h"
#include "Epls/CDecodedSsdoDownloadInitiateExpeditedRequest.h"
#include "Epls/CDecodedSsdoDownloadInitiateSegmentedRequest.h"
#include "Epls/CDecodedSsdoDownloadMiddleSegmentRequest.h"
#include "Epls/CDecodedSsdoUploadEndSegmentResponse.h"
#include "Epls/CDecodedSsdoUploadInitiateExpeditedResponse.h"
#include "Epls/CDecodedSsdoUploadInitiateSegmentedResponse.h"
#include "Epls/CDecodedSsdoUploadMiddleSegmentResponse.h"
#include "Util/ByteOrder.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"
#include "Util/Inversion.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CCheckingParameterInspector.cpp");

constexpr std::uint32_t IndexOffset = 0u;
constexpr std::uint32_t SubIndexOffset = 2u;
constexpr std::uint32_t ParameterLengthOffset = 3u;
} // namespace

namespace Check
{
CCheckingParameterInspector::CCheckingParameterInspector(CParameterChecker& parameterChecker)
    : m_checksumReceivedFlags{}, m_operationalFlags{}, m_previousFrameNumber{}, m_segmentedTransferRunningFlags{},
      m_checksumLengths{}, m_invertedChecksums{}, m_indexSubIndexParameterLengthLengths{},
      m_indexSubIndexParameterLengthBuffers{}, m_parameterLengths{}, m_parameterChecker(parameterChecker), m_valid(true)
{
    for (auto& invertedChecksum : m_invertedChecksums)
    {
        Util::ClearInvertedMemory(ms_ChecksumLengthMax, invertedChecksum.data());
    }
}

void CCheckingParameterInspector::InspectReceivedFrame(const Epls::CDecodedFrame& frame)
{
    frame.Accept(*this);
}

void CCheckingParameterInspector::InspectSentFrame(const Epls::CDecodedFrame& frame)
{
    frame.Accept(*this);
}

bool CCheckingParameterInspector::IsValid() const
{
    return m_valid;
}

void CCheckingParameterInspector::VisitSnmtAssignSadr(const Epls::CDecodedSnmtAssignSadr& frame)
{
    const std::uint32_t i = GetModuleIndex(frame.GetSafetyAddress());
    m_operationalFlags[i] = false;
    m_checksumReceivedFlags[i] = false;
}

void CCheckingParameterInspector::VisitSnmtSnSetToOp(const Epls::CDecodedSnmtSnSetToOp& frame)
{
    const std::uint16_t safetyAddress = frame.GetSafetyAddress();
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    if (m_checksumReceivedFlags[i] && m_parameterChecker.IsValidModule(safetyAddress))
    {
        m_operationalFlags[i] = true;
        return;
    }
    m_valid = false;
    throw Util::CException(CParameterCheckEventCode::InvalidState, safetyAddress, GetModuleFlags(safetyAddress));
}

void CCheckingParameterInspector::VisitSsdoUploadInitiateExpeditedResponse(
    const Epls::CDecodedSsdoUploadInitiateExpeditedResponse& frame)
{
    if ((frame.GetIndex() != ms_DeviceVendorInformationIndex) || (frame.GetSubIndex() != ms_ChecksumSubIndex))
    {
        return;
    }
    const std::uint16_t safetyAddress = frame.GetSafetyAddress();
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    const std::uint8_t checksumLength = frame.GetParameterDataLength();
    Util::CopyInvertedMemory(checksumLength, frame.GetParameterData(), m_invertedChecksums[i].data());
    PublishChecksum(safetyAddress, checksumLength);
    m_segmentedTransferRunningFlags[i] = false;
}

void CCheckingParameterInspector::VisitSsdoUploadInitiateSegmentedResponse(
    const Epls::CDecodedSsdoUploadInitiateSegmentedResponse& frame)
{
    if ((frame.GetIndex() != ms_DeviceVendorInformationIndex) || (frame.GetSubIndex() != ms_ChecksumSubIndex))
    {
        return;
    }
    const std::uint16_t safetyAddress = frame.GetSafetyAddress();
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    if (m_segmentedTransferRunningFlags[i] && (frame.GetCt() == m_previousFrameNumber[i]))
    {
        return;
    }
    m_previousFrameNumber[i] = frame.GetCt();
    m_segmentedTransferRunningFlags[i] = true;
    // The decoder refuses segmented initiate frames without the total length.
    SCM_GUARD(frame.GetParameterDataLength() >= ms_TotalParameterLengthLength);
    const std::uint32_t checksumLength = frame.GetParameterDataLength() - ms_TotalParameterLengthLength;
    Util::CopyInvertedMemory(checksumLength, frame.GetParameterData() + ms_TotalParameterLengthLength,
                             m_invertedChecksums[i].data());
    m_checksumLengths[i] = checksumLength;
}

void CCheckingParameterInspector::VisitSsdoUploadMiddleSegmentResponse(
    const Epls::CDecodedSsdoUploadMiddleSegmentResponse& frame)
{
    const std::uint16_t safetyAddress = frame.GetSafetyAddress();
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    if (!m_segmentedTransferRunningFlags[i] || (m_previousFrameNumber[i] == frame.GetCt()))
    {
        return;
    }
    m_previousFrameNumber[i] = frame.GetCt();
    AppendChecksumSegment(safetyAddress, frame.GetParameterDataLength(), frame.GetParameterData());
}

void CCheckingParameterInspector::VisitSsdoUploadEndSegmentResponse(
    const Epls::CDecodedSsdoUploadEndSegmentResponse& frame)
{
    const std::uint16_t safetyAddress = frame.GetSafetyAddress();
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    if (!m_segmentedTransferRunningFlags[i] || (m_previousFrameNumber[i] == frame.GetCt()))
    {
        return;
    }
    AppendChecksumSegment(safetyAddress, frame.GetParameterDataLength(), frame.GetParameterData());
    PublishChecksum(safetyAddress, m_checksumLengths[i]);
    m_segmentedTransferRunningFlags[i] = false;
}

void CCheckingParameterInspector::VisitSsdoDownloadInitiateExpeditedRequest(
    const Epls::CDecodedSsdoDownloadInitiateExpeditedRequest& frame)
{
    const std::uint16_t safetyAddress = frame.GetSafetyAddress();
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    if (m_operationalFlags[i] || (frame.GetIndex() != ms_ParameterDownloadIndex) ||
        (frame.GetSubIndex() != ms_ParameterDownloadSubIndex))
    {
        return;
    }
    m_segmentedTransferRunningFlags[i] = false;
    ScanParameterSetFragmentForChecksum(safetyAddress, frame.GetParameterDataLength(), frame.GetParameterData());
}

void CCheckingParameterInspector::VisitSsdoDownloadInitiateSegmentedRequest(
    const Epls::CDecodedSsdoDownloadInitiateSegmentedRequest& frame)
{
    const std::uint16_t safetyAddress = frame.GetSafetyAddress();
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    if (m_operationalFlags[i] || (frame.GetIndex() != ms_ParameterDownloadIndex) ||
        (frame.GetSubIndex() != ms_ParameterDownloadSubIndex) ||
        (m_segmentedTransferRunningFlags[i] && (frame.GetCt() == m_previousFrameNumber[i])))
    {
        return;
    }
    m_previousFrameNumber[i] = frame.GetCt();
    m_segmentedTransferRunningFlags[i] = true;
    // The decoder refuses segmented initiate frames without the total length.
    SCM_GUARD(frame.GetParameterDataLength() >= ms_TotalParameterLengthLength);
    ScanParameterSetFragmentForChecksum(safetyAddress, frame.GetParameterDataLength() - ms_TotalParameterLengthLength,
                                        frame.GetParameterData() + ms_TotalParameterLengthLength);
}

void CCheckingParameterInspector::VisitSsdoDownloadMiddleSegmentRequest(
    const Epls::CDecodedSsdoDownloadMiddleSegmentRequest& frame)
{
    const std::uint16_t safetyAddress = frame.GetSafetyAddress();
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    if (m_operationalFlags[i] || !m_segmentedTransferRunningFlags[i] || (m_previousFrameNumber[i] == frame.GetCt()))
    {
        return;
    }
    m_previousFrameNumber[i] = frame.GetCt();
    ScanParameterSetFragmentForChecksum(safetyAddress, frame.GetParameterDataLength(), frame.GetParameterData());
}

void CCheckingParameterInspector::VisitSsdoDownloadEndSegmentRequest(
    const Epls::CDecodedSsdoDownloadEndSegmentRequest& frame)
{
    const std::uint16_t safetyAddress = frame.GetSafetyAddress();
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    if (m_operationalFlags[i] || !m_segmentedTransferRunningFlags[i] || (m_previousFrameNumber[i] == frame.GetCt()))
    {
        return;
    }
    m_segmentedTransferRunningFlags[i] = false;
    ScanParameterSetFragmentForChecksum(safetyAddress, frame.GetParameterDataLength(), frame.GetParameterData());
}

void CCheckingParameterInspector::AppendChecksumSegment(std::uint16_t safetyAddress, std::uint8_t segmentLength,
                                                        const std::uint8_t* segment)
{
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    if ((m_checksumLengths[i] > ms_ChecksumLengthMax) || (segmentLength > ms_ChecksumLengthMax - m_checksumLengths[i]))
    {
        throw Util::CException(CParameterCheckEventCode::InvalidParameterLength, safetyAddress, segmentLength);
    }
    Util::CopyInvertedMemory(segmentLength, segment, m_invertedChecksums[i].data() + m_checksumLengths[i]);
    m_checksumLengths[i] += segmentLength;
}

void CCheckingParameterInspector::PublishChecksum(std::uint16_t safetyAddress, std::uint32_t checksumLength)
{
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    m_checksumReceivedFlags[i] = true;
    m_parameterChecker.RemoveDiscoveredModule(safetyAddress);
    m_parameterChecker.AddDiscoveredModule(safetyAddress, checksumLength, m_invertedChecksums[i].data());
    m_checksumLengths[i] = 0u;
    Util::ClearInvertedMemory(ms_ChecksumLengthMax, m_invertedChecksums[i].data());
}

void CCheckingParameterInspector::ScanParameterSetFragmentForChecksum(std::uint16_t safetyAddress,
                                                                      std::uint32_t fragmentLength,
                                                                      const std::uint8_t* fragment)
{
    SCM_GUARD(fragment != nullptr);
    std::uint32_t fragmentOffset = 0u;
    // Each pass either takes bytes or completes an entry, and a new entry needs its 7 head bytes: the loop ends.
    for (;;)
    {
        std::uint32_t readFragmentLength = 0u;
        if (!TryFinishReadingIndexSubIndexParameterLength(safetyAddress, fragmentLength - fragmentOffset,
                                                          fragment + fragmentOffset, readFragmentLength))
        {
            return;
        }
        fragmentOffset += readFragmentLength;
        readFragmentLength = 0u;
        if (!TryFinishReadingChecksumParameter(safetyAddress, fragmentLength - fragmentOffset,
                                               fragment + fragmentOffset, readFragmentLength))
        {
            return;
        }
        fragmentOffset += readFragmentLength;
        UpdateFromChecksumParameter(safetyAddress);
        ResetParameter(safetyAddress);
    }
}

bool CCheckingParameterInspector::TryFinishReadingIndexSubIndexParameterLength(std::uint16_t safetyAddress,
                                                                               std::uint32_t fragmentLength,
                                                                               const std::uint8_t* fragment,
                                                                               std::uint32_t& readFragmentLength)
{
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    std::uint32_t& collected = m_indexSubIndexParameterLengthLengths[i];
    const std::uint32_t taken = std::min(fragmentLength, ms_IndexSubIndexParameterLengthLength - collected);
    std::copy_n(fragment, taken, m_indexSubIndexParameterLengthBuffers[i].data() + collected);
    collected += taken;
    readFragmentLength = taken;
    return collected == ms_IndexSubIndexParameterLengthLength;
}

bool CCheckingParameterInspector::TryFinishReadingChecksumParameter(std::uint16_t safetyAddress,
                                                                    std::uint32_t fragmentLength,
                                                                    const std::uint8_t* fragment,
                                                                    std::uint32_t& readFragmentLength)
{
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    const std::uint32_t parameterLength = GetDeclaredParameterLength(i);
    const bool isChecksum = IsChecksumParameter(safetyAddress);
    // A checksum entry must fit the module's checksum buffer; it is refused before any of its data is taken.
    if (isChecksum && (parameterLength > ms_ChecksumLengthMax))
    {
        throw Util::CException(CParameterCheckEventCode::InvalidParameterLength, safetyAddress, parameterLength);
    }
    std::uint32_t& consumed = m_parameterLengths[i];
    const std::uint32_t taken = std::min(fragmentLength, parameterLength - consumed);
    if (isChecksum)
    {
        // The entry's checksum starts afresh, whatever an interrupted upload left collected.
        if (consumed == 0u)
        {
            m_checksumLengths[i] = 0u;
        }
        Util::CopyInvertedMemory(taken, fragment, m_invertedChecksums[i].data() + consumed);
        m_checksumLengths[i] += taken;
    }
    consumed += taken;
    readFragmentLength = taken;
    return consumed == parameterLength;
}

bool CCheckingParameterInspector::IsChecksumParameter(std::uint16_t safetyAddress) const
{
    const auto& head = m_indexSubIndexParameterLengthBuffers[GetModuleIndex(safetyAddress)];
    return (Util::GetLittleEndianUInt16(head.data(), IndexOffset) == ms_DeviceVendorInformationIndex) &&
           (head[SubIndexOffset] == ms_ChecksumSubIndex);
}

void CCheckingParameterInspector::UpdateFromChecksumParameter(std::uint16_t safetyAddress)
{
    if (IsChecksumParameter(safetyAddress))
    {
        PublishChecksum(safetyAddress, m_checksumLengths[GetModuleIndex(safetyAddress)]);
    }
}

void CCheckingParameterInspector::ResetParameter(std::uint16_t safetyAddress)
{
    const std::uint32_t i = GetModuleIndex(safetyAddress);
    m_indexSubIndexParameterLengthLengths[i] = 0u;
    m_indexSubIndexParameterLengthBuffers[i].fill(0u);
    m_parameterLengths[i] = 0u;
}

std::uint32_t CCheckingParameterInspector::GetDeclaredParameterLength(std::uint32_t moduleIndex) const
{
    return Util::GetLittleEndianUInt32(m_indexSubIndexParameterLengthBuffers[moduleIndex].data(),
                                       ParameterLengthOffset);
}

std::uint32_t CCheckingParameterInspector::GetModuleIndex(std::uint16_t safetyAddress)
{
    SCM_GUARD(Param::IsValidSafetyAddress(safetyAddress));
    return safetyAddress - 1u;
}

std::uint32_t CCheckingParameterInspector::GetModuleFlags(std::uint16_t safetyAddress) const
{
    std::uint32_t flags = 0u;
    flags |= m_parameterChecker.IsRequiredModule(safetyAddress) ? ms_RequiredModuleFlag : 0u;
    flags |= m_parameterChecker.IsDiscoveredModule(safetyAddress) ? ms_DiscoveredModuleFlag : 0u;
    flags |= m_parameterChecker.IsCompatibleModule(safetyAddress) ? ms_CompatibleModuleFlag : 0u;
    return flags;
}
} // namespace Check
