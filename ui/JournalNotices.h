// ShowJournalNotices: what the journal of original settings met (a damaged file set aside, a file that could
// not be written), told to the user in one message; nothing when it met nothing.
#pragma once

#include <windows.h>

void ShowJournalNotices(HWND owner);
