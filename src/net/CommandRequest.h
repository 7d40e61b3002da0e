#pragma once

#include "ApiRequest.h"
#include "ServerAddress.h"

// A note command (edit, add, delete). Its JSON answer says "success" 1 when it was carried out;
// otherwise it carries the error envelope. The Content-Type is not consulted.
class CommandRequest : public ApiRequest
{
    Q_OBJECT
public:
    CommandRequest(const ServerAddress::Composed& address, const QByteArray& body,
                   QString successLine, QObject* parent = nullptr);

    QString successLine() const override { return m_successLine; }
    bool mayBeResent() const override { return false; }
    // The "NoteID" of a successful answer, when the server names the note it created (as text
    // or as a number); empty otherwise.
    const QString& noteId() const { return m_noteId; }

protected:
    void readAnswer(const ApiAnswer& answer) override;

private:
    QString m_successLine;
    QString m_noteId;
};
