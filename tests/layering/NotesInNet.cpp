// Compiled for a target that may use notes/ (it builds) and for one in net/ (the header is not
// found).
#include "NotesFeed.h"

int notesFeedSize() { return static_cast<int>(sizeof(NotesFeed)); }
