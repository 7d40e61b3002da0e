#include "RequestReport.h"

#include "ApiRequest.h"
#include "CommandRequest.h"
#include "Console.h"
#include "Limits.h"
#include "LoginRequest.h"
#include "Notices.h"
#include "ServerContract.h"

QString RequestReport::safeMessage(const QString& message)
{
    QString safe = message.left(Limits::MaxMessageLength);
    for (QChar& c : safe) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            c = QChar::ReplacementCharacter;
    }
    if (message.size() > Limits::MaxMessageLength)
        safe += QChar(0x2026);
    return safe;
}

// Commands are told by their owner, which knows what became of the user's text; a cancelled
// request was replaced by a newer one and is no news.
void RequestReport::notify(const ApiRequest& request)
{
    const ApiRequest::Outcome outcome = request.outcome();
    if (outcome == ApiRequest::Outcome::Succeeded || outcome == ApiRequest::Outcome::Cancelled ||
        outcome == ApiRequest::Outcome::Pending || qobject_cast<const CommandRequest*>(&request))
        return;
    const QString reason = failureReason(request);
    if (qobject_cast<const LoginRequest*>(&request))
        return Notices::post(tr("Not signed in: %1.").arg(reason));
    const QString script = request.url().fileName();
    if (script == QLatin1String(ServerContract::Script::Clients))
        Notices::post(tr("The clients could not be loaded: %1.").arg(reason));
    else if (script == QLatin1String(ServerContract::Script::Projects))
        Notices::post(tr("The projects could not be loaded: %1.").arg(reason));
    else
        Notices::post(tr("The notes could not be loaded: %1. The list shows what it showed "
                         "before.")
                          .arg(reason));
}

void RequestReport::print(const ApiRequest& request)
{
    notify(request);
    switch (request.outcome()) {
    case ApiRequest::Outcome::Succeeded:
        if (const QString line = request.successLine(); !line.isEmpty())
            Console::print(line);
        return;
    case ApiRequest::Outcome::Refused:
    case ApiRequest::Outcome::TransportFailed:
    case ApiRequest::Outcome::Cancelled:
        Console::print(safeMessage(request.errorMessage()));
        return;
    case ApiRequest::Outcome::Unreadable:
        Console::print(request.unreadablePrefix() + safeMessage(request.errorMessage()));
        return;
    case ApiRequest::Outcome::HttpStatus:
        // Not one of the fixed lines: an answer other than 200 prints nothing there.
        Console::diagnose(request.httpStatus() == 0
                              ? QStringLiteral("the server's answer is not an HTTP answer")
                              : QStringLiteral("the server answered with HTTP status %1")
                                    .arg(request.httpStatus()));
        return;
    case ApiRequest::Outcome::Pending:
        return;
    }
}

QString RequestReport::failureReason(const ApiRequest& request)
{
    switch (request.outcome()) {
    case ApiRequest::Outcome::Refused:
        return tr("the server refused it: %1").arg(safeMessage(request.errorMessage()));
    case ApiRequest::Outcome::TransportFailed:
        return request.mayHaveReachedServer()
                   ? tr("the connection broke before the server answered")
                   : tr("the server could not be reached (%1)")
                         .arg(safeMessage(request.errorMessage()));
    case ApiRequest::Outcome::Unreadable:
        return tr("the server's answer could not be read");
    case ApiRequest::Outcome::HttpStatus:
        return request.httpStatus() == 0
                   ? tr("the server's answer is not an HTTP answer")
                   : tr("the server answered with HTTP status %1").arg(request.httpStatus());
    case ApiRequest::Outcome::Cancelled:
        return tr("it was cancelled");
    case ApiRequest::Outcome::Succeeded:
    case ApiRequest::Outcome::Pending:
        break;
    }
    return {};
}

void RequestReport::printDroppedItems(int dropped)
{
    Console::diagnose(QStringLiteral("the list holds only the first %1 items; %2 more were dropped")
                          .arg(Limits::MaxListItems)
                          .arg(dropped));
    Notices::post(tr("The server sent more than %1 items; %2 more were left out.")
                      .arg(Limits::MaxListItems)
                      .arg(dropped));
}

void RequestReport::printBrokenList(const QString& description, qsizetype itemsRead)
{
    Console::print(QStringLiteral("failure error: ") + safeMessage(description));
    Console::diagnose(QStringLiteral("the list is incomplete: it shows the %1 items read before "
                                     "the error")
                          .arg(itemsRead));
    Notices::post(tr("The server's list broke off: only the %n item(s) before the break are "
                     "shown.",
                     nullptr, int(itemsRead)));
}
