// The hint after the standard dialog's first paint: once per process, with the text that fits the list.
#include "SampleUser.h"
#include "UserDriver.h"

#include "ui/VantlerDlg.h"

#include <gtest/gtest.h>

namespace {
const char kCaption[] = "E-mail accounts configurator";
}

TEST(FirstPaint, HintComesOncePerProcess)
{
    CSampleUser user;
    {
        CVantlerDlg dialog(nullptr);
        gui::RunWithUser(dialog, [&](DWORD ui) {
            HWND dlg = gui::WaitForDialog(ui, kCaption, false);
            ASSERT_NE(nullptr, dlg);
            HWND box = gui::WaitForDialog(ui, kCaption, true);
            ASSERT_NE(nullptr, box);
            EXPECT_EQ("Select account(s) you want to process and click the appropriate button.",
                      gui::MessageText(box));
            EXPECT_EQ(dlg, ::GetWindow(box, GW_OWNER));
            EXPECT_FALSE(::IsWindowEnabled(dlg));
            EXPECT_TRUE(gui::Answer(box, IDOK));
            EXPECT_TRUE(::IsWindowEnabled(dlg));
        });
    }
    CVantlerDlg again(nullptr);
    gui::RunWithUser(again, [&](DWORD ui) {
        HWND dlg = gui::WaitForDialog(ui, kCaption, false);
        ASSERT_NE(nullptr, dlg);
        ::RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        EXPECT_EQ(nullptr, gui::WaitForDialog(ui, nullptr, true, 1500));
    });
}

TEST(FirstPaintEmpty, HintSaysThatNothingWasFound)
{
    CSampleUser user(false);
    CVantlerDlg dialog(nullptr);
    gui::RunWithUser(dialog, [&](DWORD ui) {
        HWND box = gui::WaitForDialog(ui, kCaption, true);
        ASSERT_NE(nullptr, box);
        EXPECT_EQ("No known e-mail clients or known type e-mail accounts found.", gui::MessageText(box));
        EXPECT_TRUE(gui::Answer(box, IDOK));
    });
}
