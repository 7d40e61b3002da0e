#include "ApiHandler.h"

#include "ListDocuments.h"
#include "NotesDatabase.h"
#include "ServerContract.h"
#include "SessionStore.h"

#include <QDateTime>

namespace Contract = ServerContract;
namespace Form = ServerContract::Form;

ApiHandler::ApiHandler(NotesDatabase& database, SessionStore& sessions, const ApiOptions& options)
    : m_database(database), m_sessions(sessions), m_options(options)
{
}

bool ApiHandler::isKnownScript(const QString& script)
{
    return script == QLatin1String(Contract::Script::Login) ||
           script == QLatin1String(Contract::Script::Notes) ||
           script == QLatin1String(Contract::Script::Clients) ||
           script == QLatin1String(Contract::Script::Projects);
}

HttpReply ApiHandler::handle(const QString& script, const FormDecoder::Fields& form)
{
    if (script == QLatin1String(Contract::Script::Login))
        return login(form);
    if (const auto error = sessionError(form))
        return *error;
    if (script == QLatin1String(Contract::Script::Notes))
        return notesScript(form);
    if (script == QLatin1String(Contract::Script::Clients))
        return clientsScript(form);
    return projectsScript(form);
}

HttpReply ApiHandler::login(const FormDecoder::Fields& form)
{
    const QString login = form.value(Form::Login);
    const QString password = form.value(Form::Password);
    QString error;
    if (login.isEmpty() || !form.contains(Form::Password))
        error = QStringLiteral("Zadajte meno aj heslo.");
    else if (!m_database.checkPassword(login, password))
        error = QStringLiteral("Nesprávne meno alebo heslo.");
    const QString sessionId = error.isEmpty() ? m_sessions.open(login) : QString();
    return HttpReply::json(PhpJson::object({{Contract::Json::Success, error.isEmpty() ? 1 : 0},
                                            {Contract::Json::SessionId, sessionId},
                                            {Contract::Json::ErrorMessage, error}}));
}

std::optional<HttpReply> ApiHandler::sessionError(const FormDecoder::Fields& form)
{
    switch (m_sessions.use(form.value(Form::SessionId))) {
    case SessionState::Valid:
        return std::nullopt;
    case SessionState::Expired:
        return failure(Contract::ErrorCode::SessionExpired,
                       QStringLiteral("Platnosť prihlásenia vypršala."));
    case SessionState::Unknown:
        break;
    }
    return failure(Contract::ErrorCode::NoSession, QStringLiteral("Nie ste prihlásený."));
}

HttpReply ApiHandler::notesScript(const FormDecoder::Fields& form)
{
    const QString action = form.value(Form::Action);
    if (action == QLatin1String(Contract::Action::Notes))
        return listNotes(form);
    if (action == QLatin1String(Contract::Action::EditNote))
        return editNote(form);
    if (action == QLatin1String(Contract::Action::AddNote))
        return addNote(form);
    if (action == QLatin1String(Contract::Action::DeleteNote))
        return deleteNote(form);
    return failure(UnknownAction, QStringLiteral("Neznáma akcia."));
}

HttpReply ApiHandler::clientsScript(const FormDecoder::Fields& form)
{
    if (form.value(Form::Action) != QLatin1String(Contract::Action::Clients))
        return failure(UnknownAction, QStringLiteral("Neznáma akcia."));
    const int count = limit(form, QByteArray(Contract::ListLimit).toInt());
    return HttpReply::xml(
        ListDocuments::clients(m_database.clients(form.value(Form::StatusId), count)));
}

HttpReply ApiHandler::projectsScript(const FormDecoder::Fields& form)
{
    if (form.value(Form::Action) != QLatin1String(Contract::Action::Projects))
        return failure(UnknownAction, QStringLiteral("Neznáma akcia."));
    const int count = limit(form, QByteArray(Contract::ListLimit).toInt());
    return HttpReply::xml(
        ListDocuments::projects(m_database.projects(form.value(Form::StatusId), count)));
}

HttpReply ApiHandler::listNotes(const FormDecoder::Fields& form)
{
    const int count = m_options.notesLimit >= 0
                          ? m_options.notesLimit
                          : limit(form, QByteArray(Contract::NotesLimit).toInt());
    const NoteSearch search{form.value(Form::NoteKeyword), form.value(Form::ClientKeyword),
                            form.value(Form::ProjectKeyword), count};
    return HttpReply::xml(ListDocuments::notes(m_database.findNotes(search)));
}

HttpReply ApiHandler::editNote(const FormDecoder::Fields& form)
{
    const auto fields = noteFields(form);
    if (!fields || !form.contains(Form::NoteId))
        return failure(MissingParameter, QStringLiteral("Chýba povinný parameter."));
    const auto id = number(form, Form::NoteId);
    if (!id || !m_database.updateNote(*id, *fields))
        return failure(UnknownNote, QStringLiteral("Poznámka neexistuje."));
    return success();
}

HttpReply ApiHandler::addNote(const FormDecoder::Fields& form)
{
    const auto fields = noteFields(form);
    if (!fields)
        return failure(MissingParameter, QStringLiteral("Chýba povinný parameter."));
    const QString now = QDateTime::currentDateTime().toString(Contract::Xml::ServerDateFormat);
    const qint64 id = m_database.addNote(*fields, now);
    if (id == 0)
        return failure(StorageFailure, QStringLiteral("Poznámku sa nepodarilo uložiť."));
    if (!m_options.addNoteAnswersId)
        return success();
    return success({{Contract::Json::NewNoteId, QString::number(id)}});
}

HttpReply ApiHandler::deleteNote(const FormDecoder::Fields& form)
{
    if (!form.contains(Form::NoteId))
        return failure(MissingParameter, QStringLiteral("Chýba povinný parameter."));
    const auto id = number(form, Form::NoteId);
    if (!id || !m_database.deleteNote(*id))
        return failure(UnknownNote, QStringLiteral("Poznámka neexistuje."));
    return success();
}

// The text and both links are required; a link that is not a number counts as missing.
std::optional<NoteFields> ApiHandler::noteFields(const FormDecoder::Fields& form)
{
    const auto projectId = number(form, Form::ProjectId);
    const auto clientId = number(form, Form::ClientId);
    if (!form.contains(Form::Note) || !projectId || !clientId)
        return std::nullopt;
    return NoteFields{form.value(Form::Note), *clientId, *projectId};
}

std::optional<qint64> ApiHandler::number(const FormDecoder::Fields& form, const char* key)
{
    bool ok = false;
    const qint64 value = form.value(QString::fromLatin1(key)).toLongLong(&ok);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}

int ApiHandler::limit(const FormDecoder::Fields& form, int fallback)
{
    bool ok = false;
    const int value = form.value(Form::Limit).toInt(&ok);
    return ok && value >= 0 ? value : fallback;
}

HttpReply ApiHandler::failure(int code, const QString& message)
{
    return HttpReply::json(PhpJson::object({{Contract::Json::Success, 0},
                                            {Contract::Json::ErrorCode, code},
                                            {Contract::Json::ErrorMessage, message}}));
}

HttpReply ApiHandler::success(const QList<PhpJson::Member>& extra)
{
    QList<PhpJson::Member> members = {{Contract::Json::Success, 1},
                                      {Contract::Json::ErrorCode, 0},
                                      {Contract::Json::ErrorMessage, QString()}};
    return HttpReply::json(PhpJson::object(members + extra));
}
