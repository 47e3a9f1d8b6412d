// Combinator: two inverted UDID streams, each sorted by safety address, merged into one.
#ifndef PARAM_CMERGINGINVERTEDUDIDREADER_H
#define PARAM_CMERGINGINVERTEDUDIDREADER_H

#include <cstdint>

#include "Param/CInvertedUdidReader.h"

namespace Param
{
/// Merges stream A (the manually acknowledged UDIDs) and stream B (the automatically acknowledged ones) by safety
/// address with one record of look-ahead per side. On equal safety addresses the record of A wins and the record of
/// B is dropped. Open() and Close() go to A, then B. Handed-out pointers are those of the side that delivered the
/// record. Exceptions of either reader pass unchanged.
class CMergingInvertedUdidReader : public CInvertedUdidReader
{
public:
    CMergingInvertedUdidReader(CInvertedUdidReader& readerA, CInvertedUdidReader& readerB);

    /// Opens A, then B, and drops any look-ahead left by an earlier pass that ended early, so that every pass starts
    /// from the beginning of both streams.
    void Open() override;
    bool TryReadNext(std::uint16_t& safetyAddress, const std::uint8_t*& invertedUdid) override;
    void Close() override;

private:
    CInvertedUdidReader& m_readerA;
    CInvertedUdidReader& m_readerB;
    bool m_hasInvertedUdidA;
    std::uint16_t m_safetyAddressA;
    const std::uint8_t* m_invertedUdidA;
    bool m_hasInvertedUdidB;
    std::uint16_t m_safetyAddressB;
    const std::uint8_t* m_invertedUdidB;
};
} // namespace Param

#endif
