// The ten files of a domain's storage directory, validated and listed as the checker reads them.
#include "tools/scm-files/DomainFiles.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "Main/CFileStorageEventCode.h"
#include "Param/CAutoCnfBin.h"
#include "Param/CAutoCnfBinUdidSectionUdidReader.h"
#include "Param/CEmoData1Bin.h"
#include "Param/CFwRevCnfBin.h"
#include "Param/CFwRevCnfBinChk.h"
#include "Param/CFwRevCnfBinChkInvertedMinorRevisionReader.h"
#include "Param/CFwRevCnfBinMinorRevisionReader.h"
#include "Param/CInvertingParameterChecksumReader.h"
#include "Param/CParData1Bin.h"
#include "Param/CParData1BinAdditionalParameterHeaderReader.h"
#include "Param/CParameterAdditionalParameterHeaderReader.h"
#include "Param/CParameterCommissioningFlagReader.h"
#include "Param/CParameterFirmwareVersionReader.h"
#include "Param/CParameterParameterChecksumReader.h"
#include "Param/CParameterSafetyAddressReader.h"
#include "Param/CTesseraDat.h"
#include "Param/CTesseraDatChk.h"
#include "Param/CTesseraDatChkInvertedUdidReader.h"
#include "Param/CTesseraDatUdidReader.h"
#include "Param/CTesseraUid.h"
#include "Param/CTesseraUidChk.h"
#include "Param/CTolParaSaf.h"
#include "Param/CTolParaSafScmSectionParameterReader.h"
#include "Scm/ScmCheckerEventCode.h"

namespace ScmFiles
{
namespace
{
using Bytes = std::vector<std::uint8_t>;

std::string Hex(const std::uint8_t* data, std::size_t length)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0u; i < length; ++i)
    {
        text.push_back(digits[data[i] >> 4]);
        text.push_back(digits[data[i] & 0x0Fu]);
    }
    return text;
}

// A check copy keeps its values complemented; the listing shows them plain so that it compares with its file.
std::string PlainHex(const std::uint8_t* inverted, std::size_t length)
{
    Bytes plain(inverted, inverted + length);
    for (std::uint8_t& byte : plain)
    {
        byte = static_cast<std::uint8_t>(~byte);
    }
    return Hex(plain.data(), plain.size());
}

// Where the records go: nowhere while checking, a stream while listing.
class CLines
{
public:
    explicit CLines(std::ostream* stream) : m_stream(stream) {}
    template <typename Write> void Line(Write write)
    {
        if (m_stream != nullptr)
        {
            write(*m_stream);
            *m_stream << '\n';
        }
    }

private:
    std::ostream* m_stream;
};

// The file's content at the start of a buffer of the checker's size for it.
struct CLoadedFile
{
    std::uint8_t* m_buffer;
    std::uint32_t m_bufferLength;
    std::uint32_t m_length;
};

void ProcessTesseraUid(CLoadedFile& file, CLines& lines)
{
    Param::CTesseraUid tesseraUid(file.m_bufferLength, file.m_buffer);
    tesseraUid.ReadContent(file.m_length);
    lines.Line(
        [&](std::ostream& out)
        { out << "kel_udid=" << Hex(tesseraUid.GetKelUdid(), 6u) << " timestamp=" << tesseraUid.GetTimestamp(); });
}

void ProcessTesseraUidChk(CLoadedFile& file, CLines& lines)
{
    Param::CTesseraUidChk copy(file.m_bufferLength, file.m_buffer);
    copy.ReadContent(file.m_length);
    lines.Line(
        [&](std::ostream& out) {
            out << "kel_udid=" << PlainHex(copy.GetInvertedKelUdid(), 6u)
                << " timestamp=" << ~copy.GetInvertedTimestamp();
        });
}

void ProcessTesseraDat(CLoadedFile& file, CLines& lines)
{
    Param::CTesseraDat tesseraDat(file.m_bufferLength, file.m_buffer);
    tesseraDat.ReadContent(file.m_length);
    Param::CTesseraDatUdidReader reader(tesseraDat);
    std::uint16_t sadr = 0u;
    const std::uint8_t* udid = nullptr;
    reader.Open();
    while (reader.TryReadNext(sadr, udid))
    {
        lines.Line([&](std::ostream& out) { out << "sadr=" << sadr << " udid=" << Hex(udid, 6u); });
    }
    reader.Close();
}

void ProcessTesseraDatChk(CLoadedFile& file, CLines& lines)
{
    Param::CTesseraDatChk copy(file.m_bufferLength, file.m_buffer);
    copy.ReadContent(file.m_length);
    Param::CTesseraDatChkInvertedUdidReader reader(copy);
    std::uint16_t sadr = 0u;
    const std::uint8_t* invertedUdid = nullptr;
    reader.Open();
    while (reader.TryReadNext(sadr, invertedUdid))
    {
        lines.Line([&](std::ostream& out) { out << "sadr=" << sadr << " udid=" << PlainHex(invertedUdid, 6u); });
    }
    reader.Close();
}

template <typename Reader> void ListMinorRevisions(Reader& reader, bool inverted, CLines& lines)
{
    std::uint16_t sadr = 0u;
    std::uint16_t minor = 0u;
    reader.Open();
    while (reader.TryReadNext(sadr, minor))
    {
        const unsigned plain = inverted ? static_cast<std::uint16_t>(~minor) : minor;
        lines.Line([&](std::ostream& out) { out << "sadr=" << sadr << " minor=" << plain; });
    }
    reader.Close();
}

void ListAuthentification(CLines& lines, const Param::CFwRevCnfBin& file, const std::string& cpuId,
                          const std::string& kelUdid, const std::string& password)
{
    lines.Line(
        [&](std::ostream& out)
        {
            out << "has_cpu_id=" << file.HasCpuId() << " cpu_id=" << cpuId << " has_kel_udid=" << file.HasKelUdid()
                << " kel_udid=" << kelUdid << " has_password=" << file.HasPassword() << " password=" << password
                << " tessera_empty=" << file.WasTesseraEmpty() << " setup_mode=" << file.IsSetupModeActive();
        });
}

void ProcessFwRevCnfBin(CLoadedFile& file, CLines& lines)
{
    Param::CFwRevCnfBin fwRevCnfBin(file.m_bufferLength, file.m_buffer);
    fwRevCnfBin.ReadContent(file.m_length);
    Param::CFwRevCnfBinMinorRevisionReader reader(fwRevCnfBin);
    ListMinorRevisions(reader, false, lines);
    ListAuthentification(lines, fwRevCnfBin, Hex(fwRevCnfBin.GetCpuId(), 8u), Hex(fwRevCnfBin.GetKelUdid(), 6u),
                         Hex(fwRevCnfBin.GetPassword(), 16u));
}

void ProcessFwRevCnfBinChk(CLoadedFile& file, CLines& lines)
{
    Param::CFwRevCnfBinChk copy(file.m_bufferLength, file.m_buffer);
    copy.ReadContent(file.m_length);
    Param::CFwRevCnfBinChkInvertedMinorRevisionReader reader(copy);
    ListMinorRevisions(reader, true, lines);
    ListAuthentification(lines, copy, PlainHex(copy.GetInvertedCpuId(), 8u), PlainHex(copy.GetInvertedKelUdid(), 6u),
                         PlainHex(copy.GetInvertedPassword(), 16u));
}

void ProcessAutoCnfBin(CLoadedFile& file, CLines& lines)
{
    Param::CAutoCnfBin autoCnfBin(file.m_bufferLength, file.m_buffer);
    autoCnfBin.ReadContent(file.m_length);
    lines.Line([&](std::ostream& out) { out << "timestamp=" << autoCnfBin.GetTimestamp(); });
    Param::CAutoCnfBinUdidSectionUdidReader reader(autoCnfBin);
    std::uint16_t sadr = 0u;
    const std::uint8_t* udid = nullptr;
    reader.Open();
    while (reader.TryReadNext(sadr, udid))
    {
        lines.Line([&](std::ostream& out) { out << "sadr=" << sadr << " udid=" << Hex(udid, 6u); });
    }
    reader.Close();
    if (autoCnfBin.HasMachineOptionSection())
    {
        std::uint16_t length = 0u;
        const std::uint8_t* options = nullptr;
        autoCnfBin.GetRawMachineOptionSection(length, options);
        lines.Line([&](std::ostream& out) { out << "machine_options=" << Hex(options, length); });
    }
}

void ProcessParData1Bin(CLoadedFile& file, CLines& lines)
{
    Param::CParData1Bin parData1Bin(file.m_bufferLength, file.m_buffer);
    parData1Bin.ReadContent(file.m_length);
    Param::CParData1BinAdditionalParameterHeaderReader reader(parData1Bin);
    std::uint16_t sadr = 0u;
    std::uint8_t number = 0u;
    const std::uint8_t* header = nullptr;
    reader.Open();
    while (reader.TryReadNext(sadr, number, header))
    {
        lines.Line([&](std::ostream& out) { out << "sadr=" << sadr << " number=" << unsigned{number}; });
    }
    reader.Close();
}

void ProcessEmoData1Bin(CLoadedFile& file, CLines& lines)
{
    Param::CEmoData1Bin emoData1Bin(file.m_bufferLength, file.m_buffer);
    emoData1Bin.ReadContent(file.m_length);
    std::uint16_t length = 0u;
    const std::uint8_t* content = nullptr;
    emoData1Bin.GetRawContent(length, content);
    lines.Line([&](std::ostream& out) { out << "timestamp=" << emoData1Bin.GetTimestamp() << " length=" << length; });
}

// Pulls every record of a stream: what the checks will pull from it.
template <typename Reader, typename... Values> void Drain(Reader& reader, Values&... values)
{
    reader.Open();
    while (reader.TryReadNext(values...))
    {
    }
    reader.Close();
}

void ProcessTolParaSaf(CLoadedFile& file, CLines& lines)
{
    Param::CTolParaSaf tolParaSaf(file.m_bufferLength, file.m_buffer);
    tolParaSaf.ReadContent(file.m_length);
    Param::CTolParaSafScmSectionParameterReader parameters(tolParaSaf);
    std::uint16_t index = 0u;
    std::uint8_t subIndex = 0u;
    std::uint32_t length = 0u;
    const std::uint8_t* data = nullptr;
    parameters.Open();
    while (parameters.TryReadNext(index, subIndex, length, data))
    {
        lines.Line(
            [&](std::ostream& out)
            {
                char indexText[8];
                (void)std::snprintf(indexText, sizeof(indexText), "0x%04X", unsigned{index});
                out << "index=" << indexText << " subindex=" << unsigned{subIndex} << " length=" << length
                    << " data=" << Hex(data, length);
            });
    }
    parameters.Close();

    // The records the checks take from the stream, with the refusals they will meet.
    std::uint16_t sadr = 0u;
    Param::CParameterSafetyAddressReader safetyAddresses(parameters);
    Drain(safetyAddresses, sadr);
    std::uint32_t vendorId = 0u;
    std::uint32_t productCode = 0u;
    std::uint16_t major = 0u;
    std::uint16_t minor = 0u;
    Param::CParameterFirmwareVersionReader versions(parameters);
    Drain(versions, sadr, vendorId, productCode, major, minor);
    Param::CParameterParameterChecksumReader checksums(parameters);
    Param::CInvertingParameterChecksumReader invertedChecksums(checksums);
    Drain(invertedChecksums, sadr, length, data);
    std::uint8_t number = 0u;
    Param::CParameterAdditionalParameterHeaderReader headers(parameters);
    Drain(headers, sadr, number, data);
    bool setupMode = false;
    bool acknowledgeTessera = false;
    bool acknowledgeMinorRevisions = false;
    Param::CParameterCommissioningFlagReader flags(parameters);
    Drain(flags, setupMode, acknowledgeTessera, acknowledgeMinorRevisions);
}

struct CFileKind
{
    const char* m_name;
    std::uint32_t m_bufferLength;
    void (*m_process)(CLoadedFile&, CLines&);
};

// Buffer sizes are those of the persistence manager: a longer file is refused by the file storage already.
const std::array<CFileKind, 10> FileKinds = {{
    {"tessera.uid", 256u, ProcessTesseraUid},
    {"tessera.uid.chk", 256u, ProcessTesseraUidChk},
    {"tessera.dat", 65536u, ProcessTesseraDat},
    {"tessera.dat.chk", 65536u, ProcessTesseraDatChk},
    {"tol_para.saf", 262144u, ProcessTolParaSaf},
    {"autocnf.bin", 65536u, ProcessAutoCnfBin},
    {"emodata1.bin", 65536u, ProcessEmoData1Bin},
    {"pardata1.bin", 65536u, ProcessParData1Bin},
    {"fwrevcnf.bin", 65536u, ProcessFwRevCnfBin},
    {"fwrevcnf.bin.chk", 65536u, ProcessFwRevCnfBinChk},
}};

const CFileKind* FindKind(const std::string& name)
{
    for (const CFileKind& kind : FileKinds)
    {
        if (name == kind.m_name)
        {
            return &kind;
        }
    }
    return nullptr;
}
} // namespace

const std::vector<std::string>& GetFileNames()
{
    static const std::vector<std::string> names = []
    {
        std::vector<std::string> list;
        for (const CFileKind& kind : FileKinds)
        {
            list.emplace_back(kind.m_name);
        }
        return list;
    }();
    return names;
}

bool IsFileName(const std::string& name)
{
    return FindKind(name) != nullptr;
}

CFileResult ProcessFile(const std::string& directory, const std::string& name, std::ostream* records)
{
    const CFileKind* kind = FindKind(name);
    CFileResult result;
    std::ifstream stream(directory + "/" + name, std::ios::binary);
    if (!stream)
    {
        result.m_status = CFileResult::Status::Absent;
        return result;
    }
    const Bytes content((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    try
    {
        if (stream.bad())
        {
            throw Util::CException(Main::CFileStorageEventCode::ReadFailed);
        }
        if (content.size() > kind->m_bufferLength)
        {
            throw Util::CException(Main::CFileStorageEventCode::BufferTooShort,
                                   static_cast<std::uint32_t>(std::min<std::size_t>(content.size(), 0xFFFFFFFFu)));
        }
        Bytes buffer(kind->m_bufferLength, 0u);
        std::copy(content.begin(), content.end(), buffer.begin());
        return ProcessBuffer(name, buffer.data(), static_cast<std::uint32_t>(content.size()), records);
    }
    catch (const Util::CException& exception)
    {
        result.m_status = CFileResult::Status::Refused;
        result.m_refusal = exception;
    }
    return result;
}

std::uint32_t GetBufferLength(const std::string& name)
{
    const CFileKind* kind = FindKind(name);
    return (kind != nullptr) ? kind->m_bufferLength : 0u;
}

CFileResult ProcessBuffer(const std::string& name, std::uint8_t* buffer, std::uint32_t contentLength,
                          std::ostream* records)
{
    const CFileKind* kind = FindKind(name);
    CFileResult result;
    if (kind == nullptr)
    {
        result.m_status = CFileResult::Status::Absent;
        return result;
    }
    try
    {
        CLoadedFile file{buffer, kind->m_bufferLength, contentLength};
        CLines lines(records);
        kind->m_process(file, lines);
    }
    catch (const Util::CException& exception)
    {
        result.m_status = CFileResult::Status::Refused;
        result.m_refusal = exception;
    }
    return result;
}

std::string FormatResult(const std::string& name, const CFileResult& result)
{
    std::ostringstream line;
    line << "file=" << name << " status=";
    switch (result.m_status)
    {
    case CFileResult::Status::Ok:
        line << "ok";
        break;
    case CFileResult::Status::Absent:
        line << "absent";
        break;
    case CFileResult::Status::Refused:
    {
        const Util::CException& refusal = result.m_refusal;
        const char* codeName = ScmGetEventCodeName(refusal.m_eventCode);
        char code[8];
        (void)std::snprintf(code, sizeof(code), "0x%04X", unsigned{refusal.m_eventCode});
        line << "refused error=" << code << " name=" << ((codeName != nullptr) ? codeName : "Unknown")
             << " info0=" << refusal.m_information0 << " info1=" << refusal.m_information1;
        break;
    }
    }
    return line.str();
}
} // namespace ScmFiles
