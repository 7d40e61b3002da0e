#include "IncomingRequest.h"

#include <QHttpServerRequest>
#include <QMetaEnum>

IncomingRequest IncomingRequest::from(const QHttpServerRequest& request)
{
    IncomingRequest copy;
    const QMetaEnum methods = QMetaEnum::fromType<QHttpServerRequest::Method>();
    copy.method = QByteArray(methods.valueToKey(int(request.method()))).toUpper();
    copy.path = request.url().path();
    copy.body = request.body();
    copy.contentType = header(request, "content-type");
    copy.cookie = header(request, "cookie");
    copy.peer = request.remoteAddress();
    copy.closeConnection = header(request, "connection").toLower().contains("close");
    return copy;
}

// Header names compare case-insensitively; repeated headers are joined as HTTP allows, Cookie
// headers with "; " as their own syntax demands.
QByteArray IncomingRequest::header(const QHttpServerRequest& request, const QByteArray& name)
{
    const QByteArray separator = name == "cookie" ? "; " : ", ";
    QByteArray value;
    const auto headers = request.headers();
    for (const auto& [key, text] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (!value.isEmpty())
            value += separator;
        value += text;
    }
    return value;
}
