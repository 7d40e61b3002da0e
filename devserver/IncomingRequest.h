#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>

class QHttpServerRequest;

// What the server needs of one request, copied out of QHttpServerRequest: the library reuses
// that object for the next request on the connection and frees it with the connection, while a
// delayed answer may still need the data.
class IncomingRequest
{
public:
    static IncomingRequest from(const QHttpServerRequest& request);

    QByteArray method; // "POST", "GET", ...
    QString path;
    QByteArray body;
    QByteArray contentType;
    QByteArray cookie;
    QHostAddress peer;
    bool closeConnection = false;

    bool isPost() const { return method == "POST"; }

private:
    static QByteArray header(const QHttpServerRequest& request, const QByteArray& name);
};
