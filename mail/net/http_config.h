#pragma once
// The HTTP component's configuration: an address split into server, path
// and document, and a proxy the connection would go through. It sends no
// requests.

#include "mail/headers.h"
#include "mail/net/tag_socket.h"

#include <string>

class TagHTTP : public TagSocket {
public:
    TagHTTP();

    const std::string& URL() const { return url_; }
    // Takes an "http://" address; raises "Invalid URL" for anything else.
    void SetURL(const std::string& value);
    const std::string& Proxy() const { return proxy_; }
    // Takes "host:port" (or nothing); raises "Proxy port is required"
    // without a port. A proxy becomes the Server.
    void SetProxy(const std::string& value);

    const std::string& Path() const { return path_; }
    const std::string& Document() const { return document_; }

    TNotifyEvent OnSending;

private:
    std::string url_;
    std::string proxy_;
    std::string path_;
    std::string document_;
    TmsHeaders headers_;
    std::string contentType_ = "application/x-www-form-urlencoded";
};
