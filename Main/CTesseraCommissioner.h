// Interface: Whether the key medium may be acknowledged, by the operator or automatically by the SCM.
#ifndef MAIN_CTESSERACOMMISSIONER_H
#define MAIN_CTESSERACOMMISSIONER_H

namespace Main
{
class CTesseraCommissioner
{
public:
    virtual ~CTesseraCommissioner() = default;
    virtual bool CanManuallyAcknowledgeTessera() = 0;
    virtual bool CanAutomaticallyAcknowledgeTessera() = 0;

protected:
    CTesseraCommissioner() = default;
    CTesseraCommissioner(const CTesseraCommissioner&) = default;
    CTesseraCommissioner& operator=(const CTesseraCommissioner&) = default;
};
} // namespace Main

#endif
