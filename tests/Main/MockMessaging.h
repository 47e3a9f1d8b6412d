// GoogleMock double of the queue relay, for unit tests of the session.
#ifndef TESTS_MAIN_MOCKMESSAGING_H
#define TESTS_MAIN_MOCKMESSAGING_H

#include <gmock/gmock.h>

#include <cstdint>

#include "Main/CMessaging.h"

namespace Doubles
{
class MockMessaging : public Main::CMessaging
{
public:
    MOCK_METHOD(bool, CanReceiveUnlockRequestFromRuntime, (), (override));
    MOCK_METHOD(std::uint8_t, ReceiveUnlockRequestFromRuntime, (std::uint8_t, std::uint8_t*), (override));
    MOCK_METHOD(bool, CanSendUnlockRequestToScm, (), (override));
    MOCK_METHOD(void, SendInvertedUnlockRequestToScm, (std::uint8_t, const std::uint8_t*), (override));

    MOCK_METHOD(bool, CanReceiveUnlockResponseFromScm, (), (override));
    MOCK_METHOD(std::uint8_t, ReceiveInvertedUnlockResponseFromScm, (std::uint8_t, std::uint8_t*), (override));
    MOCK_METHOD(bool, CanSendUnlockResponseToRuntime, (), (override));
    MOCK_METHOD(void, SendUnlockResponseToRuntime, (std::uint8_t, const std::uint8_t*), (override));

    MOCK_METHOD(bool, CanReceiveFrameFromRuntime, (), (override));
    MOCK_METHOD(std::uint16_t, ReceiveFrameFromRuntime, (std::uint16_t, std::uint8_t*), (override));
    MOCK_METHOD(bool, CanSendFrameToScm, (), (override));
    MOCK_METHOD(void, SendInvertedFrameToScm, (std::uint16_t, const std::uint8_t*), (override));

    MOCK_METHOD(bool, CanReceiveFrameFromScm, (), (override));
    MOCK_METHOD(std::uint16_t, ReceiveInvertedFrameFromScm, (std::uint16_t, std::uint8_t*), (override));
    MOCK_METHOD(bool, CanSendFrameToRuntime, (), (override));
    MOCK_METHOD(void, SendFrameToRuntime, (std::uint16_t, const std::uint8_t*), (override));

    MOCK_METHOD(void, InhibitFrames, (), (override));

    MOCK_METHOD(bool, CanReceiveCommandFromRuntime, (), (override));
    MOCK_METHOD(std::uint8_t, ReceiveCommandFromRuntime, (std::uint8_t, std::uint8_t*), (override));
    MOCK_METHOD(bool, CanSendCommandToScm, (), (override));
    MOCK_METHOD(void, SendInvertedCommandToScm, (std::uint8_t, const std::uint8_t*), (override));

    MOCK_METHOD(bool, CanReceiveResponseFromScm, (), (override));
    MOCK_METHOD(std::uint16_t, ReceiveInvertedResponseFromScm, (std::uint16_t, std::uint8_t*), (override));
    MOCK_METHOD(bool, CanSendResponseToRuntime, (), (override));
    MOCK_METHOD(void, SendResponseToRuntime, (std::uint16_t, const std::uint8_t*), (override));

    MOCK_METHOD(bool, CanReceiveEventFromScm, (), (override));
    MOCK_METHOD(std::uint8_t, ReceiveInvertedEventFromScm, (std::uint8_t, std::uint8_t*), (override));
    MOCK_METHOD(bool, CanSendEventToRuntime, (), (override));
    MOCK_METHOD(void, SendEventToRuntime, (std::uint8_t, const std::uint8_t*), (override));
};
} // namespace Doubles

#endif
