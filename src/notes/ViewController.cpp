#include "ViewController.h"

#include "ClientList.h"
#include "ComboPickList.h"
#include "Console.h"
#include "DataEndpoint.h"
#include "DraftStore.h"
#include "DraftsDialog.h"
#include "Mail.h"
#include "MemberCenter.h"
#include "NoteEditor.h"
#include "NotesCache.h"
#include "Notices.h"
#include "NotesTableModel.h"
#include "ProjectList.h"
#include "ServerContract.h"
#include "ui_ViewController.h"

#include <QAction>
#include <QMessageBox>
#include <QNetworkInformation>
#include <QHeaderView>
#include <QShowEvent>

namespace {
bool sameTitle(const std::optional<QString>& selected, const QString& name)
{
    return selected && selected->normalized(QString::NormalizationForm_C) ==
                           name.normalized(QString::NormalizationForm_C);
}

QSet<QString> idsOf(const QList<Note>& notes)
{
    QSet<QString> ids;
    for (const Note& note : notes)
        ids.insert(note.id);
    return ids;
}
} // namespace

ViewController::ViewController(MemberCenter& membercenter, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::ViewController>()), m_membercenter(membercenter),
      m_feed(new NotesFeed(membercenter, this)), m_clientlist(new ClientList(membercenter, this)),
      m_projectlist(new ProjectList(membercenter, this)), m_model(new NotesTableModel(this)),
      m_drafts(new DraftStore(this)), m_cache(std::make_unique<NotesCache>())
{
    ui->setupUi(this);
    m_editor = new NoteEditor(ui->noteTextView, this);
    m_clientPopUp = std::make_unique<ComboPickList>(ui->clientPopUpButton);
    m_projectPopUp = std::make_unique<ComboPickList>(ui->projectPopUpButton);
    setUpTable();
    ui->splitter->setStretchFactor(0, 3);
    ui->splitter->setStretchFactor(1, 2);
    m_draftTimer.setSingleShot(true);
    m_draftTimer.setInterval(DraftDelayMs);
    std::tie(m_firstReconnectMs, m_mostReconnectMs) = reconnectDelays();
    m_nextReconnectMs = m_firstReconnectMs;
    m_reconnectTimer.setSingleShot(true);
    connect(&m_reconnectTimer, &QTimer::timeout, this, &ViewController::actionReconnect);

    createActions();
    connectControls();
    updateActions();
}

// What the user typed is on disk before the window goes.
ViewController::~ViewController()
{
    keepDraft();
}

// Fixed column widths, so no row is measured; Tab moves on to the editor instead of from cell to
// cell; a click on a header sorts, and the first load keeps the server's order.
void ViewController::setUpTable()
{
    QTableView* table = ui->tableView;
    table->setModel(m_model);
    table->setTabKeyNavigation(false);
    table->setWordWrap(false);
    table->setTextElideMode(Qt::ElideRight);
    QHeaderView* header = table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionResizeMode(NotesTableModel::NoteColumn, QHeaderView::Stretch);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->setSortIndicatorShown(true);
    table->setSortingEnabled(true);
    table->setColumnWidth(NotesTableModel::ClientColumn, 170);
    table->setColumnWidth(NotesTableModel::ProjectColumn, 170);
    table->setColumnWidth(NotesTableModel::CreatedColumn, 130);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

void ViewController::createActions()
{
    const auto make = [this](const QString& text, const QKeySequence& key, auto slot) {
        auto* action = new QAction(text, this);
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
        return action;
    };
    m_actions.search = make(tr("&Search"), QKeySequence(tr("Ctrl+R")),
                            &ViewController::actionSearchNotes);
    m_actions.save = make(tr("&Save"), QKeySequence::Save, &ViewController::actionSave);
    m_actions.add = make(tr("&New note"), QKeySequence::New, &ViewController::actionAdd);
    m_actions.addToClient = make(tr("New note for the &client"),
                                 QKeySequence(tr("Ctrl+Shift+C")),
                                 &ViewController::actionAddToClient);
    m_actions.addToProject = make(tr("New note for the &project"),
                                  QKeySequence(tr("Ctrl+Shift+P")),
                                  &ViewController::actionAddToProject);
    m_actions.addToBoth = make(tr("New note for &both"), QKeySequence(tr("Ctrl+Shift+B")),
                               &ViewController::actionAddToBoth);
    // Delete removes the selected note only while the table has the focus, so the key keeps its
    // ordinary meaning in the editor and the search fields.
    m_actions.remove = make(tr("&Delete"), QKeySequence::Delete, &ViewController::actionDelete);
    m_actions.remove->setShortcutContext(Qt::WidgetShortcut);
    removeAction(m_actions.remove);
    ui->tableView->addAction(m_actions.remove);
    m_actions.mail = make(tr("&Mail"), QKeySequence(tr("Ctrl+M")), &ViewController::actionMail);
    m_actions.revert = make(tr("&Revert to the saved text"), QKeySequence(),
                            &ViewController::actionRevert);
    m_actions.drafts = make(tr("D&rafts…"), QKeySequence(), &ViewController::actionShowDrafts);
    m_actions.reconnect = make(tr("&Reconnect"), QKeySequence(tr("Ctrl+Shift+R")),
                               &ViewController::actionReconnect);
    m_actions.forgetCopy = make(tr("&Forget offline copy"), QKeySequence(),
                                &ViewController::actionForgetOfflineCopy);

    // Each button is its action: pressed, it triggers it; it is enabled when the action is.
    const QList<std::pair<QPushButton*, QAction*>> buttons{
        {ui->searchButton, m_actions.search},      {ui->saveButton, m_actions.save},
        {ui->addButton, m_actions.add},            {ui->addToClientButton, m_actions.addToClient},
        {ui->addToProjectButton, m_actions.addToProject},
        {ui->addToBothButton, m_actions.addToBoth}, {ui->deleteButton, m_actions.remove},
        {ui->mailButton, m_actions.mail}};
    for (const auto& [button, action] : buttons) {
        connect(button, &QPushButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::changed, button,
                [button = button, action = action]() { button->setEnabled(action->isEnabled()); });
    }
}

void ViewController::connectControls()
{
    connect(m_feed, &NotesFeed::notesReloaded, this, &ViewController::notesReloaded);
    connect(m_clientlist, &XmlItemList::loaded, this,
            [this](const QByteArray& xml) { m_cache->storeList(QStringLiteral("clients"), xml); });
    connect(m_projectlist, &XmlItemList::loaded, this,
            [this](const QByteArray& xml) { m_cache->storeList(QStringLiteral("projects"), xml); });
    connect(m_feed, &NotesFeed::commandEnded, this, &ViewController::commandEnded);
    connect(ui->tableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ViewController::selectionChanged);
    for (QLineEdit* field : {ui->clientSearchField, ui->projectSearchField, ui->noteSearchField})
        connect(field, &QLineEdit::returnPressed, this, &ViewController::actionSearchNotes);
    connect(ui->clientPopUpButton, &QComboBox::activated, this,
            &ViewController::actionSelectClient);
    connect(ui->projectPopUpButton, &QComboBox::activated, this,
            &ViewController::actionSelectProject);
    connect(m_editor, &NoteEditor::edited, &m_draftTimer, qOverload<>(&QTimer::start));
    connect(&m_draftTimer, &QTimer::timeout, this, &ViewController::keepDraft);
    connect(m_drafts, &DraftStore::changed, this, [this]() {
        QSet<QString> ids;
        for (const DraftStore::Draft& draft : m_drafts->drafts())
            ids.insert(draft.noteId);
        m_model->setDraftIds(ids);
        updateActions();
    });
}

QTableView* ViewController::tableView() const
{
    return ui->tableView;
}

QPlainTextEdit* ViewController::noteTextView() const
{
    return ui->noteTextView;
}

QLineEdit* ViewController::clientSearchField() const
{
    return ui->clientSearchField;
}

QLineEdit* ViewController::projectSearchField() const
{
    return ui->projectSearchField;
}

QLineEdit* ViewController::noteSearchField() const
{
    return ui->noteSearchField;
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
    // Offline is only reported: the login below fails in its own way if the server is gone.
    if (!m_engine.warnIfOffline())
        Notices::post(tr("No network connection. Signing in is tried all the same."));
    if (!m_membercenter.checkSettings()) {
        Notices::post(tr("Enter the server, your login and your password in Preferences."));
        emit settingsNeeded();
        return;
    }
    // Loading waits for this login, so it never goes out with a session the login replaces.
    // The drafts and the offline copy are read while it is under way.
    m_membercenter.actionLogin([this](bool accepted) { loginEnded(accepted); });
    openAccountFiles();
}

void ViewController::takeUpSavedSettings()
{
    if (!m_membercenter.isLoggedIn())
        return;
    openAccountFiles();
    loginEnded(true);
}

void ViewController::loginEnded(bool accepted)
{
    if (!accepted) {
        if (m_membercenter.serverUnreachable())
            goOffline();
        return;
    }
    m_offline = false;
    m_reconnectTimer.stop();
    m_nextReconnectMs = m_firstReconnectMs;
    updateActions();
    updateBanner();
    Console::print(QLatin1String(DataEndpoint::LoggedInLine));
    Notices::post(tr("Signed in to %1 as %2. Loading the notes…")
                      .arg(m_membercenter.host(), m_membercenter.login()));
    loadListsAndNotes();
}

// No server answers: the copy stays readable, edits become drafts, and the login is tried again
// after a pause that grows from the first to the longest.
void ViewController::goOffline()
{
    // Back on a network: try at once instead of waiting out the pause. Loaded only now, since
    // the platform's network service costs start-up time that an online start does not need.
    if (!m_offline && !QNetworkInformation::instance() &&
        QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        connect(QNetworkInformation::instance(), &QNetworkInformation::reachabilityChanged, this,
                [this](QNetworkInformation::Reachability reachability) {
                    if (m_offline && reachability == QNetworkInformation::Reachability::Online)
                        actionReconnect();
                });
    m_offline = true;
    updateActions();
    m_reconnectTimer.start(m_nextReconnectMs);
    Notices::post(tr("The server cannot be reached. Saving, adding and deleting wait until it is "
                     "back; your edits are kept as drafts. Trying again in %n second(s).",
                     nullptr, (m_nextReconnectMs + 999) / 1000));
    m_nextReconnectMs = qMin(m_nextReconnectMs * 2, m_mostReconnectMs);
    updateBanner();
}

void ViewController::actionReconnect()
{
    m_reconnectTimer.stop();
    if (!m_membercenter.checkSettings())
        return;
    m_membercenter.actionLogin([this](bool accepted) { loginEnded(accepted); });
}

void ViewController::setReconnectDelays(int firstMs, int mostMs)
{
    reconnectDelays() = {firstMs, mostMs};
}

std::pair<int, int>& ViewController::reconnectDelays()
{
    static std::pair<int, int> delays{2000, 60000};
    return delays;
}

// Drafts and the offline copy belong to one account: another account never sees them, and a
// note of one server is never taken for the note of the same id on another. The copy is shown
// at once while the table holds nothing newer.
void ViewController::openAccountFiles()
{
    const QString before = m_drafts->filePath();
    keepDraft();
    m_drafts->openAccount(m_membercenter.host(), m_membercenter.path(), m_membercenter.login());
    m_cache->openAccount(m_membercenter.host(), m_membercenter.path(), m_membercenter.login());
    if (m_drafts->filePath() != before && before.size() > 0) {
        m_afterReload.reset();
        m_model->setNotes({});
        m_showingCopy = false;
        showNote(-1);
    }
    if (m_model->rowCount() > 0 && !m_showingCopy)
        return;
    const std::optional<NotesCache::Snapshot> copy = m_cache->load();
    if (!copy)
        return;
    m_copyLoadedAt = copy->loadedAt;
    m_clientlist->takeXmlItems(copy->clientsXml, m_clientPopUp.get());
    m_projectlist->takeXmlItems(copy->projectsXml, m_projectPopUp.get());
    showOfflineCopy(copy->notes);
    Notices::post(tr("Offline copy from %1").arg(QLocale().toString(
        m_copyLoadedAt, m_copyLoadedAt.date() == QDate::currentDate() ? QLocale::ShortFormat
                                                                      : QLocale::LongFormat)));
}

// Shows notes of the copy the way a reload shows the server's.
void ViewController::showOfflineCopy(const QList<Note>& notes)
{
    replaceRows(notes);
    m_showingCopy = true;
    updateBanner();
}

QString ViewController::offlineBannerText() const
{
    return ui->offlineBanner->isHidden() ? QString() : ui->offlineBanner->text();
}

void ViewController::updateBanner()
{
    QString text;
    if (m_showingCopy) {
        text = tr("Offline copy from %1: these notes are what the server held then.")
                   .arg(QLocale().toString(m_copyLoadedAt, QLocale::ShortFormat));
        if (m_offline)
            text += u' ' + tr("The server cannot be reached; search works on the copy.");
    } else if (m_offline) {
        text = tr("The server cannot be reached. Your edits are kept as drafts.");
    }
    ui->offlineBanner->setText(text);
    ui->offlineBanner->setAccessibleName(text);
    ui->offlineBanner->setVisible(!text.isEmpty());
}

void ViewController::actionForgetOfflineCopy()
{
    m_cache->forget();
    if (m_showingCopy) {
        m_showingCopy = false;
        m_model->setNotes({});
        showNote(-1);
        updateBanner();
    }
    Notices::post(tr("The offline copy of this account was deleted."));
}

// Clients, then projects, then notes; a failed load ends the chain.
void ViewController::loadListsAndNotes()
{
    m_clientlist->actionGetXMLItems(m_clientPopUp.get(), [this](bool filled) {
        if (!filled)
            return;
        m_projectlist->actionGetXMLItems(m_projectPopUp.get(), [this](bool filled) {
            if (!filled)
                return;
            m_feed->actionGetXMLItems();
        });
    });
}

void ViewController::actionSearchNotes()
{
    keepDraft();
    m_feed->setKeywords(ui->noteSearchField->text(), ui->clientSearchField->text(),
                        ui->projectSearchField->text());
    if (!m_offline)
        return m_feed->actionGetXMLItems();
    // Offline, the same three keywords search the copy: any part of the text, any case.
    const std::optional<NotesCache::Snapshot> copy = m_cache->load();
    if (!copy)
        return;
    const auto has = [](const QString& text, const QString& keyword) {
        return text.contains(keyword, Qt::CaseInsensitive);
    };
    QList<Note> found;
    for (const Note& note : copy->notes)
        if (has(note.note, m_feed->noteKeyword()) && has(note.client, m_feed->clientKeyword()) &&
            has(note.project, m_feed->projectKeyword()))
            found.append(note);
    showOfflineCopy(found);
    Notices::post(tr("%n note(s) found in the offline copy.", nullptr, int(found.size())));
}

int ViewController::selectedRow() const
{
    const QModelIndexList rows = ui->tableView->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
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
    const int row = selectedRow();
    if (row >= 0)
        Console::print(QLatin1String(SelectedRowPrefix) + QString::number(row));
    keepDraft();
    showNote(row);
}

// Shows the note of a row (its draft, if it has one), or nothing.
void ViewController::showNote(int row)
{
    m_draftTimer.stop();
    if (row < 0) {
        m_current.reset();
        m_editor->clear();
        m_clientPopUp->selectItemAtIndex(0);
        m_projectPopUp->selectItemAtIndex(0);
        updateActions();
        return;
    }
    m_current = m_model->noteAt(row);
    const DraftStore::Draft* draft = m_drafts->draft(m_current->id);
    m_editor->show(draft ? draft->text : m_current->note, m_current->note);
    if (m_current->client.isEmpty())
        m_clientPopUp->selectItemAtIndex(0);
    else
        m_clientPopUp->selectItemWithTitle(m_current->client);
    if (m_current->project.isEmpty())
        m_projectPopUp->selectItemAtIndex(0);
    else
        m_projectPopUp->selectItemWithTitle(m_current->project);
    updateActions();
}

void ViewController::keepDraft()
{
    m_draftTimer.stop();
    if (!m_current || !m_editor->isShowing())
        return;
    const QString text = m_editor->text();
    if (text == m_current->note)
        m_drafts->remove(m_current->id);
    else
        m_drafts->put(m_current->id, text, m_current->note);
}

void ViewController::notesReloaded(const QList<Note>& notes)
{
    const bool searched = !m_feed->noteKeyword().isEmpty() || !m_feed->clientKeyword().isEmpty() ||
                          !m_feed->projectKeyword().isEmpty();
    if (m_feed->lastListComplete())
        m_cache->storeNotes(notes, !searched);
    m_showingCopy = false;
    updateBanner();
    replaceRows(notes);
    // After a command its own message stands.
    if (std::exchange(m_reloadAfterCommand, false))
        return;
    Notices::post(searched ? tr("%n note(s) found.", nullptr, int(notes.size()))
                           : tr("%n note(s) loaded.", nullptr, int(notes.size())));
}

// The rows are replaced; the selection follows its note by NoteID (or goes to the note asked for),
// and the editor keeps what the user typed. An untouched editor shows the note's new text.
void ViewController::replaceRows(const QList<Note>& notes)
{
    keepDraft();
    const QSet<QString> before = idsOf(m_model->notes());
    const std::optional<QString> shownId =
        m_current ? std::optional<QString>(m_current->id) : std::nullopt;
    m_restoringSelection = true;
    m_model->setNotes(notes);
    const bool wanted = m_afterReload.has_value();
    int row = rowToSelectAfterReload(before);
    const bool asked = row >= 0;
    // A note the user asked for and the rows lack leaves nothing selected.
    if (!wanted && shownId)
        row = m_model->rowOf(*shownId);
    selectRow(row);
    m_restoringSelection = false;

    if (row >= 0 && shownId && m_model->noteAt(row).id == *shownId) {
        const Note& fresh = m_model->noteAt(row);
        if (!m_drafts->draft(fresh.id) && fresh.note != m_editor->text())
            m_editor->show(fresh.note, fresh.note);
        m_current = fresh;
        updateActions();
    } else {
        showNote(row);
    }
    if (asked && m_current && m_current->note == QLatin1String(" "))
        m_editor->focusToReplace();
}

// A note just added is found by the id the server gave it, or else as the one id the reload
// brings that the list before lacked; -1 when there is none to select.
int ViewController::rowToSelectAfterReload(const QSet<QString>& before)
{
    if (!m_afterReload)
        return -1;
    const AfterReload wanted = *m_afterReload;
    m_afterReload.reset();
    QString id = wanted.noteId;
    if (id.isEmpty() && wanted.newNote) {
        QStringList added;
        for (const Note& note : m_model->notes())
            if (!wanted.idsBefore.contains(note.id) && !before.contains(note.id))
                added << note.id;
        if (added.size() == 1)
            id = added.first();
    }
    const int row = id.isEmpty() ? -1 : m_model->rowOf(id);
    if (row < 0 && wanted.newNote)
        Notices::post(tr("Note added; it is not in the current search"));
    else if (row < 0)
        Notices::post(tr("The note of this draft is no longer on the server. Add the draft "
                         "as a new note or discard it."));
    return row;
}

void ViewController::actionSave()
{
    if (!m_current)
        return;
    keepDraft(); // kept until the server confirms
    if (!confirmOverwrite(*m_current))
        return;
    Note edited = *m_current;
    edited.note = m_editor->text();
    // With several records of the selected name, the last one wins; the placeholder and a
    // title no record bears leave the note's link as it was.
    const std::optional<QString> client = m_clientPopUp->titleOfSelectedItem();
    for (const auto& record : m_clientlist->clientObjects()) {
        if (sameTitle(client, record->name)) {
            edited.client = record->name;
            edited.clientId = record->id;
        }
    }
    const std::optional<QString> project = m_projectPopUp->titleOfSelectedItem();
    for (const auto& record : m_projectlist->projectObjects()) {
        if (sameTitle(project, record->name)) {
            edited.project = record->name;
            edited.projectId = record->id;
        }
    }
    m_feed->actionSaveXMLItem(edited);
}

// A draft begun on a text that has changed on the server since (another client saved it) is not
// saved over it without asking.
bool ViewController::confirmOverwrite(const Note& note)
{
    const DraftStore::Draft* draft = m_drafts->draft(note.id);
    if (!draft || draft->serverText == note.note)
        return true;
    const auto answer = QMessageBox::question(
        this, tr("Save over a changed note?"),
        tr("This note was changed on the server after you began your draft. Save your draft "
           "over the server's text?"),
        QMessageBox::Save | QMessageBox::Cancel, QMessageBox::Cancel);
    return answer == QMessageBox::Save;
}

// A new note starts with the text of one space, tied to the selected note's client and
// project, to one of them, or to none.
void ViewController::addNote(bool keepClient, bool keepProject)
{
    Note fresh;
    fresh.note = QStringLiteral(" ");
    const QString none = QLatin1String(ServerContract::NoLink);
    fresh.clientId = keepClient && m_current ? m_current->clientId : none;
    fresh.projectId = keepProject && m_current ? m_current->projectId : none;
    m_feed->actionAddXMLItem(fresh);
}

void ViewController::actionAdd()
{
    addNote(false, false);
}

void ViewController::actionAddToProject()
{
    if (m_current)
        addNote(false, true);
}

void ViewController::actionAddToClient()
{
    if (m_current)
        addNote(true, false);
}

void ViewController::actionAddToBoth()
{
    if (m_current)
        addNote(true, true);
}

void ViewController::actionDelete()
{
    if (m_current)
        m_feed->actionDeleteXMLItem(*m_current);
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
    if (!m_current)
        return;
    m_drafts->remove(m_current->id);
    m_editor->show(m_current->note, m_current->note);
    Notices::post(tr("The draft was dropped; the note shows the saved text."));
}

void ViewController::commandEnded(const NotesFeed::CommandResult& result)
{
    const QString& id = result.note.id;
    m_reloadAfterCommand = result.succeeded() || result.outcomeUnknown;
    switch (result.command) {
    case NotesFeed::Command::Save:
        if (result.succeeded()) {
            // The server holds the sent text now; typing that went on while the save was under
            // way stays a draft.
            if (m_current && m_current->id == id)
                m_current = result.note;
            m_cache->updateNote(result.note);
            const DraftStore::Draft* draft = m_drafts->draft(id);
            if (draft && draft->text == result.note.note)
                m_drafts->remove(id);
            Notices::post(tr("Note saved."));
        } else if (result.outcomeUnknown) {
            Notices::post(tr("The connection broke while the note was being saved: it may "
                             "or may not be stored. Your text is kept as a draft."));
        } else {
            Notices::post(tr("Note not saved: %1. Your text is kept.").arg(result.reason));
        }
        return;
    case NotesFeed::Command::Add:
        if (result.succeeded()) {
            // A note added from a draft carries the draft's NoteID; the draft is done with, and
            // its note shows the saved text again.
            if (!id.isEmpty()) {
                m_drafts->remove(id);
                if (m_current && m_current->id == id)
                    m_editor->show(m_current->note, m_current->note);
            }
            m_afterReload = AfterReload{true, result.newNoteId, idsOf(m_model->notes())};
            Notices::post(tr("Note added."));
        } else if (result.outcomeUnknown) {
            Notices::post(tr("The connection broke while the note was being added: it may "
                             "or may not exist now. Check the list before adding it again."));
        } else {
            Notices::post(tr("Note not added: %1.").arg(result.reason));
        }
        return;
    case NotesFeed::Command::Delete:
        if (result.succeeded()) {
            m_drafts->remove(id);
            m_cache->removeNote(id);
            Notices::post(tr("Note deleted."));
        } else if (result.outcomeUnknown) {
            Notices::post(tr("The connection broke while the note was being deleted: it may "
                             "or may not be gone."));
        } else {
            Notices::post(tr("Note not deleted: %1.").arg(result.reason));
        }
        return;
    }
}

void ViewController::actionShowDrafts()
{
    keepDraft();
    if (!m_draftsDialog) {
        m_draftsDialog = new DraftsDialog(*m_drafts, *m_model, this);
        m_draftsDialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_draftsDialog, &DraftsDialog::openRequested, this, &ViewController::openDraft);
        connect(m_draftsDialog, &DraftsDialog::addRequested, this,
                &ViewController::addDraftAsNote);
        connect(m_draftsDialog, &DraftsDialog::discardRequested, this,
                &ViewController::discardDraft);
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
    m_afterReload = AfterReload{false, noteId, {}};
    actionSearchNotes();
}

void ViewController::addDraftAsNote(const QString& noteId)
{
    const DraftStore::Draft* draft = m_drafts->draft(noteId);
    if (!draft)
        return;
    Note fresh;
    fresh.id = noteId; // not sent; names the draft to drop once the note exists
    fresh.note = draft->text;
    fresh.clientId = fresh.projectId = QLatin1String(ServerContract::NoLink);
    if (const int row = m_model->rowOf(noteId); row >= 0) {
        fresh.clientId = m_model->noteAt(row).clientId;
        fresh.projectId = m_model->noteAt(row).projectId;
    }
    m_feed->actionAddXMLItem(fresh);
}

void ViewController::discardDraft(const QString& noteId)
{
    if (m_current && m_current->id == noteId)
        return actionRevert();
    m_drafts->remove(noteId);
}

// What needs a selected note is off without one; what needs the server is off while it cannot be
// reached, and says so where the user looks for it.
void ViewController::updateActions()
{
    const bool selected = m_current.has_value();
    m_actions.mail->setEnabled(selected);
    m_actions.revert->setEnabled(selected && m_drafts->draft(m_current->id));
    for (QAction* action : {m_actions.save, m_actions.remove, m_actions.addToClient,
                            m_actions.addToProject, m_actions.addToBoth})
        action->setEnabled(selected && !m_offline);
    m_actions.add->setEnabled(!m_offline);
    const QString why = m_offline ? tr("Not while the server cannot be reached; your edits are "
                                       "kept as drafts.")
                                  : QString();
    for (QPushButton* button : {ui->saveButton, ui->deleteButton, ui->addButton,
                                ui->addToClientButton, ui->addToProjectButton,
                                ui->addToBothButton})
        button->setToolTip(why);
}

void ViewController::actionSelectClient()
{
    Console::print(QStringLiteral("select client popup button pressed"));
}

void ViewController::actionSelectProject()
{
    Console::print(QStringLiteral("select project popup button pressed"));
}
