#include "NotesFeed.h"

#include "CommandRequest.h"
#include "Console.h"
#include "DataEndpoint.h"
#include "ListRequest.h"
#include "NotesFeedReader.h"
#include "RequestReport.h"
#include "ServerContract.h"

#include <QFutureWatcher>
#include <QtConcurrent>

namespace Form = ServerContract::Form;

NotesFeed::NotesFeed(MemberCenter& membercenter, QObject* parent)
    : QObject(parent), m_endpoint(new DataEndpoint(
                           membercenter, QLatin1String(ServerContract::Script::Notes), this)),
      m_commandEndpoint(
          new DataEndpoint(membercenter, QLatin1String(ServerContract::Script::Notes), this))
{
}

NotesFeed::~NotesFeed() = default;

void NotesFeed::setKeywords(const QString& noteKeyword, const QString& clientKeyword,
                            const QString& projectKeyword)
{
    m_noteKeyword = noteKeyword;
    m_clientKeyword = clientKeyword;
    m_projectKeyword = projectKeyword;
}

bool NotesFeed::isIdle() const
{
    return !m_endpoint->dataTask() && m_reading == 0 && !m_commandInFlight && m_commands.empty();
}

void NotesFeed::actionGetXMLItems()
{
    m_endpoint->requestList(
        QLatin1String(ServerContract::Action::Notes),
        [this]() -> DataEndpoint::Parameters {
            return {{Form::NoteKeyword, m_noteKeyword},
                    {Form::ClientKeyword, m_clientKeyword},
                    {Form::ProjectKeyword, m_projectKeyword},
                    {Form::Limit, QLatin1String(ServerContract::NotesLimit)}};
        },
        [this](const ListRequest& request) {
            if (request.outcome() == ApiRequest::Outcome::Succeeded)
                handleXml(request.xml());
        });
}

void NotesFeed::actionSaveXMLItem(const Note& note)
{
    enqueue(Command::Save, note);
}

void NotesFeed::actionAddXMLItem(const Note& note)
{
    enqueue(Command::Add, note);
}

void NotesFeed::actionDeleteXMLItem(const Note& note)
{
    enqueue(Command::Delete, note);
}

void NotesFeed::enqueue(Command command, const Note& note)
{
    m_commands.push_back({command, note});
    if (!m_commandInFlight)
        sendNextCommand();
}

// The parameters are fixed when the command is given; a repeat after a new login sends the
// same values.
void NotesFeed::sendNextCommand()
{
    if (m_commands.empty())
        return;
    m_commandInFlight = true;
    const Queued queued = m_commands.front();
    m_commands.pop_front();
    const Note& n = queued.note;
    const char* action = nullptr;
    const char* line = nullptr;
    DataEndpoint::Parameters parameters;
    switch (queued.command) {
    case Command::Save:
        action = ServerContract::Action::EditNote;
        line = SavedLine;
        parameters = {{Form::NoteId, n.id},
                      {Form::Note, n.note},
                      {Form::ProjectId, n.projectId},
                      {Form::ClientId, n.clientId}};
        break;
    case Command::Add:
        action = ServerContract::Action::AddNote;
        line = AddedLine;
        parameters = {
            {Form::Note, n.note}, {Form::ProjectId, n.projectId}, {Form::ClientId, n.clientId}};
        break;
    case Command::Delete:
        action = ServerContract::Action::DeleteNote;
        line = DeletedLine;
        parameters = {{Form::NoteId, n.id}};
        break;
    }
    m_commandEndpoint->requestCommand(
        QLatin1String(action), QLatin1String(line), [parameters]() { return parameters; },
        [this, queued](const CommandRequest& request) { commandFinished(queued, request); });
}

// A command is sent once only; after a success, or when its answer was lost on the way, the
// list is loaded again so that it shows what the server holds now.
void NotesFeed::commandFinished(const Queued& queued, const CommandRequest& request)
{
    m_commandInFlight = false;
    CommandResult result;
    result.command = queued.command;
    result.note = queued.note;
    result.outcome = request.outcome();
    // A 5xx may come from a proxy after the server acted: as with a lost answer, the list shows
    // what happened, and nothing is tried again unseen.
    result.outcomeUnknown =
        (request.outcome() == ApiRequest::Outcome::TransportFailed &&
         request.mayHaveReachedServer()) ||
        (request.outcome() == ApiRequest::Outcome::HttpStatus && request.httpStatus() >= 500);
    result.newNoteId = request.noteId();
    result.reason = RequestReport::failureReason(request);
    if (result.outcomeUnknown)
        Console::diagnose(QLatin1String(UnknownOutcomeLine));
    emit commandEnded(result);
    if (m_reloadAfterCommands && (result.succeeded() || result.outcomeUnknown))
        actionGetXMLItems();
    sendNextCommand();
    if (!m_commandInFlight)
        emit commandsDone();
}

QList<Note> NotesFeed::waitingSaves() const
{
    QList<Note> saves;
    for (const Queued& queued : m_commands)
        if (queued.command == Command::Save)
            saves.append(queued.note);
    return saves;
}

// The reader shares nothing with this object; its result comes back through the event loop, and
// the answer's bytes and the parser's state are gone when it does.
void NotesFeed::handleXml(const QByteArray& body)
{
    const quint64 number = ++m_lastReading;
    ++m_reading;
    auto* watcher = new QFutureWatcher<NotesFeedReader::Result>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, number]() {
        watcher->deleteLater();
        --m_reading;
        NotesFeedReader::Result read = watcher->future().takeResult();
        if (number != m_lastReading)
            return; // a newer answer is being read, or was shown already
        if (!read.error.isEmpty())
            RequestReport::printBrokenList(read.error, read.notes.size());
        if (read.dropped > 0)
            RequestReport::printDroppedItems(read.dropped);
        m_lastListComplete = read.error.isEmpty() && read.dropped == 0;
        m_noteObjects = std::move(read.notes);
        emit notesReloaded(m_noteObjects);
    });
    watcher->setFuture(QtConcurrent::run(&NotesFeedReader::read, body));
}
