#pragma once

#include "Console.h"
#include "Note.h"
#include "NoteActions.h"
#include "NotesAccount.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTableView>
#include <QWidget>

#include <memory>
#include <optional>

class ComboPickList;
#include "DraftsDialog.h"
class NoteEditor;
class NotesTableModel;

namespace Ui {
class ViewController;
}

// The main window's content: the notes table, the editor of the selected note, the client and
// project pick-lists and the search fields. It shows one account and tells it what the user
// does; what an answer means for the rows, the drafts and the selection is the account's.
//
// The current note is the selected row (or a note gone from the server whose text the user is
// still editing). With no current note the editor is empty and read-only and the actions that
// need a note are off.
class ViewController : public QWidget
{
    Q_OBJECT
public:
    static constexpr char AppearedLine[] = "viewDidAppear";
    static constexpr char SelectedRowPrefix[] = "selected row by arrow key: ";
    static constexpr char SelectClientLine[] = "select client popup button pressed";
    static constexpr char SelectProjectLine[] = "select project popup button pressed";

    explicit ViewController(QWidget* parent = nullptr);
    ~ViewController() override;

    // Shows this account from now on; the one shown before is not touched any more.
    void setAccount(NotesAccount* account);
    NotesAccount* account() const { return m_account; }

    // The start-up sequence; runs at every appearance of the view.
    void viewDidAppear();

    void actionSearchNotes();
    void actionSave();
    void actionAdd() { addNote(false, false); }
    void actionAddToProject() { addNote(false, true); }
    void actionAddToClient() { addNote(true, false); }
    void actionAddToBoth() { addNote(true, true); }
    void actionDelete();
    void actionMail();
    void actionRevert();
    void actionShowDrafts();
    void actionSelectClient() { Console::print(QLatin1String(SelectClientLine)); }
    void actionSelectProject() { Console::print(QLatin1String(SelectProjectLine)); }

    QString offlineBannerText() const;
    // The current note as the server sent it, or none.
    const Note* currentNote() const { return m_current ? &*m_current : nullptr; }
    QString editorText() const;
    // The question asked before a save over newer text, while it is open.
    QWidget* openQuestion() const { return m_question; }

    const NoteActions& actions() const { return *m_actions; }
    DraftsDialog* draftsDialog() const { return m_draftsDialog; }
    NotesTableModel* tableModel() const { return m_model; }
    QTableView* tableView() const { return findChild<QTableView*>("tableView"); }
    QPlainTextEdit* noteTextView() const { return findChild<QPlainTextEdit*>("noteTextView"); }
    QLineEdit* clientSearchField() const { return findChild<QLineEdit*>("clientSearchField"); }
    QLineEdit* projectSearchField() const { return findChild<QLineEdit*>("projectSearchField"); }
    QLineEdit* noteSearchField() const { return findChild<QLineEdit*>("noteSearchField"); }

signals:
    // The settings are incomplete: the user has to fill them in first.
    void settingsNeeded();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void connectControls();
    void addNote(bool keepClient, bool keepProject);
    void saveCurrent();
    void selectionChanged();
    void selectRow(int row);
    void showNote(int row);
    void showLinks();
    void rowsReplaced(const QList<Note>& rows, const NotesAccount::RowsChange& change);
    void draftDone(const QString& noteId, const QString& text);
    void openDraft(const QString& noteId);
    void updateState();

    std::unique_ptr<Ui::ViewController> ui;
    QPointer<NotesAccount> m_account;
    NotesTableModel* m_model;
    NoteEditor* m_editor;
    std::unique_ptr<ComboPickList> m_clientPopUp;
    std::unique_ptr<ComboPickList> m_projectPopUp;
    std::unique_ptr<NoteActions> m_actions;
    QPointer<DraftsDialog> m_draftsDialog;
    QPointer<QWidget> m_question;
    std::optional<Note> m_current;
    // A selection made by the program (after a reload), not by the user.
    bool m_restoringSelection = false;
};
