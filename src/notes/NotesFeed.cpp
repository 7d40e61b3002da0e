#include "NotesFeed.h"

#include "CommandRequest.h"
#include "Console.h"
#include "DataEndpoint.h"
#include "ListRequest.h"
#include "NotesFeedReader.h"
#include "RequestReport.h"
#include "ServerContract.h"

namespace Form = ServerContract::Form;

NotesFeed::NotesFeed(MemberCenter& membercenter, QObject* parent)
    : QObject(parent),
      m_endpoint(new DataEndpoint(membercenter, QLatin1String(ServerContract::Script::Notes), this))
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

// The parameters are read when the request is composed, and again for a repeat after a new
// login, so a repeat sends the current note as it is then.
void NotesFeed::actionSaveXMLItem()
{
    sendCommand(ServerContract::Action::EditNote, SavedLine, [this]() -> DataEndpoint::Parameters {
        return {{Form::NoteId, m_note->id},
                {Form::Note, m_note->note},
                {Form::ProjectId, m_note->projectId},
                {Form::ClientId, m_note->clientId}};
    });
}

void NotesFeed::actionAddXMLItem(const Note& draft)
{
    sendCommand(ServerContract::Action::AddNote, AddedLine, [draft]() -> DataEndpoint::Parameters {
        return {{Form::Note, draft.note},
                {Form::ProjectId, draft.projectId},
                {Form::ClientId, draft.clientId}};
    });
}

void NotesFeed::actionDeleteXMLItem()
{
    sendCommand(ServerContract::Action::DeleteNote, DeletedLine,
                [this]() -> DataEndpoint::Parameters {
                    return {{Form::NoteId, m_note->id}};
                });
}

// A success reloads the list with the keywords held at that moment.
void NotesFeed::sendCommand(const char* action, const char* successLine,
                            std::function<QList<QPair<const char*, QString>>()> parameters)
{
    m_endpoint->requestCommand(QLatin1String(action), QLatin1String(successLine),
                               std::move(parameters),
                               [this](const CommandRequest& request) { commandEnded(request); });
}

// A command is sent once only; when its answer was lost on the way, the list shows what the
// server holds now.
void NotesFeed::commandEnded(const CommandRequest& request)
{
    if (request.outcome() == ApiRequest::Outcome::TransportFailed && request.mayHaveReachedServer())
        Console::print(QLatin1String(UnknownOutcomeLine));
    else if (request.outcome() != ApiRequest::Outcome::Succeeded)
        return;
    actionGetXMLItems();
}

void NotesFeed::handleXml(const QByteArray& body)
{
    NotesFeedReader::Result read = NotesFeedReader::read(body);
    if (!read.error.isEmpty())
        RequestReport::printBrokenList(read.error, read.notes.size());
    if (read.dropped > 0)
        RequestReport::printDroppedItems(read.dropped);
    m_noteObjects = std::move(read.notes);
    emit notesReloaded(m_noteObjects);
}
