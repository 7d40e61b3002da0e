#pragma once

#include <QLoggingCategory>

// The program's own diagnostics, for developers and bug reports: on standard error, apart from
// the fixed lines of standard output.
Q_DECLARE_LOGGING_CATEGORY(notesLog)
