// The question put to the user before acting on a doubtful account: its caption and text.
#include "views/DoubtfulQuestion.h"

#include "settings/TextTable.h"

namespace {

// Puts the account name where the caption has "%s"; translated captions are never used as a printf format.
std::string FillCaption(const std::string& caption, const std::string& name)
{
    size_t at = caption.find("%s");
    if (at == std::string::npos)
        return caption;
    return caption.substr(0, at) + name + caption.substr(at + 2);
}

} // namespace

DoubtfulQuestion MakeDoubtfulQuestion(const AccountInfo& account, EAccountAction action)
{
    std::string caption, intro, userLabel, serverLabel, explanation, question;
    {
        CTextSection texts(g_textTable, "Client");
        caption = texts.Get("SuspCaption", "Confirm action for %s");
        intro = texts.Get("SuspAcc1", "Account has the following parameters:");
        userLabel = texts.Get("SuspAcc2", "Username:");
        serverLabel = texts.Get("SuspAcc3", "POP3 server:");
        explanation =
            texts.Get("SuspAcc4", "It is either configured with errors, or is not configured but looks "
                                  "similar to. Program can not detect it reliably.");
        question =
            action == ACTION_UNCONFIGURE
                ? texts.Get("SuspAcc6",
                            "Consider this account configured with errors and try to unconfigure it?")
                : texts.Get("SuspAcc5", "Consider this account configured with errors and try to repair it?");
    }
    DoubtfulQuestion asked;
    asked.caption = FillCaption(caption, account.name);
    asked.text = intro + "\n\t" + userLabel + " " + account.current.userName + "\n\t" + serverLabel + " " +
                 account.current.server + "\n" + explanation + "\n\n" + question;
    return asked;
}
