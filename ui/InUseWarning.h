// CInUseWarning: after an action over one or more accounts, the one message that names the accounts whose
// store file another program held open, so that the user knows what to close before trying again.
#pragma once

#include "core/MailClient.h"

#include <windows.h>

#include <string>
#include <vector>

class CInUseWarning
{
public:
    // Call after a failed configure or unconfigure of record index: notes it when its store was in use.
    void OnActionFailed(const CMailClient& client, int index);
    // Shows the message when any record was noted ("\t- client: account" under the reason's text), owned by
    // owner, and forgets them.
    void Show(HWND owner);

private:
    std::string m_reasonText;
    std::vector<std::string> m_accounts;
};
