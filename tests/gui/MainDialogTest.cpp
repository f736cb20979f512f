// The standard dialog, run for real and driven like a user: its list, details, sorting and marks.
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

typedef std::vector<std::string> Cells;

const std::string kDash = "\x97";

// The sample user's accounts as the list must show them, in catalogue order.
const std::vector<Cells> kRows = {
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

std::vector<std::string> Names(HWND list)
{
    std::vector<std::string> names;
    for (int row = 0; row < gui::RowCount(list); ++row)
        names.push_back(gui::Cell(list, row, 0));
    return names;
}

struct Details
{
    std::string title, user, server, port, type, auth, remark;
};

Details ReadDetails(HWND dialog)
{
    return {gui::ItemText(dialog, IDC_DETAILS_GROUP), gui::ItemText(dialog, IDC_USERNAME),
            gui::ItemText(dialog, IDC_SERVER),        gui::ItemText(dialog, IDC_PORT),
            gui::ItemText(dialog, IDC_SERVER_TYPE),   gui::ItemText(dialog, IDC_AUTH_MODE),
            gui::ItemText(dialog, IDC_REMARK)};
}

void ExpectDetails(const Details& expected, const Details& shown, int line)
{
    SCOPED_TRACE("details checked at line " + std::to_string(line));
    EXPECT_EQ(expected.title, shown.title);
    EXPECT_EQ(expected.user, shown.user);
    EXPECT_EQ(expected.server, shown.server);
    EXPECT_EQ(expected.port, shown.port);
    EXPECT_EQ(expected.type, shown.type);
    EXPECT_EQ(expected.auth, shown.auth);
    EXPECT_EQ(expected.remark, shown.remark);
}

// Clicks the header of a column as a user would.
void ClickHeader(HWND list, int column)
{
    HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
    RECT item = {};
    ::SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&item));
    gui::ClickAt(header, {(item.left + item.right) / 2, (item.top + item.bottom) / 2}, false);
}

} // namespace

TEST(MainDialog, ListsEveryAccountWithItsState)
{
    CSampleUser user;
    INT_PTR result = RunMainDialog([&](DWORD /*ui*/, HWND dlg, HWND list) {
        ASSERT_EQ(static_cast<int>(kRows.size()), gui::RowCount(list));
        for (size_t row = 0; row < kRows.size(); ++row) {
            EXPECT_EQ(kRows[row], gui::Row(list, static_cast<int>(row))) << "row " << row;
            EXPECT_FALSE(gui::IsRowChecked(list, static_cast<int>(row))) << "row " << row;
        }
        const char* titles[] = {"Account name", "Mailbox address", "Account valid", "Configured",
                                "Up-to-date/valid"};
        for (int column = 0; column < 5; ++column)
            EXPECT_EQ(titles[column], gui::ColumnTitle(list, column));
        DWORD extended = static_cast<DWORD>(::SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        EXPECT_EQ(static_cast<DWORD>(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES),
                  extended & (LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES));

        EXPECT_EQ("E-mail accounts configurator", gui::Text(dlg));
        EXPECT_EQ("Accounts found", gui::ItemText(dlg, IDC_ACCOUNTS_GROUP));
        EXPECT_EQ("Remarks", gui::ItemText(dlg, IDC_REMARKS_GROUP));
        EXPECT_EQ("Configure", gui::ItemText(dlg, IDC_CONFIGURE));
        EXPECT_EQ("Unconfigure", gui::ItemText(dlg, IDC_UNCONFIGURE));
        EXPECT_EQ("Update/repair configured", gui::ItemText(dlg, IDC_UPDATE));
        EXPECT_EQ("Manual configuration assistent", gui::ItemText(dlg, IDC_MANUAL));
        EXPECT_EQ("Close", gui::ItemText(dlg, IDOK));
        EXPECT_EQ("Incoming mail server type", gui::ItemText(dlg, IDC_SERVER_TYPE_CAPTION));
        EXPECT_EQ("Authorization mode", gui::ItemText(dlg, IDC_AUTH_MODE_CAPTION));
        // Before any click: the label, two blanks around the dash, nothing else.
        ExpectDetails({"Account details:  \x97 ", "", "", "0", "", "", ""}, ReadDetails(dlg), __LINE__);
        for (int id : {IDC_CONFIGURE, IDC_UNCONFIGURE, IDC_UPDATE, IDC_MANUAL, IDOK})
            EXPECT_TRUE(gui::IsEnabled(dlg, id)) << id;

        HMENU menu = ::GetMenu(dlg);
        char text[64] = {};
        ::GetMenuStringA(menu, ID_EDIT_SELECT_ALL, text, sizeof(text), MF_BYCOMMAND);
        EXPECT_STREQ("Select &All\tCtrl+A", text);
        ::GetMenuStringA(menu, 2, text, sizeof(text), MF_BYPOSITION);
        EXPECT_STREQ("&Help", text);
        ::GetMenuStringA(menu, ID_HELP_ABOUT, text, sizeof(text), MF_BYCOMMAND);
        EXPECT_STREQ("&About...", text);
        EXPECT_EQ(0u,
                  ::GetMenuState(menu, ID_EDIT_INVERT_SELECTION, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
        EXPECT_TRUE(gui::Click(dlg, IDOK));
    });
    EXPECT_EQ(IDOK, result);
    // Looking writes nothing.
    EXPECT_EQ("anna|pop.mail.example|<missing>", user.OutlookExpressPop(1));
}

TEST(MainDialog, DetailsFollowTheClickedRow)
{
    CSampleUser user;
    RunMainDialog([&](DWORD /*ui*/, HWND dlg, HWND list) {
        gui::ClickRow(list, 3);
        ExpectDetails({"Account details: Old port \x97 Outlook Express", "bob/pop.mail.example[APOP]/110",
                       "localhost", "8110", "POP3", "Normal", ""},
                      ReadDetails(dlg), __LINE__);
        // A plain click only shows; it does not mark.
        EXPECT_FALSE(gui::IsRowChecked(list, 3));

        gui::ClickRow(list, 2);
        ExpectDetails({"Account details: Work IMAP \x97 Outlook Express", "anna.work", "", "0", "IMAP", "",
                       "Account configured to work by IMAP protocol."},
                      ReadDetails(dlg), __LINE__);

        gui::ClickRow(list, 9);
        ExpectDetails({"Account details: Outlook SPA \x97 Outlook", "CORP\\otto", "mail.corp.example", "110",
                       "POP3", "SPA", ""},
                      ReadDetails(dlg), __LINE__);

        // Ctrl+click on the selected row's label marks it, a second one clears the mark.
        gui::ClickRow(list, 9, true);
        EXPECT_TRUE(gui::IsRowChecked(list, 9));
        gui::ClickRow(list, 9, true);
        EXPECT_FALSE(gui::IsRowChecked(list, 9));

        // Moving the selection by keyboard leaves the pane as it was.
        gui::ClickRow(list, 0);
        Details before = ReadDetails(dlg);
        gui::PressKeys(list, {VK_DOWN});
        EXPECT_EQ(1, static_cast<int>(::SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED)));
        ExpectDetails(before, ReadDetails(dlg), __LINE__);
        EXPECT_EQ("Account details: Home mail \x97 Outlook Express", before.title);
    });
}

TEST(MainDialog, ColumnHeadersSortTheRows)
{
    CSampleUser user;
    RunMainDialog([&](DWORD /*ui*/, HWND dlg, HWND list) {
        const std::vector<std::string> ascending = {"Configured",   "Doubtful", "Home mail",   "No server",
                                                    "Office (SPA)", "Old port", "Outlook SPA", "Outlook mail",
                                                    "Slash server", "Work IMAP"};
        std::vector<std::string> descending(ascending.rbegin(), ascending.rend());

        ClickHeader(list, 0);
        EXPECT_EQ(ascending, Names(list));
        ClickHeader(list, 0);
        EXPECT_EQ(descending, Names(list));
        // The third click groups by client again, in catalogue order.
        ClickHeader(list, 0);
        std::vector<std::string> names = Names(list);
        std::vector<std::string> outlookExpress(names.begin(), names.begin() + 8);
        std::vector<std::string> outlook(names.begin() + 8, names.end());
        std::sort(outlookExpress.begin(), outlookExpress.end());
        std::sort(outlook.begin(), outlook.end());
        EXPECT_EQ((std::vector<std::string>{"Configured", "Doubtful", "Home mail", "No server",
                                            "Office (SPA)", "Old port", "Slash server", "Work IMAP"}),
                  outlookExpress);
        EXPECT_EQ((std::vector<std::string>{"Outlook SPA", "Outlook mail"}), outlook);

        // Up to date first, then configured but outdated, then the rest; ties by name, byte-wise.
        ClickHeader(list, 4);
        EXPECT_EQ((std::vector<std::string>{"Configured", "Doubtful", "Old port", "Home mail", "No server",
                                            "Office (SPA)", "Outlook SPA", "Outlook mail", "Slash server",
                                            "Work IMAP"}),
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
        EXPECT_EQ(
            (std::vector<std::string>{"Work IMAP", "Slash server", "No server", "Outlook mail", "Outlook SPA",
                                      "Old port", "Office (SPA)", "Home mail", "Doubtful", "Configured"}),
            Names(list));
        // The row keys travel with the rows: details still name the right account and client.
        gui::ClickRow(list, 3);
        EXPECT_EQ("Account details: Outlook mail \x97 Outlook", gui::ItemText(dlg, IDC_DETAILS_GROUP));
        EXPECT_EQ("otto", gui::ItemText(dlg, IDC_USERNAME));
    });
}

TEST(MainDialog, CtrlAMarksAllAndInvertSelectionFlipsTheMarks)
{
    CSampleUser user;
    RunMainDialog([&](DWORD /*ui*/, HWND dlg, HWND list) {
        gui::ClickRow(list, 5);
        Details before = ReadDetails(dlg);

        gui::PressKeys(list, {VK_CONTROL, 'A'});
        for (int row = 0; row < gui::RowCount(list); ++row)
            EXPECT_TRUE(gui::IsRowChecked(list, row)) << "after Ctrl+A, row " << row;
        ExpectDetails(before, ReadDetails(dlg), __LINE__);

        EXPECT_TRUE(gui::Command(dlg, ID_EDIT_INVERT_SELECTION));
        for (int row = 0; row < gui::RowCount(list); ++row)
            EXPECT_FALSE(gui::IsRowChecked(list, row)) << "after inverting, row " << row;

        gui::CheckRow(list, 1, true);
        gui::CheckRow(list, 7, true);
        EXPECT_TRUE(gui::Command(dlg, ID_EDIT_INVERT_SELECTION));
        EXPECT_TRUE(gui::Command(dlg, ID_EDIT_INVERT_SELECTION));
        for (int row = 0; row < gui::RowCount(list); ++row)
            EXPECT_EQ(row == 1 || row == 7, gui::IsRowChecked(list, row)) << "inverted twice, row " << row;
        EXPECT_TRUE(gui::Command(dlg, ID_EDIT_SELECT_ALL));
        for (int row = 0; row < gui::RowCount(list); ++row)
            EXPECT_TRUE(gui::IsRowChecked(list, row)) << "after Select All, row " << row;
        ExpectDetails(before, ReadDetails(dlg), __LINE__);
        EXPECT_TRUE(gui::Command(dlg, ID_FILE_EXIT));
    });
}

TEST(MainDialog, EmptyListDisablesTheActions)
{
    CSampleUser user(false);
    CVantlerDlg dialog(nullptr);
    INT_PTR result = gui::RunWithUser(dialog, [&](DWORD ui) {
        HWND dlg = gui::WaitForDialog(ui, "E-mail accounts configurator", false);
        ASSERT_NE(nullptr, dlg);
        EXPECT_EQ(0, gui::RowCount(::GetDlgItem(dlg, IDC_ACCOUNT_LIST)));
        for (int id : {IDC_CONFIGURE, IDC_UNCONFIGURE, IDC_UPDATE})
            EXPECT_FALSE(gui::IsEnabled(dlg, id)) << id;
        EXPECT_TRUE(gui::IsEnabled(dlg, IDC_MANUAL));
        HMENU menu = ::GetMenu(dlg);
        EXPECT_EQ(static_cast<UINT>(MF_GRAYED | MF_DISABLED),
                  ::GetMenuState(menu, ID_EDIT_SELECT_ALL, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
        EXPECT_EQ(static_cast<UINT>(MF_GRAYED | MF_DISABLED),
                  ::GetMenuState(menu, ID_EDIT_INVERT_SELECTION, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
        EXPECT_EQ(0u, ::GetMenuState(menu, ID_HELP_ABOUT, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
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
