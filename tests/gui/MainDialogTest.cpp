// The standard dialog, run for real and driven like a user: its list, details, marks, actions and icons,
// checked on screen and in the client's own store.
#include "SampleUser.h"
#include "UserDriver.h"

#include "Environment.h"
#include "Files.h"
#include "fixtures/SampleStores.h"
#include "ui/VantlerDlg.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

typedef std::vector<std::string> Texts;

const std::string kDash = "\x97";

// The details pane: title, user name, server, port, server type, authorization mode and remark.
Texts Details(HWND dialog)
{
    return gui::ItemTexts(dialog, {IDC_DETAILS_GROUP, IDC_USERNAME, IDC_SERVER, IDC_PORT, IDC_SERVER_TYPE,
                                   IDC_AUTH_MODE, IDC_REMARK});
}

std::vector<bool> Marks(HWND list)
{
    std::vector<bool> marks;
    for (int row = 0; row < ListView_GetItemCount(list); ++row)
        marks.push_back(ListView_GetCheckState(list, row));
    return marks;
}

} // namespace

TEST(MainDialog, UserLooksMarksConfiguresAndRestores)
{
    // The sample user's accounts as the list must show them, in catalogue order.
    const std::vector<Texts> rows = {
        {"Home mail", "anna@mail.example", "Yes", "No", kDash},
        {"Office (SPA)", "anna@office.example", "Yes", "No", kDash},
        {"Work IMAP", "anna@work.example", "No", kDash, kDash},
        {"Old port", "bob@mail.example", "Yes", "Yes", "No"},
        {"Doubtful", "dom@mail.example", "Yes", "Yes", "No"},
        {"Slash server", "eve@mail.example", "No", kDash, kDash},
        {"No server", "fay@mail.example", "No", kDash, kDash},
        {"Configured", "gus@mail.example", "Yes", "Yes", "Yes"},
        {"Outlook mail", "otto@mail.example", "Yes", "No", kDash},
        {"Outlook SPA", "otto@corp.example", "Yes", "No", kDash},
    };
    const std::pair<int, Texts> shown[] = {
        {3,
         {"Account details: Old port \x97 Outlook Express", "bob/pop.mail.example[APOP]/110", "localhost",
          "8110", "POP3", "Normal", ""}},
        {9,
         {"Account details: Outlook SPA \x97 Outlook", "CORP\\otto", "mail.corp.example", "110", "POP3",
          "SPA", ""}}};
    CSampleUser user;
    INT_PTR result = RunMainDialog([&](DWORD ui, HWND dlg, HWND list) {
        ASSERT_EQ(static_cast<int>(rows.size()), ListView_GetItemCount(list));
        for (size_t row = 0; row < rows.size(); ++row)
            EXPECT_EQ(rows[row], gui::Row(list, static_cast<int>(row))) << "row " << row;
        // Before any click: the label, two blanks around the dash, nothing else.
        EXPECT_EQ((Texts{"Account details:  \x97 ", "", "", "0", "", "", ""}), Details(dlg));

        for (const auto& row : shown) {
            gui::ClickRow(list, row.first);
            EXPECT_EQ(row.second, Details(dlg));
        }
        // A plain click only shows, it does not mark.
        EXPECT_EQ(std::vector<bool>(10, false), Marks(list));

        // Ctrl+A marks all, Invert Selection flips every mark: Home mail (plain), Work IMAP (unsupported),
        // Old port (outdated) and Configured (nothing to do) are left.
        gui::PressKeys(list, {VK_CONTROL, 'A'});
        EXPECT_EQ(std::vector<bool>(10, true), Marks(list));
        for (int row : {0, 2, 3, 7})
            ListView_SetCheckState(list, row, FALSE);
        EXPECT_TRUE(gui::Command(dlg, ID_EDIT_INVERT_SELECTION));
        EXPECT_EQ((std::vector<bool>{true, false, true, true, false, false, false, true, false, false}),
                  Marks(list));

        EXPECT_TRUE(gui::Click(dlg, IDC_CONFIGURE)) << "an unexpected window stopped the action";
        EXPECT_EQ(nullptr, gui::WaitForDialog(ui, "", true, 300));
        EXPECT_EQ("anna/pop.mail.example/110|localhost|dword:110", user.Pop(1));
        EXPECT_EQ("bob/pop.mail.example[APOP]/110|localhost|dword:110", user.Pop(4));
        EXPECT_EQ("gus/pop.gus.example/110|LocalHost|dword:110", user.Pop(8));
        EXPECT_EQ("<missing>|<missing>|<missing>", user.Pop(3));
        // The list is rebuilt: new states, no marks, an empty pane.
        EXPECT_EQ((Texts{"Home mail", "anna@mail.example", "Yes", "Yes", "Yes"}), gui::Row(list, 0));
        EXPECT_EQ((Texts{"Old port", "bob@mail.example", "Yes", "Yes", "Yes"}), gui::Row(list, 3));
        EXPECT_EQ(rows[2], gui::Row(list, 2));
        EXPECT_EQ(std::vector<bool>(10, false), Marks(list));
        EXPECT_EQ("Account details:  \x97 ", gui::ItemText(dlg, IDC_DETAILS_GROUP));

        // Unconfigure puts the real settings back; Office (SPA) was never configured and stays as it is.
        for (int row : {0, 1, 3})
            ListView_SetCheckState(list, row, TRUE);
        EXPECT_TRUE(gui::Click(dlg, IDC_UNCONFIGURE));
        EXPECT_EQ("anna|pop.mail.example|dword:110", user.Pop(1));
        EXPECT_EQ("anna.k|pop.office.example|dword:995", user.Pop(2));
        EXPECT_EQ("bob|pop.mail.example|dword:110", user.Pop(4));
        EXPECT_EQ(rows[0], gui::Row(list, 0));
        EXPECT_EQ((Texts{"Old port", "bob@mail.example", "Yes", "No", kDash}), gui::Row(list, 3));

        EXPECT_TRUE(gui::Command(dlg, ID_FILE_EXIT));
    });
    EXPECT_EQ(0, result);
}

TEST(MainDialog, EveryClientKeepsItsOwnIconSlot)
{
    // Mozilla's program is gone but its key and profiles remain, so it has no icon; Netscape, after it in the
    // list, lists the same profiles with its own icon.
    CSampleUser user;
    CRegistryScope registry(
        {{HKEY_CURRENT_USER, "Software\\Mozilla"}, {HKEY_CURRENT_USER, "Software\\Netscape"}});
    SampleContext context;
    context.root = user.Root();
    ASSERT_TRUE(plat::AppDataFolder(context.appData));
    context.proxyPort = 110;
    struct CProfilesRemoved
    {
        std::string folder;
        ~CProfilesRemoved() { plat::RemoveFolderTree(folder.c_str()); }
    } profiles{context.appData + "\\Mozilla"};
    ASSERT_TRUE(SeedMozillaSamples(context));
    ASSERT_TRUE(SeedNetscapeSamples(context));
    ASSERT_TRUE(plat::RemoveFile((user.Root() + "\\Mozilla\\mozilla.exe").c_str()));

    RunMainDialog([&](DWORD /*ui*/, HWND dlg, HWND list) {
        HIMAGELIST images =
            reinterpret_cast<HIMAGELIST>(::SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
        ASSERT_NE(nullptr, images);
        // Outlook Express, Outlook, Mozilla and Netscape: one image each, every row pointing at one of them.
        EXPECT_EQ(4, ImageList_GetImageCount(images));
        std::vector<int> used;
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            LVITEMA item = {};
            item.mask = LVIF_IMAGE;
            item.iItem = row;
            ASSERT_TRUE(::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
            used.push_back(item.iImage);
        }
        std::sort(used.begin(), used.end());
        used.erase(std::unique(used.begin(), used.end()), used.end());
        EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), used);
        EXPECT_TRUE(gui::Click(dlg, IDOK));
    });
}
