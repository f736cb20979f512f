// The standard dialog's actions, driven like a user, checked in the list and in the client's own store.
#include "SampleUser.h"
#include "UserDriver.h"

#include "ui/VantlerDlg.h"

#include <gtest/gtest.h>

namespace {

const std::string kDash = "\x97";

std::vector<std::string> States(HWND list, int row)
{
    return {gui::Cell(list, row, 0), gui::Cell(list, row, 2), gui::Cell(list, row, 3),
            gui::Cell(list, row, 4)};
}

bool NoRowMarked(HWND list)
{
    for (int row = 0; row < gui::RowCount(list); ++row) {
        if (gui::IsRowChecked(list, row))
            return false;
    }
    return true;
}

const std::string kWarning = "        There are one or more e-mail clients running whose accounts are being\n"
                             "configured; you have to close them before proceeding. Configuration changes\n"
                             "will possibly not take effect otherwise.\n"
                             "        The following client(s) are running:\n\t- Outlook Express";

const std::string kQuestion = "Account has the following parameters:\n"
                              "\tUsername: dom/anna\n"
                              "\tPOP3 server: pop.mail.example\n"
                              "It is either configured with errors, or is not configured but looks similar "
                              "to. Program can not detect it reliably.\n\n"
                              "Consider this account configured with errors and try to repair it?";

} // namespace

TEST(MainDialogActions, ConfigureWritesTheMarkedAccountsAndRebuildsTheList)
{
    CSampleUser user;
    RunMainDialog([&](DWORD ui, HWND dlg, HWND list) {
        gui::ClickRow(list, 1);
        // Home mail (plain), Old port (outdated), Configured (nothing to do), Work IMAP (unsupported).
        for (int row : {0, 3, 7, 2})
            gui::CheckRow(list, row, true);
        EXPECT_TRUE(gui::Click(dlg, IDC_CONFIGURE)) << "an unexpected window stopped the action";
        EXPECT_EQ(nullptr, gui::WaitForDialog(ui, nullptr, true, 300));

        EXPECT_EQ("anna/pop.mail.example/110|localhost|dword:110", user.OutlookExpressPop(1));
        EXPECT_EQ("bob/pop.mail.example[APOP]/110|localhost|dword:110", user.OutlookExpressPop(4));
        EXPECT_EQ("gus/pop.gus.example/110|LocalHost|dword:110", user.OutlookExpressPop(8));
        EXPECT_EQ("<missing>", user.OutlookExpressValue(3, "POP3 User Name"));
        EXPECT_EQ("anna.k|pop.office.example|dword:995", user.OutlookExpressPop(2));

        EXPECT_EQ((std::vector<std::string>{"Home mail", "Yes", "Yes", "Yes"}), States(list, 0));
        EXPECT_EQ((std::vector<std::string>{"Old port", "Yes", "Yes", "Yes"}), States(list, 3));
        EXPECT_EQ((std::vector<std::string>{"Work IMAP", "No", kDash, kDash}), States(list, 2));
        EXPECT_TRUE(NoRowMarked(list));
        EXPECT_EQ("Account details:  \x97 ", gui::ItemText(dlg, IDC_DETAILS_GROUP));
        EXPECT_EQ("", gui::ItemText(dlg, IDC_USERNAME));
    });
}

TEST(MainDialogActions, UnconfigurePutsTheRealSettingsBack)
{
    CSampleUser user;
    RunMainDialog([&](DWORD /*ui*/, HWND dlg, HWND list) {
        // Old port and Configured are configured; Home mail is not and stays as it is.
        for (int row : {3, 7, 0})
            gui::CheckRow(list, row, true);
        EXPECT_TRUE(gui::Click(dlg, IDC_UNCONFIGURE));
        EXPECT_EQ("bob|pop.mail.example|dword:110", user.OutlookExpressPop(4));
        EXPECT_EQ("gus|pop.gus.example|dword:110", user.OutlookExpressPop(8));
        EXPECT_EQ("anna|pop.mail.example|<missing>", user.OutlookExpressPop(1));
        EXPECT_EQ((std::vector<std::string>{"Old port", "Yes", "No", kDash}), States(list, 3));
        EXPECT_EQ((std::vector<std::string>{"Configured", "Yes", "No", kDash}), States(list, 7));
        EXPECT_TRUE(NoRowMarked(list));
    });
}

TEST(MainDialogActions, DoubtfulAccountIsAskedAboutAndCancelLeavesItAlone)
{
    CSampleUser user;
    RunMainDialog([&](DWORD ui, HWND dlg, HWND list) {
        gui::CheckRow(list, 4, true);
        gui::PostClick(dlg, IDC_CONFIGURE);
        HWND box = gui::WaitForDialog(ui, "Confirm action for Doubtful", true);
        ASSERT_NE(nullptr, box);
        EXPECT_EQ(kQuestion, gui::MessageText(box));
        // The question has no owner, so the dialog still takes clicks: a second Configure meanwhile must not
        // start a second action over the same accounts.
        EXPECT_TRUE(::IsWindowEnabled(dlg));
        EXPECT_TRUE(gui::Click(dlg, IDC_CONFIGURE));
        int questions = 0;
        for (HWND window : gui::Dialogs(ui))
            questions += gui::IsMessageBox(window) ? 1 : 0;
        EXPECT_EQ(1, questions);
        EXPECT_TRUE(gui::Answer(box, IDCANCEL));
        ASSERT_TRUE(gui::WaitUntil([&] { return NoRowMarked(list); }));
        EXPECT_EQ("dom/anna|pop.mail.example|dword:110", user.OutlookExpressPop(5));
        EXPECT_EQ((std::vector<std::string>{"Doubtful", "Yes", "Yes", "No"}), States(list, 4));

        gui::CheckRow(list, 4, true);
        gui::PostClick(dlg, IDC_CONFIGURE);
        box = gui::WaitForDialog(ui, "Confirm action for Doubtful", true);
        ASSERT_NE(nullptr, box);
        // Marking every row while the question is open does not add the Outlook accounts below it to the
        // action under way.
        EXPECT_TRUE(gui::Command(dlg, ID_EDIT_SELECT_ALL));
        EXPECT_TRUE(gui::IsRowChecked(list, 8));
        EXPECT_TRUE(gui::Answer(box, IDOK));
        ASSERT_TRUE(gui::WaitUntil([&] { return NoRowMarked(list); }));
        EXPECT_EQ("otto", user.OutlookValue(1, "POP3 User Name"));
        EXPECT_EQ("dom/anna/110|localhost|dword:110", user.OutlookExpressPop(5));
        EXPECT_EQ((std::vector<std::string>{"Doubtful", "Yes", "Yes", "Yes"}), States(list, 4));
    });
}

TEST(MainDialogActions, UpdateRewritesOutdatedAccountsWhateverIsMarked)
{
    CSampleUser user;
    RunMainDialog([&](DWORD ui, HWND dlg, HWND list) {
        gui::CheckRow(list, 0, true);
        gui::PostClick(dlg, IDC_UPDATE);
        // The doubtful one is outdated too: declining its repair skips it.
        EXPECT_EQ(kQuestion, gui::Answered(ui, "Confirm action for Doubtful", IDCANCEL));
        ASSERT_TRUE(gui::WaitUntil([&] { return gui::Cell(list, 3, 4) == "Yes"; }));
        EXPECT_EQ("bob/pop.mail.example[APOP]/110|localhost|dword:110", user.OutlookExpressPop(4));
        EXPECT_EQ("dom/anna|pop.mail.example|dword:110", user.OutlookExpressPop(5));
        // The marked but unconfigured account is not touched by Update.
        EXPECT_EQ("anna|pop.mail.example|<missing>", user.OutlookExpressPop(1));
    });
}

TEST(MainDialogActions, RunningClientIsNamedUntilItIsClosed)
{
    CSampleUser user;
    RunMainDialog([&](DWORD ui, HWND dlg, HWND list) {
        // The program name is compared without regard to case.
        CFakeClientProcess client("MSIMN.EXE");

        // Update names the clients with outdated accounts, marked or not; Cancel changes nothing.
        gui::PostClick(dlg, IDC_UPDATE);
        EXPECT_EQ(kWarning, gui::Answered(ui, "Close e-mail clients", IDCANCEL));
        EXPECT_TRUE(gui::Sync(dlg));
        EXPECT_EQ("bob/pop.mail.example[APOP]/110|localhost|dword:8110", user.OutlookExpressPop(4));

        // Only Outlook's account is marked: Outlook Express running does not matter.
        gui::CheckRow(list, 8, true);
        EXPECT_TRUE(gui::Click(dlg, IDC_CONFIGURE)) << "a warning came for a client that is not concerned";
        EXPECT_EQ("otto/pop.otto.example/110", user.OutlookValue(1, "POP3 User Name"));

        // Two marked accounts of the running client: it is named once. Cancel changes nothing.
        gui::CheckRow(list, 0, true);
        gui::CheckRow(list, 1, true);
        gui::PostClick(dlg, IDC_CONFIGURE);
        HWND box = gui::WaitForDialog(ui, "Close e-mail clients", true);
        ASSERT_NE(nullptr, box);
        EXPECT_EQ(kWarning, gui::MessageText(box));
        EXPECT_EQ(dlg, ::GetWindow(box, GW_OWNER));
        EXPECT_TRUE(gui::Answer(box, IDCANCEL));
        EXPECT_TRUE(gui::Sync(dlg));
        EXPECT_EQ("anna|pop.mail.example|<missing>", user.OutlookExpressPop(1));
        EXPECT_TRUE(gui::IsRowChecked(list, 0)) << "a cancelled action must not rebuild the list";

        // OK while it still runs asks again; once it is closed, OK goes on.
        gui::PostClick(dlg, IDC_CONFIGURE);
        EXPECT_EQ(kWarning, gui::Answered(ui, "Close e-mail clients", IDOK));
        box = gui::WaitForDialog(ui, "Close e-mail clients", true);
        ASSERT_NE(nullptr, box) << "the warning was not repeated while the client ran";
        EXPECT_EQ("anna|pop.mail.example|<missing>", user.OutlookExpressPop(1));
        client.Stop();
        EXPECT_TRUE(gui::Answer(box, IDOK));
        ASSERT_TRUE(gui::WaitUntil([&] { return NoRowMarked(list); }));
        EXPECT_EQ("anna/pop.mail.example/110|localhost|dword:110", user.OutlookExpressPop(1));
        EXPECT_EQ("anna.k/pop.office.example[SPA]/995|localhost|dword:110", user.OutlookExpressPop(2));
    });
}

TEST(MainDialogActions, AssistantAndAboutOpenOverTheDialog)
{
    CSampleUser user;
    CVantlerDlg dialog(nullptr);
    CDialog::SetMainWindow(&dialog);
    INT_PTR result = gui::RunWithUser(dialog, [&](DWORD ui) {
        HWND dlg = OpenedMainDialog(ui);
        ASSERT_NE(nullptr, dlg);
        gui::PostClick(dlg, IDC_MANUAL);
        HWND assistant = gui::WaitForDialog(ui, "Manual configuration assistent", false);
        ASSERT_NE(nullptr, assistant);
        EXPECT_FALSE(::IsWindowEnabled(dlg)) << "the standard dialog must wait for the assistant";
        EXPECT_TRUE(gui::Click(assistant, IDOK));
        EXPECT_TRUE(gui::WaitUntil([&] { return ::IsWindowEnabled(dlg) != 0; }));

        ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(ID_HELP_ABOUT, 0), 0);
        HWND about = gui::WaitForDialog(ui, "About", false);
        ASSERT_NE(nullptr, about);
        EXPECT_EQ("E-mail accounts configurator", gui::ItemText(about, IDC_ABOUT_MAIN));
        EXPECT_TRUE(gui::Click(about, IDOK));
        EXPECT_TRUE(gui::WaitUntil([&] { return ::IsWindowEnabled(dlg) != 0; }));
        // Escape and the close box end the dialog with Cancel.
        ::PostMessageA(dlg, WM_CLOSE, 0, 0);
    });
    CDialog::SetMainWindow(nullptr);
    EXPECT_EQ(IDCANCEL, result);
}
