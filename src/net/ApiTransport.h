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

    // Opens up to count connections to the server of url ahead of the requests that will use
    // them, so that requests sent together later need not wait for handshakes. Each handshake
    // goes through the same trust decision as a request's.
    virtual void openConnections(const QUrl& url, int count)
    {
        (void)url;
        (void)count;
    }

    // The trust records of the servers this transport reaches over TLS, if it keeps any.
    virtual ServerTrust* serverTrust() const { return nullptr; }
};
