#include "mail/net/transport_texts.h"

#include "mail/mail_error.h"

#include <algorithm>
#include <array>
#include <utility>

namespace mail::net {

namespace {

using Row = std::pair<int, std::string_view>;

// Sorted by number so a lookup can bisect.
constexpr std::array kTexts = {
    Row{10000, "[0] No Error"},
    Row{10004, "[10004] Interrupted function call"},
    Row{10009, "[10009] Bad file number"},
    Row{10013, "[10013] Permission denied."},
    Row{10014, "[10014] Bad address"},
    Row{10022, "[10022] Invalid argument"},
    Row{10024, "[10024] Too many open files"},
    Row{10035, "[10035] Resource temporarily not available"},
    Row{10036, "[10036] Operation now in progress"},
    Row{10037, "[10037] Operation already in progress"},
    Row{10038, "[10038] Socket operation on non-socket"},
    Row{10039, "[10039] Destination address required"},
    Row{10040, "[10040] Message too long"},
    Row{10041, "[10041] Protocol wrong type for socket"},
    Row{10042, "[10042] Bad protocol option"},
    Row{10043, "[10043] Protocol not supported"},
    Row{10044, "[10044] Socket type not supported"},
    Row{10045, "[10045] Operation not supported"},
    Row{10046, "[10046] Protocol family not supported"},
    Row{10047, "[10047] Address family not supported by protocol family"},
    Row{10048, "[10048] Address already in use"},
    Row{10049, "[10049] Cannot assign requested address"},
    Row{10050, "[10050] Network is down"},
    Row{10051, "[10051] Network is unreachable"},
    Row{10052, "[10052] Network dropped connection or reset"},
    Row{10053, "[10053] Software caused connection abort"},
    Row{10054, "[10054] Connection reset by peer"},
    Row{10055, "[10055] No buffer space available"},
    Row{10056, "[10056] Socket is already connected"},
    Row{10057, "[10057] Socket is not connected"},
    Row{10058, "[10058] Can't send after socket shutdown"},
    Row{10059, "[10059] Too many references, can't splice"},
    Row{10060, "[10060] Connection timed out"},
    Row{10061, "[10061] Connection refused"},
    Row{10062, "[10062] Too many levels of symbolic links"},
    Row{10063, "[10063] File name too long"},
    Row{10064, "[10064] Host is down"},
    Row{10065, "[10065] No Route to Host"},
    Row{10066, "[10066] Directory not empty"},
    Row{10067, "[10067] Too many processes"},
    Row{10068, "[10068] Too many users"},
    Row{10069, "[10069] Disc Quota Exceeded"},
    Row{10070, "[10070] Stale NFS file handle"},
    Row{10071, "[10071] Too many levels of remote in path"},
    Row{10091, "[10091] Network subsystem is unavailable"},
    Row{10092, "[10092] WINSOCK DLL Version out of range"},
    Row{10093, "[10093] Successful WSAStartup() not yet performed"},
    Row{10094, "[10094] Graceful shutdown in progress"},
    Row{11001, "[11001] Host not found"},
    Row{11002, "[11002] Non-Authoritative Host not found"},
    Row{11003, "[11003] Non-Recoverable errors: FORMERR, REFUSED, NOTIMP"},
    Row{11004, "[11004] Valid name, no data record of requested type"},
    Row{57000, "Operation timed out"},
    Row{57001, "Operation has been canceled"},
    Row{57002, "Server property is required"},
    Row{57003, "Invalid Winsock version"},
    Row{57004, "Error resolving remote host"},
    Row{57005, "Service name is required"},
    Row{57006, "Proxy port is required"},
    Row{57007, "Invalid URL"},
    Row{57008, "You have to connect to the server first"},
    Row{57010, "Function %s not found"},
    Row{57011, "Winsock is not loaded"},
    Row{57012, "Winsock not found"},
};

}  // namespace

std::string_view transportText(int number)
{
    auto it = std::lower_bound(kTexts.begin(), kTexts.end(), number,
                               [](const Row& row, int key) { return row.first < key; });
    if (it == kTexts.end() || it->first != number)
        return {};
    return it->second;
}

std::string errorText(int number)
{
    std::string_view text = transportText(number);
    if (text.empty())
        text = mail::resourceText(number);  // the clients' own texts (57100...)
    if (text.empty())
        return "Error #" + std::to_string(number);
    return std::string(text);
}

}  // namespace mail::net
