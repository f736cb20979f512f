// The journal of original settings: its file round-trips every byte, hostile files are refused, a damaged one
// is set aside, and the file stays as small as the accounts it still has to give back.
#include "support/ClientChecks.h"
#include "support/TestScopes.h"

#include "core/OriginalsJournal.h"
#include "Files.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

JournalEntry Entry(const std::string& identity, const std::string& user)
{
    JournalEntry entry;
    entry.client = "Outlook Express";
    entry.store = "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Account Manager\\Accounts";
    entry.identity = identity;
    entry.real.userName = user;
    entry.real.server = "pop.mail.example";
    entry.real.port = 995;
    entry.real.authMode = AUTH_SPA;
    entry.real.spaFlag = 2;
    entry.real.spaFlagPresent = TRUE;
    entry.real.secure = PROXY_SECURE_SSL;
    entry.real.secureStored = "dword:1";
    return entry;
}

void ExpectSame(const JournalEntry& expected, const JournalEntry& actual)
{
    EXPECT_EQ(expected.client, actual.client);
    EXPECT_EQ(expected.store, actual.store);
    EXPECT_EQ(expected.identity, actual.identity);
    const PopSettings &e = expected.real, &a = actual.real;
    EXPECT_EQ(e.userName, a.userName);
    EXPECT_EQ(e.server, a.server);
    EXPECT_EQ(e.port, a.port);
    EXPECT_EQ(e.authMode, a.authMode);
    EXPECT_EQ(e.spaFlag, a.spaFlag);
    EXPECT_EQ(e.spaFlagPresent, a.spaFlagPresent);
    EXPECT_EQ(e.secure, a.secure);
    EXPECT_EQ(e.secureStored, a.secureStored);
}

class Journal : public ::testing::Test
{
protected:
    std::string JournalPath() const { return m_folder / "Nimbrel\\journal.json"; }
    CTestFolder m_folder;
};

} // namespace

TEST(JournalForm, EveryByteAndNumberComesBack)
{
    std::vector<JournalEntry> entries = {Entry("00000001", "Gr\xFC\xDF"), Entry("00000002", "\xE6\x9D\x8E")};
    entries[1].client = "The Bat!";
    entries[1].store = "C:\\Mail\\\xC5\x81ukasz\\Account.CFN";
    entries[1].real.server = std::string("a\0b\"\\", 5);
    entries[1].real.port = INT_MIN;
    entries[1].real.authMode = AUTH_UNKNOWN;
    entries[1].real.spaFlag = INT_MAX;
    entries[1].real.spaFlagPresent = FALSE;
    entries[1].real.secure = PROXY_SECURE_NONE;
    entries[1].real.secureStored.clear();
    entries[1].identity.clear();

    std::vector<JournalEntry> read;
    ASSERT_TRUE(ParseJournal(SerializeJournal(entries), read));
    ASSERT_EQ(2u, read.size());
    for (size_t i = 0; i < entries.size(); ++i)
        ExpectSame(entries[i], read[i]);
    // Text that is UTF-8 stays readable in the file.
    EXPECT_NE(std::string::npos, SerializeJournal(entries).find("\"\xE6\x9D\x8E\""));
    ASSERT_TRUE(ParseJournal("", read));
    EXPECT_TRUE(read.empty()) << "no file yet is an empty journal";
}

TEST(JournalForm, AHostileDocumentIsRefusedWhole)
{
    const std::string good = SerializeJournal({Entry("00000001", "anna")});
    const std::vector<std::pair<std::string, std::string>> swaps = {
        {"\"format\": 1", "\"format\": 2"},
        {"\"port\": 995", "\"port\": \"995\""},
        {"\"port\": 995", "\"port\": 1e400"},
        {"\"port\": 995", "\"port\": 99999999999"},
        {"\"port\": 995", "\"port\": 9.5"},
        {"\"authMode\": 2", "\"authMode\": 4"},
        {"\"secure\": 1", "\"secure\": 3"},
        {"\"secure\": 1", "\"secure\": -1"},
        {"\"spaFlag present\": true", "\"spaFlag present\": 1"},
        {"\"userName\": \"anna\"", "\"userName\": {\"hex\": \"6\"}"},
        {"\"userName\": \"anna\"", "\"userName\": {\"hex\": \"zz\"}"},
        {"\"userName\": \"anna\"", "\"userName\": {\"hex\": \"61\", \"x\": 1}"},
        {"\"userName\": \"anna\"", "\"userName\": null"},
        {"\"client\": \"Outlook Express\"", "\"client\": \"\""},
        {"\"identity\"", "\"identity-\""},
    };
    std::vector<JournalEntry> read = {Entry("kept", "kept")};
    for (const auto& swap : swaps) {
        const size_t at = good.find(swap.first);
        ASSERT_NE(std::string::npos, at) << swap.first;
        std::string hostile = good;
        hostile.replace(at, swap.first.size(), swap.second);
        EXPECT_FALSE(ParseJournal(hostile, read)) << hostile;
    }
    for (const std::string& hostile :
         {std::string("{"), std::string("[]"), std::string("null"), std::string("{\"format\":1}"),
          std::string("{\"format\":1,\"entries\":{}}"), std::string("{\"format\":1,\"entries\":[1]}"),
          std::string(100000, '['), good.substr(0, good.size() / 2), std::string("\xFF\xFE{", 3)})
        EXPECT_FALSE(ParseJournal(hostile, read)) << hostile.substr(0, 40);
    ASSERT_EQ(1u, read.size());
    EXPECT_EQ("kept", read[0].identity) << "a refused document leaves the entries as they were";
}

TEST_F(Journal, EntriesOutliveTheRunAndAreRetiredOnce)
{
    COriginalsJournal journal;
    journal.SetPath(JournalPath());
    PopSettings found;
    EXPECT_FALSE(journal.Find("Outlook Express", Entry("1", "a").store, "1", found));
    ASSERT_TRUE(journal.Record(Entry("1", "anna")));
    ASSERT_TRUE(journal.Record(Entry("2", "bob")));
    ASSERT_TRUE(journal.Record(Entry("1", "anna2"))) << "the same account again replaces its entry";

    // Another run reads what this one wrote.
    COriginalsJournal later;
    later.SetPath(JournalPath());
    ASSERT_EQ(2u, later.Entries().size());
    ASSERT_TRUE(later.Find("Outlook Express", Entry("1", "a").store, "1", found));
    EXPECT_EQ("anna2", found.userName);
    EXPECT_EQ(2, found.spaFlag);
    EXPECT_EQ("dword:1", found.secureStored);
    EXPECT_FALSE(later.Find("Outlook", Entry("1", "a").store, "1", found)) << "another client's account";
    EXPECT_FALSE(later.Find("Outlook Express", "HKEY_CURRENT_USER\\Other", "1", found));

    ASSERT_TRUE(later.Retire("Outlook Express", Entry("1", "a").store, "1"));
    EXPECT_TRUE(later.Retire("Outlook Express", Entry("1", "a").store, "1")) << "gone is gone";
    EXPECT_FALSE(journal.Find("Outlook Express", Entry("1", "a").store, "1", found))
        << "the first run sees the file as it is now";
    EXPECT_TRUE(journal.Find("Outlook Express", Entry("2", "a").store, "2", found));
    EXPECT_TRUE(journal.TakeNotices().empty());
    EXPECT_TRUE(later.TakeNotices().empty());

    // A batch's entries in one rewrite: an account's new entry goes to the end in place of its old one, and
    // of two for one account the later counts. Retiring several takes each of them once.
    ASSERT_TRUE(
        journal.RecordAll({Entry("3", "carl"), Entry("2", "bob2"), Entry("4", "dora"), Entry("3", "carl2")}));
    std::vector<std::string> order;
    for (const JournalEntry& entry : later.Entries())
        order.push_back(entry.identity + "=" + entry.real.userName);
    EXPECT_EQ((std::vector<std::string>{"2=bob2", "4=dora", "3=carl2"}), order);
    ASSERT_TRUE(later.RetireAll({Entry("4", ""), Entry("9", ""), Entry("2", ""), Entry("4", "")}));
    ASSERT_EQ(1u, journal.Entries().size());
    EXPECT_TRUE(journal.Find("Outlook Express", Entry("3", "a").store, "3", found));
    EXPECT_EQ("carl2", found.userName);

    // Off, it keeps nothing and touches no file.
    COriginalsJournal off;
    EXPECT_FALSE(off.Record(Entry("3", "carl")));
    EXPECT_FALSE(off.Find("Outlook Express", Entry("2", "a").store, "2", found));
    EXPECT_EQ(1u, FileCount(m_folder / "Nimbrel")) << "journal.json alone";
}

TEST_F(Journal, ADamagedFileIsSetAsideAndTheJournalGoesOn)
{
    ASSERT_TRUE(plat::CreateFolder((m_folder / "Nimbrel").c_str()));
    const std::string damaged = "{\"format\": 1, \"entries\": [{\"client\": \"Outl";
    ASSERT_TRUE(plat::ReplaceWholeFile(JournalPath().c_str(), damaged));
    COriginalsJournal journal;
    journal.SetPath(JournalPath());
    PopSettings found;
    EXPECT_FALSE(journal.Find("Outlook Express", Entry("1", "a").store, "1", found));
    std::vector<JournalNotice> notices = journal.TakeNotices();
    ASSERT_EQ(1u, notices.size());
    EXPECT_EQ(JOURNAL_SET_ASIDE, notices[0].kind);
    EXPECT_EQ(0u, notices[0].detail.find(JournalPath() + ".damaged-")) << notices[0].detail;
    std::string aside;
    ASSERT_TRUE(plat::ReadWholeFile(notices[0].detail.c_str(), aside));
    EXPECT_EQ(damaged, aside) << "set aside byte for byte";
    EXPECT_FALSE(plat::PathExists(JournalPath().c_str()));

    ASSERT_TRUE(journal.Record(Entry("1", "anna")));
    EXPECT_TRUE(journal.Find("Outlook Express", Entry("1", "a").store, "1", found));
    EXPECT_TRUE(journal.TakeNotices().empty()) << "told once";

    // Damaged again (same second): a second name, the first one kept.
    ASSERT_TRUE(plat::ReplaceWholeFile(JournalPath().c_str(), "garbage"));
    EXPECT_FALSE(journal.Find("Outlook Express", Entry("1", "a").store, "1", found));
    notices = journal.TakeNotices();
    ASSERT_EQ(1u, notices.size());
    ASSERT_TRUE(plat::ReadWholeFile(notices[0].detail.c_str(), aside));
    EXPECT_EQ("garbage", aside);
    EXPECT_EQ(2u, FileCount(m_folder / "Nimbrel")) << "both set aside, no journal until the next entry";
}

TEST_F(Journal, AFileThatCannotBeWrittenIsToldOf)
{
    // The journal's folder would have to be where a file is.
    ASSERT_TRUE(plat::ReplaceWholeFile((m_folder / "Nimbrel").c_str(), "a file"));
    COriginalsJournal journal;
    journal.SetPath(JournalPath());
    EXPECT_FALSE(journal.Record(Entry("1", "anna")));
    const std::vector<JournalNotice> notices = journal.TakeNotices();
    ASSERT_EQ(1u, notices.size());
    EXPECT_EQ(JOURNAL_NOT_WRITTEN, notices[0].kind);
    EXPECT_EQ(JournalPath(), notices[0].detail);
}

TEST_F(Journal, NeverGrowsWithoutBound)
{
    COriginalsJournal journal;
    journal.SetPath(JournalPath());
    // Configured and given back again and again: nothing stays.
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(journal.Record(Entry("1", "anna")));
        ASSERT_TRUE(journal.Retire("Outlook Express", Entry("1", "a").store, "1"));
    }
    EXPECT_TRUE(journal.Entries().empty());
    EXPECT_FALSE(plat::PathExists(JournalPath().c_str())) << "no trace once every account is given back";

    // Accounts that are never given back (their client was removed): the oldest go past the limit.
    std::vector<JournalEntry> full;
    for (size_t i = 0; i < COriginalsJournal::kMaxEntries; ++i)
        full.push_back(Entry(std::to_string(i), "user"));
    ASSERT_TRUE(plat::ReplaceWholeFile(JournalPath().c_str(), SerializeJournal(full)));
    for (size_t i = COriginalsJournal::kMaxEntries; i < COriginalsJournal::kMaxEntries + 20; ++i)
        ASSERT_TRUE(journal.Record(Entry(std::to_string(i), "user")));
    const std::vector<JournalEntry> entries = journal.Entries();
    ASSERT_EQ(COriginalsJournal::kMaxEntries, entries.size());
    EXPECT_EQ("20", entries.front().identity);
    EXPECT_EQ(std::to_string(COriginalsJournal::kMaxEntries + 19), entries.back().identity);
}
