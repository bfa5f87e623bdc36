#pragma once
// The POP3 client that keeps every fetched message in a message list.

#include "mail/message_list.h"
#include "mail/net/pop3_client.h"

class TmsPOP : public TmsCustomPOP {
public:
    TmsMessageList& MessageList() { return messages_; }

protected:
    void SaveMessage(int index, std::stringstream& contents) override;

private:
    TmsMessageList messages_;
};
