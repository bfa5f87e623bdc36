#include "mail/net/pop3_list_client.h"

void TmsPOP::SaveMessage(int, std::stringstream& contents)
{
    TmsListMessage& message = messages_.Add();
    message.LoadFromStream(contents);
}
