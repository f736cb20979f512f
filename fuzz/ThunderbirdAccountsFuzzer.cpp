// Fuzz target: Thunderbird's accounts as the adapter finds them through a profiles.ini, a prefs.js and a
// user.js (real names, secure settings, SPA), configured and given back with every real setting kept.
#include "AdapterRoundTrip.h"
#include "FuzzInput.h"
#include "FuzzScratch.h"

#include "clients/ThunderbirdClient.h"
#include "Files.h"
#include "RegKey.h"
#include "settings/ProductSettings.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const CFuzzScratch& scratch = CFuzzScratch::Get();
    scratch.ResetRegistry();
    CFuzzInput input(data, size);
    const DWORD proxyPort = input.Choice(2) ? 8110 : 110;
    const bool speaksTls = input.Choice(2) != 0;
    // Mostly the usual profiles.ini, so that the inputs reach the accounts; sometimes one of the input's own.
    const bool ownIni = input.Choice(4) == 0;
    const std::string ini = ownIni ? input.Text(4096) : "[Profile0]\r\nIsRelative=1\r\nPath=Profiles/a\r\n";
    const bool withUserJs = input.Choice(4) == 0;
    const std::string userJs = withUserJs ? input.Text(4096) : std::string();
    const std::string prefs = input.Rest();

    plat::CRegKey key;
    FUZZ_CHECK(key.Create(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, KEY_WRITE) == ERROR_SUCCESS);
    FUZZ_CHECK(key.SetDword(NIMBREL_PROXY_PORT_VALUE, proxyPort) == ERROR_SUCCESS);
    if (speaksTls)
        FUZZ_CHECK(key.SetDword(NIMBREL_PROXY_TLS_VALUE, 1) == ERROR_SUCCESS);
    FUZZ_CHECK(key.Create(HKEY_CURRENT_USER, "Software\\Mozilla\\Mozilla Thunderbird", KEY_WRITE) ==
               ERROR_SUCCESS);
    FUZZ_CHECK(key.SetString("CurrentVersion", "1.0") == ERROR_SUCCESS);
    FUZZ_CHECK(key.Create(HKEY_CURRENT_USER, "Software\\Mozilla\\Mozilla Thunderbird\\1.0\\Main",
                          KEY_WRITE) == ERROR_SUCCESS);
    FUZZ_CHECK(key.SetString("PathToExe", scratch / "thunderbird.exe") == ERROR_SUCCESS);
    key.Close();
    static const bool programWritten = CFuzzScratch::WriteFile(scratch / "thunderbird.exe", "MZ");
    FUZZ_CHECK(programWritten);
    const std::string folder = scratch / "appdata\\Thunderbird";
    FUZZ_CHECK(CFuzzScratch::WriteFile(folder + "\\profiles.ini", ini));
    FUZZ_CHECK(CFuzzScratch::WriteFile(folder + "\\Profiles\\a\\prefs.js", prefs));
    if (withUserJs)
        FUZZ_CHECK(CFuzzScratch::WriteFile(folder + "\\Profiles\\a\\user.js", userJs));
    else
        plat::RemoveFile((folder + "\\Profiles\\a\\user.js").c_str());

    CAdapterRoundTrip trip(
        []() { return std::unique_ptr<CMailClient>(new CThunderbirdClient(kThunderbird)); });
    trip.Run(2);
    return 0;
}
