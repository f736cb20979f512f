// Fuzz target: Mozilla's accounts as the adapter finds them in one or two "prefs.js" files (account lists,
// ids, settings), configured and given back with every real setting kept.
#include "AdapterRoundTrip.h"
#include "FuzzInput.h"
#include "FuzzScratch.h"

#include "clients/MozillaClient.h"
#include "Files.h"
#include "RegKey.h"
#include "settings/ProductSettings.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const CFuzzScratch& scratch = CFuzzScratch::Get();
    // The same files every time, rewritten: removing and making folders would cost more than the input.
    scratch.ResetRegistry();
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
    static const bool programWritten = CFuzzScratch::WriteFile(scratch / "mozilla.exe", "MZ");
    FUZZ_CHECK(programWritten);
    const std::string profiles = scratch / "appdata\\Mozilla\\Profiles";
    FUZZ_CHECK(CFuzzScratch::WriteFile(profiles + "\\a\\prefs.js", first));
    if (twoProfiles)
        FUZZ_CHECK(CFuzzScratch::WriteFile(profiles + "\\b\\prefs.js", second));
    else
        plat::RemoveFile((profiles + "\\b\\prefs.js").c_str());

    CAdapterRoundTrip trip([]() { return std::unique_ptr<CMailClient>(new CMozillaClient); });
    trip.Run(1);
    return 0;
}
