#include "ViewController.h"

#include "ComboPickList.h"
#include "Console.h"
#include "DraftStore.h"
#include "DraftsDialog.h"
#include "Mail.h"
#include "NoteEditor.h"
#include "NotesTableModel.h"
#include "Notices.h"
#include "SaveOverQuestion.h"
#include "ui_ViewController.h"

#include <QAction>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>

ViewController::ViewController(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::ViewController>()),
      m_model(new NotesTableModel(this))
{
    ui->setupUi(this);
    m_actions = std::make_unique<NoteActions>(this, ui->tableView);
    m_editor = new NoteEditor(ui->noteTextView, this);
    m_clientPopUp = std::make_unique<ComboPickList>(ui->clientPopUpButton);
    m_projectPopUp = std::make_unique<ComboPickList>(ui->projectPopUpButton);
    m_model->setUpView(ui->tableView);
    ui->splitter->setStretchFactor(0, 3);
    ui->splitter->setStretchFactor(1, 2);
    connectControls();
    updateState();
}

// What the user typed is on disk before the window goes.
ViewController::~ViewController()
{
    if (m_account)
        m_account->keepDraft();
}

void ViewController::connectControls()
{
    const QList<std::pair<QAction*, std::function<void()>>> handlers{
        {m_actions->search, [this]() { actionSearchNotes(); }},
        {m_actions->save, [this]() { actionSave(); }},
        {m_actions->add, [this]() { actionAdd(); }},
        {m_actions->addToClient, [this]() { actionAddToClient(); }},
        {m_actions->addToProject, [this]() { actionAddToProject(); }},
        {m_actions->addToBoth, [this]() { actionAddToBoth(); }},
        {m_actions->remove, [this]() { actionDelete(); }},
        {m_actions->mail, [this]() { actionMail(); }},
        {m_actions->revert, [this]() { actionRevert(); }},
        {m_actions->drafts, [this]() { actionShowDrafts(); }},
        {m_actions->reconnect, [this]() { m_account ? m_account->reconnect() : void(); }},
        {m_actions->forgetCopy, [this]() { m_account ? m_account->forgetCopy() : void(); }}};
    for (const auto& [action, handler] : handlers)
        connect(action, &QAction::triggered, this, handler);
    NoteActions::drive({{ui->searchButton, m_actions->search},
                        {ui->saveButton, m_actions->save},
                        {ui->addButton, m_actions->add},
                        {ui->addToClientButton, m_actions->addToClient},
                        {ui->addToProjectButton, m_actions->addToProject},
                        {ui->addToBothButton, m_actions->addToBoth},
                        {ui->deleteButton, m_actions->remove},
                        {ui->mailButton, m_actions->mail}});
    connect(ui->tableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ViewController::selectionChanged);
    for (QLineEdit* field : {ui->clientSearchField, ui->projectSearchField, ui->noteSearchField})
        connect(field, &QLineEdit::returnPressed, this, &ViewController::actionSearchNotes);
    connect(ui->clientPopUpButton, &QComboBox::activated, this,
            &ViewController::actionSelectClient);
    connect(ui->projectPopUpButton, &QComboBox::activated, this,
            &ViewController::actionSelectProject);
    connect(m_editor, &NoteEditor::edited, this, [this]() {
        if (m_current && m_account)
            m_account->noteEdited(m_current->id, m_editor->text());
    });
}

void ViewController::setAccount(NotesAccount* account)
{
    if (m_account) {
        m_account->keepDraft();
        m_account->disconnect(this);
        m_account->attachPickLists(nullptr, nullptr);
    }
    delete m_draftsDialog;
    delete m_question;
    m_account = account;
    m_current.reset();
    if (account) {
        account->attachPickLists(m_clientPopUp.get(), m_projectPopUp.get());
        connect(account, &NotesAccount::rowsReplaced, this, &ViewController::rowsReplaced);
        connect(account, &NotesAccount::stateChanged, this, &ViewController::updateState);
        connect(account, &NotesAccount::draftDone, this, &ViewController::draftDone);
        connect(account, &NotesAccount::settingsNeeded, this, &ViewController::settingsNeeded);
        connect(account, &NotesAccount::pickListsRefilled, this, &ViewController::showLinks);
    }
    rowsReplaced(account ? account->rows() : QList<Note>(), {});
}

QString ViewController::editorText() const
{
    return m_editor->text();
}

void ViewController::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A window coming back from being minimised is not a new appearance.
    if (!event->spontaneous())
        viewDidAppear();
}

void ViewController::viewDidAppear()
{
    Console::print(QLatin1String(AppearedLine));
    if (m_account && !m_account->signIn())
        Notices::post(tr("Enter the server, your login and your password in Preferences."));
}

QString ViewController::offlineBannerText() const
{
    return ui->offlineBanner->isHidden() ? QString() : ui->offlineBanner->text();
}

void ViewController::actionSearchNotes()
{
    if (m_account)
        m_account->search(ui->noteSearchField->text(), ui->clientSearchField->text(),
                          ui->projectSearchField->text());
}

void ViewController::selectRow(int row)
{
    if (row < 0)
        ui->tableView->clearSelection();
    else
        ui->tableView->selectRow(row);
}

void ViewController::selectionChanged()
{
    if (m_restoringSelection)
        return;
    const QModelIndexList rows = ui->tableView->selectionModel()->selectedRows();
    const int row = rows.isEmpty() ? -1 : rows.first().row();
    if (row >= 0)
        Console::print(QLatin1String(SelectedRowPrefix) + QString::number(row));
    if (m_account)
        m_account->keepDraft();
    showNote(row);
}

// Shows the note of a row (its draft, if it has one), or nothing.
void ViewController::showNote(int row)
{
    if (row < 0 || !m_account) {
        m_current.reset();
        m_editor->clear();
        m_clientPopUp->selectItemAtIndex(0);
        m_projectPopUp->selectItemAtIndex(0);
    } else {
        m_current = m_model->noteAt(row);
        m_editor->show(m_account->textToShow(*m_current), m_current->note);
        showLinks();
    }
    if (m_account)
        m_account->noteShown(m_current ? m_current->id : QString());
    updateState();
}

// The pick-lists show the current note's client and project, also when they arrive after it.
void ViewController::showLinks()
{
    if (!m_current)
        return;
    for (auto [pick, name] : {std::pair{m_clientPopUp.get(), m_current->client},
                              std::pair{m_projectPopUp.get(), m_current->project}})
        name.isEmpty() ? pick->selectItemAtIndex(0) : pick->selectItemWithTitle(name);
}

// The rows are replaced and the selection goes where the account says; an untouched editor shows
// its note's new text, and one holding a draft keeps it.
void ViewController::rowsReplaced(const QList<Note>& rows, const NotesAccount::RowsChange& change)
{
    m_restoringSelection = true;
    m_model->setNotes(rows);
    const int row = change.selectId.isEmpty() ? -1 : m_model->rowOf(change.selectId);
    selectRow(row);
    m_restoringSelection = false;
    if (change.keepDetached && m_current)
        return updateState();
    if (row >= 0 && m_current && m_model->noteAt(row).id == m_current->id) {
        const Note& fresh = m_model->noteAt(row);
        if (!m_account->drafts().draft(fresh.id) && fresh.note != m_editor->text())
            m_editor->show(fresh.note, fresh.note);
        m_current = fresh;
        updateState();
    } else {
        showNote(row);
    }
    if (change.selectNew && m_current &&
        m_current->note == QLatin1String(NotesAccount::NewNoteText))
        m_editor->focusToReplace();
}

void ViewController::actionSave()
{
    if (!m_current || !m_account)
        return;
    m_account->keepDraft();
    if (!m_account->savesOverNewerText(m_current->id))
        return saveCurrent();
    if (m_question)
        return m_question->raise();
    // Asked without a nested event loop: answers, reloads and deletes go on while it is open,
    // so the answer looks again at what it is about.
    const QString id = m_current->id;
    const QPointer<NotesAccount> account = m_account;
    m_question = SaveOverQuestion::ask(this, [this, id, account]() {
        if (!m_current || m_current->id != id || m_account != account || !account)
            return Notices::post(tr("Not saved: the note you were asked about is no longer the "
                                    "one shown. Your text is kept as a draft."));
        saveCurrent();
    });
}

void ViewController::saveCurrent()
{
    m_account->save(m_current->id, m_editor->text(), m_clientPopUp->titleOfSelectedItem(),
                    m_projectPopUp->titleOfSelectedItem());
}

void ViewController::addNote(bool keepClient, bool keepProject)
{
    if (m_account)
        m_account->add(m_current ? m_current->id : QString(), keepClient, keepProject);
}

void ViewController::actionDelete()
{
    if (m_current && m_account)
        m_account->remove(m_current->id);
}

// Mails the stored text of the selected note, not what the editor holds unsaved.
void ViewController::actionMail()
{
    if (!m_current)
        return;
    Mail mail;
    mail.subject = m_current->project;
    mail.message = m_current->note;
    mail.send();
}

void ViewController::actionRevert()
{
    if (!m_current || !m_account)
        return;
    m_account->revert(m_current->id);
    m_editor->show(m_current->note, m_current->note);
}

void ViewController::draftDone(const QString& noteId, const QString& text)
{
    if (m_current && m_current->id == noteId && m_editor->text() == text)
        m_editor->show(m_current->note, m_current->note);
}

void ViewController::actionShowDrafts()
{
    if (!m_account)
        return;
    m_account->keepDraft();
    if (!m_draftsDialog) {
        m_draftsDialog = new DraftsDialog(m_account->drafts(), *m_model, this);
        m_draftsDialog->setAttribute(Qt::WA_DeleteOnClose);
        NotesAccount* account = m_account;
        connect(m_draftsDialog, &DraftsDialog::openRequested, this, &ViewController::openDraft);
        connect(m_draftsDialog, &DraftsDialog::addRequested, account,
                &NotesAccount::addDraftAsNote);
        connect(m_draftsDialog, &DraftsDialog::discardRequested, this, [this](const QString& id) {
            if (m_current && m_current->id == id)
                return actionRevert();
            m_account->discardDraft(id);
        });
        updateState();
    }
    m_draftsDialog->show();
    m_draftsDialog->raise();
    m_draftsDialog->activateWindow();
}

// A draft whose note the table lacks is looked for in the unfiltered list.
void ViewController::openDraft(const QString& noteId)
{
    if (const int row = m_model->rowOf(noteId); row >= 0)
        return selectRow(row);
    for (QLineEdit* field : {ui->clientSearchField, ui->projectSearchField, ui->noteSearchField})
        field->clear();
    m_account->openDraft(noteId);
}

// What needs a note is off without one; what changes notes on the server is off until the
// server has answered, and says why where the user looks for it.
void ViewController::updateState()
{
    const bool has = m_current.has_value();
    const bool listed = has && m_account && m_account->note(m_current->id);
    const bool can = m_account && m_account->canChangeNotes();
    m_actions->mail->setEnabled(has);
    m_actions->revert->setEnabled(has && m_account->drafts().draft(m_current->id));
    for (QAction* action : {m_actions->save, m_actions->remove, m_actions->addToClient,
                            m_actions->addToProject, m_actions->addToBoth})
        action->setEnabled(listed && can);
    m_actions->add->setEnabled(can);
    const QString why = m_account ? m_account->whyReadOnly() : QString();
    for (QPushButton* button : {ui->saveButton, ui->deleteButton, ui->addButton,
                                ui->addToClientButton, ui->addToProjectButton, ui->addToBothButton})
        button->setToolTip(why);
    QSet<QString> draftIds;
    if (m_account)
        for (const DraftStore::Draft& draft : m_account->drafts().drafts())
            draftIds.insert(draft.noteId);
    m_model->setDraftIds(draftIds);
    if (m_draftsDialog)
        m_draftsDialog->setAddAllowed(can, why);

    const QString banner = m_account ? m_account->offlineBanner() : QString();
    ui->offlineBanner->setText(banner);
    ui->offlineBanner->setAccessibleName(banner);
    ui->offlineBanner->setVisible(!banner.isEmpty());
}
