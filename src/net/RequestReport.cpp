#include "RequestReport.h"

#include "ApiRequest.h"
#include "Console.h"
#include "Limits.h"

void RequestReport::print(const ApiRequest& request)
{
    switch (request.outcome()) {
    case ApiRequest::Outcome::Succeeded:
        if (const QString line = request.successLine(); !line.isEmpty())
            Console::print(line);
        return;
    case ApiRequest::Outcome::Refused:
    case ApiRequest::Outcome::TransportFailed:
    case ApiRequest::Outcome::Cancelled:
        Console::print(request.errorMessage());
        return;
    case ApiRequest::Outcome::Unreadable:
        Console::print(request.unreadablePrefix() + request.errorMessage());
        return;
    case ApiRequest::Outcome::HttpStatus:
    case ApiRequest::Outcome::Pending:
        return;
    }
}

void RequestReport::printDroppedItems(int dropped)
{
    Console::print(QStringLiteral("the list holds only the first %1 items; %2 more were dropped")
                       .arg(Limits::MaxListItems)
                       .arg(dropped));
}
