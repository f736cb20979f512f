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
    shown.push_back(std::to_string(::IsDlgButtonChecked(dlg, IDC_UPTODATE_YES)) +
                    std::to_string(::IsDlgButtonChecked(dlg, IDC_UPTODATE_NO)));
    std::string enabled;
    for (int id : {IDC_CONFIGURE, IDC_UNCONFIGURE, IDC_UPDATE, IDC_PREVIOUS, IDC_NEXT})
        enabled += ::IsWindowEnabled(::GetDlgItem(dlg, id)) ? '1' : '0';
    shown.push_back(enabled);
    return shown;
}

const char kReady[] = "This e-mail is ready for use with Nimbrel";
const char kNotReady[] = "This e-mail is NOT ready for use with Nimbrel";

std::string Number(int n)
{
    return "E-mail account\n" + std::to_string(n) + " out of 7";
}

} // namespace

TEST(Wizard, UserStepsThroughTheSupportedAccountsAndActsOnTheShownOne)
{
    CSampleUser user;
    CWizardConfiguratorDlg wizard(nullptr);
    INT_PTR result = RunWithUser(wizard, [&](DWORD ui) {
        HWND dlg = gui::WaitForDialog(ui, kCaption, false);
        ASSERT_NE(nullptr, dlg);
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dlg, IDC_NO_ACCOUNTS)));
        EXPECT_EQ((Texts{"Outlook Express", Number(1), "Account details: anna@mail.example", kNotReady,
                         "anna", "pop.mail.example", "110", "00", "10001"}),
                  Read(dlg));
        EXPECT_TRUE(gui::Click(dlg, IDC_CONFIGURE));
        EXPECT_EQ("anna/pop.mail.example/110|localhost|dword:110", user.Pop(1));
        EXPECT_EQ((Texts{"Outlook Express", Number(1), "Account details: anna@mail.example", kReady,
                         "anna/pop.mail.example/110", "localhost", "110", "10", "01001"}),
                  Read(dlg));

        // Work IMAP is not supported and is skipped without using up a number.
        EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        EXPECT_EQ((Texts{"Outlook Express", Number(3), "Account details: bob@mail.example", kReady,
                         "bob/pop.mail.example[APOP]/110", "localhost", "8110", "01", "01111"}),
                  Read(dlg));
        EXPECT_TRUE(gui::Click(dlg, IDC_UPDATE));
        EXPECT_EQ("bob/pop.mail.example[APOP]/110|localhost|dword:110", user.Pop(4));
        EXPECT_EQ((Texts{"Outlook Express", Number(3), "Account details: bob@mail.example", kReady,
                         "bob/pop.mail.example[APOP]/110", "localhost", "110", "10", "01011"}),
                  Read(dlg));
        EXPECT_TRUE(gui::Click(dlg, IDC_UNCONFIGURE));
        EXPECT_EQ("bob|pop.mail.example|dword:110", user.Pop(4));
        EXPECT_EQ((Texts{"Outlook Express", Number(3), "Account details: bob@mail.example", kNotReady, "bob",
                         "pop.mail.example", "110", "00", "10011"}),
                  Read(dlg));

        EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        EXPECT_EQ("Account details: dom@mail.example", gui::ItemText(dlg, IDC_DETAILS_GROUP));
        // The doubtful account's question; OK restores it.
        ::PostMessageA(::GetDlgItem(dlg, IDC_UNCONFIGURE), BM_CLICK, 0, 0);
        std::string question = gui::Answered(ui, "Confirm action for Doubtful", IDOK);
        EXPECT_NE(std::string::npos, question.find("try to unconfigure it?")) << question;
        ASSERT_TRUE(gui::WaitUntil([&] { return gui::ItemText(dlg, IDC_USERNAME) == "dom"; }));
        EXPECT_EQ("dom|anna|dword:110", user.Pop(5));
        EXPECT_EQ(kNotReady, gui::ItemText(dlg, IDC_READY_TEXT));

        // On to the last account, Outlook's second, and back to the up-to-date one before Outlook's.
        for (int step = 0; step < 3; ++step)
            EXPECT_TRUE(gui::Click(dlg, IDC_NEXT));
        EXPECT_EQ((Texts{"Outlook", Number(7), "Account details: otto@corp.example", kNotReady, "CORP\\otto",
                         "mail.corp.example", "110", "00", "10010"}),
                  Read(dlg));
        EXPECT_TRUE(gui::Click(dlg, IDC_PREVIOUS));
        EXPECT_TRUE(gui::Click(dlg, IDC_PREVIOUS));
        EXPECT_EQ("Account details: gus@mail.example", gui::ItemText(dlg, IDC_DETAILS_GROUP));
        EXPECT_NE(0, ::SendDlgItemMessageA(dlg, IDC_CLIENT_ICON, STM_GETICON, 0, 0));

        // The indicators only show: a click does not check them.
        HWND no = ::GetDlgItem(dlg, IDC_UPTODATE_NO);
        RECT box = {};
        ::GetClientRect(no, &box);
        gui::ClickAt(no, {5, (box.bottom - box.top) / 2});
        EXPECT_EQ("10", Read(dlg)[7]);
        EXPECT_TRUE(gui::Click(dlg, IDC_WIZARD_CLOSE));
    });
    EXPECT_EQ(0, result);
}
