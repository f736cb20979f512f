// ShowJournalNotices: the journal's notices, worded from the text table.
#include "ui/JournalNotices.h"

#include "core/OriginalsJournal.h"
#include "settings/TextTable.h"
#include "ui/MainCaption.h"
#include "ui/Window.h"

#include <string>

void ShowJournalNotices(HWND owner)
{
    const std::vector<JournalNotice> notices = g_originalsJournal.TakeNotices();
    if (notices.empty())
        return;
    std::string message;
    {
        CTextSection texts(g_textTable, "Main Dialog");
        for (const JournalNotice& notice : notices) {
            if (!message.empty())
                message += "\n\n";
            // Neither stops an action: the proxy user names still carry every account's settings.
            if (notice.kind == JOURNAL_SET_ASIDE)
                message += texts.Get("JournalSetAside",
                                     "The journal of original settings was damaged. It was set aside as:");
            else if (notice.kind == JOURNAL_DAMAGED_LOST)
                message +=
                    texts.Get("JournalDamaged",
                              "The journal of original settings was damaged and could not be set aside:");
            else
                message +=
                    texts.Get("JournalNotWritten", "The journal of original settings could not be written:");
            message += "\n" + notice.detail;
        }
    }
    MessageBoxUtf8(owner, message, LookUpMainCaption(), MB_OK | MB_ICONEXCLAMATION);
}
