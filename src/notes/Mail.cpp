#include "Mail.h"

#include "DesktopMailComposer.h"

#include <QStringList>

namespace {
MailComposer*& substitutedComposer()
{
    static MailComposer* composer = nullptr;
    return composer;
}
} // namespace

Mail::Mail(MailComposer* composer) : m_composer(composer) {}

void Mail::setDefaultComposer(MailComposer* composer)
{
    substitutedComposer() = composer;
}

MailComposer& Mail::defaultComposer()
{
    static DesktopMailComposer desktop;
    MailComposer* substitute = substitutedComposer();
    return substitute ? *substitute : desktop;
}

void Mail::send()
{
    MailComposer& composer = m_composer ? *m_composer : defaultComposer();
    composer.setRecipients(QStringList{emailTo});
    composer.setSubject(subject);
    composer.performWithItems(QStringList{message});
}
