// Operator command to change the password.
#include "Hmi/CDecodedChangePassword.h"

#include "Hmi/CDecodedCommandVisitor.h"
#include "Util/PlantedFault.h"

namespace Hmi
{
bool CDecodedChangePassword::IsChangePassword(std::uint8_t commandLength, const std::uint8_t* command)
{
    return IsOperatorCommand(commandLength, command, ms_Command, ms_Data);
}

const std::uint8_t* CDecodedChangePassword::GetChangedPassword(std::uint8_t commandLength, const std::uint8_t* command)
{
    CheckCommand(commandLength, command, ms_ChangePasswordLength - SCM_PLANTED_FAULT_ON(CommandPasswordLength));
    return command + ms_NewPasswordOffset;
}

const std::uint8_t* CDecodedChangePassword::GetChangedPassword() const
{
    return GetChangedPassword(GetCommandLength(), GetRawCommand());
}

void CDecodedChangePassword::Accept(CDecodedCommandVisitor& visitor) const
{
    visitor.VisitChangePassword(*this);
}
} // namespace Hmi
