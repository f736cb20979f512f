// The manual assistant, the mode selection and the About box, run for real.
#include "SampleUser.h"
#include "UserDriver.h"

#include "ui/AboutDlg.h"
#include "ui/ManualAssistantDlg.h"
#include "ui/ModeSelectDlg.h"

#include <gtest/gtest.h>

namespace {
const char kAssistant[] = "Manual configuration assistent";
}

TEST(ManualAssistant, FinalSettingsFollowTheInputs)
{
    CSampleUser user(false, 8110);
    CManualAssistantDlg dialog(nullptr);
    gui::RunWithUser(dialog, [&](DWORD ui) {
        HWND dlg = gui::WaitForDialog(ui, kAssistant, false);
        ASSERT_NE(nullptr, dlg);
        EXPECT_EQ("Current settings", gui::ItemText(dlg, IDC_CURRENT_GROUP));
        EXPECT_EQ("Final settings", gui::ItemText(dlg, IDC_FINAL_GROUP));
        EXPECT_EQ("Authorization mode", gui::ItemText(dlg, IDC_AUTH_GROUP));
        EXPECT_EQ("Authorization mode:", gui::ItemText(dlg, IDC_AUTH_LABEL));
        EXPECT_EQ("Username", gui::ItemText(dlg, IDC_FINAL_USERNAME_LABEL));
        EXPECT_EQ("POP3 server", gui::ItemText(dlg, IDC_FINAL_SERVER_LABEL));
        EXPECT_EQ("Close", gui::ItemText(dlg, IDOK));
        EXPECT_EQ("110", gui::ItemText(dlg, IDC_PORT_INPUT));
        EXPECT_EQ(BST_CHECKED, gui::CheckState(dlg, IDC_AUTH_NORMAL));
        EXPECT_EQ("localhost", gui::ItemText(dlg, IDC_FINAL_SERVER));
        EXPECT_EQ("8110", gui::ItemText(dlg, IDC_FINAL_PORT));
        EXPECT_EQ("", gui::ItemText(dlg, IDC_FINAL_USERNAME));
        EXPECT_EQ("Normal", gui::ItemText(dlg, IDC_FINAL_AUTH));

        gui::Type(dlg, IDC_USERNAME_INPUT, "a");
        EXPECT_EQ("a//110", gui::ItemText(dlg, IDC_FINAL_USERNAME));
        gui::Type(dlg, IDC_USERNAME_INPUT, "anna");
        gui::Type(dlg, IDC_SERVER_INPUT, "pop.mail.example");
        gui::Type(dlg, IDC_PORT_INPUT, "995");
        EXPECT_EQ("anna/pop.mail.example/995", gui::ItemText(dlg, IDC_FINAL_USERNAME));
        EXPECT_TRUE(gui::Click(dlg, IDC_AUTH_APOP));
        EXPECT_EQ("anna/pop.mail.example[APOP]/995", gui::ItemText(dlg, IDC_FINAL_USERNAME));
        EXPECT_TRUE(gui::Click(dlg, IDC_AUTH_SPA));
        EXPECT_EQ("anna/pop.mail.example[SPA]/995", gui::ItemText(dlg, IDC_FINAL_USERNAME));
        EXPECT_TRUE(gui::Click(dlg, IDC_AUTH_NORMAL));
        EXPECT_EQ("anna/pop.mail.example/995", gui::ItemText(dlg, IDC_FINAL_USERNAME));
        EXPECT_EQ("Normal", gui::ItemText(dlg, IDC_FINAL_AUTH));
        EXPECT_EQ("8110", gui::ItemText(dlg, IDC_FINAL_PORT));

        // The port shows in plain decimal at once.
        gui::Type(dlg, IDC_PORT_INPUT, "0996");
        EXPECT_EQ("996", gui::ItemText(dlg, IDC_PORT_INPUT));
        EXPECT_EQ("anna/pop.mail.example/996", gui::ItemText(dlg, IDC_FINAL_USERNAME));

        // An empty port is refused with a message and the last good one comes back.
        HWND port = ::GetDlgItem(dlg, IDC_PORT_INPUT);
        ::PostMessageA(port, EM_SETSEL, 0, -1);
        ::PostMessageA(port, WM_CLEAR, 0, 0);
        HWND box = gui::WaitForDialog(ui, kAssistant, true);
        ASSERT_NE(nullptr, box);
        EXPECT_EQ("Please enter an integer.", gui::MessageText(box));
        EXPECT_TRUE(gui::Answer(box, IDOK));
        ASSERT_TRUE(gui::WaitUntil([&] { return gui::ItemText(dlg, IDC_PORT_INPUT) == "996"; }));
        EXPECT_EQ("anna/pop.mail.example/996", gui::ItemText(dlg, IDC_FINAL_USERNAME));
        EXPECT_TRUE(gui::Click(dlg, IDOK));
    });

    // A new opening remembers nothing.
    CManualAssistantDlg again(nullptr);
    gui::RunWithUser(again, [&](DWORD ui) {
        HWND dlg = gui::WaitForDialog(ui, kAssistant, false);
        ASSERT_NE(nullptr, dlg);
        EXPECT_EQ("", gui::ItemText(dlg, IDC_USERNAME_INPUT));
        EXPECT_EQ("", gui::ItemText(dlg, IDC_SERVER_INPUT));
        EXPECT_EQ("110", gui::ItemText(dlg, IDC_PORT_INPUT));
        EXPECT_EQ(BST_CHECKED, gui::CheckState(dlg, IDC_AUTH_NORMAL));
        EXPECT_EQ("", gui::ItemText(dlg, IDC_FINAL_USERNAME));
    });
}

TEST(ModeSelect, WizardIsPreselectedAndTheChoiceIsKeptOnOkOnly)
{
    const char* standard =
        "Standard mode (view all accounts, process selected; manual configuration assistent "
        "for unsupported clients)";
    CModeSelectDlg first(nullptr);
    INT_PTR result = gui::RunWithUser(first, [&](DWORD ui) {
        HWND dlg = gui::WaitForDialog(ui, "E-mail accounts configurator", false);
        ASSERT_NE(nullptr, dlg);
        EXPECT_EQ("Please select operation mode:", gui::ItemText(dlg, IDC_MODE_GROUP));
        EXPECT_EQ("Wizard mode (configure/restore accounts one by one)", gui::ItemText(dlg, IDC_MODE_WIZARD));
        EXPECT_EQ(standard, gui::ItemText(dlg, IDC_MODE_STANDARD));
        EXPECT_EQ(BST_CHECKED, gui::CheckState(dlg, IDC_MODE_WIZARD));
        EXPECT_EQ(BST_UNCHECKED, gui::CheckState(dlg, IDC_MODE_STANDARD));
        EXPECT_TRUE(gui::Click(dlg, IDOK));
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(CModeSelectDlg::MODE_WIZARD, first.m_nMode);

    // Standard then OK keeps it; Escape is not OK, so the choice made on the way is not kept.
    const struct
    {
        bool ok;
        INT_PTR result;
        int mode;
    } rows[] = {{true, IDOK, CModeSelectDlg::MODE_STANDARD}, {false, IDCANCEL, CModeSelectDlg::MODE_WIZARD}};
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        CModeSelectDlg dialog(nullptr);
        result = gui::RunWithUser(dialog, [&](DWORD ui) {
            HWND dlg = gui::WaitForDialog(ui, "E-mail accounts configurator", false);
            ASSERT_NE(nullptr, dlg);
            EXPECT_TRUE(gui::Click(dlg, IDC_MODE_STANDARD));
            if (rows[i].ok) {
                EXPECT_TRUE(gui::Click(dlg, IDOK));
            } else {
                gui::PressKeys(dlg, {VK_ESCAPE});
            }
        });
        EXPECT_EQ(rows[i].result, result);
        EXPECT_EQ(rows[i].mode, dialog.m_nMode);
    }
}

TEST(About, ShowsTheTextsAndTheLargeIconWithTheLinkHidden)
{
    CAboutDlg dialog(nullptr);
    INT_PTR result = gui::RunWithUser(dialog, [&](DWORD ui) {
        HWND dlg = gui::WaitForDialog(ui, "About", false);
        ASSERT_NE(nullptr, dlg);
        EXPECT_EQ("E-mail accounts configurator", gui::ItemText(dlg, IDC_ABOUT_MAIN));
        EXPECT_EQ("Copyright (C) 2024 Tarnwicke Software", gui::ItemText(dlg, IDC_ABOUT_NOTICE));
        EXPECT_EQ("This program is a part of\nTarnwicke Nimbrel program package",
                  gui::ItemText(dlg, IDC_ABOUT_PART_OF));
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
