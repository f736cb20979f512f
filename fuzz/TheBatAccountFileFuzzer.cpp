// Fuzz target: The Bat!'s account file records, their field accessors and edits, and their bytes written
// back.
#include "FuzzScratch.h"

#include "clients/TheBatAccountFile.h"

#include <cstddef>
#include <cstdint>

namespace {

const DWORD kEditedIds[] = {THEBAT_RECORD_SERVER, THEBAT_RECORD_PORT, THEBAT_RECORD_LOGIN,
                            THEBAT_RECORD_AUTH};

bool IsEdited(DWORD id)
{
    for (DWORD edited : kEditedIds) {
        if (id == edited)
            return true;
    }
    return false;
}

// Every accessor over whatever the records hold; none may read past a record.
void ReadAll(const CTheBatAccountFile& file)
{
    std::string text;
    DWORD number = 0;
    file.GetStringField(THEBAT_RECORD_EMAIL, text);
    file.GetStringField(THEBAT_RECORD_SERVER, text);
    file.GetNumberField(THEBAT_RECORD_PORT, number);
    file.GetEncodedField(THEBAT_RECORD_LOGIN, text);
    file.GetProtocolText();
    file.GetAuthModeText();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CTheBatAccountFile file;
    const BOOL whole = file.Parse(bytes);
    ReadAll(file);
    // Records are taken as they stand: a whole file comes back byte for byte, a cut one as the part before
    // the cut.
    const std::string written = file.Serialize();
    if (whole)
        FUZZ_CHECK(written == bytes);
    else
        FUZZ_CHECK(written.size() < bytes.size() && bytes.compare(0, written.size(), written) == 0);
    if (!whole)
        return 0;

    // What configuring writes, then read back from the bytes it gives.
    const std::string login = "anna/pop.mail.example[APOP]/110";
    CTheBatAccountFile edited = file;
    const BOOL hasLogin = edited.SetEncodedField(THEBAT_RECORD_LOGIN, login);
    const BOOL hasServer = edited.SetStringField(THEBAT_RECORD_SERVER, "localhost");
    const BOOL hasPort = edited.SetNumberField(THEBAT_RECORD_PORT, 1100);
    const BOOL hasAuth = edited.SetAuthModeText("spa");
    FUZZ_CHECK(hasLogin == (file.FindRecord(THEBAT_RECORD_LOGIN) >= 0));
    FUZZ_CHECK(hasServer == (file.FindRecord(THEBAT_RECORD_SERVER) >= 0));
    FUZZ_CHECK(hasPort == (file.FindRecord(THEBAT_RECORD_PORT) >= 0));
    FUZZ_CHECK(hasAuth == (file.FindRecord(THEBAT_RECORD_AUTH) >= 0));

    CTheBatAccountFile reread;
    FUZZ_CHECK(reread.Parse(edited.Serialize()));
    std::string text;
    DWORD number = 0;
    if (hasLogin)
        FUZZ_CHECK(reread.GetEncodedField(THEBAT_RECORD_LOGIN, text) && text == login);
    if (hasServer)
        FUZZ_CHECK(reread.GetStringField(THEBAT_RECORD_SERVER, text) && text == "localhost");
    if (hasPort)
        FUZZ_CHECK(reread.GetNumberField(THEBAT_RECORD_PORT, number) && number == 1100);
    if (hasAuth)
        FUZZ_CHECK(reread.GetAuthModeText() == "SPA");

    // Every record the edit did not concern keeps its place, id and bytes; so do later records of an edited
    // id.
    const std::vector<TheBatRecord>& before = file.Records();
    const std::vector<TheBatRecord>& after = reread.Records();
    FUZZ_CHECK(before.size() == after.size());
    for (size_t i = 0; i < before.size(); ++i) {
        FUZZ_CHECK(before[i].id == after[i].id);
        if (!IsEdited(before[i].id) || file.FindRecord(before[i].id) != static_cast<int>(i))
            FUZZ_CHECK(before[i].data == after[i].data);
    }
    return 0;
}
