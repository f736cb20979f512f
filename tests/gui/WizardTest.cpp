// The wizard, run for real: stepping through the supported accounts and acting on the one shown.
#include "SampleUser.h"
#include "UserDriver.h"

#include "ui/WizardConfiguratorDlg.h"

#include <gtest/gtest.h>

namespace {

const char kCaption[] = "E-mail accounts configurator";

typedef std::vector<std::string> Texts;

// What the wizard shows of one account: client, number, details, ready text, user name, server and port, then
// the check states of the up-to-date Yes and No, and which of Configure, Unconfigure, Update, Previous and
// Next are enabled, as digits.
Texts Read(HWND dlg)
{
    Texts shown = gui::ItemTexts(dlg, {IDC_CLIENT_NAME, IDC_ACCOUNT_OF, IDC_DETAILS_GROUP, IDC_READY_TEXT,
                                       IDC_USERNAME, IDC_SERVER, IDC_PORT});
    shown.push_back(std::to_string(gui::CheckState(dlg, IDC_UPTODATE_YES)) +
                    std::to_string(gui::CheckState(dlg, IDC_UPTODATE_NO)));
    std::string enabled;
    for (int id : {IDC_CONFIGURE, IDC_UNCONFIGURE, IDC_UPDATE, IDC_PREVIOUS, IDC_NEXT})
        enabled += gui::IsEnabled(dlg, id) ? '1' : '0';
    shown.push_back(enabled);
    return shown;
}

const char kReady[] = "This e-mail is ready for use with Nimbrel";
const char kNotReady[] = "This e-mail is NOT ready for use with Nimbrel";

std::string Number(int n)
{
    return "E-mail account\n" + std::to_string(n) + " out of 7";
}

// Runs the wizard for real and plays script once it is open; returns DoModal's result.
INT_PTR RunWizard(const std::function<void(DWORD ui, HWND dialog)>& script)
{
    CWizardConfiguratorDlg dialog(nullptr);
    return gui::RunWithUser(dialog, [&](DWORD ui) {
        HWND dlg = gui::WaitForDialog(ui, kCaption, false);
        ASSERT_NE(nullptr, dlg);
        script(ui, dlg);
    });
}

bool HasIcon(HWND dlg)
{
    return ::SendDlgItemMessageA(dlg, IDC_CLIENT_ICON, STM_GETICON, 0, 0) != 0;
}

} // namespace

TEST(Wizard, NextAndPreviousStepThroughTheSupportedAccounts)
{
    CSampleUser user;
    INT_PTR result = RunWizard([&](DWORD ui, HWND dlg) {
        EXPECT_EQ((Texts{"Client details", "Configuration is up-to-date", "<< Previous", "Next >>", "Close"}),
                  gui::ItemTexts(
                      dlg, {IDC_CLIENT_GROUP, IDC_UPTODATE_LABEL, IDC_PREVIOUS, IDC_NEXT, IDC_WIZARD_CLOSE}));
        EXPECT_FALSE(gui::IsShown(dlg, IDC_NO_ACCOUNTS));

        EXPECT_EQ((Texts{"Outlook Express", Number(1), "Account details: anna@mail.example", kNotReady,
                         "anna", "pop.mail.example", "110", "00", "10001"}),
                  Read(dlg));
        EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        EXPECT_EQ((Texts{"Outlook Express", Number(2), "Account details: anna@office.example", kNotReady,
                         "anna.k", "pop.office.example", "995", "00", "10011"}),
                  Read(dlg));
        // Work IMAP is not supported and is skipped without using up a number.
        EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        EXPECT_EQ((Texts{"Outlook Express", Number(3), "Account details: bob@mail.example", kReady,
                         "bob/pop.mail.example[APOP]/110", "localhost", "8110", "01", "01111"}),
                  Read(dlg));
        const Texts gus = {"Outlook Express",
                           Number(5),
                           "Account details: gus@mail.example",
                           kReady,
                           "gus/pop.gus.example/110",
                           "LocalHost",
                           "110",
                           "10",
                           "01011"};
        EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        EXPECT_EQ(gus, Read(dlg));
        EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        EXPECT_EQ("Outlook", gui::ItemText(dlg, IDC_CLIENT_NAME));
        EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        EXPECT_EQ((Texts{"Outlook", Number(7), "Account details: otto@corp.example", kNotReady, "CORP\\otto",
                         "mail.corp.example", "110", "00", "10010"}),
                  Read(dlg));
        EXPECT_TRUE(gui::Click(dlg, IDC_PREVIOUS));
        EXPECT_TRUE(gui::Click(dlg, IDC_PREVIOUS));
        EXPECT_EQ(gus, Read(dlg));
        EXPECT_TRUE(HasIcon(dlg));

        // The indicators only show: a click neither checks them nor keeps the focus there.
        HWND no = ::GetDlgItem(dlg, IDC_UPTODATE_NO);
        RECT box = {};
        ::GetClientRect(no, &box);
        gui::ClickAt(no, {5, (box.bottom - box.top) / 2});
        EXPECT_EQ("10", Read(dlg)[7]);
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
    RunWizard([&](DWORD /*ui*/, HWND dlg) {
        EXPECT_TRUE(gui::Click(dlg, IDC_CONFIGURE));
        EXPECT_EQ("anna/pop.mail.example/110|localhost|dword:110", user.OutlookExpressPop(1));
        EXPECT_EQ((Texts{"Outlook Express", Number(1), "Account details: anna@mail.example", kReady,
                         "anna/pop.mail.example/110", "localhost", "110", "10", "01001"}),
                  Read(dlg));

        EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        EXPECT_TRUE(gui::Click(dlg, IDC_UPDATE));
        EXPECT_EQ("bob/pop.mail.example[APOP]/110|localhost|dword:110", user.OutlookExpressPop(4));
        EXPECT_EQ((Texts{"Outlook Express", Number(3), "Account details: bob@mail.example", kReady,
                         "bob/pop.mail.example[APOP]/110", "localhost", "110", "10", "01011"}),
                  Read(dlg));

        EXPECT_TRUE(gui::Click(dlg, IDC_UNCONFIGURE));
        EXPECT_EQ("bob|pop.mail.example|dword:110", user.OutlookExpressPop(4));
        EXPECT_EQ((Texts{"Outlook Express", Number(3), "Account details: bob@mail.example", kNotReady, "bob",
                         "pop.mail.example", "110", "00", "10011"}),
                  Read(dlg));
    });
}

TEST(Wizard, DoubtfulAccountAndRunningClientAreAskedAbout)
{
    const std::string warning =
        "        There is an e-mail client running whose account is beingconfigured; you have to close "
        "it before proceeding. Configuration changes will possibly not take effect otherwise.\n"
        "        The following client is running:\n\t- Outlook Express";
    CSampleUser user;
    RunWizard([&](DWORD ui, HWND dlg) {
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        EXPECT_EQ("Account details: dom@mail.example", gui::ItemText(dlg, IDC_DETAILS_GROUP));

        gui::PostClick(dlg, IDC_UNCONFIGURE);
        std::string question = gui::Answered(ui, "Confirm action for Doubtful", IDCANCEL);
        EXPECT_NE(std::string::npos, question.find("try to unconfigure it?")) << question;
        EXPECT_TRUE(gui::Sync(dlg));
        EXPECT_EQ("dom/anna|pop.mail.example|dword:110", user.OutlookExpressPop(5));
        EXPECT_EQ(Number(4), gui::ItemText(dlg, IDC_ACCOUNT_OF));

        // The running client is named; Cancel changes nothing, OK while it still runs asks again.
        CFakeClientProcess client("msimn.exe");
        gui::PostClick(dlg, IDC_UNCONFIGURE);
        EXPECT_EQ(warning, gui::Answered(ui, "Close e-mail client", IDCANCEL));
        EXPECT_TRUE(gui::Sync(dlg));
        EXPECT_EQ("dom/anna|pop.mail.example|dword:110", user.OutlookExpressPop(5));
        gui::PostClick(dlg, IDC_UNCONFIGURE);
        EXPECT_EQ(warning, gui::Answered(ui, "Close e-mail client", IDOK));
        HWND box = gui::WaitForDialog(ui, "Close e-mail client", true);
        ASSERT_NE(nullptr, box) << "the warning was not repeated while the client ran";
        client.Stop();
        EXPECT_TRUE(gui::Answer(box, IDOK));
        EXPECT_EQ(question, gui::Answered(ui, "Confirm action for Doubtful", IDOK));
        ASSERT_TRUE(gui::WaitUntil([&] { return gui::ItemText(dlg, IDC_USERNAME) == "dom"; }));
        EXPECT_EQ("dom|anna|dword:110", user.OutlookExpressPop(5));
        EXPECT_EQ(kNotReady, gui::ItemText(dlg, IDC_READY_TEXT));
    });
}

TEST(Wizard, WithoutAccountsOnlyCloseIsLeft)
{
    CSampleUser user(false);
    INT_PTR result = RunWizard([&](DWORD /*ui*/, HWND dlg) {
        EXPECT_TRUE(gui::IsShown(dlg, IDC_NO_ACCOUNTS));
        EXPECT_EQ("No configurable e-mail clients/accounts found", gui::ItemText(dlg, IDC_NO_ACCOUNTS));
        for (int id :
             {IDC_UPTODATE_LABEL, IDC_UPTODATE_YES, IDC_READY_TEXT, IDC_USERNAME, IDC_SERVER, IDC_PORT})
            EXPECT_FALSE(gui::IsShown(dlg, id)) << id;
        EXPECT_EQ("00000", Read(dlg)[8]);
        EXPECT_TRUE(gui::IsEnabled(dlg, IDC_WIZARD_CLOSE));
        EXPECT_TRUE(HasIcon(dlg));
        ::PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, result);
}
