// AccountInfo and PopSettings: one POP3 account as read from a client, with its state.
#pragma once

#include "PlatTypes.h"
#include "core/ProxyTags.h"

#include <string>

// Authentication modes of PopSettings::authMode.
enum
{
    AUTH_NORMAL = 0,
    AUTH_APOP = 1,
    AUTH_SPA = 2,
    AUTH_UNKNOWN = 3
};

// Protocols of AccountInfo::protocol.
enum
{
    PROTOCOL_UNKNOWN = 0,
    PROTOCOL_POP3 = 1,
    PROTOCOL_IMAP = 2,
    PROTOCOL_NEWS = 3
};

// Why an account is not supported (AccountInfo::reason); texts in CMailClient::GetReasonText. An action that
// failed may set one on a supported account too, until the next load: REASON_SECURE, REASON_FILE_IN_USE.
enum
{
    REASON_NONE = 0,
    REASON_SLASH = 1,
    REASON_REGISTRY = 2,
    REASON_IMAP = 3,
    REASON_UNKNOWN_PROTOCOL = 4,
    REASON_CONFIG_UNREADABLE = 5,
    REASON_AUTH_NOT_SUPPORTED = 6,
    REASON_NO_PORT_SELECTION = 7,
    REASON_NEWS = 8,
    REASON_PORT_RANGE = 9,
    REASON_NAME_TOO_LONG = 10,
    REASON_SECURE = 11,
    REASON_USER_JS = 12,
    REASON_CODE_PAGE = 13,
    REASON_FILE_IN_USE = 14
};

struct PopSettings
{
    std::string userName;
    std::string server;
    int port = 0;
    int authMode = 0;
    // The SPA flag exactly as the client stored it (clients that keep one): giving an account back writes
    // this, so 0 stays 0, 2 stays 2 and an absent flag stays absent.
    int spaFlag = 0;
    BOOL spaFlagPresent = FALSE;
    // The secure connection towards the server: PROXY_SECURE_NONE, _SSL or _STLS. Configuring turns the
    // client's own setting off (the hop to the proxy is plain) and carries this in the proxy user name.
    int secure = PROXY_SECURE_NONE;
    // The client's own secure setting exactly as stored, in the adapter's notation, so that giving back
    // writes the same value and type; empty when the client stored none or it is not known (an account
    // given back from its proxy user name alone), and the adapter then writes its usual value for secure.
    std::string secureStored;
};

struct AccountInfo
{
    BOOL configured = FALSE;
    BOOL supported = FALSE;
    BOOL upToDate = FALSE;
    BOOL suspicious = FALSE;
    int reason = REASON_NONE;
    std::string email;
    std::string name;
    int protocol = PROTOCOL_UNKNOWN;
    // The journal of original settings holds an entry for this account.
    BOOL journalled = FALSE;
    // original comes from that entry, not from the proxy user name (which no longer decodes, or decodes to
    // other settings): giving back says so.
    BOOL fromJournal = FALSE;
    PopSettings original;
    PopSettings current;
};
