#pragma once

class QByteArray;
class QUrl;
class ServerTrust;
class TransportCall;

// Where requests go out: the HTTPS network in the program, a scripted stand-in in tests. A
// transport sends a form-encoded POST and hands back the call that will deliver its answer.
class ApiTransport
{
public:
    virtual ~ApiTransport() = default;

    enum class Resend
    {
        Allowed, // asking twice does no harm (a login, a list)
        Never,   // a command: sent at most once, even when the connection closes unanswered
    };

    // The caller owns the returned call. Its answer is delivered on the main thread, never
    // before this function has returned.
    virtual TransportCall* post(const QUrl& url, const QByteArray& body, Resend resend) = 0;

    // The trust records of the servers this transport reaches over TLS, if it keeps any.
    virtual ServerTrust* serverTrust() const { return nullptr; }
};
