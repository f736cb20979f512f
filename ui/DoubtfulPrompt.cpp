// CDoubtfulPrompt: the dialogs' answer to a doubtful account, asked in a message box.
#include "ui/DoubtfulPrompt.h"

#include "views/DoubtfulQuestion.h"

#include <windows.h>

BOOL CDoubtfulPrompt::Confirm(const AccountInfo& account, EAccountAction action)
{
    const DoubtfulQuestion question = MakeDoubtfulQuestion(account, action);
    // Owned by no window, as it always was.
    return ::MessageBoxA(nullptr, question.text.c_str(), question.caption.c_str(),
                         MB_OKCANCEL | MB_ICONQUESTION) == IDOK
               ? TRUE
               : FALSE;
}
