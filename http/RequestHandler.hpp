#pragma once

#include "http/IRequestHandler.hpp"
#include "settings/IPreferences.hpp"

#include <string>
#include <string_view>

namespace http {

// The server's HTTP API. Routes on the decoded path alone: the server page, the server
// description, the settings document naming the channel-list and TV-guide sources, and
// the channel list, TV guide and player settings files themselves. Nothing is cached.
class RequestHandler : public IRequestHandler {
public:
    explicit RequestHandler(const IPreferences& preferences);

    void handleRequest(const Request& request, Reply& reply) override;

    // Percent-decoding of a request target: "%" and the two bytes after it read as a
    // hexadecimal number by stream input (so "%4G" gives the byte 4), "+" as a space.
    // Fails for a "%" with fewer than two bytes after it or no hexadecimal digit in them.
    static bool urlDecode(const std::string& in, std::string& out);

    // The five XML special characters replaced by their entities; other bytes unchanged.
    static std::string xmlEscape(const std::string& text);

private:
    Reply serverPage() const;
    Reply serverDescription() const;
    Reply settingsDocument() const;
    Reply fileRoute(const std::string& path) const;

    const IPreferences& preferences;
};

} // namespace http
