#include "retriever/shell/leftover_temps.h"

#include "platform/files.h"
#include "platform/stale_temps.h"
#include "store/folder_tree.h"

namespace shell {

int RemoveLeftoverMailTemps(const std::string& messagesFolder, std::chrono::system_clock::time_point start)
{
    int removed = 0;
    for (const std::string& account : platform::Subfolders(messagesFolder)) {
        removed += platform::RemoveSiblingTemps(store::PendingFolder(messagesFolder, account), start);
        removed += platform::RemoveSiblingTemps(store::ReceivedFolder(messagesFolder, account), start);
    }
    return removed;
}

}  // namespace shell
