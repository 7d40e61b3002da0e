#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

// The unsaved edits of one account's notes (host, path and login), kept in a file of their own
// under $XDG_DATA_HOME/notes-client/ so that neither a closed window nor a crash loses them.
// Every change is written at once, atomically and readable by the owner only. A draft names its
// note by NoteID and remembers the server's text it started from.
class DraftStore : public QObject
{
    Q_OBJECT
public:
    struct Draft
    {
        QString noteId;
        QString text;
        QString serverText; // the note's text on the server when the draft began
        QDateTime changed;
    };

    explicit DraftStore(QObject* parent = nullptr);

    // Switches to the drafts of this account and reads them from disk. A file that cannot be
    // read is set aside with one printed line, and the account starts without drafts.
    void openAccount(const QString& host, const QString& path, const QString& login);
    bool isOpen() const { return !m_filePath.isEmpty(); }
    QString filePath() const { return m_filePath; }

    const QList<Draft>& drafts() const { return m_drafts; }
    const Draft* draft(const QString& noteId) const;
    // Adds or replaces the draft of a note; a draft keeps the server text it started from.
    void put(const QString& noteId, const QString& text, const QString& serverText);
    void remove(const QString& noteId);
    // The server confirmed a new text of the note: the draft continues from it.
    void rebase(const QString& noteId, const QString& serverText);

signals:
    void changed();
    // A change could not be written to the file: it is kept in memory only. why is for people.
    void writeFailed(const QString& why);
    // The file could not be read and was moved to setAsidePath; the account starts without drafts.
    void setAside(const QString& setAsidePath);

private:
    void read();
    void write();

    QString m_filePath;
    QString m_host, m_path, m_login;
    QList<Draft> m_drafts;
};
