#pragma once

#include <QByteArray>
#include <QString>

// What came back for one request, as the answer handler of its owner sees it.
struct ApiAnswer
{
    // The transport failed (no route, refused, TLS failure, time-out, cancellation).
    bool transportFailed = false;
    QString errorDescription;
    bool cancelled = false; // aborted by a newer request of the same owner
    bool timedOut = false;  // no progress within the transfer time-out

    // An HTTP response arrived (possibly together with a transport error).
    bool isHttp = false;
    int statusCode = 0;
    bool hasContentType = false;
    QByteArray contentType;
    QByteArray body;
};
