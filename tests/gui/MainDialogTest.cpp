// The standard dialog, run for real and driven like a user: its list, details, sorting, marks and icons.
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

Texts Names(HWND list)
{
    Texts names;
    for (int row = 0; row < gui::RowCount(list); ++row)
        names.push_back(gui::Cell(list, row, 0));
    return names;
}

// The details pane: title, user name, server, port, server type, authorization mode and remark.
Texts Details(HWND dialog)
{
    return gui::ItemTexts(dialog, {IDC_DETAILS_GROUP, IDC_USERNAME, IDC_SERVER, IDC_PORT, IDC_SERVER_TYPE,
                                   IDC_AUTH_MODE, IDC_REMARK});
}

std::vector<bool> Marks(HWND list)
{
    std::vector<bool> marks;
    for (int row = 0; row < gui::RowCount(list); ++row)
        marks.push_back(gui::IsRowChecked(list, row));
    return marks;
}

// Clicks the header of a column as a user would.
void ClickHeader(HWND list, int column)
{
    HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
    RECT item = {};
    ::SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&item));
    gui::ClickAt(header, {(item.left + item.right) / 2, (item.top + item.bottom) / 2});
}

} // namespace

TEST(MainDialog, ListsEveryAccountWithItsState)
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
    CSampleUser user;
    INT_PTR result = RunMainDialog([&](DWORD /*ui*/, HWND dlg, HWND list) {
        ASSERT_EQ(static_cast<int>(rows.size()), gui::RowCount(list));
        for (size_t row = 0; row < rows.size(); ++row)
            EXPECT_EQ(rows[row], gui::Row(list, static_cast<int>(row))) << "row " << row;
        EXPECT_EQ(std::vector<bool>(rows.size(), false), Marks(list));
        Texts titles;
        for (int column = 0; column < 5; ++column)
            titles.push_back(gui::ColumnTitle(list, column));
        EXPECT_EQ(
            (Texts{"Account name", "Mailbox address", "Account valid", "Configured", "Up-to-date/valid"}),
            titles);
        const DWORD styles = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES;
        EXPECT_EQ(styles, ::SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & styles);

        EXPECT_EQ("E-mail accounts configurator", gui::Text(dlg));
        EXPECT_EQ((Texts{"Accounts found", "Remarks", "Configure", "Unconfigure", "Update/repair configured",
                         "Manual configuration assistent", "Close", "Incoming mail server type",
                         "Authorization mode"}),
                  gui::ItemTexts(dlg, {IDC_ACCOUNTS_GROUP, IDC_REMARKS_GROUP, IDC_CONFIGURE, IDC_UNCONFIGURE,
                                       IDC_UPDATE, IDC_MANUAL, IDOK, IDC_SERVER_TYPE_CAPTION,
                                       IDC_AUTH_MODE_CAPTION}));
        for (int id : {IDC_CONFIGURE, IDC_UNCONFIGURE, IDC_UPDATE, IDC_MANUAL, IDOK})
            EXPECT_TRUE(gui::IsEnabled(dlg, id)) << id;
        // Before any click: the label, two blanks around the dash, nothing else.
        EXPECT_EQ((Texts{"Account details:  \x97 ", "", "", "0", "", "", ""}), Details(dlg));
        EXPECT_EQ("Select &All\tCtrl+A", gui::MenuText(dlg, ID_EDIT_SELECT_ALL, MF_BYCOMMAND));
        EXPECT_EQ("&Help", gui::MenuText(dlg, 2, MF_BYPOSITION));
        EXPECT_EQ("&About...", gui::MenuText(dlg, ID_HELP_ABOUT, MF_BYCOMMAND));
        EXPECT_EQ(0u, ::GetMenuState(::GetMenu(dlg), ID_EDIT_INVERT_SELECTION, MF_BYCOMMAND) &
                          (MF_GRAYED | MF_DISABLED));
        EXPECT_TRUE(gui::Click(dlg, IDOK));
    });
    EXPECT_EQ(IDOK, result);
    // Looking writes nothing.
    EXPECT_EQ("anna|pop.mail.example|<missing>", user.OutlookExpressPop(1));
}

TEST(MainDialog, DetailsFollowTheClickedRowAndMarksChangeOnlyByTheirCommands)
{
    const std::pair<int, Texts> shown[] = {
        {3,
         {"Account details: Old port \x97 Outlook Express", "bob/pop.mail.example[APOP]/110", "localhost",
          "8110", "POP3", "Normal", ""}},
        {2,
         {"Account details: Work IMAP \x97 Outlook Express", "anna.work", "", "0", "IMAP", "",
          "Account configured to work by IMAP protocol."}},
        {9,
         {"Account details: Outlook SPA \x97 Outlook", "CORP\\otto", "mail.corp.example", "110", "POP3",
          "SPA", ""}}};
    CSampleUser user;
    RunMainDialog([&](DWORD /*ui*/, HWND dlg, HWND list) {
        for (const auto& row : shown) {
            gui::ClickRow(list, row.first);
            EXPECT_EQ(row.second, Details(dlg));
            // A plain click only shows; it does not mark.
            EXPECT_FALSE(gui::IsRowChecked(list, row.first));
        }
        // Ctrl+click on the selected row's label marks it, a second one clears the mark.
        gui::ClickRow(list, 9, true);
        EXPECT_TRUE(gui::IsRowChecked(list, 9));
        gui::ClickRow(list, 9, true);
        EXPECT_FALSE(gui::IsRowChecked(list, 9));

        // Moving the selection by keyboard leaves the pane as it was.
        gui::ClickRow(list, 0);
        Texts before = Details(dlg);
        EXPECT_EQ("Account details: Home mail \x97 Outlook Express", before[0]);
        gui::PressKeys(list, {VK_DOWN});
        EXPECT_EQ(1, static_cast<int>(::SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED)));
        EXPECT_EQ(before, Details(dlg));

        // Ctrl+A marks all, Invert Selection flips every mark; neither touches the details.
        const std::vector<bool> all(10, true), none(10, false);
        gui::PressKeys(list, {VK_CONTROL, 'A'});
        EXPECT_EQ(all, Marks(list));
        EXPECT_TRUE(gui::Command(dlg, ID_EDIT_INVERT_SELECTION));
        EXPECT_EQ(none, Marks(list));
        gui::CheckRow(list, 1, true);
        gui::CheckRow(list, 7, true);
        EXPECT_TRUE(gui::Command(dlg, ID_EDIT_INVERT_SELECTION));
        EXPECT_EQ((std::vector<bool>{true, false, true, true, true, true, true, false, true, true}),
                  Marks(list));
        EXPECT_TRUE(gui::Command(dlg, ID_EDIT_INVERT_SELECTION));
        EXPECT_EQ((std::vector<bool>{false, true, false, false, false, false, false, true, false, false}),
                  Marks(list));
        EXPECT_TRUE(gui::Command(dlg, ID_EDIT_SELECT_ALL));
        EXPECT_EQ(all, Marks(list));
        EXPECT_EQ(before, Details(dlg));
        EXPECT_TRUE(gui::Command(dlg, ID_FILE_EXIT));
    });
}

TEST(MainDialog, ColumnHeadersSortTheRows)
{
    CSampleUser user;
    RunMainDialog([&](DWORD /*ui*/, HWND dlg, HWND list) {
        const Texts ascending = {"Configured", "Doubtful",    "Home mail",    "No server",    "Office (SPA)",
                                 "Old port",   "Outlook SPA", "Outlook mail", "Slash server", "Work IMAP"};
        ClickHeader(list, 0);
        EXPECT_EQ(ascending, Names(list));
        ClickHeader(list, 0);
        EXPECT_EQ(Texts(ascending.rbegin(), ascending.rend()), Names(list));
        // The third click groups by client again, in catalogue order.
        ClickHeader(list, 0);
        Texts names = Names(list);
        std::sort(names.begin(), names.begin() + 8);
        std::sort(names.begin() + 8, names.end());
        EXPECT_EQ((Texts{"Configured", "Doubtful", "Home mail", "No server", "Office (SPA)", "Old port",
                         "Slash server", "Work IMAP", "Outlook SPA", "Outlook mail"}),
                  names);

        // Up to date first, then configured but outdated, then the rest; ties by name, byte-wise.
        ClickHeader(list, 4);
        EXPECT_EQ((Texts{"Configured", "Doubtful", "Old port", "Home mail", "No server", "Office (SPA)",
                         "Outlook SPA", "Outlook mail", "Slash server", "Work IMAP"}),
                  Names(list));
        // Mailbox, then name: back to catalogue grouping; a second click on name sorts ascending.
        ClickHeader(list, 1);
        EXPECT_EQ("anna@work.example", gui::Cell(list, 2, 1));
        EXPECT_EQ("bob@mail.example", gui::Cell(list, 3, 1));
        ClickHeader(list, 0);
        names = Names(list);
        EXPECT_TRUE(names[8].rfind("Outlook ", 0) == 0 && names[9].rfind("Outlook ", 0) == 0);
        ClickHeader(list, 0);
        EXPECT_EQ(ascending, Names(list));

        // Validity descending: unsupported first, each group by name descending.
        ClickHeader(list, 2);
        ClickHeader(list, 2);
        EXPECT_EQ((Texts{"Work IMAP", "Slash server", "No server", "Outlook mail", "Outlook SPA", "Old port",
                         "Office (SPA)", "Home mail", "Doubtful", "Configured"}),
                  Names(list));
        // The row keys travel with the rows: details still name the right account and client.
        gui::ClickRow(list, 3);
        EXPECT_EQ("Account details: Outlook mail \x97 Outlook", gui::ItemText(dlg, IDC_DETAILS_GROUP));
        EXPECT_EQ("otto", gui::ItemText(dlg, IDC_USERNAME));
    });
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
        for (int row = 0; row < gui::RowCount(list); ++row) {
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
