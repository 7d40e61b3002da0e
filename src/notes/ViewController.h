#pragma once

#include "Engine.h"
#include "Note.h"

#include <QWidget>

#include <memory>

class ClientList;
class ComboPickList;
class MemberCenter;
class NotesFeed;
class NotesTableModel;
class ProjectList;
class QLineEdit;
class QPlainTextEdit;
class QTableView;

namespace Ui {
class ViewController;
}

// The main window's content: the notes table, the editor of the current note, the client and
// project pick-lists and the search fields. At each appearance it checks the network, logs in
// and then loads the clients, the projects and the notes, one after another. It turns a row
// selection into the current note and the buttons into the note commands.
class ViewController : public QWidget
{
    Q_OBJECT
public:
    static constexpr char AppearedLine[] = "viewDidAppear";
    static constexpr char SelectedRowPrefix[] = "selected row by arrow key: ";

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
    void actionSelectClient();
    void actionSelectProject();

    // Makes the note of the row the current note and shows it in the editor and pick-lists.
    void selectRow(int row);

    // Loads the lists and notes again when the session is logged in (after the preferences
    // window connected to a server).
    void takeUpSavedSettings();

    NotesFeed& feed() const { return *m_feed; }
    const NoteRef& note() const;
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
    void connectControls();
    void loadListsAndNotes();
    void addNote(bool keepClient, bool keepProject);

    std::unique_ptr<Ui::ViewController> ui;
    MemberCenter& m_membercenter;
    NotesFeed* m_feed;
    ClientList* m_clientlist;
    ProjectList* m_projectlist;
    Engine m_engine;
    NotesTableModel* m_model;
    std::unique_ptr<ComboPickList> m_clientPopUp;
    std::unique_ptr<ComboPickList> m_projectPopUp;
};
