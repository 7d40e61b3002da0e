#pragma once

#include <QtGlobal>

// Bounds on what the client accepts from a server, so a broken or hostile answer can neither
// stall the window nor fill the memory. Each bound that is crossed is reported in one line.
namespace Limits {

// Bytes of one answer body, counted while it arrives; past this the request is aborted.
inline constexpr qint64 MaxAnswerBytes = 32 * 1024 * 1024;
// A whole request, however slowly its bytes trickle in.
inline constexpr int RequestDeadlineMs = 60000;
// No progress at all for this long ends a request.
inline constexpr int IdleTimeoutMs = 30000;
// Items read from one list or notes feed; the rest are dropped. The fuzz build lowers it
// (fuzz/CMakeLists.txt) so that its short inputs reach it.
#ifndef NOTES_MAX_LIST_ITEMS
#define NOTES_MAX_LIST_ITEMS 10000
#endif
inline constexpr int MaxListItems = NOTES_MAX_LIST_ITEMS;
// A session id longer than this, or holding white space or control characters, is refused.
inline constexpr int MaxSessionIdLength = 256;
// Characters of a server or transport message shown to the user.
inline constexpr int MaxMessageLength = 500;

} // namespace Limits
