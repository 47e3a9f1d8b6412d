// GoogleMock doubles of the inspector, the four checks and the key-medium, password and commissioner interfaces.
#ifndef TESTS_MAIN_MOCKINSPECTORS_H
#define TESTS_MAIN_MOCKINSPECTORS_H

#include <gmock/gmock.h>

#include <cstdint>

#include "Check/CAdditionalParameterInspector.h"
#include "Check/CFirmwareInspector.h"
#include "Check/CParameterInspector.h"
#include "Check/CUdidInspector.h"
#include "Main/CAuthentification.h"
#include "Main/CInspector.h"
#include "Main/CTessera.h"
#include "Main/CTesseraCommissioner.h"

namespace Doubles
{
class MockInspector : public Main::CInspector
{
public:
    MOCK_METHOD(void, InspectCommand, (const Hmi::CDecodedCommand&), (override));
    MOCK_METHOD(void, InspectEvent, (const Event::CDecodedEvent&), (override));
    MOCK_METHOD(void, InspectReceivedFrame, (const Epls::CDecodedFrame&), (override));
    MOCK_METHOD(void, InspectSentFrame, (const Epls::CDecodedFrame&, std::uint16_t, std::uint8_t*), (override));
    MOCK_METHOD(bool, IsValid, (), (const, override));
};

class MockUdidInspector : public Check::CUdidInspector
{
public:
    MOCK_METHOD(void, InspectCommand, (const Hmi::CDecodedCommand&), (override));
    MOCK_METHOD(void, InspectEvent, (const Event::CDecodedEvent&), (override));
    MOCK_METHOD(void, InspectReceivedFrame, (const Epls::CDecodedFrame&), (override));
    MOCK_METHOD(void, InspectSentFrame, (const Epls::CDecodedFrame&), (override));
    MOCK_METHOD(bool, IsValid, (), (const, override));
};

class MockFirmwareInspector : public Check::CFirmwareInspector
{
public:
    MOCK_METHOD(void, InspectCommand, (const Hmi::CDecodedCommand&), (override));
    MOCK_METHOD(void, InspectEvent, (const Event::CDecodedEvent&), (override));
    MOCK_METHOD(void, InspectReceivedFrame, (const Epls::CDecodedFrame&), (override));
    MOCK_METHOD(void, InspectSentFrame, (const Epls::CDecodedFrame&), (override));
    MOCK_METHOD(bool, IsValid, (), (const, override));
};

class MockParameterInspector : public Check::CParameterInspector
{
public:
    MOCK_METHOD(void, InspectReceivedFrame, (const Epls::CDecodedFrame&), (override));
    MOCK_METHOD(void, InspectSentFrame, (const Epls::CDecodedFrame&), (override));
    MOCK_METHOD(bool, IsValid, (), (const, override));
};

class MockAdditionalParameterInspector : public Check::CAdditionalParameterInspector
{
public:
    MOCK_METHOD(void, InspectReceivedFrame, (const Epls::CDecodedFrame&), (override));
    MOCK_METHOD(void, InspectSentFrame, (const Epls::CDecodedFrame&), (override));
    MOCK_METHOD(bool, IsValid, (), (const, override));
};

class MockTessera : public Main::CTessera
{
public:
    MOCK_METHOD(void, Acknowledge, (), (override));
    MOCK_METHOD(bool, IsAcknowledged, (), (const, override));
    MOCK_METHOD(bool, IsSetupModeActive, (), (const, override));
    MOCK_METHOD(void, SetSetupModeActive, (bool), (override));
};

class MockAuthentification : public Main::CAuthentification
{
public:
    MOCK_METHOD(bool, HasPassword, (), (override));
    MOCK_METHOD(bool, IsValidInvertedPassword, (const std::uint8_t*), (override));
    MOCK_METHOD(void, SetInvertedPassword, (const std::uint8_t*), (override));
};

class MockTesseraCommissioner : public Main::CTesseraCommissioner
{
public:
    MOCK_METHOD(bool, CanManuallyAcknowledgeTessera, (), (override));
    MOCK_METHOD(bool, CanAutomaticallyAcknowledgeTessera, (), (override));
};
} // namespace Doubles

#endif
