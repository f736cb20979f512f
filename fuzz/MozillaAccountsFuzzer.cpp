// Fuzz target: Mozilla's accounts as the adapter finds them in one or two "prefs.js" files (account lists,
// ids, settings), configured and given back with every real setting kept.
#include "AdapterRoundTrip.h"
#include "FuzzInput.h"
#include "FuzzScratch.h"

#include "clients/MozillaClient.h"
#include "RegKey.h"
#include "settings/ProductSettings.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const CFuzzScratch& scratch = CFuzzScratch::Get();
    scratch.Reset();
    CFuzzInput input(data, size);
    const DWORD proxyPort = input.Choice(2) ? 8110 : 110;
    const bool twoProfiles = input.Choice(2) != 0;
    const std::string second = twoProfiles ? input.Text(1 << 16) : std::string();
    const std::string first = input.Rest();

    plat::CRegKey key;
    FUZZ_CHECK(key.Create(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, KEY_WRITE) == ERROR_SUCCESS);
    FUZZ_CHECK(key.SetDword(NIMBREL_PROXY_PORT_VALUE, proxyPort) == ERROR_SUCCESS);
    FUZZ_CHECK(key.Create(HKEY_CURRENT_USER, "Software\\Mozilla\\Mozilla 1.7\\bin", KEY_WRITE) ==
               ERROR_SUCCESS);
    FUZZ_CHECK(key.SetString("PathToExe", scratch / "mozilla.exe") == ERROR_SUCCESS);
    key.Close();
    FUZZ_CHECK(CFuzzScratch::WriteFile(scratch / "mozilla.exe", "MZ"));
    const std::string profiles = scratch / "appdata\\Mozilla\\Profiles";
    FUZZ_CHECK(CFuzzScratch::WriteFile(profiles + "\\default\\a1.slt\\prefs.js", first));
    if (twoProfiles)
        FUZZ_CHECK(CFuzzScratch::WriteFile(profiles + "\\work\\b2.slt\\prefs.js", second));

    CAdapterRoundTrip trip([]() { return std::unique_ptr<CMailClient>(new CMozillaClient); });
    trip.Run(6);
    return 0;
}
