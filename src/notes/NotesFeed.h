#pragma once

#include "Note.h"

#include <QList>
#include <QObject>

class CommandRequest;
class DataEndpoint;
class MemberCenter;

// The notes of the main window: fetches them with the three search keywords, reads the XML feed
// into Note records, and saves, adds and deletes notes. All four requests share one request slot,
// so a new one cancels the one in flight. Holds no widget; views learn of a new list through
// notesReloaded().
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

    explicit NotesFeed(MemberCenter& membercenter, QObject* parent = nullptr);
    ~NotesFeed() override;

    void setKeywords(const QString& noteKeyword, const QString& clientKeyword,
                     const QString& projectKeyword);

    // Sends "xml_notes" with the keywords as they stand now.
    void actionGetXMLItems();
    // "edit_note" with the current note's id, text, project id and client id.
    void actionSaveXMLItem();
    // "add_note" with the text, project id and client id of the given draft; the current note
    // stays untouched.
    void actionAddXMLItem(const Note& draft);
    // "delete_note" with the current note's id.
    void actionDeleteXMLItem();

    // Replaces the notes with those of an XML answer. A document that breaks off keeps the
    // notes read before the break, and the break is printed.
    void handleXml(const QByteArray& body);

    const DataEndpoint& endpoint() const { return *m_endpoint; }
    const QList<NoteRef>& noteObjects() const { return m_noteObjects; }
    // The current note: a record of its own at first, later the record of the selected row.
    const NoteRef& note() const { return m_note; }
    void setNote(NoteRef note) { m_note = std::move(note); }

signals:
    // The notes were replaced.
    void notesReloaded(const QList<NoteRef>& notes);

private:
    void commandEnded(const CommandRequest& request);
    void sendCommand(const char* action, const char* successLine,
                     std::function<QList<QPair<const char*, QString>>()> parameters);

    DataEndpoint* m_endpoint;
    QString m_noteKeyword;
    QString m_clientKeyword;
    QString m_projectKeyword;
    QList<NoteRef> m_noteObjects;
    NoteRef m_note = std::make_shared<Note>();
};
