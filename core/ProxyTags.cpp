// Taking the tags off the real server in the proxy user name, and putting them on.
#include "core/ProxyTags.h"

#include "core/AccountInfo.h"

namespace {

const char kSpaTag[] = "[SPA]";
const char kApopTag[] = "[APOP]";
const char kSslTag[] = "[SSL]";
const char kStlsTag[] = "[STLS]";

} // namespace

ProxyServerTags SplitProxyServerTags(std::string_view middle)
{
    ProxyServerTags tags;
    // "[SPA]" is looked for first, whatever stands before it: names written before the secure tags existed
    // must keep decoding to the same server.
    size_t cut = middle.find(kSpaTag);
    if (cut != std::string_view::npos) {
        tags.authMode = AUTH_SPA;
    } else if ((cut = middle.find(kApopTag)) != std::string_view::npos) {
        tags.authMode = AUTH_APOP;
    } else {
        tags.authMode = AUTH_NORMAL;
    }
    const size_t ssl = middle.find(kSslTag);
    const size_t stls = middle.find(kStlsTag);
    const size_t secureAt = ssl < stls ? ssl : stls;
    if (secureAt != std::string_view::npos) {
        tags.secure = ssl < stls ? PROXY_SECURE_SSL : PROXY_SECURE_STLS;
        if (secureAt < cut)
            cut = secureAt;
    }
    middle = middle.substr(0, cut);
    tags.server.assign(middle.data(), middle.size());
    return tags;
}

std::string AppendProxyServerTags(const std::string& server, int authMode, int secure)
{
    std::string tagged = server;
    if (authMode == AUTH_SPA)
        tagged += kSpaTag;
    else if (authMode == AUTH_APOP)
        tagged += kApopTag;
    if (secure == PROXY_SECURE_SSL)
        tagged += kSslTag;
    else if (secure == PROXY_SECURE_STLS)
        tagged += kStlsTag;
    return tagged;
}
