// The accounts of the catalogue as one JSON document, for scripts: what `list` shows, typed.
#include "app/tool/AccountsJson.h"

#include "TextEncoding.h"

#include <nlohmann/json.hpp>

std::string AccountsJson(const CClientCatalogue& catalogue, int clientFilter)
{
    // The library takes UTF-8 only; a store's own 8-bit text is read in the code page.
    auto text = [](const std::string& value) { return plat::TextAsUtf8(value); };
    nlohmann::ordered_json accounts = nlohmann::ordered_json::array();
    for (int c = 0; c < CLIENT_COUNT; ++c) {
        CMailClient* client = catalogue.LoadedClient(c);
        if (clientFilter != -1 && c != clientFilter)
            continue;
        for (int a = 0; client && a < client->AccountCount(); ++a) {
            AccountInfo info;
            client->GetAccount(a, info);
            std::string reason = client->GetReasonText(a);
            accounts.push_back({
                {"client", c},
                {"account", a},
                {"clientName", text(client->DisplayName())},
                {"accountName", text(info.name)},
                {"email", text(info.email)},
                {"supported", info.supported != FALSE},
                {"configured", info.configured != FALSE},
                {"upToDate", info.configured && info.upToDate},
                {"reason",
                 reason.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(text(reason))},
                {"userName", text(info.current.userName)},
                {"server", text(info.current.server)},
                {"port", info.current.port},
                {"journal", info.journalled != FALSE},
            });
        }
    }
    return accounts.dump(2) + "\n";
}
