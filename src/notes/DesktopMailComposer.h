#pragma once

#include "MailComposer.h"

#include <QString>
#include <QStringList>

#include <functional>

class QUrl;

// Hands a mail to the desktop's mail program through a mailto: link. Mail programs cut long
// links, so a body that would not fit whole goes to the clipboard and the link carries a cut one.
class DesktopMailComposer : public MailComposer
{
public:
    static constexpr int MaxUrlLength = 2000;

    using UrlOpener = std::function<bool(const QUrl&)>;

    DesktopMailComposer();

    void setRecipients(const QStringList& recipients) override;
    void setSubject(const QString& subject) override;
    void performWithItems(const QStringList& items) override;

    // Replaces the step that starts the mail program (QDesktopServices::openUrl by default).
    void setUrlOpener(UrlOpener opener);

    // mailto:<to>?subject=<subject>&body=<body>, every value percent-encoded as UTF-8 with only
    // the unreserved characters left raw and line breaks as CRLF. When the link would be longer
    // than maxLength the body is cut at a character boundary so that it fits, and *bodyCut says so.
    static QString mailtoUrl(const QString& to, const QString& subject, const QString& body,
                             int maxLength, bool* bodyCut = nullptr);

    static QString withCrlfLineBreaks(const QString& text);

private:
    static QString encoded(const QString& value);
    static QString fittingBody(const QString& body, qsizetype budget);
    static void copyWholeBody(const QString& body);

    QString m_recipient;
    QString m_subject;
    UrlOpener m_openUrl;
};
