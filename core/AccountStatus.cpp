// CMailClient: classification of a read account and its configure and unconfigure transformations.
#include "core/MailClient.h"

#include "core/OriginalsJournal.h"
#include "core/TextUtil.h"
#include "settings/ProductSettings.h"
#include "settings/TextTable.h"
#include "Files.h"
#include "LastError.h"

#include <cctype>
#include <climits>
#include <cstring>
#include <string_view>

namespace {

const char kLocalServer[] = "localhost";

// What the C library's decimal conversion gives for a port text (leading blanks, a sign, digits up to the
// first other character, 0 without digits), held within int so that a long digit run cannot overflow.
int ParsePortText(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

} // namespace

std::string EncodeProxyUserName(const std::string& userName, const std::string& server, int port,
                                int authMode, int secure)
{
    const std::string portText = std::to_string(port);
    // Made in one allocation: every account is encoded at each load, to see that it can be carried.
    std::string encoded;
    encoded.reserve(userName.size() + server.size() + 13 + portText.size() + 2);
    encoded += userName;
    encoded += '/';
    encoded += AppendProxyServerTags(server, authMode, secure);
    encoded += '/';
    encoded += portText;
    return encoded;
}

BOOL IsLocalServer(const std::string& server)
{
    return EqualsNoCase(server, kLocalServer) || EqualsNoCase(server, "127.0.0.1");
}

BOOL DecodeProxyUserName(const std::string& stored, PopSettings& real, BOOL& doubtful)
{
    size_t firstSlash = stored.find('/');
    if (firstSlash == std::string::npos)
        return FALSE;
    doubtful = FALSE;
    int port = 110;
    const std::string_view text = stored;
    size_t secondSlash = stored.find('/', firstSlash + 1);
    if (secondSlash != std::string::npos) {
        const std::string_view portText = text.substr(secondSlash + 1);
        for (char c : portText) {
            if (c < '0' || c > '9') {
                doubtful = TRUE;
                break;
            }
        }
        port = ParsePortText(portText);
        if (port == 0) {
            doubtful = TRUE;
            port = 110;
        }
    }
    std::string_view middle = secondSlash == std::string::npos
                                  ? text.substr(firstSlash + 1)
                                  : text.substr(firstSlash + 1, secondSlash - firstSlash - 1);
    const ProxyServerTags tags = SplitProxyServerTags(middle);
    real.authMode = tags.authMode;
    real.secure = tags.secure;
    real.userName.assign(stored, 0, firstSlash);
    real.server = tags.server;
    real.port = port;
    return TRUE;
}

namespace {

// TRUE when the proxy user name made of settings decodes to exactly these settings, without doubt. A mode
// without a tag (3, not known) comes back as 0, which writes the same.
BOOL CarriedWhole(const PopSettings& settings)
{
    // Most accounts show at a glance that they come back whole: no slash to split them wrongly, no bracket
    // that could read as a tag, a port written as plain digits. Every account is asked this at each load.
    if (settings.port > 0 && settings.userName.find('/') == std::string::npos &&
        settings.server.find_first_of("/[") == std::string::npos)
        return TRUE;
    PopSettings carried;
    BOOL doubtful = FALSE;
    const std::string encoded = EncodeProxyUserName(settings.userName, settings.server, settings.port,
                                                    settings.authMode, settings.secure);
    if (!DecodeProxyUserName(encoded, carried, doubtful) || doubtful)
        return FALSE;
    const BOOL tagged = settings.authMode == AUTH_APOP || settings.authMode == AUTH_SPA;
    return carried.userName == settings.userName && carried.server == settings.server &&
           carried.port == settings.port && carried.secure == settings.secure &&
           (tagged ? carried.authMode == settings.authMode : TRUE);
}

BOOL IsPortInRange(int port)
{
    return port >= 1 && port <= 65535;
}

// TRUE when a proxy user name decoded to what the journal says the account had, as far as the name can tell.
BOOL CarriesSameSettings(const PopSettings& decoded, const PopSettings& journalled)
{
    const auto tag = [](int mode) { return mode == AUTH_APOP || mode == AUTH_SPA ? mode : AUTH_NORMAL; };
    return decoded.userName == journalled.userName && decoded.server == journalled.server &&
           decoded.port == journalled.port && decoded.secure == journalled.secure &&
           tag(decoded.authMode) == tag(journalled.authMode);
}

} // namespace

BOOL CMailClient::EvaluateAccount(int index)
{
    if (!IsValidIndex(index))
        return FALSE;
    AccountInfo& account = Account(index);
    account.current.authMode = AUTH_UNKNOWN;
    account.current.secure = PROXY_SECURE_NONE;
    account.current.secureStored.clear();
    account.current.port = 0;
    account.current.server.clear();
    account.current.userName.clear();
    account.protocol = PROTOCOL_UNKNOWN;
    account.name.clear();
    account.email.clear();
    account.journalled = FALSE;
    account.fromJournal = FALSE;

    if (!ReadAccount(index)) {
        account.supported = FALSE;
        account.configured = FALSE;
        return FALSE;
    }
    account.supported = TRUE;
    account.protocol = PROTOCOL_POP3;
    account.reason = REASON_NONE;
    account.original = account.current;

    const PopSettings& current = account.current;
    if (current.server.find('/') != std::string::npos) {
        account.supported = FALSE;
        account.reason = REASON_SLASH;
        return FALSE;
    }
    PopSettings journalled;
    account.journalled = FindJournalEntry(index, journalled);
    PopSettings real;
    BOOL portDoubtful = FALSE;
    if (!DecodeProxyUserName(current.userName, real, portDoubtful)) {
        // A proxy user name spoiled since (the slash gone), on an account that still points at the proxy
        // and that the journal knows: configured, and given back from the journal.
        if (account.journalled && IsLocalServer(current.server) && current.port == ProxyPort()) {
            account.configured = TRUE;
            account.upToDate = FALSE;
            account.suspicious = FALSE;
            account.fromJournal = TRUE;
            account.original = journalled;
            return TRUE;
        }
        // A port no POP3 server listens on would be carried into the proxy user name as it stands.
        if (!IsPortInRange(account.original.port)) {
            account.supported = FALSE;
            account.reason = REASON_PORT_RANGE;
            return FALSE;
        }
        // Configuring keeps these settings only inside the proxy user name. Ones it cannot carry back whole
        // (a server holding a tag, a user name holding a slash) would return changed: such an account is left
        // alone.
        if (!CarriedWhole(account.original)) {
            account.supported = FALSE;
            account.reason = REASON_CONFIG_UNREADABLE;
            return FALSE;
        }
        // A client that speaks TLS to a proxy that does not would stop fetching mail.
        if (account.original.secure != PROXY_SECURE_NONE && !ProxySpeaksTls()) {
            account.supported = FALSE;
            account.reason = REASON_SECURE;
            return FALSE;
        }
        // Refused here, before anything is written: the client's store would not take the longer name.
        const PopSettings& original = account.original;
        if (EncodeProxyUserName(original.userName, original.server, original.port, original.authMode,
                                original.secure)
                .size() > MaxUserNameLength()) {
            account.supported = FALSE;
            account.reason = REASON_NAME_TOO_LONG;
            return FALSE;
        }
        account.configured = FALSE;
        return TRUE;
    }
    // The proxy user name tells only that SPA was on; a flag that was off was never touched by configuring,
    // so what the client holds now is what it held before.
    if (real.authMode == AUTH_SPA) {
        real.spaFlag = 1;
        real.spaFlagPresent = TRUE;
    } else {
        real.spaFlag = current.spaFlag;
        real.spaFlagPresent = current.spaFlagPresent;
    }
    // Likewise a name without a secure tag was made from a plain account: a secure setting the client holds
    // now was turned on since, and is the user's own. With a tag, the stored form is not known here.
    if (real.secure == PROXY_SECURE_NONE) {
        real.secure = current.secure;
        real.secureStored = current.secureStored;
    }

    account.configured = TRUE;
    account.upToDate = portDoubtful ? FALSE : TRUE;
    account.suspicious = portDoubtful;
    if (!IsLocalServer(current.server)) {
        account.upToDate = FALSE;
        account.suspicious = TRUE;
    }
    if (current.port != ProxyPort())
        account.upToDate = FALSE;
    // The client turned its secure connection on again: it would speak TLS to the plain proxy.
    if (current.secure != PROXY_SECURE_NONE)
        account.upToDate = FALSE;
    if (account.journalled) {
        if (CarriesSameSettings(real, journalled)) {
            // The name tells only that SPA was on and which secure kind: the journal has the exact values.
            real.authMode = journalled.authMode;
            real.spaFlag = journalled.spaFlag;
            real.spaFlagPresent = journalled.spaFlagPresent;
            if (journalled.secure != PROXY_SECURE_NONE)
                real.secureStored = journalled.secureStored;
        } else {
            real = journalled;
            account.fromJournal = TRUE;
        }
    }
    account.original = real;
    return TRUE;
}

BOOL CMailClient::ConfigureAccount(int index, CDoubtfulAnswer* answer)
{
    if (!m_installed || !IsValidIndex(index) || !Account(index).supported)
        return FALSE;
    AccountInfo& account = Account(index);
    if (account.configured && account.upToDate)
        return TRUE;
    if (NeedsConfirmation(account) && !ConfirmDoubtfulAccount(index, ACTION_CONFIGURE, answer))
        return FALSE;
    // Reached by an update of a configured account whose client turned its secure connection on: the tag
    // it would need is one the proxy cannot carry.
    if (account.original.secure != PROXY_SECURE_NONE && !ProxySpeaksTls()) {
        account.reason = REASON_SECURE;
        return FALSE;
    }

    account.current.authMode = AUTH_NORMAL;
    account.current.port = ProxyPort();
    account.current.server = kLocalServer;
    account.current.userName =
        EncodeProxyUserName(account.original.userName, account.original.server, account.original.port,
                            account.original.authMode, account.original.secure);
    account.current.secure = PROXY_SECURE_NONE;
    account.current.secureStored.clear();
    // A staged write reaches its file at the commit: the batch's entries go into the journal just before,
    // in one rewrite of it.
    const BOOL staged = InBatch() && StagesBatchWrites();
    if (!staged)
        JournalOriginals({index});
    if (!WriteOrTellWhy(index, WRITE_CURRENT))
        return FALSE;
    if (staged)
        m_batchJournal.push_back(index);
    account.configured = TRUE;
    account.upToDate = TRUE;
    account.suspicious = FALSE;
    return TRUE;
}

BOOL CMailClient::UnconfigureAccount(int index, CDoubtfulAnswer* answer)
{
    if (!m_installed || m_accountCount == 0 || !IsValidIndex(index) || !Account(index).supported)
        return FALSE;
    AccountInfo& account = Account(index);
    if (!account.configured)
        return TRUE;
    if (NeedsConfirmation(account) && !ConfirmDoubtfulAccount(index, ACTION_UNCONFIGURE, answer))
        return FALSE;
    if (!WriteOrTellWhy(index, WRITE_ORIGINAL))
        return FALSE;
    // The entry goes once the store holds the real settings again: for a staged write, after the commit.
    if (InBatch() && StagesBatchWrites())
        m_batchRetire.push_back(index);
    else
        RetireJournalEntries({index});
    account.journalled = FALSE;
    account.configured = FALSE;
    account.upToDate = FALSE;
    account.suspicious = FALSE;
    account.current = account.original;
    return TRUE;
}

BOOL CMailClient::WriteOrTellWhy(int index, EWriteSource source)
{
    AccountInfo& account = Account(index);
    if (account.reason == REASON_FILE_IN_USE)
        account.reason = REASON_NONE;
    plat::SetLastErrorCode(ERROR_SUCCESS);
    if (WriteAccount(index, source))
        return TRUE;
    TellFileInUse(index, plat::LastErrorCode());
    return FALSE;
}

void CMailClient::TellFileInUse(int index, DWORD error)
{
    // A store that another program holds open is the one failure the user can end: say so.
    BOOL inUse = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
    std::string store, identity;
    if (!inUse && LocateAccount(index, store, identity))
        inUse = plat::IsFileHeldOpen(store.c_str());
    if (inUse)
        Account(index).reason = REASON_FILE_IN_USE;
}

BOOL CMailClient::FindJournalEntry(int index, PopSettings& real) const
{
    std::string store, identity;
    return LocateAccount(index, store, identity) &&
           g_originalsJournal.Find(m_displayName, store, identity, real);
}

BOOL CMailClient::MakeJournalEntry(int index, JournalEntry& entry)
{
    if (!LocateAccount(index, entry.store, entry.identity))
        return FALSE;
    entry.client = m_displayName;
    entry.real = Account(index).original;
    // "Real" settings at the local server, with an entry there already, are those of an account configured
    // before and spoiled since (at a proxy port changed meanwhile): the entry still holds the real ones.
    PopSettings kept;
    if (IsLocalServer(entry.real.server) &&
        g_originalsJournal.Find(entry.client, entry.store, entry.identity, kept)) {
        Account(index).journalled = TRUE;
        return FALSE;
    }
    return TRUE;
}

void CMailClient::JournalOriginals(const std::vector<int>& indexes)
{
    std::vector<JournalEntry> entries;
    std::vector<int> recorded;
    for (int index : indexes) {
        JournalEntry entry;
        if (IsValidIndex(index) && MakeJournalEntry(index, entry)) {
            entries.push_back(std::move(entry));
            recorded.push_back(index);
        }
    }
    if (!entries.empty() && g_originalsJournal.RecordAll(entries)) {
        for (int index : recorded)
            Account(index).journalled = TRUE;
    }
}

void CMailClient::RetireJournalEntries(const std::vector<int>& indexes)
{
    std::vector<JournalEntry> accounts;
    for (int index : indexes) {
        JournalEntry entry;
        if (IsValidIndex(index) && LocateAccount(index, entry.store, entry.identity)) {
            entry.client = m_displayName;
            accounts.push_back(std::move(entry));
        }
    }
    if (!accounts.empty())
        g_originalsJournal.RetireAll(accounts);
}

BOOL CMailClient::ConfirmDoubtfulAccount(int index, EAccountAction action, CDoubtfulAnswer* answer)
{
    AccountInfo& account = Account(index);
    if (answer && answer->Confirm(account, action))
        return TRUE;
    account.supported = FALSE;
    account.reason = REASON_SLASH;
    return FALSE;
}

std::string CMailClient::GetReasonText(int index) const
{
    static const char* const kKeys[] = {
        "IRSlash", "IRRegistry",  "IRIMAP",       "IRUnkSrv", "IRCfgUnrch", "IRAuthNotSupp", "IRNoPortSel",
        "IRNews",  "IRPortRange", "IRNameLength", "IRSecure", "IRUserJs",   "IRCodePage",    "IRFileInUse"};
    static const char* const kDefaults[] = {
        "Account's username or servername originally contains slash symbol(s).",
        "Impossible to read all necessary information from registry.",
        "Account configured to work by IMAP protocol.",
        "Account uses unknown mail protocol.",
        "Account configuration file is missing, invalid or contains incomplete information.",
        "Authorization method not supported by Nimbrel.",
        "Non-standard POP3 port value set in the Nimbrel; e-mail client does not support it.",
        "Account configured to work by NEWS protocol.",
        "Account's POP3 port is outside the range 1 to 65535.",
        "Account's username is too long for the e-mail client once it carries the Nimbrel settings.",
        "Account uses a secure connection (SSL/TLS), which the POP3 proxy cannot carry.",
        "Account settings are fixed in the profile's user.js file.",
        "Account's settings hold characters that the e-mail client's file cannot store exactly.",
        "Account's settings file is in use by another program; close that program and try again."};
    if (m_accounts == nullptr || index < 0 || index >= m_accountCount)
        return std::string();
    int reason = m_accounts[index].reason;
    if (reason < REASON_SLASH || reason > REASON_FILE_IN_USE)
        return std::string();
    CTextSection texts(g_textTable, "Client");
    return texts.Get(kKeys[reason - 1], kDefaults[reason - 1]);
}
