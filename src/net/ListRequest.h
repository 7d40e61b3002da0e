#pragma once

#include "ApiRequest.h"
#include "ServerAddress.h"

// A list (notes, clients or projects). Success is an XML answer, recognised by its
// Content-Type; anything else is read as the JSON error envelope.
class ListRequest : public ApiRequest
{
    Q_OBJECT
public:
    static constexpr char XmlLine[] = "vsetko prebehlo na serveri OK a mame XML data";

    ListRequest(const ServerAddress::Composed& address, const QByteArray& body,
                QObject* parent = nullptr);

    // The XML document of a success.
    const QByteArray& xml() const { return m_xml; }

    QString successLine() const override;

protected:
    void readAnswer(const ApiAnswer& answer) override;

private:
    QByteArray m_xml;
};
