// Fuzz target: Windows Live Mail account files: what parses comes back byte for byte, and the edits that
// configuring makes change only their own elements, in the file's encoding.
#include "FuzzScratch.h"

#include "clients/OeAccountFile.h"

#include <cstddef>
#include <cstdint>

namespace {

const char kUserName[] = "anna/pop.mail.example[SPA]/995 &<>\"'\t\r\n \xC5\x81ukasz \xF0\x9F\x98\x80";

// The settings of a file as names, types and values, without the one given.
std::vector<OeXmlSetting> Without(const COeAccountFile& file, const std::string& name)
{
    std::vector<OeXmlSetting> kept;
    for (const OeXmlSetting& setting : file.Settings()) {
        if (setting.name != name)
            kept.push_back(setting);
    }
    return kept;
}

bool SameValues(const std::vector<OeXmlSetting>& a, const std::vector<OeXmlSetting>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].type != b[i].type || a[i].value != b[i].value)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    COeAccountFile file;
    if (!file.Parse(bytes)) {
        FUZZ_CHECK(file.Serialize().empty() && !file.SetText("A", "a"));
        return 0;
    }
    FUZZ_CHECK(file.Serialize() == bytes);

    // Replacing an existing text touches only the bytes between its tags.
    for (const OeXmlSetting& setting : file.Settings()) {
        if (setting.type != OE_TYPE_SZ || setting.selfClosing)
            continue;
        COeAccountFile edited = file;
        FUZZ_CHECK(edited.SetText(setting.name, kUserName));
        const std::string& before = file.Text();
        const std::string& after = edited.Text();
        const size_t tail = before.size() - setting.textEnd;
        FUZZ_CHECK(after.compare(0, setting.textStart, before, 0, setting.textStart) == 0);
        FUZZ_CHECK(after.size() >= tail &&
                   after.compare(after.size() - tail, tail, before, setting.textEnd) == 0);
        std::string text;
        FUZZ_CHECK(edited.GetText(setting.name, text) && text == kUserName);
        FUZZ_CHECK(SameValues(Without(file, setting.name), Without(edited, setting.name)));
        break;
    }

    // What configuring does, then read back from the bytes in the file's own encoding.
    COeAccountFile edited = file;
    const BOOL server = edited.SetText("POP3_Server", "localhost");
    const BOOL port = edited.SetDword("POP3_Port", 1100);
    const BOOL user = edited.SetText("POP3_User_Name", kUserName);
    FUZZ_CHECK(edited.RemoveSetting("POP3_Use_Sicily"));
    const std::string written = edited.Serialize();
    FUZZ_CHECK(written.compare(0, 2, bytes, 0, 2) == 0);
    COeAccountFile reread;
    FUZZ_CHECK(reread.Parse(written));
    std::string text;
    DWORD number = 0;
    FUZZ_CHECK(!server || (reread.GetText("POP3_Server", text) && text == "localhost"));
    FUZZ_CHECK(!port || (reread.GetDword("POP3_Port", number) && number == 1100));
    FUZZ_CHECK(!user || (reread.GetText("POP3_User_Name", text) && text == kUserName));
    FUZZ_CHECK(!reread.HasSetting("POP3_Use_Sicily"));
    // An edit is refused only for a setting of another type.
    const OeXmlSetting* found = nullptr;
    for (const OeXmlSetting& setting : file.Settings()) {
        if (setting.name == "POP3_Port")
            found = &setting;
    }
    FUZZ_CHECK(port == (!found || found->type == OE_TYPE_DWORD));

    // Every other setting keeps its name, type and value, and its order.
    std::vector<OeXmlSetting> others;
    for (const OeXmlSetting& setting : file.Settings()) {
        if (setting.name != "POP3_Server" && setting.name != "POP3_Port" &&
            setting.name != "POP3_User_Name" && setting.name != "POP3_Use_Sicily")
            others.push_back(setting);
    }
    std::vector<OeXmlSetting> after;
    for (const OeXmlSetting& setting : reread.Settings()) {
        if (setting.name != "POP3_Server" && setting.name != "POP3_Port" && setting.name != "POP3_User_Name")
            after.push_back(setting);
    }
    FUZZ_CHECK(SameValues(others, after));

    // A setting that was absent, added and removed again leaves the file as it was (lines ended by a CR
    // alone excepted: the new line takes the file's first LF ending).
    bool loneCr = false;
    for (size_t i = 0; i < file.Text().size(); ++i)
        loneCr = loneCr || (file.Text()[i] == '\r' && file.Text().compare(i + 1, 1, "\n") != 0);
    if (!file.HasSetting("Fuzz_Added") && !loneCr) {
        COeAccountFile added = file;
        FUZZ_CHECK(added.SetDword("Fuzz_Added", 7) && added.RemoveSetting("Fuzz_Added"));
        FUZZ_CHECK(added.Serialize() == bytes);
    }
    return 0;
}
