// Interface: Key-medium state: acknowledgement of the key medium and the setup mode (kept by the persistence manager).
#ifndef MAIN_CTESSERA_H
#define MAIN_CTESSERA_H

namespace Main
{
class CTessera
{
public:
    virtual ~CTessera() = default;
    /// Acknowledges the key medium and stores it at once.
    virtual void Acknowledge() = 0;
    virtual bool IsAcknowledged() const = 0;
    virtual bool IsSetupModeActive() const = 0;
    /// Stores the setup mode at once.
    virtual void SetSetupModeActive(bool active) = 0;

protected:
    CTessera() = default;
    CTessera(const CTessera&) = default;
    CTessera& operator=(const CTessera&) = default;
};
} // namespace Main

#endif
