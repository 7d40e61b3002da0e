#pragma once

#include <QByteArray>
#include <QString>

// What came back for one request, as the transport saw it.
struct ApiAnswer
{
    // No complete, readable answer arrived: no route, refused, TLS failure, time-out, a connection
    // closed early, or a body that could not be decoded.
    bool transportFailed = false;
    QString errorDescription;

    // The HTTP status, when a response arrived (also together with a transport failure); 0 without.
    int statusCode = 0;
    bool hasContentType = false;
    QByteArray contentType;
    QByteArray body;

    // The request may have reached the server before the exchange failed (the connection closed
    // or timed out after sending), so whatever it asked may have been done.
    bool maybeReceived = false;

    // The "Retry-After" header of an answer that asks to be tried later, as sent.
    QByteArray retryAfter = {};
};
