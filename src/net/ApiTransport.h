#pragma once

#include "net/ApiAnswer.h"

#include <QNetworkReply>
#include <QPointer>

#include <functional>

class QNetworkAccessManager;

// Sends the HTTPS POST requests of every request owner: one process-wide QNetworkAccessManager
// (so TLS connections are reused), a transfer time-out, no cookies, no redirects followed, and
// the owner's previous request cancelled before a new one starts. Answers reach the handler on
// the owner's (main) thread through the event loop, always after the starting call has returned.
class ApiTransport
{
public:
    using AnswerHandler = std::function<void(const ApiAnswer&)>;
    using RequestTask = QPointer<QNetworkReply>;

    static constexpr int DefaultTimeoutMs = 30000;

    // "https://" + host + path + "/api/" + script, joined as they stand.
    static QString composeUrlText(const QString& host, const QString& path, const QString& script);

    // Parses the URL text; when it is no valid https URL, prints a line naming it, sends nothing
    // and returns false. Otherwise cancels dataTask if it is in flight, starts the new request,
    // stores it in dataTask and returns true. The handler runs once, unless owner is destroyed.
    static bool send(RequestTask& dataTask, const QString& urlText, const QByteArray& body,
                     QObject* owner, AnswerHandler handler);

    // Aborts the request if it is still in flight; its handler then sees a cancellation.
    static void cancel(RequestTask& dataTask);

    static QNetworkAccessManager& manager();

    static void setTransferTimeout(int milliseconds); // tests shorten the 30 s time-out
    static int transferTimeout();

private:
    static ApiAnswer answerOf(QNetworkReply* reply);
};
