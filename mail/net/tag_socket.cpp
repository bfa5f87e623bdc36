#include "mail/net/tag_socket.h"

#include "mail/mail_error.h"
#include "mail/net/dot_codec.h"
#include "mail/net/host_lookup.h"
#include "mail/net/net_errors.h"
#include "mail/net/server_address.h"
#include "mail/net/socket_error_codes.h"
#include "mail/net/socket_handle.h"
#include "mail/net/tag_ras.h"
#include "mail/net/transport_texts.h"
#include "mail/net/winsock.h"
#include "platform/event_pump.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <istream>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <ostream>
#include <poll.h>
#include <system_error>
#include <utility>
#include <vector>
#include <unistd.h>

using mail::net::SocketHandle;

namespace {

// How long one poll may block before the event pump gets another turn.
constexpr int kSliceMs = 20;
constexpr std::size_t kChunkBytes = 16384;
constexpr std::size_t kSendBlockBytes = 2047;
constexpr std::size_t kSendBatchBytes = 64 * 1024;

int percentOf(long long part, long long whole)
{
    if (whole <= 0)
        return -1;
    return static_cast<int>(std::llround(static_cast<double>(part) * 100.0 / static_cast<double>(whole)));
}

}  // namespace

TagSocket::TagSocket()
{
    counter_.SetTimeOut(60);
    SetWinsockLoaded(false);
}

TagSocket::~TagSocket()
{
    if (ras_ != nullptr)
        ras_->RemoveClient(this);
}

bool TagSocket::WinsockLoaded() const { return TagWinsock::Instance().Loaded(); }

void TagSocket::SetWinsockLoaded(bool value)
{
    if (value)
        TagWinsock::Instance().Load();
    else
        TagWinsock::Instance().Unload();
}

void TagSocket::SetRAS(TagRas* ras)
{
    if (ras_ == ras)
        return;
    if (ras_ != nullptr)
        ras_->RemoveClient(this);
    ras_ = ras;
    if (ras_ != nullptr)
        ras_->AddClient(this);
}

void TagSocket::CheckNotBusy()
{
    if (waiting_ == 0)
        return;
    // The outer wait keeps its countdown and socket: only this call fails.
    std::string text = mail::net::errorText(mail::net::kAlreadyInProgress);
    if (OnError)
        OnError(*this, text);
    throw ESocketError(text);
}

void TagSocket::Pump()
{
    struct Depth {
        int& count;
        explicit Depth(int& c) : count(c) { ++count; }
        ~Depth() { --count; }
    } depth(waiting_);
    platform::processPendingEvents();
}

void TagSocket::Open()
{
    CheckNotBusy();
    // A socket still held belongs to an earlier session: end it first.
    if (handle_ != nullptr)
        Close();
    if (ras_ != nullptr)
        ras_->Connect();
    if (OnOpen)
        OnOpen(*this);
    if (server_.empty())
        RaiseError(mail::net::kServerRequired);
    TagWinsock::Instance().RequireLoaded();

    std::string host = mail::net::serverHost(server_);
    char name[512] = {};
    if (::gethostname(name, sizeof name - 1) == 0 && name[0] != '\0')
        localHostName_ = name;
    else
        localHostName_ = host;

    ResolveHost(host);
    ResolvePort();

    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        RaiseError(mail::net::socketErrorFromErrno(errno));
    handle_ = std::make_shared<SocketHandle>(fd);
    // Commands are short writes each waiting for a reply: sent at once, not
    // held back until the previous segment is acknowledged.
    int noDelay = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    input_.clear();
    inputPos_ = 0;
    peerClosed_ = false;
    connectBegun_ = false;
    aheadError_ = 0;
}

bool TagSocket::OpenAhead()
{
    if (waiting_ != 0 || handle_ != nullptr || server_.empty() || canceled_)
        return false;
    std::uint32_t address = 0;
    if (!mail::net::parseDottedAddress(mail::net::serverHost(server_), address))
        return false;
    int port = 0;
    if (mail::net::serverPort(server_, port) == mail::net::PortText::OutOfRange)
        return false;
    if (!TagWinsock::Instance().Loaded() || (ras_ != nullptr && !ras_->Service().empty()))
        return false;
    try {
        Open();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        // Open reported it; the caller's own connect meets it again.
        return false;
    }
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port_);
    target.sin_addr.s_addr = address_;
    if (::connect(handle_->fd(), reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0 &&
        errno != EINPROGRESS && errno != EINTR)
        aheadError_ = errno;
    connectBegun_ = true;
    return true;
}

void TagSocket::ResolveHost(const std::string& host)
{
    std::uint32_t address = 0;
    if (mail::net::parseDottedAddress(host, address)) {
        address_ = address;
        hostAddress_ = mail::net::dottedText(address);
        return;
    }
    std::shared_ptr<mail::net::HostLookup> lookup;
    try {
        lookup = mail::net::HostLookup::start(host);
    } catch (const std::system_error&) {
        RaiseError(mail::net::kResolveError);
    }
    lookup_ = lookup;
    counter_.Start();
    while (!lookup->done() && !canceled_ && !counter_.Expired()) {
        Pump();
        if (!lookup->done())
            ::poll(nullptr, 0, 5);
    }
    counter_.Stop();
    lookup_.reset();
    if (lookup->done() && lookup->error() != 0)
        RaiseError(lookup->error());
    if (!lookup->done()) {
        if (counter_.Expired())
            RaiseTimeOut();
        RaiseCanceled();
    }
    // Parsed back from its dotted text, as any address the program uses.
    std::string text = mail::net::dottedText(lookup->address());
    if (lookup->address() == 0 || !mail::net::parseDottedAddress(text, address))
        RaiseError(mail::net::kResolveError);
    address_ = address;
    hostAddress_ = text;
}

void TagSocket::ResolvePort()
{
    int port = 0;
    switch (mail::net::serverPort(server_, port)) {
    case mail::net::PortText::Valid:
        port_ = static_cast<std::uint16_t>(port);
        return;
    case mail::net::PortText::OutOfRange:
        // Wrapping 65646 round to 110 would reach a server nobody named.
        RaiseError(mail::net::kInvalidArgument);
        break;
    case mail::net::PortText::None:
        break;
    }
    if (serviceName_.empty())
        RaiseError(mail::net::kServiceRequired);
    if (canceled_)
        RaiseCanceled();
    servent entry{};
    servent* found = nullptr;
    char buffer[1024];
    if (::getservbyname_r(serviceName_.c_str(), "tcp", &entry, buffer, sizeof buffer, &found) == 0 &&
        found != nullptr)
        port_ = ntohs(static_cast<std::uint16_t>(found->s_port));
    else
        port_ = defaultPort_;
}

std::shared_ptr<SocketHandle> TagSocket::RequireHandle()
{
    if (handle_ == nullptr)
        RaiseError(mail::net::kNotConnected);
    TagWinsock::Instance().RequireLoaded();
    return handle_;
}

void TagSocket::Connect()
{
    CheckNotBusy();
    auto handle = RequireHandle();
    if (canceled_)
        RaiseCanceled();
    counter_.Start();
    // A connect begun ahead is only waited for; what it met at once is
    // reported here, where a connect made now would have met it.
    const bool begun = std::exchange(connectBegun_, false);
    const int aheadError = std::exchange(aheadError_, 0);
    if (aheadError != 0)
        RaiseError(mail::net::socketErrorFromErrno(aheadError));
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port_);
    target.sin_addr.s_addr = address_;
    if (begun || ::connect(handle->fd(), reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0) {
        if (!begun && errno != EINPROGRESS && errno != EINTR)
            RaiseError(mail::net::socketErrorFromErrno(errno));
        short revents = 0;
        RaiseWaitEnd(WaitSocket(handle, POLLOUT, revents));
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(handle->fd(), SOL_SOCKET, SO_ERROR, &error, &length) != 0)
            error = errno;
        // A refusal is reported as such at once, not left to the countdown.
        if (error != 0)
            RaiseError(mail::net::socketErrorFromErrno(error));
    }
    counter_.Stop();
}

TagSocket::WaitEnd TagSocket::WaitSocket(const std::shared_ptr<SocketHandle>& handle, short events, short& revents)
{
    for (;;) {
        if (canceled_)
            return WaitEnd::Canceled;
        if (handle_ != handle)
            return WaitEnd::Gone;
        pollfd entry{handle->fd(), events, 0};
        int rc = ::poll(&entry, 1, kSliceMs);
        if (rc > 0) {
            revents = entry.revents;
            return WaitEnd::Ready;
        }
        if (rc < 0 && errno != EINTR)
            RaiseError(mail::net::socketErrorFromErrno(errno));
        if (counter_.Expired())
            return WaitEnd::Expired;
        Pump();
    }
}

void TagSocket::RaiseWaitEnd(WaitEnd end)
{
    switch (end) {
    case WaitEnd::Ready:
        return;
    case WaitEnd::Expired:
        RaiseTimeOut();
    case WaitEnd::Canceled:
    case WaitEnd::Gone:
        // Gone: closed by code the pump ran; the step cannot go on.
        RaiseCanceled();
    }
}

void TagSocket::RaiseTimeOut()
{
    counter_.Stop();
    std::string text(mail::net::transportText(mail::net::kTimedOut));
    if (OnError)
        OnError(*this, text);
    lookup_.reset();
    // Said before the close, which ends the session it describes.
    const std::string where = FailureContext();
    Close();
    throw ETimedOutError(where);
}

void TagSocket::RaiseCanceled()
{
    counter_.Stop();
    std::string text(mail::net::transportText(mail::net::kCanceled));
    if (OnError)
        OnError(*this, text);
    throw ECanceledError();
}

void TagSocket::RaiseError(int number)
{
    if (number == 0)
        return;
    counter_.Stop();
    std::string text = mail::net::errorText(number);
    if (OnError)
        OnError(*this, text);
    // The component's own texts (57000 on) are checks of its use, not
    // failures met on the connection.
    const std::string where = number < mail::net::kTimedOut ? FailureContext() : std::string();
    throw ESocketError(where.empty() ? text : text + " -- " + where);
}

long TagSocket::ReceiveSome(const std::shared_ptr<SocketHandle>& handle)
{
    if (inputPos_ > 0 && inputPos_ >= input_.size()) {
        input_.clear();
        inputPos_ = 0;
    } else if (inputPos_ > kChunkBytes) {
        input_.erase(0, inputPos_);
        inputPos_ = 0;
    }
    char chunk[kChunkBytes];
    ssize_t n = ::recv(handle->fd(), chunk, sizeof chunk, 0);
    if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
            return -1;
        if (canceled_)
            RaiseCanceled();
        RaiseError(mail::net::socketErrorFromErrno(errno));
    }
    input_.append(chunk, static_cast<std::size_t>(n));
    return static_cast<long>(n);
}

bool TagSocket::ReadLineRaw(std::string& line)
{
    CheckNotBusy();
    line.clear();
    auto handle = RequireHandle();
    counter_.Start();
    Pump();
    bool renewed = false;
    for (;;) {
        if (canceled_ || handle_ != handle)
            RaiseCanceled();
        std::size_t end = input_.find('\n', inputPos_);
        std::size_t pending = (end == std::string::npos ? input_.size() : end) - inputPos_;
        if (pending > kMaxReplyBytes) {
            input_.clear();
            inputPos_ = 0;
            RaiseError(mail::net::kMessageTooLong);
        }
        if (end != std::string::npos) {
            line.assign(input_, inputPos_, end - inputPos_);
            inputPos_ = end + 1;
            while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
                line.pop_back();
            counter_.Stop();
            return true;
        }
        if (peerClosed_ || platform::applicationTerminating()) {
            // A line cut off by the peer's close is no reply; drop it.
            input_.clear();
            inputPos_ = 0;
            counter_.Stop();
            return false;
        }
        short revents = 0;
        RaiseWaitEnd(WaitSocket(handle, POLLIN, revents));
        long received = ReceiveSome(handle);
        if (received == 0)
            peerClosed_ = true;
        if (received > 0 && !renewed) {
            // The whole line gets a fresh countdown once it has begun.
            counter_.Start();
            renewed = true;
        }
    }
}

void TagSocket::RaiseIfNoLine()
{
    if (peerClosed_)
        RaiseError(mail::net::kConnectionReset);
    if (platform::applicationTerminating())
        RaiseCanceled();
}

int TagSocket::ReadLine(std::string& line)
{
    if (!ReadLineRaw(line))
        return -1;
    return GetReplyCode(line);
}

int TagSocket::ReadReply()
{
    int code = ReadLine(lastReply_);
    if (code <= 0 || lastReply_.find('-') != 3)
        return code;
    std::size_t total = lastReply_.size();
    std::string next;
    for (;;) {
        if (!ReadLineRaw(next))
            break;
        lastReply_ = next;
        total += next.size();
        if (total > kMaxReplyBytes)
            RaiseError(mail::net::kMessageTooLong);
        if (GetReplyCode(next) == code && next.find(' ') == 3)
            break;
    }
    return code;
}

void TagSocket::SendAll(const std::shared_ptr<SocketHandle>& handle, std::string_view bytes, bool restartPerPart)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        Pump();
        if (canceled_ || handle_ != handle)
            RaiseCanceled();
        if (counter_.Expired())
            RaiseTimeOut();
        TagWinsock::Instance().RequireLoaded();
        ssize_t n = ::send(handle->fd(), bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            if (restartPerPart)
                counter_.Start();
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            short revents = 0;
            RaiseWaitEnd(WaitSocket(handle, POLLOUT, revents));
            continue;
        }
        if (canceled_)
            RaiseCanceled();
        RaiseError(mail::net::socketErrorFromErrno(n < 0 ? errno : EPIPE));
    }
}

void TagSocket::SendLine(std::string_view text)
{
    CheckNotBusy();
    auto handle = RequireHandle();
    if (text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
        RaiseError(mail::net::kInvalidArgument);
    std::string bytes(text);
    bytes += "\r\n";
    counter_.Start();
    SendAll(handle, bytes, false);
    counter_.Stop();
}

void TagSocket::Progress(int perc, long long transferred)
{
    if (OnProgress)
        OnProgress(*this, perc, transferred);
}

long long TagSocket::MaxDataBytes(long long expectedSize)
{
    constexpr long long floor = 64LL * 1024 * 1024;
    return std::max(floor, 2 * std::max(expectedSize, 0LL) + 1024 * 1024);
}

void TagSocket::ReceiveData(std::ostream& stream, long long expectedSize)
{
    CheckNotBusy();
    auto handle = RequireHandle();
    const long long limit = MaxDataBytes(expectedSize);
    mail::net::DotDecoder decoder;
    std::string decoded;
    long long written = 0;
    counter_.Start();
    for (;;) {
        if (inputPos_ < input_.size()) {
            Progress(percentOf(written, expectedSize), written);
            decoded.clear();
            inputPos_ += decoder.feed(std::string_view(input_).substr(inputPos_), decoded);
            stream.write(decoded.data(), static_cast<std::streamsize>(decoded.size()));
            if (!stream)
                throw mail::EInOutError("The received data could not be stored");
            written += static_cast<long long>(decoded.size());
            if (decoder.done())
                break;
            if (written > limit)
                RaiseError(mail::net::kMessageTooLong);
        }
        // Ended before its last line: the block is incomplete, not a message.
        if (peerClosed_)
            RaiseError(mail::net::kConnectionReset);
        Pump();
        if (canceled_ || handle_ != handle)
            RaiseCanceled();
        short revents = 0;
        RaiseWaitEnd(WaitSocket(handle, POLLIN, revents));
        long received = ReceiveSome(handle);
        if (received == 0)
            peerClosed_ = true;
        else if (received > 0)
            counter_.Start();  // every chunk renews the time-out
    }
    counter_.Stop();
    Pump();
}

void TagSocket::SendStream(std::istream& stream)
{
    SendStreamWith(stream, [](std::string_view block, std::string& out) { out.assign(block); });
}

void TagSocket::SendStreamWith(std::istream& stream, const BlockCoder& coder, std::string_view trailer)
{
    CheckNotBusy();
    auto handle = RequireHandle();
    stream.clear();
    stream.seekg(0, std::ios::end);
    long long size = static_cast<long long>(stream.tellg());
    stream.seekg(0, std::ios::beg);
    long long position = 0;
    char block[kSendBlockBytes];
    std::string coded;
    // Blocks go out together, up to a batch at a time: a message of a few
    // blocks leaves in one write instead of one segment per block. Each
    // block's progress is reported once its bytes are sent.
    std::string batch;
    std::vector<long long> reached;
    for (;;) {
        stream.read(block, sizeof block);
        auto count = static_cast<std::size_t>(stream.gcount());
        // A read error must not pass for the end: the rest would go missing.
        if (stream.bad())
            throw mail::EInOutError("The data to send could not be read");
        coded.clear();
        coder(std::string_view(block, count), coded);
        batch += coded;
        position += static_cast<long long>(count);
        reached.push_back(position);
        const bool last = count < sizeof block;
        if (last)
            batch += trailer;
        if (last || batch.size() >= kSendBatchBytes) {
            counter_.Start();
            SendAll(handle, batch, true);
            counter_.Stop();
            batch.clear();
            for (const long long sent : reached)
                Progress(size > 0 ? percentOf(sent, size) : 0, sent);
            reached.clear();
        }
        if (last)
            break;
    }
    stream.clear();
    Progress(0, 0);
}

void TagSocket::Close()
{
    if (handle_ != nullptr) {
        if (OnClosing)
            OnClosing(*this);
        handle_->shutdownNow();
        handle_.reset();
        input_.clear();
        inputPos_ = 0;
        peerClosed_ = false;
        connectBegun_ = false;
        aheadError_ = 0;
        if (OnClosed)
            OnClosed(*this);
    }
    if (ras_ != nullptr)
        ras_->Cancel();
}

void TagSocket::Cancel()
{
    canceled_ = true;
    if (OnCancel)
        OnCancel(*this);
    lookup_.reset();
    Close();
}

void TagSocket::Reset()
{
    CheckNotBusy();
    canceled_ = false;
    lookup_.reset();
    counter_.ClearExpired();
}

int TagSocket::GetReplyCode(std::string_view line)
{
    if (line.size() < 3)
        return -1;
    int code = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        if (line[i] < '0' || line[i] > '9')
            return -1;
        code = code * 10 + (line[i] - '0');
    }
    return code;
}
