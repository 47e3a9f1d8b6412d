// Interface: The operator password store; passwords travel as 16 complemented bytes.
#ifndef MAIN_CAUTHENTIFICATION_H
#define MAIN_CAUTHENTIFICATION_H

#include <cstdint>

namespace Main
{
class CAuthentification
{
public:
    virtual ~CAuthentification() = default;
    virtual bool HasPassword() = 0;
    /// True while no password is stored; otherwise whether the 16 bytes equal the stored inverted password.
    virtual bool IsValidInvertedPassword(const std::uint8_t* invertedPassword) = 0;
    /// Stores the 16 complemented bytes as the password, at once.
    virtual void SetInvertedPassword(const std::uint8_t* invertedPassword) = 0;

protected:
    CAuthentification() = default;
    CAuthentification(const CAuthentification&) = default;
    CAuthentification& operator=(const CAuthentification&) = default;
};
} // namespace Main

#endif
