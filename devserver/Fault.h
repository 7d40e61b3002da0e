#pragma once

#include "FormDecoder.h"
#include "HttpReply.h"

#include <QJsonObject>
#include <QString>

#include <optional>

// One injected misbehaviour, as posted to /__admin/faults:
//   {"match": {"script": "notes.php", "action": "edit_note"}, "count": 1, "status": 200,
//    "contentType": "text/xml; charset=utf-8", "body": "...", "delayMs": 0, "drop": false,
//    "passThrough": false}
// plus the keys that shape how the answer travels:
//   "bodyBase64": "..."          the body as base64, for bytes a JSON string cannot carry
//   "trickleBytesPerSecond": N   the whole answer, head included, a byte at a time at N bytes/s
//   "oversizeBytes": N           a body of N bytes: the body repeated ("x" when it is empty)
//   "gzip": true                 the body gzip-compressed, with "Content-Encoding: gzip"
//   "gzipBombBytes": N           the body is the gzip stream of N zero bytes, likewise labelled
//   "headers": {"Name": "value"} further header lines, e.g. {"Retry-After": "5"}
// Every key is optional. "match" compares "script" with the requested script and any other key
// with the form field of that name; no "match" means every request. "count" is how many
// requests the fault answers (-1: until cleared). An absent or null "contentType" sends no
// Content-Type header. With "passThrough" the real answer is shaped instead of the fault's own.
class Fault
{
public:
    static std::optional<Fault> fromJson(const QByteArray& json, QString* error);

    bool matches(const QString& script, const FormDecoder::Fields& form) const;
    // The answer that replaces the real one.
    HttpReply reply() const;
    // Applies gzip and oversizeBytes to an answer, the fault's own or the real one.
    HttpReply shape(HttpReply reply) const;

    QJsonObject match;
    int count = 1;
    int status = 200;
    std::optional<QByteArray> contentType;
    QByteArray body;
    int delayMs = 0;
    bool drop = false;
    bool passThrough = false;
    int trickleBytesPerSecond = 0; // 0: full speed
    qint64 oversizeBytes = -1;     // -1: the body as it is
    bool gzip = false;
    qint64 gzipBombBytes = -1; // -1: no bomb
    QList<std::pair<QByteArray, QByteArray>> headers;

private:
    bool readObject(const QJsonObject& object, QString* error);
    bool readBody(const QJsonObject& object, QString* error);
    static std::optional<qint64> wholeNumber(const QJsonObject& object, const char* key,
                                             qint64 absent, QString* error);
    static QString matchText(const QJsonValue& value);
};
