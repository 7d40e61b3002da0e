#pragma once

#include "ApiRequest.h"
#include "Note.h"

#include <QList>
#include <QObject>

#include <deque>

class CommandRequest;
class DataEndpoint;
class MemberCenter;

// The notes of the main window: fetches them with the three search keywords, reads the XML feed
// into Note values on a worker thread (the newest answer wins; the list changes only when a whole
// answer has been read), and saves, adds and deletes notes. Searches and reloads share one request
// slot (a newer one replaces the one in flight); commands wait in a queue of their own, run in
// the order given, and are never cancelled by a search or by another command. Holds no widget;
// views learn of a new list through notesReloaded() and of each command's end through
// commandEnded().
class NotesFeed : public QObject
{
    Q_OBJECT
public:
    static constexpr char SavedLine[] = "poznamka uspesne ulozena";
    static constexpr char AddedLine[] = "poznamka uspesne pridana";
    static constexpr char DeletedLine[] = "poznamka uspesne zmazana";
    static constexpr char UnknownOutcomeLine[] =
        "the answer was lost: the server may or may not have carried out the command; the notes "
        "are loaded again";

    enum class Command
    {
        Save,
        Add,
        Delete
    };

    // How one command ended.
    struct CommandResult
    {
        Command command = Command::Save;
        Note note; // as it was sent; a new note has no id yet
        ApiRequest::Outcome outcome = ApiRequest::Outcome::Pending;
        // The connection broke after the command may have reached the server.
        bool outcomeUnknown = false;
        QString newNoteId; // what the server named a new note, if it did
        QString reason;    // why it failed, for the window
        bool succeeded() const { return outcome == ApiRequest::Outcome::Succeeded; }
    };

    explicit NotesFeed(MemberCenter& membercenter, QObject* parent = nullptr);
    ~NotesFeed() override;

    void setKeywords(const QString& noteKeyword, const QString& clientKeyword,
                     const QString& projectKeyword);
    const QString& noteKeyword() const { return m_noteKeyword; }
    const QString& clientKeyword() const { return m_clientKeyword; }
    const QString& projectKeyword() const { return m_projectKeyword; }

    // Sends "xml_notes" with the keywords as they stand now.
    void actionGetXMLItems();
    // "edit_note" with the note's id, text, project id and client id.
    void actionSaveXMLItem(const Note& note);
    // "add_note" with the note's text, project id and client id.
    void actionAddXMLItem(const Note& note);
    // "delete_note" with the note's id.
    void actionDeleteXMLItem(const Note& note);

    // Replaces the notes with those of an XML answer, read on a worker; notesReloaded() follows
    // on this thread. A document that breaks off keeps the notes read before the break, and the
    // break is printed.
    void handleXml(const QByteArray& body);

    const DataEndpoint& endpoint() const { return *m_endpoint; }
    const DataEndpoint& commandEndpoint() const { return *m_commandEndpoint; }
    // Nothing is in flight or being read, and no command waits.
    bool isIdle() const;
    // Commands waiting or on the wire.
    int pendingCommands() const { return int(m_commands.size()) + (m_commandInFlight ? 1 : 0); }
    // The saves that wait and have not been sent yet, in their order.
    QList<Note> waitingSaves() const;
    // Whether a success (or a lost answer) of a command loads the list again; on by default.
    void setReloadAfterCommands(bool reload) { m_reloadAfterCommands = reload; }
    const QList<Note>& noteObjects() const { return m_noteObjects; }
    // The last list arrived whole: no break in the document and no item left out.
    bool lastListComplete() const { return m_lastListComplete; }

signals:
    // The notes were replaced.
    void notesReloaded(const QList<Note>& notes);
    void commandEnded(const NotesFeed::CommandResult& result);
    // The last command waiting has ended.
    void commandsDone();

private:
    struct Queued
    {
        Command command;
        Note note;
    };
    void enqueue(Command command, const Note& note);
    void sendNextCommand();
    void commandFinished(const Queued& queued, const CommandRequest& request);

    DataEndpoint* m_endpoint;
    DataEndpoint* m_commandEndpoint;
    QString m_noteKeyword;
    QString m_clientKeyword;
    QString m_projectKeyword;
    QList<Note> m_noteObjects;
    std::deque<Queued> m_commands;
    bool m_commandInFlight = false;
    bool m_reloadAfterCommands = true;
    bool m_lastListComplete = false;
    // Answers handed to a worker, and the number of the last one: an older answer read after a
    // newer one is dropped.
    int m_reading = 0;
    quint64 m_lastReading = 0;
};
