#pragma once

#include <QString>
#include <QStringList>

// A mail program's compose window, filled in step by step and then opened.
class MailComposer
{
public:
    virtual ~MailComposer() = default;
    virtual void setRecipients(const QStringList& recipients) = 0;
    virtual void setSubject(const QString& subject) = 0;
    // Opens the composer with the items as the message body.
    virtual void performWithItems(const QStringList& items) = 0;
};
