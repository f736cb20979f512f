// The standard dialog's questions and warnings, answered like a user, checked in the list and in the client's
// own store.
#include "SampleUser.h"
#include "UserDriver.h"

#include "Environment.h"
#include "Files.h"
#include "fixtures/SampleStores.h"
#include "fixtures/SampleWriter.h"
#include "core/OriginalsJournal.h"
#include "support/FileHolder.h"
#include "ui/VantlerDlg.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::string kWarning = "        There are one or more e-mail clients running whose accounts are being\n"
                             "configured; you have to close them before proceeding. Configuration changes\n"
                             "will possibly not take effect otherwise.\n"
                             "        The following client(s) are running:\n\t- Outlook Express";

const std::string kQuestion = "Account has the following parameters:\n"
                              "\tUsername: dom/anna\n"
                              "\tPOP3 server: pop.mail.example\n"
                              "It is either configured with errors, or is not configured but looks similar "
                              "to. Program can not detect it reliably.\n\n"
                              "Consider this account configured with errors and try to repair it?";

// The row that shows the account called name, or -1.
int RowNamed(HWND list, const std::string& name)
{
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        const std::vector<std::string> cells = gui::Row(list, row);
        if (std::find(cells.begin(), cells.end(), name) != cells.end())
            return row;
    }
    return -1;
}

} // namespace

TEST(MainDialogActions, RunningClientAndDoubtfulAccountAreAskedAbout)
{
    CSampleUser user;
    RunMainDialog([&](DWORD ui, HWND dlg, HWND list) {
        {
            // The program name is compared without regard to case. Only Outlook's account is marked: Outlook
            // Express running does not matter.
            CTestFolder folder;
            CProcessRun client(FakeClientCopy(folder, "MSIMN.EXE"), "", folder.Path());
            ListView_SetCheckState(list, 8, TRUE);
            EXPECT_TRUE(gui::Click(dlg, IDC_CONFIGURE))
                << "a warning came for a client that is not concerned";
            EXPECT_EQ("otto/pop.otto.example/110|localhost|dword:110", user.Pop(1, true));

            // Two marked accounts of the running client name it once. Cancel changes nothing and keeps the
            // marks; OK while it still runs asks again; once it is closed, OK goes on.
            ListView_SetCheckState(list, 0, TRUE);
            ListView_SetCheckState(list, 1, TRUE);
            ::PostMessageA(::GetDlgItem(dlg, IDC_CONFIGURE), BM_CLICK, 0, 0);
            EXPECT_EQ(kWarning, gui::Answered(ui, "Close e-mail clients", IDCANCEL));
            EXPECT_TRUE(gui::Sync(dlg));
            EXPECT_EQ("anna|pop.mail.example|<missing>", user.Pop(1));
            EXPECT_TRUE(ListView_GetCheckState(list, 0)) << "a cancelled action must not rebuild the list";
            ::PostMessageA(::GetDlgItem(dlg, IDC_CONFIGURE), BM_CLICK, 0, 0);
            EXPECT_EQ(kWarning, gui::Answered(ui, "Close e-mail clients", IDOK));
            HWND box = gui::WaitForDialog(ui, "Close e-mail clients", true);
            ASSERT_NE(nullptr, box) << "the warning was not repeated while the client ran";
            client.Stop();
            EXPECT_TRUE(gui::Answer(box, IDOK));
            ASSERT_TRUE(gui::WaitUntil([&] { return !ListView_GetCheckState(list, 0); }));
            EXPECT_EQ("anna/pop.mail.example/110|localhost|dword:110", user.Pop(1));
            EXPECT_EQ("anna.k/pop.office.example[SPA]/995|localhost|dword:110", user.Pop(2));
        }

        // Update rewrites the outdated accounts whatever is marked; declining the doubtful one's repair skips
        // it, and the marked but unconfigured account is not touched.
        ListView_SetCheckState(list, 9, TRUE);
        ::PostMessageA(::GetDlgItem(dlg, IDC_UPDATE), BM_CLICK, 0, 0);
        EXPECT_EQ(kQuestion, gui::Answered(ui, "Confirm action for Doubtful", IDCANCEL));
        ASSERT_TRUE(gui::WaitUntil([&] { return gui::Cell(list, 3, 4) == "Yes"; }));
        EXPECT_EQ("bob/pop.mail.example[APOP]/110|localhost|dword:110", user.Pop(4));
        EXPECT_EQ("dom/anna|pop.mail.example|dword:110", user.Pop(5));
        EXPECT_EQ("CORP\\otto|mail.corp.example|dword:110", user.Pop(2, true));

        ListView_SetCheckState(list, 4, TRUE);
        ::PostMessageA(::GetDlgItem(dlg, IDC_CONFIGURE), BM_CLICK, 0, 0);
        HWND box = gui::WaitForDialog(ui, "Confirm action for Doubtful", true);
        ASSERT_NE(nullptr, box);
        // The question has no owner, so the dialog still takes clicks: a second Configure meanwhile must not
        // start a second action over the same accounts.
        EXPECT_TRUE(::IsWindowEnabled(dlg));
        EXPECT_TRUE(gui::Click(dlg, IDC_CONFIGURE));
        std::vector<HWND> open = gui::Dialogs(ui);
        EXPECT_EQ(1, std::count_if(open.begin(), open.end(), gui::IsMessageBox));
        // Marking every row while the question is open does not add the Outlook account below it to the
        // action under way.
        EXPECT_TRUE(gui::Command(dlg, ID_EDIT_SELECT_ALL));
        EXPECT_TRUE(ListView_GetCheckState(list, 9));
        EXPECT_TRUE(gui::Answer(box, IDOK));
        ASSERT_TRUE(gui::WaitUntil([&] { return !ListView_GetCheckState(list, 9); }));
        EXPECT_EQ("CORP\\otto|mail.corp.example|dword:110", user.Pop(2, true));
        EXPECT_EQ("dom/anna/110|localhost|dword:110", user.Pop(5));
        EXPECT_EQ("Yes", gui::Cell(list, 4, 4));
    });
}

// A store that another program holds open is named in one message after the action; nothing is written, and
// once the file is free the same action goes through without a message.
TEST(MainDialogActions, AStoreInUseIsNamedAfterTheAction)
{
    CSampleUser user;
    CRegistryScope opera({{HKEY_CURRENT_USER, "Software\\Opera Software"}});
    std::string appData;
    ASSERT_TRUE(plat::AppDataFolder(appData));
    const std::string folder = JoinPath(appData, "Opera\\Opera7\\Mail");
    const std::string accounts = JoinPath(folder, "accounts.ini");
    SampleContext context;
    context.root = user.Root();
    ASSERT_TRUE(SeedOpera7Samples(context));
    std::string before;
    ASSERT_TRUE(plat::ReadWholeFile(accounts.c_str(), before));

    RunMainDialog([&](DWORD ui, HWND dlg, HWND list) {
        auto rowOf = [&] { return RowNamed(list, "Mail at home"); };
        const int row = rowOf();
        ASSERT_LE(0, row) << "the Opera 7 account is not listed";
        {
            CFileHolder holder(accounts);
            ASSERT_TRUE(holder.Holds());
            ListView_SetCheckState(list, row, TRUE);
            ::PostMessageA(::GetDlgItem(dlg, IDC_CONFIGURE), BM_CLICK, 0, 0);
            EXPECT_EQ(
                "Account's settings file is in use by another program; close that program and try again.\n"
                "\t- Opera 7: Mail at home",
                gui::Answered(ui, "E-mail accounts configurator", IDOK));
            EXPECT_TRUE(gui::Sync(dlg));
        }
        std::string now;
        EXPECT_TRUE(plat::ReadWholeFile(accounts.c_str(), now));
        EXPECT_EQ(before, now);
        std::vector<plat::DirEntry> entries;
        ASSERT_TRUE(plat::ListDirectory(folder.c_str(), entries));
        EXPECT_EQ(3u, entries.size()) << "a temporary file was left beside the held store";

        const int again = rowOf();
        ASSERT_LE(0, again);
        ListView_SetCheckState(list, again, TRUE);
        EXPECT_TRUE(gui::Click(dlg, IDC_CONFIGURE)) << "a message came for a store that is free";
        ASSERT_TRUE(plat::ReadWholeFile(accounts.c_str(), now));
        EXPECT_NE(std::string::npos, now.find("Incoming Username=petra/pop.mail.example/110\r\n"));
    });
    plat::RemoveFolderTree(JoinPath(appData, "Opera").c_str());
}

// A damaged journal stops nothing: the account is configured, the file is set aside, and the user is told
// where it went.
TEST(MainDialogActions, ADamagedJournalIsToldAndStopsNothing)
{
    CSampleUser user;
    CRegistryScope opera({{HKEY_CURRENT_USER, "Software\\Opera Software"}});
    std::string appData;
    ASSERT_TRUE(plat::AppDataFolder(appData));
    const std::string accounts = JoinPath(appData, "Opera\\Opera7\\Mail\\accounts.ini");
    const std::string journalFolder = JoinPath(appData, "Nimbrel");
    const std::string journal = JoinPath(journalFolder, "journal.json");
    SampleContext context;
    context.root = user.Root();
    ASSERT_TRUE(SeedOpera7Samples(context));
    ASSERT_TRUE(plat::CreateFolder(journalFolder.c_str()));
    g_originalsJournal.SetPath(journal);

    RunMainDialog([&](DWORD ui, HWND dlg, HWND list) {
        const int row = RowNamed(list, "Mail at home");
        ASSERT_LE(0, row) << "the Opera 7 account is not listed";
        // Damaged after the dialog read the accounts: the action is the first to meet it.
        ASSERT_TRUE(plat::ReplaceWholeFile(journal.c_str(), "{\"format\": 1, \"entries\": ["));
        ListView_SetCheckState(list, row, TRUE);
        ::PostMessageA(::GetDlgItem(dlg, IDC_CONFIGURE), BM_CLICK, 0, 0);
        const std::string told = gui::Answered(ui, "E-mail accounts configurator", IDOK);
        EXPECT_EQ(0u, told.find("The journal of original settings was damaged. It was set aside as:\n" +
                                journal + ".damaged-"))
            << told;
        EXPECT_TRUE(gui::Sync(dlg));
        std::string now;
        ASSERT_TRUE(plat::ReadWholeFile(accounts.c_str(), now));
        EXPECT_NE(std::string::npos, now.find("Incoming Username=petra/pop.mail.example/110\r\n"));
        std::vector<plat::DirEntry> entries;
        ASSERT_TRUE(plat::ListDirectory(journalFolder.c_str(), entries));
        EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [](const plat::DirEntry& entry) {
            return entry.name.find("journal.json.damaged-") == 0;
        })) << "the damaged file was not kept";
    });
    g_originalsJournal.SetPath(std::string());
    g_originalsJournal.TakeNotices();
    plat::RemoveFolderTree(journalFolder.c_str());
    plat::RemoveFolderTree(JoinPath(appData, "Opera").c_str());
}
