#include "http/request_guard.h"

#include <cstring>
#include <string>

#include "http/http_server.h"

namespace http {

namespace {

// A header's value without the line end and trailing blanks; `present` tells an empty one from
// none.
std::string_view headerValue(const char* head, const char* name, bool& present) {
    const char* value = Http_GetHeader(head, name);
    present = value != nullptr;
    if (!value) return {};
    size_t length = std::strcspn(value, "\r\n");
    while (length > 0 && (value[length - 1] == ' ' || value[length - 1] == '\t')) --length;
    return {value, length};
}

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && sameText(text.substr(text.size() - end.size()), end);
}

// Four decimal parts of 0..255: the form a browser puts in Host for any IPv4 address.
bool isIpv4(std::string_view name) {
    int parts = 0;
    size_t i = 0;
    while (parts < 4) {
        size_t digits = 0;
        unsigned value = 0;
        while (i < name.size() && name[i] >= '0' && name[i] <= '9' && digits < 4) {
            value = value * 10 + static_cast<unsigned>(name[i++] - '0');
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255) return false;
        ++parts;
        if (parts < 4) {
            if (i >= name.size() || name[i] != '.') return false;
            ++i;
        }
    }
    return i == name.size();
}

// "name:port" without the port; an IPv6 literal keeps its brackets.
std::string_view withoutPort(std::string_view host) {
    if (!host.empty() && host.front() == '[') {
        const size_t close = host.find(']');
        return close == std::string_view::npos ? host : host.substr(0, close + 1);
    }
    return host.substr(0, host.find(':'));
}

// The default port written or not is the same place.
std::string_view withoutDefaultPort(std::string_view host) {
    return endsWith(host, ":80") ? host.substr(0, host.size() - 3) : host;
}

}  // namespace

bool Http_IsOwnHost(std::string_view host, std::string_view machineName) {
    std::string_view name = withoutPort(host);
    if (name.size() > 2 && name.front() == '[' && name.back() == ']') return true;
    if (isIpv4(name)) return true;
    if (!name.empty() && name.back() == '.') name.remove_suffix(1);
    if (endsWith(name, ".local")) name.remove_suffix(6);
    if (name.empty()) return false;
    const std::string_view firstLabel = machineName.substr(0, machineName.find('.'));
    return sameText(name, "localhost") || (!machineName.empty() && sameText(name, machineName)) ||
           (!firstLabel.empty() && sameText(name, firstLabel));
}

const char* Http_RefusalText(const char* head, std::string_view machineName) {
    if (!head) return nullptr;
    bool present = false;
    // "same-site" too: a page on another port of this machine is another origin, and an image
    // it asks for carries no Origin.
    const std::string_view site = headerValue(head, "Sec-Fetch-Site", present);
    if (sameText(site, "cross-site") || sameText(site, "same-site"))
        return "Refused: a request from another site's page.";

    bool hasHost = false;
    const std::string_view host = headerValue(head, "Host", hasHost);
    const std::string_view origin = headerValue(head, "Origin", present);
    if (present) {
        const std::string_view scheme = "http://";
        if (origin.size() < scheme.size() || !sameText(origin.substr(0, scheme.size()), scheme) ||
            !sameText(withoutDefaultPort(origin.substr(scheme.size())), withoutDefaultPort(host)))
            return "Refused: a request from another site's page.";
    }
    if (hasHost && !host.empty() && !Http_IsOwnHost(host, machineName))
        return "Refused: this server answers only to this machine's name or address.";
    return nullptr;
}

}  // namespace http
