#pragma once

#include <QStringView>
#include <QXmlStreamAttributes>

// Receives the events of an XmlPushParser, in document order.
class XmlEventHandler
{
public:
    virtual ~XmlEventHandler() = default;
    virtual void didStartElement(QStringView name, const QXmlStreamAttributes& attributes) = 0;
    virtual void foundCharacters(QStringView text) = 0;
    // The content of a CDATA section; ignored unless a handler wants it.
    virtual void foundCDATA(QStringView) {}
    virtual void didEndElement(QStringView name) = 0;
    virtual void parseErrorOccurred(const QString& description) = 0;
};
