// Hand-written stand-ins for the four checks and the key-medium, password and commissioner state, for tests that
// run the real default inspector.
#ifndef TESTS_MAIN_STANDINCHECKS_H
#define TESTS_MAIN_STANDINCHECKS_H

#include <atomic>
#include <cstdint>

#include "Check/CAdditionalParameterInspector.h"
#include "Check/CFirmwareInspector.h"
#include "Check/CParameterInspector.h"
#include "Check/CUdidInspector.h"
#include "Main/CAuthentification.h"
#include "Main/CTessera.h"
#include "Main/CTesseraCommissioner.h"
#include "Util/CException.h"

namespace Doubles
{
/// What a stand-in check does with frames from the SCM: accept them, or refuse with m_objectionCode.
struct CVerdict
{
    std::atomic<bool> m_refuseSentFrames{false};
    std::uint16_t m_objectionCode = 0xE2D6u;

    void Judge() const
    {
        if (m_refuseSentFrames.load())
        {
            throw Util::CException(m_objectionCode);
        }
    }
};

class CStandInUdidCheck : public Check::CUdidInspector, public CVerdict
{
public:
    void InspectCommand(const Hmi::CDecodedCommand&) override {}
    void InspectEvent(const Event::CDecodedEvent&) override {}
    void InspectReceivedFrame(const Epls::CDecodedFrame&) override {}
    void InspectSentFrame(const Epls::CDecodedFrame&) override
    {
        Judge();
    }
    bool IsValid() const override
    {
        return true;
    }
};

class CStandInFirmwareCheck : public Check::CFirmwareInspector, public CVerdict
{
public:
    void InspectCommand(const Hmi::CDecodedCommand&) override {}
    void InspectEvent(const Event::CDecodedEvent&) override {}
    void InspectReceivedFrame(const Epls::CDecodedFrame&) override {}
    void InspectSentFrame(const Epls::CDecodedFrame&) override
    {
        Judge();
    }
    bool IsValid() const override
    {
        return true;
    }
};

class CStandInParameterCheck : public Check::CParameterInspector, public CVerdict
{
public:
    void InspectReceivedFrame(const Epls::CDecodedFrame&) override {}
    void InspectSentFrame(const Epls::CDecodedFrame&) override
    {
        Judge();
    }
    bool IsValid() const override
    {
        return true;
    }
};

class CStandInAdditionalParameterCheck : public Check::CAdditionalParameterInspector, public CVerdict
{
public:
    void InspectReceivedFrame(const Epls::CDecodedFrame&) override {}
    void InspectSentFrame(const Epls::CDecodedFrame&) override
    {
        Judge();
    }
    bool IsValid() const override
    {
        return true;
    }
};

/// Key medium acknowledged, no setup mode, no password stored (every password valid).
class CStandInTessera : public Main::CTessera, public Main::CAuthentification, public Main::CTesseraCommissioner
{
public:
    void Acknowledge() override
    {
        m_acknowledged = true;
    }
    bool IsAcknowledged() const override
    {
        return m_acknowledged;
    }
    bool IsSetupModeActive() const override
    {
        return m_setupMode;
    }
    void SetSetupModeActive(bool active) override
    {
        m_setupMode = active;
    }
    bool HasPassword() override
    {
        return false;
    }
    bool IsValidInvertedPassword(const std::uint8_t*) override
    {
        return true;
    }
    void SetInvertedPassword(const std::uint8_t*) override {}
    bool CanManuallyAcknowledgeTessera() override
    {
        return true;
    }
    bool CanAutomaticallyAcknowledgeTessera() override
    {
        return true;
    }

    bool m_acknowledged = true;
    bool m_setupMode = false;
};
} // namespace Doubles

#endif
