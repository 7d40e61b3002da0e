#include "ListRequest.h"

#include "ApiAnswer.h"
#include "ServerContract.h"

#include <QJsonDocument>
#include <QJsonObject>

ListRequest::ListRequest(const ServerAddress::Composed& address, const QByteArray& body,
                         QObject* parent)
    : ApiRequest(address, body, parent)
{
}

QString ListRequest::successLine() const
{
    return QString::fromLatin1(XmlLine);
}

// The Content-Type prefix is compared byte for byte: "TEXT/XML" or "application/xml" is not a
// list but an envelope.
void ListRequest::readAnswer(const ApiAnswer& answer)
{
    if (answer.hasContentType &&
        answer.contentType.startsWith(ServerContract::XmlContentTypePrefix)) {
        m_xml = answer.body;
        return succeed();
    }
    const QJsonDocument document = QJsonDocument::fromJson(answer.body);
    if (!document.isObject())
        return unreadable(QStringLiteral("it is neither an XML list nor a JSON object"));
    readErrorEnvelope(document.object());
}
