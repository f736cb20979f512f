// Fuzz target: the tags behind the real server in the proxy user name. Names without secure tags must split
// exactly as the proxy user name has always been decoded; tags put on come back off.
#include "FuzzInput.h"
#include "FuzzScratch.h"

#include "core/AccountInfo.h"
#include "core/MailClient.h"
#include "core/ProxyTags.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CFuzzInput input(data, size);
    const int authMode = static_cast<int>(input.Choice(4));
    const int secure = static_cast<int>(input.Choice(4));
    const std::string server = input.Text(200);
    const std::string stored = input.Rest();

    // The middle part of a stored name as the decoding cuts it: between the first and the second '/'.
    const size_t first = stored.find('/');
    if (first != std::string::npos) {
        const size_t second = stored.find('/', first + 1);
        const std::string middle = second == std::string::npos ? stored.substr(first + 1)
                                                               : stored.substr(first + 1, second - first - 1);
        const ProxyServerTags tags = SplitProxyServerTags(middle);
        FUZZ_CHECK(middle.compare(0, tags.server.size(), tags.server) == 0);
        FUZZ_CHECK(tags.server.find("[SPA]") == std::string::npos);
        FUZZ_CHECK(tags.server.find("[SSL]") == std::string::npos);
        FUZZ_CHECK(tags.server.find("[STLS]") == std::string::npos);
        if (middle.find("[SSL]") == std::string::npos && middle.find("[STLS]") == std::string::npos) {
            PopSettings decoded;
            BOOL doubtful = FALSE;
            FUZZ_CHECK(DecodeProxyUserName(stored, decoded, doubtful));
            FUZZ_CHECK(decoded.server == tags.server && decoded.authMode == tags.authMode);
            FUZZ_CHECK(tags.secure == PROXY_SECURE_NONE);
        } else {
            FUZZ_CHECK(tags.secure == PROXY_SECURE_SSL || tags.secure == PROXY_SECURE_STLS);
        }
    }

    // A server without '[' carries its tags there and back.
    if (server.find('[') == std::string::npos) {
        const ProxyServerTags tags = SplitProxyServerTags(AppendProxyServerTags(server, authMode, secure));
        FUZZ_CHECK(tags.server == server);
        FUZZ_CHECK(tags.authMode == (authMode == AUTH_UNKNOWN ? AUTH_NORMAL : authMode));
        FUZZ_CHECK(tags.secure == (secure > PROXY_SECURE_STLS ? PROXY_SECURE_NONE : secure));
    }
    return 0;
}
