// The wizard, run for real: stepping through the supported accounts and acting on the one shown.
#include "SampleUser.h"
#include "UserDriver.h"

#include "ui/WizardConfiguratorDlg.h"

#include <gtest/gtest.h>

namespace {

const char kCaption[] = "E-mail accounts configurator";

// What the wizard shows of one account.
struct Shown
{
    std::string client, number, details, ready, user, server, port;
    int yes, no;
    bool configure, unconfigure, update, previous, next;
};

Shown Read(HWND dlg)
{
    return {gui::ItemText(dlg, IDC_CLIENT_NAME),   gui::ItemText(dlg, IDC_ACCOUNT_OF),
            gui::ItemText(dlg, IDC_DETAILS_GROUP), gui::ItemText(dlg, IDC_READY_TEXT),
            gui::ItemText(dlg, IDC_USERNAME),      gui::ItemText(dlg, IDC_SERVER),
            gui::ItemText(dlg, IDC_PORT),          gui::CheckState(dlg, IDC_UPTODATE_YES),
            gui::CheckState(dlg, IDC_UPTODATE_NO), gui::IsEnabled(dlg, IDC_CONFIGURE),
            gui::IsEnabled(dlg, IDC_UNCONFIGURE),  gui::IsEnabled(dlg, IDC_UPDATE),
            gui::IsEnabled(dlg, IDC_PREVIOUS),     gui::IsEnabled(dlg, IDC_NEXT)};
}

void Expect(const Shown& expected, const Shown& shown, int line)
{
    SCOPED_TRACE("wizard checked at line " + std::to_string(line));
    EXPECT_EQ(expected.client, shown.client);
    EXPECT_EQ(expected.number, shown.number);
    EXPECT_EQ(expected.details, shown.details);
    EXPECT_EQ(expected.ready, shown.ready);
    EXPECT_EQ(expected.user, shown.user);
    EXPECT_EQ(expected.server, shown.server);
    EXPECT_EQ(expected.port, shown.port);
    EXPECT_EQ(expected.yes, shown.yes);
    EXPECT_EQ(expected.no, shown.no);
    EXPECT_EQ(expected.configure, shown.configure);
    EXPECT_EQ(expected.unconfigure, shown.unconfigure);
    EXPECT_EQ(expected.update, shown.update);
    EXPECT_EQ(expected.previous, shown.previous);
    EXPECT_EQ(expected.next, shown.next);
}

const char kReady[] = "This e-mail is ready for use with Nimbrel";
const char kNotReady[] = "This e-mail is NOT ready for use with Nimbrel";

std::string Number(int n)
{
    return "E-mail account\n" + std::to_string(n) + " out of 7";
}

} // namespace

TEST(Wizard, NextAndPreviousStepThroughTheSupportedAccounts)
{
    CSampleUser user;
    CWizardConfiguratorDlg dialog(nullptr);
    INT_PTR result = gui::RunWithUser(dialog, [&](DWORD ui) {
        HWND dlg = gui::WaitForDialog(ui, kCaption, false);
        ASSERT_NE(nullptr, dlg);
        EXPECT_EQ("Client details", gui::ItemText(dlg, IDC_CLIENT_GROUP));
        EXPECT_EQ("Configuration is up-to-date", gui::ItemText(dlg, IDC_UPTODATE_LABEL));
        EXPECT_EQ("<< Previous", gui::ItemText(dlg, IDC_PREVIOUS));
        EXPECT_EQ("Next >>", gui::ItemText(dlg, IDC_NEXT));
        EXPECT_EQ("Close", gui::ItemText(dlg, IDC_WIZARD_CLOSE));
        EXPECT_FALSE(gui::IsShown(dlg, IDC_NO_ACCOUNTS));

        Expect({"Outlook Express", Number(1), "Account details: anna@mail.example", kNotReady, "anna",
                "pop.mail.example", "110", 0, 0, true, false, false, false, true},
               Read(dlg), __LINE__);
        EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        Expect({"Outlook Express", Number(2), "Account details: anna@office.example", kNotReady, "anna.k",
                "pop.office.example", "995", 0, 0, true, false, false, true, true},
               Read(dlg), __LINE__);
        // Work IMAP is not supported and is skipped without using up a number.
        EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        Expect({"Outlook Express", Number(3), "Account details: bob@mail.example", kReady,
                "bob/pop.mail.example[APOP]/110", "localhost", "8110", 0, 1, false, true, true, true, true},
               Read(dlg), __LINE__);
        EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        Expect({"Outlook Express", Number(5), "Account details: gus@mail.example", kReady,
                "gus/pop.gus.example/110", "LocalHost", "110", 1, 0, false, true, false, true, true},
               Read(dlg), __LINE__);
        EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        EXPECT_EQ("Outlook", gui::ItemText(dlg, IDC_CLIENT_NAME));
        EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        Expect({"Outlook", Number(7), "Account details: otto@corp.example", kNotReady, "CORP\\otto",
                "mail.corp.example", "110", 0, 0, true, false, false, true, false},
               Read(dlg), __LINE__);
        EXPECT_TRUE(gui::Click(dlg, IDC_PREVIOUS));
        EXPECT_TRUE(gui::Click(dlg, IDC_PREVIOUS));
        Expect({"Outlook Express", Number(5), "Account details: gus@mail.example", kReady,
                "gus/pop.gus.example/110", "LocalHost", "110", 1, 0, false, true, false, true, true},
               Read(dlg), __LINE__);
        EXPECT_NE(nullptr,
                  reinterpret_cast<HICON>(::SendDlgItemMessageA(dlg, IDC_CLIENT_ICON, STM_GETICON, 0, 0)));

        // The indicators only show: a click neither checks them nor keeps the focus there.
        HWND no = ::GetDlgItem(dlg, IDC_UPTODATE_NO);
        RECT box = {};
        ::GetClientRect(no, &box);
        gui::ClickAt(no, {5, (box.bottom - box.top) / 2}, false);
        EXPECT_EQ(BST_CHECKED, gui::CheckState(dlg, IDC_UPTODATE_YES));
        EXPECT_EQ(BST_UNCHECKED, gui::CheckState(dlg, IDC_UPTODATE_NO));
        GUITHREADINFO focus = {};
        focus.cbSize = sizeof(focus);
        ::GetGUIThreadInfo(ui, &focus);
        EXPECT_NE(no, focus.hwndFocus);
        ::SendMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(no), TRUE);
        EXPECT_TRUE(gui::Sync(dlg));
        ::GetGUIThreadInfo(ui, &focus);
        EXPECT_NE(no, focus.hwndFocus);
        EXPECT_NE(0, ::SendMessageA(no, BM_GETSTATE, 0, 0) & BST_PUSHED)
            << "the indicator keeps its highlight";
        EXPECT_TRUE(gui::Click(dlg, IDC_WIZARD_CLOSE));
    });
    EXPECT_EQ(0, result);
}

TEST(Wizard, ConfigureUpdateAndUnconfigureActOnTheShownAccount)
{
    CSampleUser user;
    CWizardConfiguratorDlg dialog(nullptr);
    gui::RunWithUser(dialog, [&](DWORD ui) {
        HWND dlg = gui::WaitForDialog(ui, kCaption, false);
        ASSERT_NE(nullptr, dlg);
        EXPECT_TRUE(gui::Click(dlg, IDC_CONFIGURE));
        EXPECT_EQ("anna/pop.mail.example/110|localhost|dword:110", user.OutlookExpressPop(1));
        Expect({"Outlook Express", Number(1), "Account details: anna@mail.example", kReady,
                "anna/pop.mail.example/110", "localhost", "110", 1, 0, false, true, false, false, true},
               Read(dlg), __LINE__);

        EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        EXPECT_TRUE(gui::Click(dlg, IDC_UPDATE));
        EXPECT_EQ("bob/pop.mail.example[APOP]/110|localhost|dword:110", user.OutlookExpressPop(4));
        Expect({"Outlook Express", Number(3), "Account details: bob@mail.example", kReady,
                "bob/pop.mail.example[APOP]/110", "localhost", "110", 1, 0, false, true, false, true, true},
               Read(dlg), __LINE__);

        EXPECT_TRUE(gui::Click(dlg, IDC_UNCONFIGURE));
        EXPECT_EQ("bob|pop.mail.example|dword:110", user.OutlookExpressPop(4));
        Expect({"Outlook Express", Number(3), "Account details: bob@mail.example", kNotReady, "bob",
                "pop.mail.example", "110", 0, 0, true, false, false, true, true},
               Read(dlg), __LINE__);
    });
}

TEST(Wizard, DoubtfulAccountAndRunningClientAreAskedAbout)
{
    CSampleUser user;
    CWizardConfiguratorDlg dialog(nullptr);
    gui::RunWithUser(dialog, [&](DWORD ui) {
        HWND dlg = gui::WaitForDialog(ui, kCaption, false);
        ASSERT_NE(nullptr, dlg);
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        EXPECT_EQ("Account details: dom@mail.example", gui::ItemText(dlg, IDC_DETAILS_GROUP));

        gui::PostClick(dlg, IDC_UNCONFIGURE);
        HWND box = gui::WaitForDialog(ui, "Confirm action for Doubtful", true);
        ASSERT_NE(nullptr, box);
        EXPECT_NE(std::string::npos, gui::MessageText(box).find("try to unconfigure it?"));
        EXPECT_TRUE(gui::Answer(box, IDCANCEL));
        EXPECT_TRUE(gui::Sync(dlg));
        EXPECT_EQ("dom/anna|pop.mail.example|dword:110", user.OutlookExpressPop(5));
        EXPECT_EQ(Number(4), gui::ItemText(dlg, IDC_ACCOUNT_OF));

        CFakeClientProcess client("msimn.exe");
        gui::PostClick(dlg, IDC_UNCONFIGURE);
        box = gui::WaitForDialog(ui, "Close e-mail client", true);
        ASSERT_NE(nullptr, box);
        EXPECT_EQ(
            "        There is an e-mail client running whose account is beingconfigured; you have to close "
            "it before proceeding. Configuration changes will possibly not take effect otherwise.\n"
            "        The following client is running:\n\t- Outlook Express",
            gui::MessageText(box));
        EXPECT_TRUE(gui::Answer(box, IDCANCEL));
        EXPECT_TRUE(gui::Sync(dlg));
        EXPECT_EQ("dom/anna|pop.mail.example|dword:110", user.OutlookExpressPop(5));

        gui::PostClick(dlg, IDC_UNCONFIGURE);
        box = gui::WaitForDialog(ui, "Close e-mail client", true);
        ASSERT_NE(nullptr, box);
        EXPECT_TRUE(gui::Answer(box, IDOK));
        box = gui::WaitForDialog(ui, "Close e-mail client", true);
        ASSERT_NE(nullptr, box) << "the warning was not repeated while the client ran";
        client.Stop();
        EXPECT_TRUE(gui::Answer(box, IDOK));
        box = gui::WaitForDialog(ui, "Confirm action for Doubtful", true);
        ASSERT_NE(nullptr, box);
        EXPECT_TRUE(gui::Answer(box, IDOK));
        ASSERT_TRUE(gui::WaitUntil([&] { return gui::ItemText(dlg, IDC_USERNAME) == "dom"; }));
        EXPECT_EQ("dom|anna|dword:110", user.OutlookExpressPop(5));
        EXPECT_EQ(kNotReady, gui::ItemText(dlg, IDC_READY_TEXT));
    });
}

TEST(Wizard, WithoutAccountsOnlyCloseIsLeft)
{
    CSampleUser user(false);
    CWizardConfiguratorDlg dialog(nullptr);
    INT_PTR result = gui::RunWithUser(dialog, [&](DWORD ui) {
        HWND dlg = gui::WaitForDialog(ui, kCaption, false);
        ASSERT_NE(nullptr, dlg);
        EXPECT_TRUE(gui::IsShown(dlg, IDC_NO_ACCOUNTS));
        EXPECT_EQ("No configurable e-mail clients/accounts found", gui::ItemText(dlg, IDC_NO_ACCOUNTS));
        for (int id :
             {IDC_UPTODATE_LABEL, IDC_UPTODATE_YES, IDC_READY_TEXT, IDC_USERNAME, IDC_SERVER, IDC_PORT})
            EXPECT_FALSE(gui::IsShown(dlg, id)) << id;
        for (int id : {IDC_CONFIGURE, IDC_UNCONFIGURE, IDC_UPDATE, IDC_PREVIOUS, IDC_NEXT})
            EXPECT_FALSE(gui::IsEnabled(dlg, id)) << id;
        EXPECT_TRUE(gui::IsEnabled(dlg, IDC_WIZARD_CLOSE));
        EXPECT_NE(nullptr,
                  reinterpret_cast<HICON>(::SendDlgItemMessageA(dlg, IDC_CLIENT_ICON, STM_GETICON, 0, 0)));
        ::PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, result);
}
