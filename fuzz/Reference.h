#pragma once

#include <QString>
#include <QStringList>

// What the client is expected to make of the values a server sends, written from the documented
// rules and kept apart from the client's own code, so a target compares the client with an
// expectation that does not share its mistakes.
namespace Reference {

// White space as the lists define it: what QChar::isSpace calls space, and NEL (U+0085).
bool isBlank(char32_t c);
// The text without white space at either end, walked code point by code point.
QString trimmed(const QString& text);
bool isTrimmed(const QString& text);
// The pieces of a field trimmed one by one and joined, as a field split by a comment is read.
QString joinedTrimmed(const QStringList& pieces);

// The creation time as a note shows it: "yyyy-MM-dd HH:mm:ss" in local time becomes
// "dd.MM.yyyy HH:mm"; empty text and 0000-00-00 00:00:00 show nothing; any other text (a wrong
// form, a date that does not exist, a local time skipped by a clock change) is shown as sent.
QString shownDate(const QString& serverText);

// A pick list filled with these titles one by one, each new title first taking out the item
// already there under a canonically equivalent spelling (equal after NFC): every title once, at
// the place and in the spelling of its last occurrence.
QStringList pickListTitles(const QStringList& titles);

// A text with every character outside printable ASCII as \u{hex}, for failure messages.
QString visible(const QString& text);

} // namespace Reference
