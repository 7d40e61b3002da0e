#pragma once

#include <QString>

class MailComposer;

// A note handed to the user's mail program to be sent from there.
class Mail
{
public:
    // Without a composer the mail goes to the process-wide default one, looked up when sent.
    explicit Mail(MailComposer* composer = nullptr);

    // Replaces the process-wide default composer; nullptr restores the desktop's mail program.
    // The composer is not owned and must outlive its use.
    static void setDefaultComposer(MailComposer* composer);
    static MailComposer& defaultComposer();

    void send();

    QString emailTo;
    QString subject;
    QString message;

private:
    MailComposer* m_composer;
};
