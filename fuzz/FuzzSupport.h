#pragma once

#include "ApiTransport.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

class MemberCenter;
class TransportCall;

namespace FuzzSupport {

// Creates the application object once, with the English texts installed and a settings file in
// a private temporary folder; called from LLVMFuzzerInitialize. Widgets need a QApplication
// (with QT_QPA_PLATFORM=offscreen, as scripts/fuzz sets it).
enum class Application
{
    Core,
    Widgets
};
void setUp(int* argc, char*** argv, Application kind = Application::Core);

// The login session of the lists, on a transport that sends nothing.
MemberCenter& session();

// A copy of the input, terminated like every QByteArray the transport hands over.
QByteArray bytesOf(const std::uint8_t* data, std::size_t size);

// Stops the run with a message when a property of the code under test does not hold, so
// libFuzzer keeps the input like a crash.
[[noreturn]] void fail(const char* what);
// The same, with what was expected and what the client made of it.
[[noreturn]] void fail(const char* what, const QString& expected, const QString& actual);
// Fails unless actual == expected.
void expectEqual(const char* what, const QString& expected, const QString& actual);

} // namespace FuzzSupport

// Sends nothing. Every post hands back an open call that the target answers itself.
class StubTransport : public ApiTransport
{
public:
    TransportCall* post(const QUrl& url, const QByteArray& body, Resend resend) override;

    // The call of the latest post; owned by its request.
    TransportCall* lastCall() const { return m_lastCall; }

private:
    TransportCall* m_lastCall = nullptr;
};
