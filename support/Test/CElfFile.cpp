// Reading a 64-bit ELF file for tests, with every structure and string checked against the file's size.
#include "support/Test/CElfFile.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <stdexcept>

namespace Support
{
namespace
{
// A sum that wraps would pass the bounds check of the read that follows.
std::uint64_t AddOffset(std::uint64_t base, std::uint64_t distance)
{
    if (distance > std::numeric_limits<std::uint64_t>::max() - base)
    {
        throw std::runtime_error("ELF offset beyond the end of the file");
    }
    return base + distance;
}
} // namespace

template <typename T> T CElfFile::Read(std::uint64_t offset) const
{
    if (offset > m_bytes.size() || m_bytes.size() - offset < sizeof(T))
    {
        throw std::runtime_error("ELF structure beyond the end of the file");
    }
    T value;
    std::memcpy(&value, m_bytes.data() + offset, sizeof(T));
    return value;
}

std::string CElfFile::ReadString(std::uint64_t offset) const
{
    if (offset >= m_bytes.size())
    {
        throw std::runtime_error("ELF string beyond the end of the file");
    }
    return std::string(m_bytes.data() + offset, strnlen(m_bytes.data() + offset, m_bytes.size() - offset));
}

CElfFile::CElfFile(const std::string& path)
{
    std::ifstream stream(path, std::ios::binary);
    if (!stream)
    {
        throw std::runtime_error("cannot read " + path);
    }
    m_bytes.assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
    if (m_bytes.size() < sizeof(Elf64_Ehdr))
    {
        throw std::runtime_error(path + " is not a 64-bit ELF file");
    }
    const auto header = Read<Elf64_Ehdr>(0u);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64)
    {
        throw std::runtime_error(path + " is not a 64-bit ELF file");
    }
    for (std::uint64_t index = 0u; index < header.e_shnum; ++index)
    {
        m_sections.push_back({"", Read<Elf64_Shdr>(AddOffset(header.e_shoff, index * header.e_shentsize))});
    }
    const Elf64_Shdr& names = m_sections.at(header.e_shstrndx).m_header;
    for (CSection& section : m_sections)
    {
        section.m_name = ReadString(AddOffset(names.sh_offset, section.m_header.sh_name));
    }
    for (std::uint64_t index = 0u; index < header.e_phnum; ++index)
    {
        m_segments.push_back(Read<Elf64_Phdr>(AddOffset(header.e_phoff, index * header.e_phentsize)));
    }
}

std::optional<CElfFile::CSection> CElfFile::FindSection(const std::string& name) const
{
    for (const CSection& section : m_sections)
    {
        if (section.m_name == name)
        {
            return section;
        }
    }
    return std::nullopt;
}

std::vector<CElfFile::CSymbol> CElfFile::GetSymbols() const
{
    std::vector<CSymbol> symbols;
    for (const CSection& section : m_sections)
    {
        if (section.m_header.sh_type != SHT_SYMTAB)
        {
            continue;
        }
        const Elf64_Shdr& strings = m_sections.at(section.m_header.sh_link).m_header;
        for (std::uint64_t offset = 0u; offset < section.m_header.sh_size; offset += sizeof(Elf64_Sym))
        {
            const auto symbol = Read<Elf64_Sym>(AddOffset(section.m_header.sh_offset, offset));
            symbols.push_back({ReadString(AddOffset(strings.sh_offset, symbol.st_name)),
                               static_cast<unsigned>(ELF64_ST_TYPE(symbol.st_info)), symbol.st_value, symbol.st_size});
        }
    }
    return symbols;
}

std::optional<std::uint64_t> CElfFile::FindSymbol(const std::string& name) const
{
    for (const CSymbol& symbol : GetSymbols())
    {
        if (symbol.m_name == name)
        {
            return symbol.m_address;
        }
    }
    return std::nullopt;
}

std::uint64_t CElfFile::GetSymbol(const std::string& name) const
{
    const std::optional<std::uint64_t> value = FindSymbol(name);
    if (!value)
    {
        throw std::runtime_error("no symbol " + name);
    }
    return *value;
}

std::vector<std::uint64_t> CElfFile::GetDynamicRelocationTargets() const
{
    std::vector<std::uint64_t> targets;
    for (const CSection& section : m_sections)
    {
        const bool rela = section.m_header.sh_type == SHT_RELA;
        if ((!rela && section.m_header.sh_type != SHT_REL) || (section.m_header.sh_flags & SHF_ALLOC) == 0u)
        {
            continue;
        }
        const std::uint64_t entrySize = rela ? sizeof(Elf64_Rela) : sizeof(Elf64_Rel);
        for (std::uint64_t offset = 0u; offset < section.m_header.sh_size; offset += entrySize)
        {
            // Elf64_Rela begins as Elf64_Rel does.
            targets.push_back(Read<Elf64_Rel>(AddOffset(section.m_header.sh_offset, offset)).r_offset);
        }
    }
    return targets;
}

std::vector<Elf64_Dyn> CElfFile::GetDynamicEntries() const
{
    std::vector<Elf64_Dyn> entries;
    const std::optional<CSection> dynamic = FindSection(".dynamic");
    for (std::uint64_t offset = 0u; dynamic && offset < dynamic->m_header.sh_size; offset += sizeof(Elf64_Dyn))
    {
        entries.push_back(Read<Elf64_Dyn>(AddOffset(dynamic->m_header.sh_offset, offset)));
    }
    return entries;
}

std::uint8_t CElfFile::GetByte(std::uint64_t fileOffset) const
{
    return Read<std::uint8_t>(fileOffset);
}
} // namespace Support
