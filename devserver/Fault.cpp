#include "Fault.h"

#include <QJsonDocument>
#include <QJsonParseError>

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
    body = object.value(QLatin1String("body")).toString().toUtf8();
    delayMs = object.value(QLatin1String("delayMs")).toInt(0);
    drop = object.value(QLatin1String("drop")).toBool(false);
    passThrough = object.value(QLatin1String("passThrough")).toBool(false);
    if (count == 0 || count < -1)
        *error = QStringLiteral("count must be positive or -1");
    else if (status < 100 || status > 599)
        *error = QStringLiteral("status must be between 100 and 599");
    else if (delayMs < 0)
        *error = QStringLiteral("delayMs must not be negative");
    return error->isEmpty();
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
    return HttpReply{status, contentType, body, {}};
}

QString Fault::matchText(const QJsonValue& value)
{
    return value.isString() ? value.toString() : value.toVariant().toString();
}
