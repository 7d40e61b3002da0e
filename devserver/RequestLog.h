#pragma once

#include "IncomingRequest.h"

#include <QJsonArray>

// Every non-admin request in arrival order, as /__admin/requests reports it.
class RequestLog
{
public:
    void record(const IncomingRequest& request, const QString& script, const QString& action);
    QJsonArray toJson() const;
    void clear();

private:
    QJsonArray m_entries;
};
