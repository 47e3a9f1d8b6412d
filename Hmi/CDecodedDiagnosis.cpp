// The diagnosis response and the filling in of the checker's own objects.
#include "Hmi/CDecodedDiagnosis.h"

#include <algorithm>

#include "Hmi/CDecodedResponseVisitor.h"
#include "Hmi/CObjectDictionary.h"
#include "Util/ByteOrder.h"
#include "Util/FileIdentifier.h"
#include "Util/PlantedFault.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CDecodedDiagnosis.cpp");
constexpr std::uint32_t VersionLowByteMask = 0xFFu;
} // namespace

namespace Hmi
{
bool CDecodedDiagnosis::IsDiagnosis(std::uint16_t responseLength, const std::uint8_t* response)
{
    SCM_GUARD(response != nullptr);
    if (responseLength < ms_DiagnosisLengthMin)
    {
        return false;
    }
    return (GetSelector(responseLength, response) == ms_Selector) &&
           (GetCommand(responseLength, response) == ms_Command) && (GetData(responseLength, response) == ms_Data) &&
           ((GetVersion(responseLength, response) & VersionLowByteMask) == ms_Version1);
}

std::uint16_t CDecodedDiagnosis::GetData(std::uint16_t responseLength, const std::uint8_t* response)
{
    CheckResponse(responseLength, response, ms_DiagnosisLengthMin);
    return Util::GetLittleEndianUInt16(response, ms_DataOffset);
}

std::uint16_t CDecodedDiagnosis::GetVersion(std::uint16_t responseLength, const std::uint8_t* response)
{
    CheckResponse(responseLength, response, ms_DiagnosisLengthMin);
    return Util::GetLittleEndianUInt16(response, ms_VersionOffset);
}

void CDecodedDiagnosis::Accept(CDecodedResponseVisitor& visitor)
{
    visitor.VisitDiagnosis(*this);
}

std::uint16_t CDecodedDiagnosis::GetObjectCount() const
{
    const std::uint32_t responseLength = GetResponseLength();
    // A diagnosis of 18 to 21 bytes passes classification, yet its object count or first object lies beyond it.
    if (responseLength < ms_ObjectsOffset)
    {
        return 0u;
    }
    const std::uint8_t* response = GetResponse();
    SCM_GUARD(response != nullptr);
    const std::uint32_t announced = Util::GetLittleEndianUInt16(response, ms_NumberOfObjectsOffset);
    const std::uint32_t received =
        (responseLength - ms_ObjectsOffset) / ms_ObjectLength + SCM_PLANTED_FAULT_ON(DiagnosisObjectCount);
    return static_cast<std::uint16_t>(std::min(announced, received));
}

void CDecodedDiagnosis::FillIn(const CObjectDictionary& dictionary)
{
    const std::uint16_t objectCount = GetObjectCount();
    std::uint8_t* response = GetResponse();
    for (std::uint16_t i = 0u; i < objectCount; ++i)
    {
        std::uint8_t* object = response + ms_ObjectsOffset + (static_cast<std::uint32_t>(i) * ms_ObjectLength);
        const std::uint16_t index = Util::GetLittleEndianUInt16(object, ms_ObjectIndexOffset);
        const std::uint8_t subIndex = object[ms_ObjectSubIndexOffset];
        std::uint8_t& error = object[ms_ObjectErrorOffset];
        std::uint32_t value = 0u;
        if (dictionary.TryGetObject(index, subIndex, error, value) && (error == 0u))
        {
            Util::SetLittleEndianUInt32(object, ms_ObjectDataOffset, value);
        }
    }
}
} // namespace Hmi
