#include "Fault.h"

#include "Gzip.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <cmath>
#include <limits>

std::optional<Fault> Fault::fromJson(const QByteArray& json, QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        *error = parseError.error == QJsonParseError::NoError
                     ? QStringLiteral("the fault must be a JSON object")
                     : parseError.errorString();
        return std::nullopt;
    }
    Fault fault;
    if (!fault.readObject(document.object(), error))
        return std::nullopt;
    return fault;
}

bool Fault::readObject(const QJsonObject& object, QString* error)
{
    error->clear();
    match = object.value(QLatin1String("match")).toObject();
    count = object.value(QLatin1String("count")).toInt(1);
    status = object.value(QLatin1String("status")).toInt(200);
    const QJsonValue type = object.value(QLatin1String("contentType"));
    if (type.isString())
        contentType = type.toString().toUtf8();
    delayMs = object.value(QLatin1String("delayMs")).toInt(0);
    drop = object.value(QLatin1String("drop")).toBool(false);
    passThrough = object.value(QLatin1String("passThrough")).toBool(false);
    gzip = object.value(QLatin1String("gzip")).toBool(false);
    const QJsonObject headerObject = object.value(QLatin1String("headers")).toObject();
    for (auto it = headerObject.begin(); it != headerObject.end(); ++it) {
        const QByteArray name = it.key().toLatin1();
        const QByteArray value = it.value().toString().toLatin1();
        if (name.isEmpty() || name.contains(':') || name.contains('\n') || value.contains('\n') ||
            value.contains('\r')) {
            *error = QStringLiteral("headers must be names without ':' and one-line values");
            return false;
        }
        headers.append({name, value});
    }
    const auto trickle = wholeNumber(object, "trickleBytesPerSecond", 0, error);
    const auto oversize = wholeNumber(object, "oversizeBytes", -1, error);
    const auto bomb = wholeNumber(object, "gzipBombBytes", -1, error);
    if (!trickle || !oversize || !bomb || !readBody(object, error))
        return false;
    trickleBytesPerSecond = int(qMin<qint64>(*trickle, std::numeric_limits<int>::max()));
    oversizeBytes = *oversize;
    gzipBombBytes = *bomb;
    const bool hasBody =
        object.contains(QLatin1String("body")) || object.contains(QLatin1String("bodyBase64"));
    if (count == 0 || count < -1)
        *error = QStringLiteral("count must be positive or -1");
    else if (status < 100 || status > 599)
        *error = QStringLiteral("status must be between 100 and 599");
    else if (delayMs < 0)
        *error = QStringLiteral("delayMs must not be negative");
    else if (oversizeBytes >= 0 && (gzip || gzipBombBytes >= 0))
        *error = QStringLiteral("oversizeBytes does not go with gzip or gzipBombBytes");
    else if (gzipBombBytes >= 0 && (hasBody || gzip || passThrough))
        *error = QStringLiteral("gzipBombBytes is the whole body: no body, gzip or passThrough");
    if (!error->isEmpty())
        return false;
    if (gzipBombBytes >= 0)
        body = Gzip::zeros(gzipBombBytes);
    return true;
}

bool Fault::readBody(const QJsonObject& object, QString* error)
{
    const QJsonValue text = object.value(QLatin1String("body"));
    const QJsonValue base64 = object.value(QLatin1String("bodyBase64"));
    if (!text.isUndefined() && !base64.isUndefined()) {
        *error = QStringLiteral("body and bodyBase64 do not go together");
        return false;
    }
    if (base64.isUndefined()) {
        body = text.toString().toUtf8();
        return true;
    }
    const auto decoded = QByteArray::fromBase64Encoding(base64.toString().toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!base64.isString() || !decoded) {
        *error = QStringLiteral("bodyBase64 must be a base64 string");
        return false;
    }
    body = *decoded;
    return true;
}

// The value of an optional key that must be a whole number of at least 0.
std::optional<qint64> Fault::wholeNumber(const QJsonObject& object, const char* key, qint64 absent,
                                         QString* error)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined())
        return absent;
    const double number = value.toDouble(-1);
    if (number < 0 || number != std::floor(number) || number > double(1LL << 53)) {
        *error = QStringLiteral("%1 must be a whole number of at least 0").arg(QLatin1String(key));
        return std::nullopt;
    }
    return qint64(number);
}

bool Fault::matches(const QString& script, const FormDecoder::Fields& form) const
{
    for (auto it = match.begin(); it != match.end(); ++it) {
        const QString actual = it.key() == QLatin1String("script") ? script : form.value(it.key());
        if (actual != matchText(it.value()))
            return false;
    }
    return true;
}

HttpReply Fault::reply() const
{
    return HttpReply{status, contentType, body, headers};
}

HttpReply Fault::shape(HttpReply reply) const
{
    if (passThrough)
        reply.extraHeaders += headers;
    if (gzip)
        reply.body = Gzip::compress(reply.body);
    if (gzip || gzipBombBytes >= 0)
        reply.extraHeaders.append(
            {QByteArrayLiteral("Content-Encoding"), QByteArrayLiteral("gzip")});
    if (oversizeBytes >= 0) {
        reply.repeatedLength = oversizeBytes;
        if (reply.body.isEmpty())
            reply.body = QByteArrayLiteral("x");
    }
    return reply;
}

QString Fault::matchText(const QJsonValue& value)
{
    return value.isString() ? value.toString() : value.toVariant().toString();
}
