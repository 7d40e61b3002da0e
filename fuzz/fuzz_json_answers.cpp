// The JSON answers of the server: the login, the error envelope of a list request and the
// envelope of a note command. The first byte picks the request and the Content-Type, the rest is
// the body of a status-200 answer. Every answer must end the request at once with one outcome.

#include "ApiAnswer.h"
#include "CommandRequest.h"
#include "FuzzSupport.h"
#include "ListRequest.h"
#include "LoginRequest.h"
#include "TransportCall.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {
// Never contacted: the stub transport only hands the call back.
const QString Url = QStringLiteral("https://127.0.0.1:8443/api/");

struct ContentType
{
    bool present;
    const char* value;
};
constexpr ContentType ContentTypes[] = {
    {true, "application/json"},
    {true, "text/html; charset=UTF-8"},
    {false, ""},
    {true, "text/xml; charset=utf-8"},
};
constexpr std::uint8_t RequestKinds = 3;

std::unique_ptr<ApiRequest> makeRequest(std::uint8_t kind)
{
    switch (kind) {
    case 0:
        return std::make_unique<LoginRequest>(Url + QLatin1String("login.php"),
                                              QStringLiteral("demo"), QStringLiteral("demo"));
    case 1:
        return std::make_unique<ListRequest>(Url + QLatin1String("client.php"),
                                             QByteArrayLiteral("PHPSESSID=s1&action=xml_clients"));
    default:
        return std::make_unique<CommandRequest>(
            Url + QLatin1String("notes.php"),
            QByteArrayLiteral("PHPSESSID=s1&action=delete_note&NoteID=7"),
            QStringLiteral("note deleted"));
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    FuzzSupport::setUp(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t kind = data[0] % RequestKinds;
    const ContentType& type =
        ContentTypes[(data[0] / RequestKinds) % (sizeof ContentTypes / sizeof ContentTypes[0])];

    StubTransport transport;
    const std::unique_ptr<ApiRequest> request = makeRequest(kind);
    request->start(transport);
    if (!request->isPending() || !transport.lastCall())
        FuzzSupport::fail("the request was not sent");

    ApiAnswer answer;
    answer.statusCode = 200;
    answer.hasContentType = type.present;
    answer.contentType = type.value;
    answer.body = FuzzSupport::bytesOf(data + 1, size - 1);
    transport.lastCall()->deliver(answer);

    using Outcome = ApiRequest::Outcome;
    const Outcome outcome = request->outcome();
    if (outcome != Outcome::Succeeded && outcome != Outcome::Refused &&
        outcome != Outcome::Unreadable)
        FuzzSupport::fail("a status-200 answer did not end the request as read");
    if (outcome == Outcome::Unreadable && request->errorMessage().isEmpty())
        FuzzSupport::fail("an unreadable answer carries no reason");
    if (kind == 1) {
        const auto* list = static_cast<const ListRequest*>(request.get());
        const bool isXml = type.present && answer.contentType.startsWith("text/xml");
        if (isXml != (outcome == Outcome::Succeeded))
            FuzzSupport::fail("a list answer was told apart by anything but its Content-Type");
        if (isXml && list->xml() != answer.body)
            FuzzSupport::fail("a list answer's XML is not the body as sent");
    }
    return 0;
}
