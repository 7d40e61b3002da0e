// Compiled twice: as part of a target that may use notes/ (it must build) and as part of one that
// sits below it in net/ (it must not find the header).
#include "NotesFeed.h"

int notesFeedSize()
{
    return static_cast<int>(sizeof(NotesFeed));
}
