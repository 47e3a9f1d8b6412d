// A 64-bit ELF file read whole for tests: its sections by name, segments, symbols, dynamic relocations and entries.
#ifndef SUPPORT_TEST_CELFFILE_H
#define SUPPORT_TEST_CELFFILE_H

#include <elf.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Support
{
/// The parts of a 64-bit ELF file in the byte order of this machine that the link-layout and code-memory tests read.
/// Every read, strings included, is checked against the size of the file and throws std::runtime_error when it
/// would leave it; a section index out of the table throws std::out_of_range.
class CElfFile
{
public:
    struct CSection
    {
        std::string m_name;
        Elf64_Shdr m_header;
    };

    /// An entry of the static symbol table; m_type is its STT_ value.
    struct CSymbol
    {
        std::string m_name;
        unsigned m_type;
        std::uint64_t m_address;
        std::uint64_t m_size;
    };

    /// Reads the file and its section and program headers; throws std::runtime_error when it cannot be read or is
    /// not a 64-bit ELF file.
    explicit CElfFile(const std::string& path);

    const std::vector<CSection>& GetSections() const
    {
        return m_sections;
    }

    const std::vector<Elf64_Phdr>& GetSegments() const
    {
        return m_segments;
    }

    /// The first section of that name; nothing when there is none.
    std::optional<CSection> FindSection(const std::string& name) const;

    /// Every entry of every static symbol table (SHT_SYMTAB), in file order.
    std::vector<CSymbol> GetSymbols() const;

    /// The value of the first static symbol of that name; nothing when there is none.
    std::optional<std::uint64_t> FindSymbol(const std::string& name) const;

    /// As FindSymbol; throws std::runtime_error when there is no such symbol.
    std::uint64_t GetSymbol(const std::string& name) const;

    /// Addresses that the dynamic loader writes: the targets of every relocation in an allocated SHT_REL or
    /// SHT_RELA section.
    std::vector<std::uint64_t> GetDynamicRelocationTargets() const;

    /// The entries of .dynamic; none when the file has no such section.
    std::vector<Elf64_Dyn> GetDynamicEntries() const;

    /// The byte at that offset of the file.
    std::uint8_t GetByte(std::uint64_t fileOffset) const;

private:
    template <typename T> T Read(std::uint64_t offset) const;
    std::string ReadString(std::uint64_t offset) const;

    std::vector<char> m_bytes;
    std::vector<CSection> m_sections;
    std::vector<Elf64_Phdr> m_segments;
};
} // namespace Support

#endif
