#pragma once

#include <QCoreApplication>
#include <QString>

class ApiRequest;

// The printed lines of request outcomes, written here and nowhere else: a success prints the
// request's own line (if it has one), a refusal the server's message, a transport failure or a
// cancellation its description, an unreadable answer what is wrong with it, another status than
// 200 that status. Messages that come from the server or the transport are made safe first.
class RequestReport
{
    Q_DECLARE_TR_FUNCTIONS(RequestReport)

public:
    // Prints the outcome's line and, for a failed sign-in or list, tells the window what failed
    // and why (Notices).
    static void print(const ApiRequest& request);
    // Why a request failed, in words for the window (translated): "the server could not be
    // reached", the server's own refusal, and so on. Empty for a success.
    static QString failureReason(const ApiRequest& request);
    // One line of at most Limits::MaxMessageLength characters (then an ellipsis), every C0 and
    // C1 control character and DEL replaced by U+FFFD, so a message can neither break the line
    // nor drive the terminal.
    static QString safeMessage(const QString& message);
    // A list or feed held more items than are kept.
    static void printDroppedItems(int dropped);
    // A list or feed broke off: the parser's description, then that only the items read before
    // the break are shown.
    static void printBrokenList(const QString& description, qsizetype itemsRead);

private:
    static void notify(const ApiRequest& request);
};
