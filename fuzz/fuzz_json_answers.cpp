// The JSON answers of the server: the login, the error envelope of a list request and the
// envelope of a note command. The first byte picks the request and the Content-Type, the rest is
// the body of a status-200 answer. Every answer must end the request at once with the outcome
// that expectedAnswer() reads from the body by the documented rules: succeeded with the session
// id or the new note's id, refused with the server's code and message, or unreadable.

#include "ApiAnswer.h"
#include "CommandRequest.h"
#include "FuzzSupport.h"
#include "Limits.h"
#include "ListRequest.h"
#include "LoginRequest.h"
#include "TransportCall.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QVariant>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>

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
using Outcome = ApiRequest::Outcome;

struct Expected
{
    Outcome outcome = Outcome::Unreadable;
    int code = 0;
    QString message;
    QString sessionId; // of an accepted login
    QString noteId;    // of a carried-out command that names its note
};

// A JSON number with a whole value in the range of T.
template <typename T> std::optional<T> wholeNumber(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::floor(number) != number ||
        number < double(std::numeric_limits<T>::min()) ||
        number >= -double(std::numeric_limits<T>::min()))
        return std::nullopt;
    return T(number);
}

// "error_code" (a whole number) and "error_message" (a string) make a refusal.
Expected refusalOrUnreadable(const QJsonObject& object)
{
    const std::optional<int> code = wholeNumber<int>(object.value(QLatin1String("error_code")));
    const QJsonValue message = object.value(QLatin1String("error_message"));
    if (!code || !message.isString())
        return {};
    return {Outcome::Refused, *code, message.toString(), {}, {}};
}

// At most Limits::MaxSessionIdLength UTF-16 units, none of them white space or a control
// character.
bool isUsableSessionId(const QString& id)
{
    if (id.size() > Limits::MaxSessionIdLength)
        return false;
    for (const char32_t c : id.toUcs4())
        if (QChar::isSpace(c) || c == 0x85 || c < 0x20 || (c >= 0x7F && c <= 0x9F))
            return false;
    return true;
}

Expected expectedAnswer(std::uint8_t kind, bool xmlType, const QByteArray& body)
{
    if (kind == 1 && xmlType)
        return {Outcome::Succeeded, 0, {}, {}, {}};
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isObject())
        return {};
    const QJsonObject object = document.object();
    if (kind == 1)
        return refusalOrUnreadable(object);
    const std::optional<int> success = wholeNumber<int>(object.value(QLatin1String("success")));
    if (!success)
        return {};
    if (kind == 0) {
        // The session id is required in either case; a refusal needs only a message.
        const QJsonValue sessionId = object.value(QLatin1String("PHPSESSID"));
        if (!sessionId.isString())
            return {};
        if (*success == 1)
            return isUsableSessionId(sessionId.toString())
                       ? Expected{Outcome::Succeeded, 0, {}, sessionId.toString(), {}}
                       : Expected{};
        const QJsonValue message = object.value(QLatin1String("error_message"));
        if (!message.isString())
            return {};
        return {Outcome::Refused, 0, message.toString(), {}, {}};
    }
    if (*success != 1)
        return refusalOrUnreadable(object);
    Expected done{Outcome::Succeeded, 0, {}, {}, {}};
    const QJsonValue noteId = object.value(QLatin1String("NoteID"));
    if (noteId.isString())
        done.noteId = noteId.toString();
    else if (noteId.toVariant().typeId() == QMetaType::LongLong)
        // A whole number as written, past the 53 bits a double holds exactly.
        done.noteId = QString::number(noteId.toVariant().toLongLong());
    else if (const std::optional<qint64> number = wholeNumber<qint64>(noteId))
        done.noteId = QString::number(*number);
    return done;
}

const char* nameOf(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Pending:
        return "pending";
    case Outcome::Succeeded:
        return "succeeded";
    case Outcome::Refused:
        return "refused";
    case Outcome::HttpStatus:
        return "HTTP status";
    case Outcome::TransportFailed:
        return "transport failed";
    case Outcome::Unreadable:
        return "unreadable";
    case Outcome::Cancelled:
        return "cancelled";
    }
    return "?";
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

    const bool isXml = type.present && answer.contentType.startsWith("text/xml");
    const Expected expected = expectedAnswer(kind, isXml, answer.body);
    const Outcome outcome = request->outcome();
    if (outcome != expected.outcome)
        FuzzSupport::fail("a status-200 answer ended the request with the wrong outcome",
                          QLatin1String(nameOf(expected.outcome)), QLatin1String(nameOf(outcome)));
    if (outcome == Outcome::Unreadable && request->errorMessage().isEmpty())
        FuzzSupport::fail("an unreadable answer carries no reason");
    if (outcome == Outcome::Refused) {
        if (request->errorCode() != expected.code)
            FuzzSupport::fail("a refusal carries the wrong code", QString::number(expected.code),
                              QString::number(request->errorCode()));
        FuzzSupport::expectEqual("a refusal carries the wrong message", expected.message,
                                 request->errorMessage());
    }
    if (kind == 0)
        FuzzSupport::expectEqual("a login took the wrong session id", expected.sessionId,
                                 static_cast<const LoginRequest*>(request.get())->sessionId());
    if (kind == 1 && isXml && static_cast<const ListRequest*>(request.get())->xml() != answer.body)
        FuzzSupport::fail("a list answer's XML is not the body as sent");
    if (kind == 2)
        FuzzSupport::expectEqual("a command took the wrong note id", expected.noteId,
                                 static_cast<const CommandRequest*>(request.get())->noteId());
    return 0;
}
