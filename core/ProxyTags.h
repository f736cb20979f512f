// The tags behind the real server in the proxy user name: authentication ("[APOP]", "[SPA]") and the secure
// connection ("[SSL]", "[STLS]") that the proxy must use towards the real server.
#pragma once

#include <string>
#include <string_view>

// How the proxy reaches the real server: plain, TLS from the start, or STLS after the greeting.
enum
{
    PROXY_SECURE_NONE = 0,
    PROXY_SECURE_SSL = 1,
    PROXY_SECURE_STLS = 2
};

// The middle part of a proxy user name (between its first and second '/') taken apart.
struct ProxyServerTags
{
    std::string server;
    int authMode = 0; // AUTH_NORMAL, AUTH_APOP or AUTH_SPA
    int secure = PROXY_SECURE_NONE;
};

// Splits "server[TAG][TAG]", the tags in any order. The authentication tag is found as it always was: the
// first "[SPA]" if there is one (mode 2), else the first "[APOP]" (mode 1), else none (mode 0). The secure
// tag is whichever of "[SSL]" and "[STLS]" stands first, else none. The server is the text before the
// earliest tag so found; text behind a tag is dropped. Without "[SSL]" and "[STLS]" this gives exactly the
// server and mode that names have always decoded to, "srv[APOP][SPA]" giving "srv[APOP]" and mode 2.
ProxyServerTags SplitProxyServerTags(std::string_view middle);

// server followed by the authentication tag (none for modes other than 1 and 2) and then the secure tag
// (none for values other than SSL and STLS). Splitting it gives the three back when server holds no '['.
std::string AppendProxyServerTags(const std::string& server, int authMode, int secure);
