#pragma once

#include "DraftsDialog.h"
#include "Engine.h"
#include "NotesFeed.h"

#include <QDateTime>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>

class ClientList;
class ComboPickList;
class DraftStore;
class MemberCenter;
class NoteEditor;
class NotesCache;
class NotesTableModel;
class ProjectList;
class QAction;
class QLineEdit;
class QPlainTextEdit;
class QTableView;

namespace Ui {
class ViewController;
}

// The main window's content: the notes table, the editor of the selected note, the client and
// project pick-lists and the search fields. At each appearance it checks the network, logs in
// and then loads the clients, the projects and the notes, one after another.
//
// The current note is the selected row. The table shows what the server holds; the editor holds
// what the user typed, and an edit that is not on the server yet is kept as a draft (on disk) when
// the user moves on, so neither a reload nor a closed window loses it. With no selection the
// editor is empty and read-only and the actions that need a note are disabled.
class ViewController : public QWidget
{
    Q_OBJECT
public:
    static constexpr char AppearedLine[] = "viewDidAppear";
    static constexpr char SelectedRowPrefix[] = "selected row by arrow key: ";
    // An edit is kept as a draft after this long without typing.
    static constexpr int DraftDelayMs = 2000;

    // The window's note actions, for menus and buttons alike.
    struct Actions
    {
        QAction* search;
        QAction* save;
        QAction* add;
        QAction* addToClient;
        QAction* addToProject;
        QAction* addToBoth;
        QAction* remove;
        QAction* mail;
        QAction* revert;
        QAction* drafts;
        QAction* reconnect;
        QAction* forgetCopy;
    };

    explicit ViewController(MemberCenter& membercenter, QWidget* parent = nullptr);
    ~ViewController() override;

    // The start-up sequence; runs at every appearance of the view.
    void viewDidAppear();

    void actionSearchNotes();
    void actionSave();
    void actionAdd();
    void actionAddToProject();
    void actionAddToClient();
    void actionAddToBoth();
    void actionDelete();
    void actionMail();
    void actionRevert();
    void actionShowDrafts();
    // Tries the login again now (offline), and goes on as after any login.
    void actionReconnect();
    // Deletes the offline copy of the account.
    void actionForgetOfflineCopy();
    void actionSelectClient();
    void actionSelectProject();

    // Loads the lists and notes again when the session is logged in (after the preferences
    // window connected to a server).
    void takeUpSavedSettings();
    // Keeps the editor's text as a draft of its note when it differs from the server's text.
    void keepDraft();

    // No server answers: the window works with the offline copy and drafts, and tries again.
    bool isOffline() const { return m_offline; }
    // The table shows the offline copy, not an answer of the server.
    bool showsOfflineCopy() const { return m_showingCopy; }
    QString offlineBannerText() const;
    // The pauses between logins while offline, for views made from now on: from first,
    // doubling, up to most (2 s to 60 s unless set).
    static void setReconnectDelays(int firstMs, int mostMs);

    // The selected note as the server sent it, or none.
    const Note* currentNote() const { return m_current ? &*m_current : nullptr; }
    // The text the editor holds for the selected note.
    QString editorText() const;

    const Actions& actions() const { return m_actions; }
    NotesFeed& feed() const { return *m_feed; }
    DraftStore& drafts() const { return *m_drafts; }
    DraftsDialog* draftsDialog() const { return m_draftsDialog; }
    MemberCenter& membercenter() const { return m_membercenter; }
    ClientList* clientlist() const { return m_clientlist; }
    ProjectList* projectlist() const { return m_projectlist; }
    NotesTableModel* tableModel() const { return m_model; }

    QTableView* tableView() const;
    QPlainTextEdit* noteTextView() const;
    ComboPickList* clientPopUpButton() const { return m_clientPopUp.get(); }
    ComboPickList* projectPopUpButton() const { return m_projectPopUp.get(); }
    QLineEdit* clientSearchField() const;
    QLineEdit* projectSearchField() const;
    QLineEdit* noteSearchField() const;

signals:
    // The settings are incomplete: the user has to fill them in first.
    void settingsNeeded();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setUpTable();
    void createActions();
    void connectControls();
    void signedIn();
    void loadListsAndNotes();
    static std::pair<int, int>& reconnectDelays();
    void openAccountFiles();
    void loginEnded(bool accepted);
    void goOffline();
    void showOfflineCopy(const QList<Note>& notes);
    void updateBanner();
    bool confirmOverwrite(const Note& note);
    void addNote(bool keepClient, bool keepProject);
    void selectionChanged();
    int selectedRow() const;
    void selectRow(int row);
    void showNote(int row);
    void notesReloaded(const QList<Note>& notes);
    void replaceRows(const QList<Note>& notes);
    int rowToSelectAfterReload(const QSet<QString>& before);
    void commandEnded(const NotesFeed::CommandResult& result);
    void openDraft(const QString& noteId);
    void addDraftAsNote(const QString& noteId);
    void discardDraft(const QString& noteId);
    void updateActions();

    std::unique_ptr<Ui::ViewController> ui;
    MemberCenter& m_membercenter;
    NotesFeed* m_feed;
    ClientList* m_clientlist;
    ProjectList* m_projectlist;
    Engine m_engine;
    NotesTableModel* m_model;
    NoteEditor* m_editor;
    DraftStore* m_drafts;
    std::unique_ptr<ComboPickList> m_clientPopUp;
    std::unique_ptr<ComboPickList> m_projectPopUp;
    Actions m_actions{};
    QPointer<DraftsDialog> m_draftsDialog;
    QTimer m_draftTimer;
    // The selected note as the server sent it.
    std::optional<Note> m_current;
    // A selection made by the program (after a reload), not by the user.
    bool m_restoringSelection = false;
    // The next reload follows a command, whose message it must not cover.
    bool m_reloadAfterCommand = false;
    std::unique_ptr<NotesCache> m_cache;
    QDateTime m_copyLoadedAt;
    bool m_offline = false;
    bool m_showingCopy = false;
    QTimer m_reconnectTimer;
    int m_firstReconnectMs = 0;
    int m_mostReconnectMs = 0;
    int m_nextReconnectMs = 0;

    // What the next reload should select: a note just added, or the note of a draft to open.
    struct AfterReload
    {
        bool newNote = false;
        QString noteId;           // known id, or empty for a new note the server did not name
        QSet<QString> idsBefore;  // the list before a new note's reload
    };
    std::optional<AfterReload> m_afterReload;
};
