#pragma once
// What the demo sets up: one account on local servers with one agent that
// answers and forwards order mail.

#include <string>

namespace demo {

struct DemoAccount {
    std::string name = "Demo Sales";
    std::string address = "sales@demo.test";
    std::string login = "demo";
    std::string password = "demo";
    std::string popServer;   // "127.0.0.1:port"
    std::string smtpServer;  // "127.0.0.1:port"
    std::string agentName = "Order desk";
    std::string triggerText = "order";
    std::string forwardTo = "orders-team@demo.test";
    std::string templateName = "Order reply";
};

}  // namespace demo
