// Builds "tessera.uid" and "tessera.uid.chk" files (and the controller's signature record) for tests and peers.
#include "support/Files/CTesseraUidBuilder.h"

namespace Support
{
Bytes CTesseraUidBuilder::Build() const
{
    Bytes bytes;
    PutUInt32(bytes, 0u, m_version);
    const Udid udid = m_inverted ? Complemented(m_kelUdid) : m_kelUdid;
    AppendBytes(bytes, udid.data(), udid.size());
    PutUInt64(bytes, 10u, m_inverted ? ~m_timestamp : m_timestamp);
    AppendBytes(bytes, m_trailer.data(), m_trailer.size());
    return bytes;
}
} // namespace Support
