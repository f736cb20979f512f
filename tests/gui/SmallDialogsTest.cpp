// The manual assistant, the mode selection and the About box, run for real.
#include "SampleUser.h"
#include "UserDriver.h"

#include "ui/AboutDlg.h"
#include "ui/ManualAssistantDlg.h"
#include "ui/ModeSelectDlg.h"

#include <gtest/gtest.h>

namespace {

typedef std::vector<std::string> Texts;

const char kAssistant[] = "Manual configuration assistent";

// The assistant's inputs (user name, server, port) and its final user name, port and authorization mode.
Texts Assistant(HWND dlg)
{
    return gui::ItemTexts(dlg, {IDC_USERNAME_INPUT, IDC_SERVER_INPUT, IDC_PORT_INPUT, IDC_FINAL_USERNAME,
                                IDC_FINAL_PORT, IDC_FINAL_AUTH});
}

} // namespace

TEST(ManualAssistant, FinalSettingsFollowTheInputs)
{
    CSampleUser user(false, 8110);
    // A second opening remembers nothing of the first.
    for (int opening = 0; opening < 2; ++opening) {
        CManualAssistantDlg dialog(nullptr);
        gui::RunWithUser(dialog, [&](DWORD ui) {
            HWND dlg = gui::WaitForDialog(ui, kAssistant, false);
            ASSERT_NE(nullptr, dlg);
            EXPECT_EQ((Texts{"", "", "110", "", "8110", "Normal"}), Assistant(dlg)) << "opening " << opening;
            EXPECT_EQ(BST_CHECKED, gui::CheckState(dlg, IDC_AUTH_NORMAL));
            EXPECT_EQ("localhost", gui::ItemText(dlg, IDC_FINAL_SERVER));
            if (opening > 0)
                return;
            EXPECT_EQ((Texts{"Current settings", "Final settings", "Authorization mode",
                             "Authorization mode:", "Username", "POP3 server", "Close"}),
                      gui::ItemTexts(dlg, {IDC_CURRENT_GROUP, IDC_FINAL_GROUP, IDC_AUTH_GROUP, IDC_AUTH_LABEL,
                                           IDC_FINAL_USERNAME_LABEL, IDC_FINAL_SERVER_LABEL, IDOK}));

            gui::Type(dlg, IDC_USERNAME_INPUT, "a");
            EXPECT_EQ("a//110", gui::ItemText(dlg, IDC_FINAL_USERNAME));
            gui::Type(dlg, IDC_USERNAME_INPUT, "anna");
            gui::Type(dlg, IDC_SERVER_INPUT, "pop.mail.example");
            gui::Type(dlg, IDC_PORT_INPUT, "995");
            EXPECT_EQ("anna/pop.mail.example/995", gui::ItemText(dlg, IDC_FINAL_USERNAME));
            const std::pair<int, const char*> modes[] = {{IDC_AUTH_APOP, "anna/pop.mail.example[APOP]/995"},
                                                         {IDC_AUTH_SPA, "anna/pop.mail.example[SPA]/995"},
                                                         {IDC_AUTH_NORMAL, "anna/pop.mail.example/995"}};
            for (const auto& mode : modes) {
                EXPECT_TRUE(gui::Click(dlg, mode.first));
                EXPECT_EQ(mode.second, gui::ItemText(dlg, IDC_FINAL_USERNAME));
            }
            EXPECT_EQ(
                (Texts{"anna", "pop.mail.example", "995", "anna/pop.mail.example/995", "8110", "Normal"}),
                Assistant(dlg));
            // The port shows in plain decimal at once; the final port stays the proxy's.
            gui::Type(dlg, IDC_PORT_INPUT, "0996");
            EXPECT_EQ(
                (Texts{"anna", "pop.mail.example", "996", "anna/pop.mail.example/996", "8110", "Normal"}),
                Assistant(dlg));

            // An empty port is refused with a message and the last good one comes back.
            HWND port = ::GetDlgItem(dlg, IDC_PORT_INPUT);
            ::PostMessageA(port, EM_SETSEL, 0, -1);
            ::PostMessageA(port, WM_CLEAR, 0, 0);
            EXPECT_EQ("Please enter an integer.", gui::Answered(ui, kAssistant, IDOK));
            ASSERT_TRUE(gui::WaitUntil([&] { return gui::ItemText(dlg, IDC_PORT_INPUT) == "996"; }));
            EXPECT_EQ("anna/pop.mail.example/996", gui::ItemText(dlg, IDC_FINAL_USERNAME));
            EXPECT_TRUE(gui::Click(dlg, IDOK));
        });
    }
}

TEST(ModeSelect, WizardIsPreselectedAndTheChoiceIsKeptOnOkOnly)
{
    // OK keeps the preselected wizard or the standard mode chosen; Escape is not OK, so the choice made on
    // the way is not kept.
    const struct
    {
        bool standard, ok;
        INT_PTR result;
        int mode;
    } rows[] = {{false, true, IDOK, CModeSelectDlg::MODE_WIZARD},
                {true, true, IDOK, CModeSelectDlg::MODE_STANDARD},
                {true, false, IDCANCEL, CModeSelectDlg::MODE_WIZARD}};
    for (const auto& row : rows) {
        SCOPED_TRACE("row " + std::to_string(&row - rows));
        CModeSelectDlg dialog(nullptr);
        INT_PTR result = gui::RunWithUser(dialog, [&](DWORD ui) {
            HWND dlg = gui::WaitForDialog(ui, "E-mail accounts configurator", false);
            ASSERT_NE(nullptr, dlg);
            EXPECT_EQ(
                (Texts{"Please select operation mode:", "Wizard mode (configure/restore accounts one by one)",
                       "Standard mode (view all accounts, process selected; manual configuration "
                       "assistent for unsupported clients)"}),
                gui::ItemTexts(dlg, {IDC_MODE_GROUP, IDC_MODE_WIZARD, IDC_MODE_STANDARD}));
            EXPECT_EQ(BST_CHECKED, gui::CheckState(dlg, IDC_MODE_WIZARD));
            EXPECT_EQ(BST_UNCHECKED, gui::CheckState(dlg, IDC_MODE_STANDARD));
            if (row.standard) {
                EXPECT_TRUE(gui::Click(dlg, IDC_MODE_STANDARD));
            }
            if (row.ok) {
                EXPECT_TRUE(gui::Click(dlg, IDOK));
            } else {
                gui::PressKeys(dlg, {VK_ESCAPE});
            }
        });
        EXPECT_EQ(row.result, result);
        EXPECT_EQ(row.mode, dialog.m_nMode);
    }
}

TEST(About, ShowsTheTextsAndTheLargeIconWithTheLinkHidden)
{
    CAboutDlg dialog(nullptr);
    INT_PTR result = gui::RunWithUser(dialog, [&](DWORD ui) {
        HWND dlg = gui::WaitForDialog(ui, "About", false);
        ASSERT_NE(nullptr, dlg);
        EXPECT_EQ((Texts{"E-mail accounts configurator", "Copyright (C) 2024 Tarnwicke Software",
                         "This program is a part of\nTarnwicke Nimbrel program package"}),
                  gui::ItemTexts(dlg, {IDC_ABOUT_MAIN, IDC_ABOUT_NOTICE, IDC_ABOUT_PART_OF}));
        EXPECT_FALSE(gui::IsShown(dlg, IDC_ABOUT_LINK));
        HICON icon = reinterpret_cast<HICON>(::SendDlgItemMessageA(dlg, IDC_ABOUT_ICON, STM_GETICON, 0, 0));
        ASSERT_NE(nullptr, icon);
        ICONINFO info = {};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        BITMAP bitmap = {};
        ::GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
        EXPECT_EQ(48, bitmap.bmWidth);
        if (info.hbmColor)
            ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        HFONT font = reinterpret_cast<HFONT>(::SendDlgItemMessageA(dlg, IDC_ABOUT_LINK, WM_GETFONT, 0, 0));
        LOGFONTA link = {};
        ::GetObjectA(font, sizeof(link), &link);
        EXPECT_EQ(FW_BOLD, link.lfWeight);
        EXPECT_TRUE(link.lfUnderline);
        EXPECT_TRUE(gui::Click(dlg, IDOK));
    });
    EXPECT_EQ(IDOK, result);
}
