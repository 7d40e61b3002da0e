#include "DesktopMailComposer.h"

#include "Notices.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QTextBoundaryFinder>
#include <QUrl>

#include <utility>

DesktopMailComposer::DesktopMailComposer()
    : m_openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
}

void DesktopMailComposer::setRecipients(const QStringList& recipients)
{
    m_recipient = recipients.join(QLatin1Char(','));
}

void DesktopMailComposer::setSubject(const QString& subject)
{
    m_subject = subject;
}

void DesktopMailComposer::setUrlOpener(UrlOpener opener)
{
    m_openUrl = std::move(opener);
}

void DesktopMailComposer::performWithItems(const QStringList& items)
{
    const QString body = items.join(QLatin1Char('\n'));
    bool bodyCut = false;
    const QString url = mailtoUrl(m_recipient, m_subject, body, MaxUrlLength, &bodyCut);
    if (bodyCut) {
        copyWholeBody(body);
        Notices::post(QCoreApplication::translate(
            "DesktopMailComposer",
            "The note is too long for a mail link: the whole text is on the clipboard."));
    }
    if (!m_openUrl(QUrl::fromEncoded(url.toLatin1(), QUrl::StrictMode)))
        Notices::post(QCoreApplication::translate("DesktopMailComposer",
                                                  "No mail program could be opened for the note."));
}

QString DesktopMailComposer::mailtoUrl(const QString& to, const QString& subject,
                                       const QString& body, int maxLength, bool* bodyCut)
{
    const QString head = QLatin1String("mailto:") + encoded(to) + QLatin1String("?subject=") +
                         encoded(subject) + QLatin1String("&body=");
    const QString wholeBody = withCrlfLineBreaks(body);
    QString encodedBody = encoded(wholeBody);
    const bool cut = head.size() + encodedBody.size() > maxLength;
    if (cut)
        encodedBody = encoded(fittingBody(wholeBody, maxLength - head.size()));
    if (bodyCut)
        *bodyCut = cut;
    return head + encodedBody;
}

QString DesktopMailComposer::withCrlfLineBreaks(const QString& text)
{
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

QString DesktopMailComposer::encoded(const QString& value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

// The longest run of whole characters (grapheme clusters, so neither a UTF-8 sequence, an accent
// nor a CRLF is split) whose encoding takes at most budget characters.
QString DesktopMailComposer::fittingBody(const QString& body, qsizetype budget)
{
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, body);
    qsizetype fitting = 0;
    qsizetype used = 0;
    for (qsizetype next = boundaries.toNextBoundary(); next > 0 && next <= body.size();
         next = boundaries.toNextBoundary()) {
        used += encoded(body.mid(fitting, next - fitting)).size();
        if (used > budget)
            break;
        fitting = next;
    }
    return body.left(fitting);
}

void DesktopMailComposer::copyWholeBody(const QString& body)
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::clipboard()->setText(body);
}
