// Event codes of the default inspector.
#ifndef MAIN_CINSPECTOREVENTCODE_H
#define MAIN_CINSPECTOREVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Main
{
struct CInspectorEventCode
{
    enum Enum : std::uint16_t
    {
        TesseraNotAcknowledged = ScmInspectorTesseraNotAcknowledged, ///< the SCM sets a module to operational while the
                                                                     ///< key medium is not acknowledged
    };
};
} // namespace Main

#endif
