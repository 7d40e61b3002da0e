#pragma once

#include "Note.h"
#include "NotesFeed.h"
#include "RetrySchedule.h"
#include "SelectionAfterReload.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <optional>

class ClientList;
class DraftStore;
class MemberCenter;
class NotesCache;
class PickList;
class ProjectList;
class XmlItemList;

// Everything of one account (host, path and login): its login session, the notes with their
// command queue, the client and project lists, the drafts, the offline copy, and whether the
// server can be reached and when it is tried again. Another account is another object; nothing
// of one ever reaches the other's server or files.
//
// The view shows one account at a time and tells it what the user does; the account decides
// what each answer means for the drafts, the copy and the selection, and says it through
// rowsReplaced() and Notices. Until the server has answered with its own list (and while it
// cannot be reached), the notes are read-only: edits become drafts and no command is sent.
//
// A retired account (the window moved on to another one) sends what is still queued to its own
// server, applies the outcomes to its own files, reports them with its name, and says released()
// when nothing is left.
class NotesAccount : public QObject
{
    Q_OBJECT
public:
    struct Identity
    {
        QString host;
        QString path;
        QString login;
        bool operator==(const Identity&) const = default;
    };

    // What the view does with its selection when the rows change.
    using RowsChange = SelectionAfterReload::Change;

    // An edit is kept as a draft after this long without typing.
    static constexpr int DraftDelayMs = 2000;
    static constexpr char NewNoteText[] = " ";

    explicit NotesAccount(std::unique_ptr<MemberCenter> session, QObject* parent = nullptr);
    ~NotesAccount() override;

    static Identity identityOf(const MemberCenter& session);
    Identity identity() const;
    // "login@host", as the window's title shows it.
    QString title() const;
    MemberCenter& membercenter() const { return *m_membercenter; }
    NotesFeed& feed() const { return *m_feed; }
    ClientList& clientlist() const { return *m_clientlist; }
    ProjectList& projectlist() const { return *m_projectlist; }
    const DraftStore& drafts() const { return *m_drafts; }
    const NotesCache& cache() const { return *m_cache; }

    // The pick lists the lists' answers refill; null detaches them.
    void attachPickLists(PickList* clients, PickList* projects);

    // Says when there is no network, checks the settings and logs in; the drafts and the
    // offline copy are read meanwhile. A successful login loads the lists and the notes; a login
    // the server cannot answer now makes the account offline, one it answers otherwise is said
    // as a problem of the host or the path. False when the settings are incomplete (nothing was
    // sent).
    bool signIn();
    // The session was logged in by a login made for this account elsewhere: load as after a login.
    void takeUpLogin();
    // Tries the login again now.
    void reconnect();
    // The window moved on: nothing more reaches it; what is queued still goes to this server.
    void retire();
    bool isRetired() const { return m_retired; }
    // Commands queued or on the wire.
    int pendingCommands() const;
    // Quitting without waiting: the text of every save not sent yet stays as a draft.
    void keepWaitingSavesAsDrafts();

    bool isOffline() const { return m_offline; }
    // When the login is tried again, in ms from when that was decided; -1 when it is not.
    int retryInMs() const { return m_retries.retryInMs(); }
    bool showsOfflineCopy() const { return m_showingCopy; }
    QDateTime copyLoadedAt() const { return m_copyLoadedAt; }
    // Save, Delete and Add go to the server: signed in, reachable, and the rows are its answer.
    bool canChangeNotes() const;
    // Why they cannot, for people; empty when they can.
    QString whyReadOnly() const;
    // What the window says above the notes about the copy and the connection; empty when the
    // rows are the server's answer and it can be reached.
    QString offlineBanner() const;

    const QList<Note>& rows() const { return m_rows; }
    // The note of the rows with this NoteID, or null.
    const Note* note(const QString& noteId) const;
    // What the editor shows for a note: its draft, or the server's text.
    QString textToShow(const Note& note) const;

    // The editor shows this note (empty: none).
    void noteShown(const QString& noteId);
    // The user changed the text of the note shown; it becomes a draft once typing pauses.
    void noteEdited(const QString& noteId, const QString& text);
    // Keeps an edit not kept yet as a draft now (or drops the draft when the text is the server's).
    void keepDraft();

    // Searches with the three keywords: on the server, or in the offline copy while offline.
    void search(const QString& noteKeyword, const QString& clientKeyword,
                const QString& projectKeyword);
    // Whether saving this note would write over a text another client saved after its draft began.
    bool savesOverNewerText(const QString& noteId) const;
    // Saves the text with the client and project whose names are selected (none, or a name no
    // record bears, keeps the note's link). False when nothing could be sent (and it is said).
    bool save(const QString& noteId, const QString& text, const std::optional<QString>& clientTitle,
              const std::optional<QString>& projectTitle);
    // A new note with the text of one space, tied to the client and project of the note with
    // baseId, to one of them, or to none.
    bool add(const QString& baseId, bool keepClient, bool keepProject);
    bool remove(const QString& noteId);
    // Drops the draft of the note; the view shows the server's text again.
    void revert(const QString& noteId);
    // Shows the note of a draft: selected when it is among the rows, else looked for in the
    // unfiltered list (the view clears its search fields first).
    void openDraft(const QString& noteId);
    bool addDraftAsNote(const QString& noteId);
    void discardDraft(const QString& noteId);
    // Deletes the offline copy of the account.
    void forgetCopy();

    // The pauses between logins while offline, for accounts made from now on (2 s to 60 s).
    static void setReconnectDelays(int firstMs, int mostMs)
    {
        RetrySchedule::setDelays(firstMs, mostMs);
    }
    // The pause in typing after which an edit is kept, for accounts made from now on.
    static void setDraftDelay(int ms);

signals:
    void rowsReplaced(const QList<Note>& rows, const NotesAccount::RowsChange& change);
    // Offline, the copy, the read-only state or the drafts changed.
    void stateChanged();
    // A draft was turned into a new note: where the editor still shows exactly this text for
    // this note, the server's text is shown again.
    void draftDone(const QString& noteId, const QString& text);
    // The settings are incomplete.
    void settingsNeeded();
    // Retired, and nothing is left to send.
    void released();
    // A pick list was filled anew from the server.
    void pickListsRefilled();

private:
    QString prefixed(const QString& message) const;
    void say(const QString& message) const;
    void loginEnded(bool accepted);
    void goOffline();
    void openFiles();
    void loadListsAndNotes();
    void loadPickList(XmlItemList& list, PickList* pick, bool& loaded);
    void notesReloaded(const QList<Note>& notes);
    void showRows(const QList<Note>& notes, bool sameSearch);
    RowsChange changeAfterReload(const QList<Note>& notes, bool sameSearch);
    void commandEnded(const NotesFeed::CommandResult& result);
    void saveEnded(const NotesFeed::CommandResult& result);
    void addEnded(const NotesFeed::CommandResult& result);
    void deleteEnded(const NotesFeed::CommandResult& result);
    bool mayChange();
    QString serverTextOf(const QString& noteId) const;
    static int& draftDelay();

    MemberCenter* m_membercenter;
    NotesFeed* m_feed;
    ClientList* m_clientlist;
    ProjectList* m_projectlist;
    DraftStore* m_drafts;
    std::unique_ptr<NotesCache> m_cache;
    PickList* m_clientPick = nullptr;
    PickList* m_projectPick = nullptr;
    QList<Note> m_rows;
    // The keywords the rows answer; a reload with the same ones is the same list, newer.
    QStringList m_rowsKeywords;
    QTimer m_draftTimer;
    RetrySchedule m_retries;
    bool m_filesOpen = false;
    bool m_clientsLoaded = false;
    bool m_projectsLoaded = false;
    bool m_signedIn = false;
    bool m_offline = false;
    bool m_showingCopy = false;
    bool m_retired = false;
    bool m_reloadAfterCommand = false;
    QDateTime m_copyLoadedAt;
    QString m_shownId;
    // An edit not kept as a draft yet.
    std::optional<std::pair<QString, QString>> m_pending;
    // Notes the user deleted: their drafts do not come back.
    QSet<QString> m_deletedByUser;
    SelectionAfterReload m_selection;
};

Q_DECLARE_METATYPE(NotesAccount::RowsChange)
