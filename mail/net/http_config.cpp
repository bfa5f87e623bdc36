#include "mail/net/http_config.h"

#include "mail/net/transport_texts.h"
#include "mail/text_case.h"

TagHTTP::TagHTTP()
{
    serviceName_ = "http";
    SetDefaultPort(80);
}

void TagHTTP::SetURL(const std::string& value)
{
    std::string_view text(value);
    if (mail::upperCase(text.substr(0, 7)) != "HTTP://")
        RaiseError(mail::net::kInvalidUrl);
    url_ = value;
    document_.clear();
    std::string_view rest = text.substr(7);
    std::size_t slash = rest.find('/');
    if (slash != std::string_view::npos) {
        SetServer(std::string(rest.substr(0, slash)));
        path_.assign(rest.substr(slash));
        if (path_.find('.') != std::string::npos) {
            std::string_view path(path_);
            document_.assign(path.substr(path.rfind('/') + 1));
            if (document_.empty())
                document_ = "index.html";
        }
    } else {
        SetServer(std::string(rest));
        path_.assign(1, '/');  // not = "/": GCC 12 warns wrongly about an overlap
    }
    if (!proxy_.empty())
        SetProxy(std::string(proxy_));
}

void TagHTTP::SetProxy(const std::string& value)
{
    if (!value.empty() && value.find(':') == std::string::npos)
        RaiseError(mail::net::kProxyPortRequired);
    proxy_ = value;
    SetServer(proxy_);
}
