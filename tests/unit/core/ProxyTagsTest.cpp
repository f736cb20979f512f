// The tags behind the real server in the proxy user name: names without secure tags split exactly as the
// proxy user name has always been decoded, and the secure tags come off in either order.
#include "core/ProxyTags.h"

#include "core/AccountInfo.h"
#include "core/MailClient.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every middle part made of up to four of these pieces: tags, their broken halves and plain text.
std::vector<std::string> MiddleParts()
{
    const char* const pieces[] = {"srv", "[SPA]", "[APOP]", "junk", "[", "]",
                                  "[SP", "A]",    "[APOP",  "SPA]", "x"};
    std::vector<std::string> parts = {""};
    size_t from = 0;
    for (int length = 1; length <= 4; ++length) {
        const size_t to = parts.size();
        for (size_t i = from; i < to; ++i) {
            for (const char* piece : pieces)
                parts.push_back(parts[i] + piece);
        }
        from = to;
    }
    return parts;
}

} // namespace

TEST(ProxyTags, NamesWithoutSecureTagsSplitAsTheyAlwaysDecoded)
{
    const std::vector<std::string> middles = MiddleParts();
    ASSERT_GT(middles.size(), 10000u);
    for (const std::string& middle : middles) {
        for (const std::string& stored : {"anna/" + middle + "/995", "anna/" + middle}) {
            PopSettings decoded;
            BOOL doubtful = FALSE;
            ASSERT_TRUE(DecodeProxyUserName(stored, decoded, doubtful));
            const ProxyServerTags tags = SplitProxyServerTags(middle);
            ASSERT_EQ(decoded.server, tags.server) << stored;
            ASSERT_EQ(decoded.authMode, tags.authMode) << stored;
            ASSERT_EQ(PROXY_SECURE_NONE, tags.secure) << stored;
        }
    }
    // The odd cases, written out: text behind a tag is dropped, and "[SPA]" wins wherever it stands.
    EXPECT_EQ("srv", SplitProxyServerTags("srv[SPA]junk").server);
    EXPECT_EQ("srv[APOP]", SplitProxyServerTags("srv[APOP][SPA]").server);
    EXPECT_EQ(AUTH_SPA, SplitProxyServerTags("srv[APOP][SPA]").authMode);
    EXPECT_EQ(AUTH_APOP, SplitProxyServerTags("srv[APOP]x[APOP]").authMode);
}

TEST(ProxyTags, SecureTagsInEitherOrder)
{
    struct Row
    {
        const char* middle;
        const char* server;
        int authMode;
        int secure;
    };
    const Row rows[] = {
        {"pop.mail.example[SPA][SSL]", "pop.mail.example", AUTH_SPA, PROXY_SECURE_SSL},
        {"pop.mail.example[SSL][SPA]", "pop.mail.example", AUTH_SPA, PROXY_SECURE_SSL},
        {"pop.mail.example[STLS][APOP]", "pop.mail.example", AUTH_APOP, PROXY_SECURE_STLS},
        {"pop.mail.example[APOP][STLS]", "pop.mail.example", AUTH_APOP, PROXY_SECURE_STLS},
        {"pop.mail.example[SSL]", "pop.mail.example", AUTH_NORMAL, PROXY_SECURE_SSL},
        {"pop.mail.example[STLS]", "pop.mail.example", AUTH_NORMAL, PROXY_SECURE_STLS},
        // The first secure tag decides, as the first authentication tag does.
        {"srv[STLS][SSL]", "srv", AUTH_NORMAL, PROXY_SECURE_STLS},
        {"srv[SSL]junk[STLS]", "srv", AUTH_NORMAL, PROXY_SECURE_SSL},
        // A secure tag in front of an old-style pair cuts the server before both.
        {"srv[SSL][APOP][SPA]", "srv", AUTH_SPA, PROXY_SECURE_SSL},
        {"srv[APOP][SPA][SSL]", "srv[APOP]", AUTH_SPA, PROXY_SECURE_SSL},
        {"[SSL]", "", AUTH_NORMAL, PROXY_SECURE_SSL},
        {"srv[SSL", "srv[SSL", AUTH_NORMAL, PROXY_SECURE_NONE},
        {"srv[ssl]", "srv[ssl]", AUTH_NORMAL, PROXY_SECURE_NONE},
    };
    for (const Row& row : rows) {
        const ProxyServerTags tags = SplitProxyServerTags(row.middle);
        EXPECT_EQ(row.server, tags.server) << row.middle;
        EXPECT_EQ(row.authMode, tags.authMode) << row.middle;
        EXPECT_EQ(row.secure, tags.secure) << row.middle;
    }
}

TEST(ProxyTags, AppendedTagsComeBackOff)
{
    EXPECT_EQ("pop.mail.example[SPA][SSL]",
              AppendProxyServerTags("pop.mail.example", AUTH_SPA, PROXY_SECURE_SSL));
    EXPECT_EQ("pop.mail.example[APOP][STLS]",
              AppendProxyServerTags("pop.mail.example", AUTH_APOP, PROXY_SECURE_STLS));
    // Without a secure tag the text is what the proxy user name has always carried; unknown values add none.
    for (int mode : {int(AUTH_NORMAL), int(AUTH_APOP), int(AUTH_SPA), int(AUTH_UNKNOWN), -1}) {
        EXPECT_EQ("anna/" + AppendProxyServerTags("srv", mode, PROXY_SECURE_NONE) + "/110",
                  EncodeProxyUserName("anna", "srv", 110, mode))
            << mode;
        EXPECT_EQ(AppendProxyServerTags("srv", mode, PROXY_SECURE_NONE),
                  AppendProxyServerTags("srv", mode, 7));
    }
    for (int mode : {int(AUTH_NORMAL), int(AUTH_APOP), int(AUTH_SPA)}) {
        for (int secure : {int(PROXY_SECURE_NONE), int(PROXY_SECURE_SSL), int(PROXY_SECURE_STLS)}) {
            const ProxyServerTags tags = SplitProxyServerTags(AppendProxyServerTags("a.b]x", mode, secure));
            EXPECT_EQ("a.b]x", tags.server);
            EXPECT_EQ(mode, tags.authMode);
            EXPECT_EQ(secure, tags.secure);
        }
    }
}

TEST(ProxyTags, ProxyUserNamesCarryTheSecureTagAndDecodeItInEitherOrder)
{
    EXPECT_EQ("anna/pop.mail.example[SPA][SSL]/995",
              EncodeProxyUserName("anna", "pop.mail.example", 995, AUTH_SPA, PROXY_SECURE_SSL));
    for (const char* stored : {"anna/pop.mail.example[SPA][SSL]/995", "anna/pop.mail.example[SSL][SPA]/995"}) {
        PopSettings real;
        BOOL doubtful = TRUE;
        ASSERT_TRUE(DecodeProxyUserName(stored, real, doubtful)) << stored;
        EXPECT_FALSE(doubtful);
        EXPECT_EQ("anna", real.userName);
        EXPECT_EQ("pop.mail.example", real.server);
        EXPECT_EQ(995, real.port);
        EXPECT_EQ(AUTH_SPA, real.authMode);
        EXPECT_EQ(PROXY_SECURE_SSL, real.secure) << stored;
    }
    PopSettings real;
    BOOL doubtful = FALSE;
    ASSERT_TRUE(DecodeProxyUserName("anna/pop.mail.example[STLS]/110", real, doubtful));
    EXPECT_EQ(PROXY_SECURE_STLS, real.secure);
    EXPECT_EQ(AUTH_NORMAL, real.authMode);
    ASSERT_TRUE(DecodeProxyUserName("anna/pop.mail.example[APOP]/110", real, doubtful));
    EXPECT_EQ(PROXY_SECURE_NONE, real.secure);
    EXPECT_EQ("pop.mail.example", real.server);
}
