#pragma once

// The wire contract between the client and a notes server: script names, actions, form keys,
// answer keys and error codes. The substitute server in devserver/ includes this header too, so
// both sides spell every wire text the same way.

namespace ServerContract {

// Every request goes to "https://" + host + path + ApiDirectory + script.
inline constexpr char ApiDirectory[] = "/api/";

namespace Script {
inline constexpr char Login[] = "login.php";
inline constexpr char Notes[] = "notes.php";
inline constexpr char Clients[] = "client.php";
inline constexpr char Projects[] = "project.php";
} // namespace Script

namespace Action {
inline constexpr char Notes[] = "xml_notes";
inline constexpr char EditNote[] = "edit_note";
inline constexpr char AddNote[] = "add_note";
inline constexpr char DeleteNote[] = "delete_note";
inline constexpr char Clients[] = "xml_clients";
inline constexpr char Projects[] = "xml_projects";
} // namespace Action

// Form keys of the request bodies.
namespace Form {
inline constexpr char Login[] = "login";
inline constexpr char Password[] = "password";
inline constexpr char SessionId[] = "PHPSESSID";
inline constexpr char Action[] = "action";
inline constexpr char NoteKeyword[] = "noteKeyword";
inline constexpr char ClientKeyword[] = "clientKeyword";
inline constexpr char ProjectKeyword[] = "projectKeyword";
inline constexpr char Limit[] = "limit";
inline constexpr char StatusId[] = "StatusID";
inline constexpr char NoteId[] = "NoteID";
inline constexpr char Note[] = "note";
inline constexpr char ProjectId[] = "ProjectID";
inline constexpr char ClientId[] = "ClientID";
} // namespace Form

// Fixed form values.
inline constexpr char NotesLimit[] = "100";
inline constexpr char ListLimit[] = "500";
inline constexpr char ActiveStatus[] = "1";
// The id the client sends for "no client" or "no project" when it adds a note.
inline constexpr char NoLink[] = "0";

// Keys of the JSON answers.
namespace Json {
inline constexpr char Success[] = "success";
inline constexpr char SessionId[] = "PHPSESSID";
inline constexpr char ErrorCode[] = "error_code";
inline constexpr char ErrorMessage[] = "error_message";
// The id of the note that add_note created; not every server sends it.
inline constexpr char NewNoteId[] = "NoteID";
} // namespace Json

// "error_code" values with a meaning of their own: the session is gone and a new login is due.
namespace ErrorCode {
inline constexpr int NoSession = 2;
inline constexpr int SessionExpired = 3;
} // namespace ErrorCode

// A list answer is XML when its Content-Type begins with this (compared case-sensitively).
inline constexpr char XmlContentTypePrefix[] = "text/xml";

// Element and attribute names of the XML lists.
namespace Xml {
inline constexpr char Item[] = "item";
inline constexpr char Name[] = "name";
inline constexpr char ValueAttribute[] = "value";
inline constexpr char ClientId[] = "ClientID";
inline constexpr char ProjectId[] = "ProjectID";
inline constexpr char CategoryId[] = "CatID";
inline constexpr char NoteId[] = "NoteID";
inline constexpr char Note[] = "note";
inline constexpr char DateTimeCreate[] = "datetime_create";
inline constexpr char RealEstateId[] = "RealEstateID";
inline constexpr char TaskId[] = "TaskID";
inline constexpr char GroupId[] = "GroupID";
inline constexpr char OrderId[] = "OrderID";
// Server-side time stamp format of datetime_create.
inline constexpr char ServerDateFormat[] = "yyyy-MM-dd HH:mm:ss";
inline constexpr char NoDate[] = "0000-00-00 00:00:00";
} // namespace Xml

} // namespace ServerContract
