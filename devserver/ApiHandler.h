#pragma once

#include "FormDecoder.h"
#include "HttpReply.h"
#include "PhpJson.h"
#include "StoreRecords.h"

#include <optional>

class NotesDatabase;
class SessionStore;

// Variants of the answers, chosen on the command line or through /__admin/options.
struct ApiOptions
{
    // add_note answers the new note's id as a string "NoteID" after the usual keys.
    bool addNoteAnswersId = false;
    // A notes search answers at most this many notes, whatever limit it asks for; -1 keeps the
    // request's limit.
    int notesLimit = -1;
    // Every login is answered this much later, as a real server's password check takes.
    int loginDelayMs = 0;
};

// Answers the service's scripts (login.php, notes.php, client.php, project.php) from a decoded
// form, like the PHP scripts do: every answer is HTTP 200, and failures are a JSON envelope
// {"success":0,"error_code":N,"error_message":"..."}, also for the list actions.
class ApiHandler
{
public:
    // error_code values besides the session ones of ServerContract::ErrorCode.
    static constexpr int MissingParameter = 1;
    static constexpr int UnknownAction = 4;
    static constexpr int UnknownNote = 5;
    static constexpr int StorageFailure = 6;

    ApiHandler(NotesDatabase& database, SessionStore& sessions, const ApiOptions& options);

    static bool isKnownScript(const QString& script);
    HttpReply handle(const QString& script, const FormDecoder::Fields& form);

private:
    HttpReply login(const FormDecoder::Fields& form);
    HttpReply notesScript(const FormDecoder::Fields& form);
    HttpReply clientsScript(const FormDecoder::Fields& form);
    HttpReply projectsScript(const FormDecoder::Fields& form);

    HttpReply listNotes(const FormDecoder::Fields& form);
    HttpReply editNote(const FormDecoder::Fields& form);
    HttpReply addNote(const FormDecoder::Fields& form);
    HttpReply deleteNote(const FormDecoder::Fields& form);

    std::optional<HttpReply> sessionError(const FormDecoder::Fields& form);
    static std::optional<NoteFields> noteFields(const FormDecoder::Fields& form);
    static std::optional<qint64> number(const FormDecoder::Fields& form, const char* key);
    static int limit(const FormDecoder::Fields& form, int fallback);
    static HttpReply failure(int code, const QString& message);
    static HttpReply success(const QList<PhpJson::Member>& extra = {});

    NotesDatabase& m_database;
    SessionStore& m_sessions;
    const ApiOptions& m_options;
};
