#pragma once

class ApiRequest;

// The printed lines of request outcomes, written here and nowhere else: a success prints the
// request's own line (if it has one), a refusal the server's message, a transport failure or a
// cancellation its description, an unreadable answer what is wrong with it. A status other than
// 200 prints nothing.
class RequestReport
{
public:
    static void print(const ApiRequest& request);
    // A list or feed held more items than are kept.
    static void printDroppedItems(int dropped);
};
