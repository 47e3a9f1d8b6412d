// Scans the checker's sources: every file that uses the guard states its identifier once, derived identifiers
// match their file names, fixed ones belong to their files, and no two files share one. With
// SCM_PRINT_FILE_IDENTIFIERS set it prints the identifier-to-file map used to read guard events in the field.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "Util/FileIdentifier.h"

namespace
{
namespace fs = std::filesystem;

const std::map<std::string, std::uint32_t> FixedIdentifiers = {
    {"CDefaultSession.cpp", 0x51400732u},
    {"CDefaultMessaging.cpp", 0x49D80768u},
    {"CDefaultPersistence.cpp", 0x1833041Eu},
    {"CUdid.cpp", 0x0D0702F8u},
    {"CCheckingAdditionalParameterInspector.cpp", 0x62260FF6u},
    {"CPersistentAdditionalParameterCatalog.cpp", 0x8B281026u},
    {"CComputedInvertedAdditionalParameterHeaderReader.cpp", 0x770710E9u},
};

struct CSourceIdentifier
{
    fs::path m_path;
    std::uint32_t m_identifier;
};

std::string ReadFile(const fs::path& path)
{
    std::ifstream stream(path);
    std::stringstream content;
    content << stream.rdbuf();
    return content.str();
}

std::vector<CSourceIdentifier> ScanSources()
{
    static const std::regex derived(R"(FileIdentifier\s*=\s*Util::GetFileIdentifier\(\"([^\"]+)\"\))");
    static const std::regex fixed(R"(FileIdentifier\s*=\s*(0x[0-9A-Fa-f]+)u?\s*;)");
    std::vector<CSourceIdentifier> identifiers;
    for (const char* folder : {"Util", "Scm", "Epls", "Hmi", "Event", "Param", "Check", "Main", "entry", "platform"})
    {
        const fs::path root = fs::path(SCM_SOURCE_DIR) / folder;
        if (!fs::exists(root))
        {
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(root))
        {
            if (entry.path().extension() != ".cpp")
            {
                continue;
            }
            const std::string name = entry.path().filename().string();
            const std::string text = ReadFile(entry.path());
            std::smatch match;
            const bool usesGuard = text.find("SCM_GUARD(") != std::string::npos;
            if (std::regex_search(text, match, derived))
            {
                EXPECT_EQ(name, match[1].str()) << entry.path() << ": the derived identifier names another file";
                EXPECT_EQ(0u, FixedIdentifiers.count(name)) << entry.path() << " must carry its fixed identifier";
                identifiers.push_back({entry.path(), Util::GetFileIdentifier(match[1].str().c_str())});
            }
            else if (std::regex_search(text, match, fixed))
            {
                const auto value = static_cast<std::uint32_t>(std::stoul(match[1].str(), nullptr, 16));
                const auto known = FixedIdentifiers.find(name);
                if (known == FixedIdentifiers.end())
                {
                    ADD_FAILURE() << entry.path() << ": fixed identifier on an unlisted file";
                    continue;
                }
                EXPECT_EQ(known->second, value) << entry.path();
                identifiers.push_back({entry.path(), value});
            }
            else
            {
                EXPECT_FALSE(usesGuard) << entry.path() << " uses SCM_GUARD without stating its FileIdentifier";
            }
        }
    }
    return identifiers;
}

TEST(FileIdentifier, IsAdlerThirtyTwoOfTheBaseName)
{
    EXPECT_EQ(0x11E60398u, Util::GetFileIdentifier("Wikipedia"));
    EXPECT_EQ(0x63F908ABu, Util::GetFileIdentifier("ProcessImageTester.cpp"));
    EXPECT_EQ(0x329C0605u, Util::GetFileIdentifier("DecodedFrame.cpp"));
}

TEST(FileIdentifier, SourcesStateUniqueIdentifiersMatchingTheirNames)
{
    const std::vector<CSourceIdentifier> identifiers = ScanSources();
    ASSERT_FALSE(identifiers.empty());
    std::map<std::uint32_t, fs::path> byIdentifier;
    for (const CSourceIdentifier& source : identifiers)
    {
        const auto inserted = byIdentifier.emplace(source.m_identifier, source.m_path);
        EXPECT_TRUE(inserted.second) << source.m_path << " and " << inserted.first->second << " share the identifier "
                                     << std::hex << source.m_identifier;
    }
    if (std::getenv("SCM_PRINT_FILE_IDENTIFIERS") != nullptr)
    {
        for (const auto& [identifier, path] : byIdentifier)
        {
            std::cout << "0x" << std::hex << std::uppercase << identifier << ' '
                      << fs::relative(path, SCM_SOURCE_DIR).string() << '\n';
        }
    }
}
} // namespace
