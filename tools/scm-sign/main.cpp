// scm-sign: seals an scm-checker executable by writing the image CRC and the checks into its identification record.
#include <elf.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "Scm/QdrhwtVerify.h"
#include "Util/ByteOrder.h"
#include "support/Cli/CommandLine.h"

namespace
{
constexpr const char* SectionName = "scm_fwident";

const char* const Usage =
    "Usage: scm-sign [--verify] EXECUTABLE\n"
    "   or: scm-sign --help | --version\n"
    "\n"
    "Seals an scm-checker executable: finds its identification record (section \"scm_fwident\"), stores the\n"
    "record's offset in the file and the CRC-32 (polynomial 0x1EDC6F41) of the whole file without the record's\n"
    "64 bytes, then the record's two CRC-16 checks. At start-up the checker recomputes all of them from its own\n"
    "file and refuses to start (event 0xE202) when one differs. The build runs this after every link; anything\n"
    "that rewrites the file afterwards (strip, patching) must be followed by signing again.\n"
    "\n"
    "  --verify   only check the signature and print one line: status=ok or status=invalid reason=...\n"
    "  --help     this text\n"
    "  --version  the version and the checker's revision number\n"
    "\n"
    "Exit status: 0 signed (or valid with --verify), 1 the file cannot be read or written, has no\n"
    "identification record, or (with --verify) is not validly signed, 2 usage error.\n";

bool FindRecordOffset(const std::vector<std::uint8_t>& file, std::uint64_t& offset, std::string& error)
{
    if (file.size() < sizeof(Elf64_Ehdr) || std::memcmp(file.data(), ELFMAG, SELFMAG) != 0 ||
        file[EI_CLASS] != ELFCLASS64)
    {
        error = "not a 64-bit ELF file";
        return false;
    }
    Elf64_Ehdr header;
    std::memcpy(&header, file.data(), sizeof header);
    const std::uint64_t tableEnd = header.e_shoff + std::uint64_t{header.e_shnum} * sizeof(Elf64_Shdr);
    if (header.e_shentsize != sizeof(Elf64_Shdr) || tableEnd > file.size() || header.e_shstrndx >= header.e_shnum)
    {
        error = "damaged section header table";
        return false;
    }
    auto section = [&](std::size_t index)
    {
        Elf64_Shdr entry;
        std::memcpy(&entry, file.data() + header.e_shoff + index * sizeof(Elf64_Shdr), sizeof entry);
        return entry;
    };
    const Elf64_Shdr names = section(header.e_shstrndx);
    for (std::size_t i = 0; i < header.e_shnum; ++i)
    {
        const Elf64_Shdr entry = section(i);
        const std::uint64_t nameOffset = names.sh_offset + entry.sh_name;
        if (nameOffset + std::strlen(SectionName) + 1u > file.size())
        {
            continue;
        }
        if (std::strcmp(reinterpret_cast<const char*>(file.data() + nameOffset), SectionName) == 0)
        {
            if (entry.sh_type != SHT_PROGBITS || entry.sh_size < QDRHWT_IDENT_RECORD_LENGTH ||
                entry.sh_offset + QDRHWT_IDENT_RECORD_LENGTH > file.size() || entry.sh_offset > 0xFFFFFFFFu)
            {
                error = "identification section has no room for the record";
                return false;
            }
            offset = entry.sh_offset;
            return true;
        }
    }
    error = "no identification section \"scm_fwident\"";
    return false;
}

std::uint32_t GetImageCrc(const std::vector<std::uint8_t>& file, std::uint64_t recordOffset)
{
    return Qdrhwt_ContinueImageCrc(0u, 0u, file.data(), static_cast<std::uint32_t>(file.size()), recordOffset);
}

std::string Verify(const std::vector<std::uint8_t>& file, std::uint64_t recordOffset)
{
    const std::uint8_t* record = file.data() + recordOffset;
    if (Util::GetLittleEndianUInt16(record, 0u) != QDRHWT_IDENT_RECORD_LENGTH)
    {
        return "record-length";
    }
    if (Util::GetLittleEndianUInt16(record, QDRHWT_IDENT_CHECK_755B_OFFSET) != Qdrhwt_GetIdentCheck755B(record) ||
        Util::GetLittleEndianUInt16(record, QDRHWT_IDENT_CHECK_OFFSET) != Qdrhwt_GetIdentCheck(record))
    {
        return "record-check";
    }
    if (Util::GetLittleEndianUInt32(record, QDRHWT_IDENT_RECORD_FILE_OFFSET_OFFSET) != recordOffset)
    {
        return "not-signed";
    }
    if (Util::GetLittleEndianUInt32(record, QDRHWT_IDENT_IMAGE_CRC_OFFSET) != GetImageCrc(file, recordOffset))
    {
        return "image-crc";
    }
    return "";
}
} // namespace

int main(int argc, char** argv)
{
    bool verifyOnly = false;
    std::string path;
    CLI::App app("", "scm-sign");
    app.add_flag("--verify", verifyOnly);
    app.add_option("EXECUTABLE", path)->required();
    if (const std::optional<int> exitStatus = Support::ParseCommandLine(app, "scm-sign", Usage, argc, argv))
    {
        return *exitStatus;
    }
    std::ifstream input(path, std::ios::binary);
    if (!input)
    {
        std::cerr << "scm-sign: cannot read " << path << "\n";
        return 1;
    }
    std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(input)), std::istreambuf_iterator<char>());
    input.close();
    if (file.size() > 0xFFFFFFFFu)
    {
        std::cerr << "scm-sign: " << path << " is too large\n";
        return 1;
    }
    std::uint64_t recordOffset = 0u;
    std::string error;
    if (!FindRecordOffset(file, recordOffset, error))
    {
        std::cerr << "scm-sign: " << path << ": " << error << "\n";
        return 1;
    }
    if (verifyOnly)
    {
        const std::string reason = Verify(file, recordOffset);
        std::cout << (reason.empty() ? "status=ok" : "status=invalid reason=" + reason) << "\n";
        return reason.empty() ? 0 : 1;
    }
    std::uint8_t* record = file.data() + recordOffset;
    Util::SetLittleEndianUInt32(record, QDRHWT_IDENT_RECORD_FILE_OFFSET_OFFSET,
                                static_cast<std::uint32_t>(recordOffset));
    Util::SetLittleEndianUInt32(record, QDRHWT_IDENT_IMAGE_CRC_OFFSET, GetImageCrc(file, recordOffset));
    Util::SetLittleEndianUInt16(record, QDRHWT_IDENT_CHECK_755B_OFFSET, Qdrhwt_GetIdentCheck755B(record));
    Util::SetLittleEndianUInt16(record, QDRHWT_IDENT_CHECK_OFFSET, Qdrhwt_GetIdentCheck(record));

    // Only the record changes: write its 64 bytes in place, keeping the file's mode and the rest untouched.
    std::FILE* output = std::fopen(path.c_str(), "r+b");
    if (output == nullptr || std::fseek(output, static_cast<long>(recordOffset), SEEK_SET) != 0 ||
        std::fwrite(record, 1u, QDRHWT_IDENT_RECORD_LENGTH, output) != QDRHWT_IDENT_RECORD_LENGTH ||
        std::fclose(output) != 0)
    {
        std::cerr << "scm-sign: cannot write " << path << "\n";
        return 1;
    }
    return 0;
}
