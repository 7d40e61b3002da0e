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
// Every key is optional. "match" compares "script" with the requested script and any other key
// with the form field of that name; no "match" means every request. "count" is how many
// requests the fault answers (-1: until cleared). An absent or null "contentType" sends no
// Content-Type header.
class Fault
{
public:
    static std::optional<Fault> fromJson(const QByteArray& json, QString* error);

    bool matches(const QString& script, const FormDecoder::Fields& form) const;
    // The answer that replaces the real one.
    HttpReply reply() const;

    QJsonObject match;
    int count = 1;
    int status = 200;
    std::optional<QByteArray> contentType;
    QByteArray body;
    int delayMs = 0;
    bool drop = false;
    bool passThrough = false;

private:
    bool readObject(const QJsonObject& object, QString* error);
    static QString matchText(const QJsonValue& value);
};
