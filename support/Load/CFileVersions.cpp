// The versions of the checker's copies that a campaign knows.
#include "support/Load/CFileVersions.h"

#include <algorithm>
#include <vector>

#include "Param/CFwRevCnfBinChk.h"
#include "Param/CTesseraDatChk.h"
#include "Param/CTesseraUidChk.h"
#include "Util/CException.h"

namespace Support
{
namespace
{
// The buffers that the checker reads its copies into.
constexpr std::size_t TesseraUidBufferLength = 256u;
constexpr std::size_t FileBufferLength = 65536u;

template <typename File>
bool Reads(std::size_t bufferLength, const Bytes& content)
{
    if (content.size() > bufferLength)
    {
        return false;
    }
    std::vector<std::uint8_t> buffer(bufferLength, 0u);
    std::copy(content.begin(), content.end(), buffer.begin());
    try
    {
        File file(static_cast<std::uint32_t>(buffer.size()), buffer.data());
        file.ReadContent(static_cast<std::uint32_t>(content.size()));
    }
    catch (const Util::CException&)
    {
        return false;
    }
    return true;
}
} // namespace

void CFileVersions::Add(const std::string& name, const Bytes& content)
{
    m_versions[name].insert(content);
}

bool CFileVersions::IsKnown(const std::string& name, const Bytes& content) const
{
    const auto found = m_versions.find(name);
    return (found != m_versions.end()) && (found->second.count(content) != 0u);
}

bool CFileVersions::IsWhole(const std::string& name, const Bytes& content) const
{
    return content.empty() || IsKnown(name, content) || IsReadable(name, content);
}

bool CFileVersions::IsReadable(const std::string& name, const Bytes& content)
{
    if (name == "tessera.uid.chk")
    {
        return Reads<Param::CTesseraUidChk>(TesseraUidBufferLength, content);
    }
    if (name == "tessera.dat.chk")
    {
        return Reads<Param::CTesseraDatChk>(FileBufferLength, content);
    }
    if (name == "fwrevcnf.bin.chk")
    {
        return Reads<Param::CFwRevCnfBinChk>(FileBufferLength, content);
    }
    return false;
}
} // namespace Support
