// Operator command to acknowledge a number of modules.
#include "Hmi/CDecodedAcknowledgeModules.h"

#include "Hmi/CDecodedCommandVisitor.h"
#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CDecodedAcknowledgeModules.cpp");
} // namespace

namespace Hmi
{
bool CDecodedAcknowledgeModules::IsAcknowledgeModules(std::uint8_t commandLength, const std::uint8_t* command)
{
    if ((GetSelector(commandLength, command) != ms_OperatorCommandSelector) ||
        (GetCommand(commandLength, command) != ms_Command))
    {
        return false;
    }
    switch (GetData(commandLength, command))
    {
    case ms_OneModuleData:
    case ms_TwoModulesData:
    case ms_ThreeModulesData:
    case ms_FourModulesData:
    case ms_FiveOrMoreModulesData:
        return true;
    default:
        return false;
    }
}

void CDecodedAcknowledgeModules::Accept(CDecodedCommandVisitor& visitor) const
{
    visitor.VisitAcknowledgeModules(*this);
}

CDecodedAcknowledgeModules::Count CDecodedAcknowledgeModules::GetAcknowledgedModuleCount() const
{
    switch (GetData())
    {
    case ms_OneModuleData:
        return One;
    case ms_TwoModulesData:
        return Two;
    case ms_ThreeModulesData:
        return Three;
    case ms_FourModulesData:
        return Four;
    case ms_FiveOrMoreModulesData:
        return FiveOrMore;
    default:
        break;
    }
    SCM_GUARD(false);
    return FiveOrMore;
}
} // namespace Hmi
