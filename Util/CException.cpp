// Logging of exceptions as events.
#include "Util/CException.h"

#include "Scm/ScmEventLog.h"

namespace Util
{
void CException::LogWarning(const CException& exception)
{
    ScmLogWarning(exception.m_eventCode, exception.m_information0, exception.m_information1);
}

void CException::LogError(const CException& exception)
{
    ScmLogError(exception.m_eventCode, exception.m_information0, exception.m_information1);
}
} // namespace Util
