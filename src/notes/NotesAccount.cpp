#include "NotesAccount.h"

#include "ClientList.h"
#include "Console.h"
#include "DataEndpoint.h"
#include "DraftStore.h"
#include "Engine.h"
#include "MemberCenter.h"
#include "NotesCache.h"
#include "Notices.h"
#include "ProjectList.h"
#include "ServerContract.h"

#include <QLocale>

#include <algorithm>

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

NotesAccount::NotesAccount(std::unique_ptr<MemberCenter> session, QObject* parent)
    : QObject(parent), m_membercenter(session.release()),
      m_feed(new NotesFeed(*m_membercenter, this)),
      m_clientlist(new ClientList(*m_membercenter, this)),
      m_projectlist(new ProjectList(*m_membercenter, this)), m_drafts(new DraftStore(this)),
      m_cache(std::make_unique<NotesCache>())
{
    m_membercenter->setParent(this);
    m_draftTimer.setSingleShot(true);
    m_draftTimer.setInterval(draftDelay());
    connect(&m_draftTimer, &QTimer::timeout, this, &NotesAccount::keepDraft);
    connect(&m_retries, &RetrySchedule::due, this, &NotesAccount::reconnect);

    connect(m_feed, &NotesFeed::notesReloaded, this, &NotesAccount::notesReloaded);
    connect(m_feed, &NotesFeed::commandEnded, this, &NotesAccount::commandEnded);
    connect(m_feed, &NotesFeed::commandsDone, this, [this]() {
        if (m_retired)
            emit released();
    });
    connect(m_clientlist, &XmlItemList::loaded, this,
            [this](const QByteArray& xml) { m_cache->storeList(QStringLiteral("clients"), xml); });
    connect(m_projectlist, &XmlItemList::loaded, this,
            [this](const QByteArray& xml) { m_cache->storeList(QStringLiteral("projects"), xml); });
    connect(m_drafts, &DraftStore::changed, this, &NotesAccount::stateChanged);
    connect(m_drafts, &DraftStore::writeFailed, this, [this](const QString& why) {
        Notices::alert(prefixed(tr("Your draft could not be written to disk (%1). It is kept while "
                                   "the program runs; save the note or free the disk.")
                                    .arg(why)));
    });
    connect(m_drafts, &DraftStore::setAside, this, [this](const QString& where) {
        Notices::alert(prefixed(tr("The drafts file of %1 could not be read; it was set aside "
                                   "as %2.")
                                    .arg(title(), where)));
    });
}

// The requests of the feed and the lists go before the session they use.
NotesAccount::~NotesAccount()
{
    keepDraft();
    delete m_feed;
    delete m_clientlist;
    delete m_projectlist;
}

NotesAccount::Identity NotesAccount::identityOf(const MemberCenter& session)
{
    return {session.host(), session.path(), session.login()};
}

NotesAccount::Identity NotesAccount::identity() const
{
    return identityOf(*m_membercenter);
}

QString NotesAccount::title() const
{
    return m_membercenter->login() + u'@' + m_membercenter->host();
}

QString NotesAccount::prefixed(const QString& message) const
{
    return m_retired ? tr("%1: %2").arg(title(), message) : message;
}

void NotesAccount::say(const QString& message) const
{
    Notices::post(prefixed(message));
}

void NotesAccount::attachPickLists(PickList* clients, PickList* projects)
{
    m_clientPick = clients;
    m_projectPick = projects;
    if (!clients)
        m_clientlist->detachPickList();
    if (!projects)
        m_projectlist->detachPickList();
}

bool NotesAccount::signIn()
{
    // Offline is only reported: the login fails in its own way if the server is gone.
    if (!Engine().warnIfOffline())
        say(tr("No network connection. Signing in is tried all the same."));
    if (!m_membercenter->checkSettings()) {
        emit settingsNeeded();
        return false;
    }
    // Loading waits for this login, so it never goes out with a session the login replaces.
    // The drafts and the offline copy are read while it is under way.
    m_membercenter->actionLogin([this](bool accepted) { loginEnded(accepted); });
    openFiles();
    return true;
}

void NotesAccount::takeUpLogin()
{
    openFiles();
    loginEnded(m_membercenter->isLoggedIn());
}

void NotesAccount::reconnect()
{
    m_retries.stop();
    if (m_retired || !m_membercenter->checkSettings())
        return;
    m_membercenter->actionLogin([this](bool accepted) { loginEnded(accepted); });
    openFiles();
}

void NotesAccount::loginEnded(bool accepted)
{
    if (m_retired)
        return;
    if (!accepted) {
        if (m_membercenter->lastFailure() == MemberCenter::Failure::Temporary)
            goOffline();
        else if (m_membercenter->lastFailure() == MemberCenter::Failure::Configuration)
            Notices::alert(
                m_membercenter->lastStatus() > 0 && m_membercenter->lastStatus() != 200
                    ? tr("The server at %1 answered the login with HTTP status %2. Check the host "
                         "and the path in Preferences.")
                          .arg(m_membercenter->host())
                          .arg(m_membercenter->lastStatus())
                    : tr("The server at %1 did not answer like a notes server. Check the host and "
                         "the path in Preferences.")
                          .arg(m_membercenter->host()));
        return;
    }
    m_signedIn = true;
    m_offline = false;
    m_retries.reset();
    emit stateChanged();
    Console::print(QLatin1String(DataEndpoint::LoggedInLine));
    say(tr("Signed in to %1 as %2. Loading the notes…")
            .arg(m_membercenter->host(), m_membercenter->login()));
    loadListsAndNotes();
}

// No server answers: the copy stays readable, edits become drafts, and the login is tried again
// later (RetrySchedule): when the server said, or after a pause that grows.
void NotesAccount::goOffline()
{
    m_offline = true;
    const int pause = m_retries.schedule(m_membercenter->retryAfterMs());
    say(tr("The server cannot be reached. Saving, adding and deleting wait until it is back; your "
           "edits are kept as drafts. Trying again in %n second(s).",
           nullptr, (pause + 999) / 1000));
    emit stateChanged();
}

void NotesAccount::setDraftDelay(int ms)
{
    draftDelay() = ms;
}

int& NotesAccount::draftDelay()
{
    static int delay = DraftDelayMs;
    return delay;
}

// The drafts and the copy of this account, read once. The copy is shown at once while nothing
// newer is there.
void NotesAccount::openFiles()
{
    if (std::exchange(m_filesOpen, true))
        return;
    const Identity id = identity();
    m_drafts->openAccount(id.host, id.path, id.login);
    m_cache->openAccount(id.host, id.path, id.login);
    if (const QString aside = m_cache->takeSetAside(); !aside.isEmpty())
        Notices::alert(
            tr("The offline copy could not be used; it was set aside as %1.").arg(aside));
    if (!m_rows.isEmpty())
        return;
    const std::optional<NotesCache::Snapshot> copy = m_cache->load();
    if (!copy)
        return;
    m_copyLoadedAt = copy->loadedAt;
    m_clientlist->takeXmlItems(copy->clientsXml, m_clientPick);
    m_projectlist->takeXmlItems(copy->projectsXml, m_projectPick);
    m_showingCopy = true;
    showRows(copy->notes, false);
    emit stateChanged();
    say(tr("Offline copy from %1")
            .arg(QLocale().toString(m_copyLoadedAt, m_copyLoadedAt.date() == QDate::currentDate()
                                                        ? QLocale::ShortFormat
                                                        : QLocale::LongFormat)));
}

// The three lists go out together, each on its own: a failed one is said, keeps what it showed,
// is asked again at the next search, and holds back none of the others.
void NotesAccount::loadListsAndNotes()
{
    loadPickList(*m_clientlist, m_clientPick, m_clientsLoaded);
    loadPickList(*m_projectlist, m_projectPick, m_projectsLoaded);
    m_feed->actionGetXMLItems();
}

void NotesAccount::loadPickList(XmlItemList& list, PickList* pick, bool& loaded)
{
    list.actionGetXMLItems(pick, [this, &loaded](bool filled) {
        loaded = filled;
        if (filled && !m_retired)
            emit pickListsRefilled();
    });
}

int NotesAccount::pendingCommands() const
{
    return m_feed->pendingCommands();
}

void NotesAccount::retire()
{
    keepDraft();
    m_retired = true;
    attachPickLists(nullptr, nullptr);
    m_retries.stop();
    m_feed->setReloadAfterCommands(false);
    m_selection.forget();
    if (pendingCommands() == 0)
        QTimer::singleShot(0, this, &NotesAccount::released);
}

void NotesAccount::keepWaitingSavesAsDrafts()
{
    for (const Note& save : m_feed->waitingSaves())
        if (save.note != serverTextOf(save.id))
            m_drafts->put(save.id, save.note, serverTextOf(save.id));
}

bool NotesAccount::canChangeNotes() const
{
    return !m_retired && m_signedIn && !m_offline && !m_showingCopy;
}

QString NotesAccount::whyReadOnly() const
{
    if (m_offline)
        return tr("Not while the server cannot be reached; your edits are kept as drafts.");
    if (m_showingCopy)
        return tr("Not while the table shows the offline copy; your edits are kept as drafts "
                  "until the server's list arrives.");
    if (!m_signedIn)
        return tr("Not before you are signed in; your edits are kept as drafts.");
    return {};
}

QString NotesAccount::offlineBanner() const
{
    QString banner;
    if (m_showingCopy) {
        banner = tr("Offline copy from %1: these notes are what the server held then.")
                     .arg(QLocale().toString(m_copyLoadedAt, QLocale::ShortFormat));
        if (m_offline)
            banner += u' ' + tr("The server cannot be reached; search works on the copy.");
    } else if (m_offline) {
        banner = tr("The server cannot be reached. Your edits are kept as drafts.");
    }
    return banner;
}

bool NotesAccount::mayChange()
{
    if (canChangeNotes())
        return true;
    say(whyReadOnly());
    return false;
}

const Note* NotesAccount::note(const QString& noteId) const
{
    const auto it = std::ranges::find(m_rows, noteId, &Note::id);
    return it == m_rows.end() ? nullptr : &*it;
}

QString NotesAccount::serverTextOf(const QString& noteId) const
{
    if (const Note* n = note(noteId))
        return n->note;
    const DraftStore::Draft* draft = m_drafts->draft(noteId);
    return draft ? draft->serverText : QString();
}

QString NotesAccount::textToShow(const Note& note) const
{
    const DraftStore::Draft* draft = m_drafts->draft(note.id);
    return draft ? draft->text : note.note;
}

void NotesAccount::noteShown(const QString& noteId)
{
    m_shownId = noteId;
}

void NotesAccount::noteEdited(const QString& noteId, const QString& text)
{
    m_pending.emplace(noteId, text);
    m_selection.typed();
    m_draftTimer.start();
}

void NotesAccount::keepDraft()
{
    m_draftTimer.stop();
    if (!m_pending)
        return;
    const auto [id, text] = *std::exchange(m_pending, std::nullopt);
    if (m_deletedByUser.contains(id))
        return;
    const Note* n = note(id);
    if (n && text == n->note)
        m_drafts->remove(id);
    else
        m_drafts->put(id, text, serverTextOf(id));
}

void NotesAccount::search(const QString& noteKeyword, const QString& clientKeyword,
                          const QString& projectKeyword)
{
    keepDraft();
    m_feed->setKeywords(noteKeyword, clientKeyword, projectKeyword);
    if (!m_offline && m_signedIn) {
        if (!m_clientsLoaded)
            loadPickList(*m_clientlist, m_clientPick, m_clientsLoaded);
        if (!m_projectsLoaded)
            loadPickList(*m_projectlist, m_projectPick, m_projectsLoaded);
    }
    if (!m_offline)
        return m_feed->actionGetXMLItems();
    // Offline, the same three keywords search the copy.
    const std::optional<QList<Note>> found =
        m_cache->search(noteKeyword, clientKeyword, projectKeyword);
    if (!found)
        return;
    m_showingCopy = true;
    showRows(*found, false);
    emit stateChanged();
    say(tr("%n note(s) found in the offline copy.", nullptr, int(found->size())));
}

void NotesAccount::notesReloaded(const QList<Note>& notes)
{
    const QStringList keywords{m_feed->noteKeyword(), m_feed->clientKeyword(),
                               m_feed->projectKeyword()};
    const bool searched = !keywords.join(QString()).isEmpty();
    if (m_feed->lastListComplete())
        m_cache->storeNotes(notes, !searched);
    if (m_retired)
        return;
    const bool sameSearch = !m_showingCopy && keywords == m_rowsKeywords;
    m_rowsKeywords = keywords;
    m_showingCopy = false;
    showRows(notes, sameSearch);
    emit stateChanged();
    // After a command its own message stands.
    if (std::exchange(m_reloadAfterCommand, false))
        return;
    say(searched ? tr("%n note(s) found.", nullptr, int(notes.size()))
                 : tr("%n note(s) loaded.", nullptr, int(notes.size())));
}

void NotesAccount::showRows(const QList<Note>& notes, bool sameSearch)
{
    keepDraft();
    const RowsChange change = changeAfterReload(notes, sameSearch);
    m_rows = notes;
    emit rowsReplaced(m_rows, change);
}

// Where the selection goes is SelectionAfterReload's; what it means for the user is said here.
NotesAccount::RowsChange NotesAccount::changeAfterReload(const QList<Note>& notes, bool sameSearch)
{
    using Notice = SelectionAfterReload::Notice;
    Notice notice = Notice::None;
    const bool keepsText =
        !m_shownId.isEmpty() && m_drafts->draft(m_shownId) && !m_deletedByUser.contains(m_shownId);
    const RowsChange change =
        m_selection.decide(m_rows, notes, m_shownId, keepsText, sameSearch, &notice);
    switch (notice) {
    case Notice::None:
        break;
    case Notice::NewNoteNotListed:
        say(tr("Note added; it is not in the current search"));
        break;
    case Notice::DraftNoteNotListed:
        Notices::alert(tr("The note of this draft is not in the list (it may be deleted, or "
                          "beyond the %1 notes loaded). Search for it, or add the draft as a "
                          "new note from Note → Drafts…")
                           .arg(QLatin1String(ServerContract::NotesLimit)));
        break;
    case Notice::EditedNoteGone:
        Notices::alert(tr("The note you were editing is no longer on the server. Your text stays "
                          "in the editor and is kept as a draft; add it as a new note from "
                          "Note → Drafts…"));
        break;
    }
    return change;
}

bool NotesAccount::savesOverNewerText(const QString& noteId) const
{
    const DraftStore::Draft* draft = m_drafts->draft(noteId);
    const Note* n = note(noteId);
    return draft && n && draft->serverText != n->note;
}

bool NotesAccount::save(const QString& noteId, const QString& text,
                        const std::optional<QString>& clientTitle,
                        const std::optional<QString>& projectTitle)
{
    keepDraft();
    const Note* current = note(noteId);
    if (current && text != current->note)
        m_drafts->put(noteId, text, serverTextOf(noteId)); // kept until the server confirms
    if (!mayChange())
        return false;
    if (!current) {
        say(tr("Not saved: the note is no longer in the list. Your text is kept as a draft."));
        return false;
    }
    Note edited = *current;
    edited.note = text;
    // With several records of the selected name, the last one wins; the placeholder and a title
    // no record bears leave the note's link as it was.
    for (const auto& record : m_clientlist->clientObjects()) {
        if (sameTitle(clientTitle, record->name)) {
            edited.client = record->name;
            edited.clientId = record->id;
        }
    }
    for (const auto& record : m_projectlist->projectObjects()) {
        if (sameTitle(projectTitle, record->name)) {
            edited.project = record->name;
            edited.projectId = record->id;
        }
    }
    m_feed->actionSaveXMLItem(edited);
    return true;
}

bool NotesAccount::add(const QString& baseId, bool keepClient, bool keepProject)
{
    const Note* base = note(baseId);
    if ((keepClient || keepProject) && !base)
        return false;
    if (!mayChange())
        return false;
    Note fresh;
    fresh.note = QLatin1String(NewNoteText);
    const QString none = QLatin1String(ServerContract::NoLink);
    fresh.clientId = keepClient ? base->clientId : none;
    fresh.projectId = keepProject ? base->projectId : none;
    m_selection.addPressed();
    m_feed->actionAddXMLItem(fresh);
    return true;
}

bool NotesAccount::remove(const QString& noteId)
{
    const Note* n = note(noteId);
    if (!n || !mayChange())
        return false;
    m_feed->actionDeleteXMLItem(*n);
    return true;
}

void NotesAccount::revert(const QString& noteId)
{
    discardDraft(noteId);
    say(tr("The draft was dropped; the note shows the saved text."));
}

void NotesAccount::openDraft(const QString& noteId)
{
    m_selection.openDraft(noteId);
    search(QString(), QString(), QString());
}

bool NotesAccount::addDraftAsNote(const QString& noteId)
{
    keepDraft();
    const DraftStore::Draft* draft = m_drafts->draft(noteId);
    if (!draft || !mayChange())
        return false;
    Note fresh;
    fresh.id = noteId; // not sent; names the draft to drop once the note exists
    fresh.note = draft->text;
    fresh.clientId = fresh.projectId = QLatin1String(ServerContract::NoLink);
    if (const Note* n = note(noteId)) {
        fresh.clientId = n->clientId;
        fresh.projectId = n->projectId;
    }
    m_selection.addPressed();
    m_feed->actionAddXMLItem(fresh);
    return true;
}

void NotesAccount::discardDraft(const QString& noteId)
{
    if (m_pending && m_pending->first == noteId)
        m_pending.reset();
    m_drafts->remove(noteId);
}

void NotesAccount::forgetCopy()
{
    keepDraft();
    m_cache->forget();
    if (m_showingCopy) {
        m_showingCopy = false;
        showRows({}, false);
        emit stateChanged();
    }
    say(tr("The offline copy of this account was deleted."));
}

void NotesAccount::commandEnded(const NotesFeed::CommandResult& result)
{
    // What the user typed meanwhile is weighed against the outcome.
    keepDraft();
    m_reloadAfterCommand = !m_retired && (result.succeeded() || result.outcomeUnknown);
    switch (result.command) {
    case NotesFeed::Command::Save:
        return saveEnded(result);
    case NotesFeed::Command::Add:
        return addEnded(result);
    case NotesFeed::Command::Delete:
        return deleteEnded(result);
    }
}

// The server holds the sent text now: it is the base of any typing that went on meanwhile, which
// stays a draft.
void NotesAccount::saveEnded(const NotesFeed::CommandResult& result)
{
    const QString& id = result.note.id;
    if (result.succeeded()) {
        for (Note& row : m_rows)
            if (row.id == id)
                row = result.note;
        m_cache->updateNote(result.note);
        const DraftStore::Draft* draft = m_drafts->draft(id);
        if (draft && draft->text == result.note.note)
            m_drafts->remove(id);
        else if (draft)
            m_drafts->rebase(id, result.note.note);
        say(tr("Note saved."));
    } else if (result.outcomeUnknown) {
        say(tr("The connection broke while the note was being saved: it may or may not be "
               "stored. Your text is kept as a draft."));
    } else {
        say(tr("Note not saved: %1. Your text is kept.").arg(result.reason));
    }
}

void NotesAccount::addEnded(const NotesFeed::CommandResult& result)
{
    m_selection.addEnded(result.succeeded() && !m_retired, result.newNoteId, idsOf(m_rows));
    const QString& id = result.note.id;
    if (result.succeeded()) {
        // A note added from a draft carries the draft's NoteID; the draft is done with unless the
        // user went on typing in it.
        if (!id.isEmpty()) {
            const DraftStore::Draft* draft = m_drafts->draft(id);
            if (draft && draft->text == result.note.note) {
                m_drafts->remove(id);
                emit draftDone(id, result.note.note);
            }
        }
        say(tr("Note added."));
    } else if (result.outcomeUnknown) {
        say(tr("The connection broke while the note was being added: it may or may not exist "
               "now. Check the list before adding it again."));
    } else {
        say(tr("Note not added: %1.").arg(result.reason));
    }
}

void NotesAccount::deleteEnded(const NotesFeed::CommandResult& result)
{
    const QString& id = result.note.id;
    if (result.succeeded()) {
        m_deletedByUser.insert(id);
        if (m_pending && m_pending->first == id)
            m_pending.reset();
        m_drafts->remove(id);
        m_cache->removeNote(id);
        say(tr("Note deleted."));
    } else if (result.outcomeUnknown) {
        say(tr("The connection broke while the note was being deleted: it may or may not be "
               "gone."));
    } else {
        say(tr("Note not deleted: %1.").arg(result.reason));
    }
}
