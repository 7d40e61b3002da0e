#include "Diagnostics.h"

Q_LOGGING_CATEGORY(notesLog, "notes", QtInfoMsg)
