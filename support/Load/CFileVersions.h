// The versions of the checker's copies that a campaign knows, and whether a copy found on disk is whole.
#ifndef SUPPORT_LOAD_CFILEVERSIONS_H
#define SUPPORT_LOAD_CFILEVERSIONS_H

#include <map>
#include <set>
#include <string>

#include "support/Messages/Bytes.h"

namespace Support
{
/// Versions of the checker's copies by storage name ("tessera.uid.chk", "tessera.dat.chk", "fwrevcnf.bin.chk").
class CFileVersions
{
public:
    /// Records a version of a copy that the campaign has seen whole (provisioned, or written by a fault-free run).
    void Add(const std::string& name, const Bytes& content);
    /// Whether the version is one of those recorded.
    bool IsKnown(const std::string& name, const Bytes& content) const;
    /// A whole file: a known version, empty (the checker empties a pair that disagrees), or a file that the
    /// checker's own reader accepts (a whole version written from values that a failed call changed).
    bool IsWhole(const std::string& name, const Bytes& content) const;

    /// Whether the checker's reader of the copy accepts the content.
    static bool IsReadable(const std::string& name, const Bytes& content);

private:
    std::map<std::string, std::set<Bytes>> m_versions;
};
} // namespace Support

#endif
