// The hint after the standard dialog's first paint: once per process, with the text that fits the list. Alone
// in its process, so that the hint is still to come.
#include "SampleUser.h"
#include "UserDriver.h"

#include "ui/VantlerDlg.h"

#include <gtest/gtest.h>

TEST(FirstPaint, HintComesOncePerProcessAndAnEmptyListDisablesTheActions)
{
    const char caption[] = "E-mail accounts configurator";
    CSampleUser user(false);
    {
        CVantlerDlg dialog(nullptr);
        INT_PTR result = gui::RunWithUser(dialog, [&](DWORD ui) {
            HWND dlg = gui::WaitForDialog(ui, caption, false);
            ASSERT_NE(nullptr, dlg);
            HWND box = gui::WaitForDialog(ui, caption, true);
            EXPECT_EQ("No known e-mail clients or known type e-mail accounts found.", gui::MessageText(box));
            EXPECT_EQ(dlg, ::GetWindow(box, GW_OWNER));
            EXPECT_FALSE(::IsWindowEnabled(dlg));
            EXPECT_TRUE(gui::Answer(box, IDOK));
            EXPECT_TRUE(::IsWindowEnabled(dlg));

            EXPECT_EQ(0, gui::RowCount(::GetDlgItem(dlg, IDC_ACCOUNT_LIST)));
            for (int id : {IDC_CONFIGURE, IDC_UNCONFIGURE, IDC_UPDATE})
                EXPECT_FALSE(gui::IsEnabled(dlg, id)) << id;
            EXPECT_TRUE(gui::IsEnabled(dlg, IDC_MANUAL));
            HMENU menu = ::GetMenu(dlg);
            const UINT grayed = MF_GRAYED | MF_DISABLED;
            EXPECT_EQ(grayed, ::GetMenuState(menu, ID_EDIT_SELECT_ALL, MF_BYCOMMAND) & grayed);
            EXPECT_EQ(grayed, ::GetMenuState(menu, ID_EDIT_INVERT_SELECTION, MF_BYCOMMAND) & grayed);
            EXPECT_EQ(0u, ::GetMenuState(menu, ID_HELP_ABOUT, MF_BYCOMMAND) & grayed);
            EXPECT_TRUE(gui::Command(dlg, ID_FILE_EXIT));
        });
        EXPECT_EQ(0, result);
    }
    CVantlerDlg again(nullptr);
    gui::RunWithUser(again, [&](DWORD ui) {
        HWND dlg = gui::WaitForDialog(ui, caption, false);
        ASSERT_NE(nullptr, dlg);
        ::RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        EXPECT_EQ(nullptr, gui::WaitForDialog(ui, nullptr, true, 1500));
    });
}
