// A user without any account the program knows: the wizard has nothing to show, the standard dialog says so
// after its first paint, once per process, and the manual assistant and the About box open over it. Alone in
// its process, so that the hint is still to come.
#include "SampleUser.h"
#include "UserDriver.h"

#include "ui/VantlerDlg.h"
#include "ui/WizardConfiguratorDlg.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {

typedef std::vector<std::string> Texts;

const char kCaption[] = "E-mail accounts configurator";
const char kAssistant[] = "Manual configuration assistent";

// The assistant's inputs (user name, server, port) and its final user name, server, port and authorization
// mode.
Texts Assistant(HWND dlg)
{
    return gui::ItemTexts(dlg, {IDC_USERNAME_INPUT, IDC_SERVER_INPUT, IDC_PORT_INPUT, IDC_FINAL_USERNAME,
                                IDC_FINAL_SERVER, IDC_FINAL_PORT, IDC_FINAL_AUTH});
}

} // namespace

TEST(NoAccounts, EveryDialogOpensAndTheHintComesOnce)
{
    CSampleUser user(false, 8110);
    CWizardConfiguratorDlg wizard(nullptr);
    INT_PTR result = RunWithUser(wizard, [&](DWORD ui) {
        HWND dlg = gui::WaitForDialog(ui, kCaption, false);
        ASSERT_NE(nullptr, dlg);
        EXPECT_EQ("No configurable e-mail clients/accounts found", gui::ItemText(dlg, IDC_NO_ACCOUNTS));
        for (int id : {IDC_NO_ACCOUNTS, IDC_UPTODATE_YES, IDC_READY_TEXT, IDC_USERNAME})
            EXPECT_EQ(id == IDC_NO_ACCOUNTS, ::IsWindowVisible(::GetDlgItem(dlg, id))) << id;
        for (int id : {IDC_CONFIGURE, IDC_UNCONFIGURE, IDC_UPDATE, IDC_PREVIOUS, IDC_NEXT, IDC_WIZARD_CLOSE})
            EXPECT_EQ(id == IDC_WIZARD_CLOSE, ::IsWindowEnabled(::GetDlgItem(dlg, id))) << id;
        EXPECT_NE(0, ::SendDlgItemMessageA(dlg, IDC_CLIENT_ICON, STM_GETICON, 0, 0));
        ::PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, result);

    CVantlerDlg dialog(nullptr);
    CDialog::SetMainWindow(&dialog);
    result = RunWithUser(dialog, [&](DWORD ui) {
        HWND dlg =
            OpenedMainDialog(ui, kCaption, "No known e-mail clients or known type e-mail accounts found.");
        ASSERT_NE(nullptr, dlg);
        EXPECT_EQ(0, ListView_GetItemCount(::GetDlgItem(dlg, IDC_ACCOUNT_LIST)));
        for (int id : {IDC_CONFIGURE, IDC_UNCONFIGURE, IDC_UPDATE, IDC_MANUAL})
            EXPECT_EQ(id == IDC_MANUAL, ::IsWindowEnabled(::GetDlgItem(dlg, id))) << id;
        const UINT grayed = MF_GRAYED | MF_DISABLED;
        for (UINT item : {ID_EDIT_SELECT_ALL, ID_EDIT_INVERT_SELECTION})
            EXPECT_EQ(grayed, ::GetMenuState(::GetMenu(dlg), item, MF_BYCOMMAND) & grayed) << item;

        ::PostMessageA(::GetDlgItem(dlg, IDC_MANUAL), BM_CLICK, 0, 0);
        HWND assistant = gui::WaitForDialog(ui, kAssistant, false);
        ASSERT_NE(nullptr, assistant);
        EXPECT_FALSE(::IsWindowEnabled(dlg)) << "the standard dialog must wait for the assistant";
        EXPECT_EQ((Texts{"", "", "110", "", "localhost", "8110", "Normal"}), Assistant(assistant));
        EXPECT_TRUE(::IsDlgButtonChecked(assistant, IDC_AUTH_NORMAL) == BST_CHECKED);
        ::SetDlgItemTextA(assistant, IDC_USERNAME_INPUT, "anna");
        ::SetDlgItemTextA(assistant, IDC_SERVER_INPUT, "pop.mail.example");
        ::SetDlgItemTextA(assistant, IDC_PORT_INPUT, "995");
        const std::pair<int, const char*> modes[] = {{IDC_AUTH_APOP, "anna/pop.mail.example[APOP]/995"},
                                                     {IDC_AUTH_SPA, "anna/pop.mail.example[SPA]/995"},
                                                     {IDC_AUTH_NORMAL, "anna/pop.mail.example/995"}};
        for (const auto& mode : modes) {
            EXPECT_TRUE(gui::Click(assistant, mode.first));
            EXPECT_EQ(mode.second, gui::ItemText(assistant, IDC_FINAL_USERNAME));
        }
        // The port shows in plain decimal at once; the final port stays the proxy's.
        ::SetDlgItemTextA(assistant, IDC_PORT_INPUT, "0996");
        EXPECT_EQ((Texts{"anna", "pop.mail.example", "996", "anna/pop.mail.example/996", "localhost", "8110",
                         "Normal"}),
                  Assistant(assistant));
        // An empty port is refused with a message and the last good one comes back.
        HWND port = ::GetDlgItem(assistant, IDC_PORT_INPUT);
        ::PostMessageA(port, EM_SETSEL, 0, -1);
        ::PostMessageA(port, WM_CLEAR, 0, 0);
        EXPECT_EQ("Please enter an integer.", gui::Answered(ui, kAssistant, IDOK));
        ASSERT_TRUE(gui::WaitUntil([&] { return gui::ItemText(assistant, IDC_PORT_INPUT) == "996"; }));
        EXPECT_EQ("anna/pop.mail.example/996", gui::ItemText(assistant, IDC_FINAL_USERNAME));
        // Ports outside 1 to 65535 are refused the same way; the edges are taken.
        for (const char* wrong : {"0", "65536", "99999"}) {
            // Typed over the selection: only the last key makes the port leave the range.
            ::PostMessageA(port, EM_SETSEL, 0, -1);
            for (const char* key = wrong; *key; ++key)
                ::PostMessageA(port, WM_CHAR, static_cast<WPARAM>(*key), 0);
            EXPECT_EQ("Please enter a POP3 port from 1 to 65535.", gui::Answered(ui, kAssistant, IDOK))
                << wrong;
            // The port typed before the last key was the last good one.
            const std::string good = wrong[1] ? std::string(wrong, strlen(wrong) - 1) : std::string("996");
            ASSERT_TRUE(gui::WaitUntil([&] { return gui::ItemText(assistant, IDC_PORT_INPUT) == good; }))
                << wrong;
            EXPECT_EQ("anna/pop.mail.example/" + good, gui::ItemText(assistant, IDC_FINAL_USERNAME)) << wrong;
        }
        for (const char* edge : {"65535", "1"}) {
            ::SetDlgItemTextA(assistant, IDC_PORT_INPUT, edge);
            EXPECT_EQ(std::string("anna/pop.mail.example/") + edge,
                      gui::ItemText(assistant, IDC_FINAL_USERNAME));
        }
        EXPECT_TRUE(gui::Click(assistant, IDOK));
        EXPECT_TRUE(gui::WaitUntil([&] { return ::IsWindowEnabled(dlg) != 0; }));

        ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(ID_HELP_ABOUT, 0), 0);
        HWND about = gui::WaitForDialog(ui, "About", false);
        ASSERT_NE(nullptr, about);
        EXPECT_EQ((Texts{"E-mail accounts configurator", "Copyright (C) 2024 Tarnwicke Software",
                         "This program is a part of\nTarnwicke Nimbrel program package"}),
                  gui::ItemTexts(about, {IDC_ABOUT_MAIN, IDC_ABOUT_NOTICE, IDC_ABOUT_PART_OF}));
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(about, IDC_ABOUT_LINK)));
        EXPECT_TRUE(gui::Click(about, IDOK));
        EXPECT_TRUE(gui::WaitUntil([&] { return ::IsWindowEnabled(dlg) != 0; }));
        // The close box ends the dialog with Cancel.
        ::PostMessageA(dlg, WM_CLOSE, 0, 0);
    });
    CDialog::SetMainWindow(nullptr);
    EXPECT_EQ(IDCANCEL, result);

    // The hint came with the first paint of the process only.
    CVantlerDlg again(nullptr);
    RunWithUser(again, [&](DWORD ui) {
        HWND dlg = gui::WaitForDialog(ui, kCaption, false);
        ASSERT_NE(nullptr, dlg);
        ::RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        EXPECT_EQ(nullptr, gui::WaitForDialog(ui, "", true, 1500)) << "a second hint";
    });
}
