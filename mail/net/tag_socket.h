#pragma once
// The socket component: a connection to one server whose operations block
// their caller while the program's event pump keeps turning. Every wait ends
// when its step completes, when Cancel is called (also from code the pump
// runs), or when the countdown of TimeOut seconds runs out.

#include "mail/net/time_counter.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

class TagRas;

namespace mail::net {
class HostLookup;
class SocketHandle;
}  // namespace mail::net

class TagSocket {
public:
    using TNotifyEvent = std::function<void(TagSocket& Sender)>;
    using TmsProgressEvent = std::function<void(TagSocket& Sender, int Perc, long long Transferred)>;
    using TmsErrorEvent = std::function<void(TagSocket& Sender, std::string& Msg)>;

    TagSocket();
    virtual ~TagSocket();
    TagSocket(const TagSocket&) = delete;
    TagSocket& operator=(const TagSocket&) = delete;

    // The program-wide socket binding (see TagWinsock).
    bool WinsockLoaded() const;
    void SetWinsockLoaded(bool value);

    // The dial-up component dialled before each connection and hung up after.
    TagRas* RAS() const { return ras_; }
    void SetRAS(TagRas* ras);

    // A host, or a host, ":" and a port.
    const std::string& Server() const { return server_; }
    void SetServer(std::string server) { server_ = std::move(server); }
    std::uint16_t DefaultPort() const { return defaultPort_; }
    void SetDefaultPort(std::uint16_t port) { defaultPort_ = port; }
    int TimeOut() const { return counter_.TimeOut(); }
    void SetTimeOut(int seconds) { counter_.SetTimeOut(seconds); }

    const std::string& LocalHostName() const { return localHostName_; }
    const std::string& LastReply() const { return lastReply_; }
    std::uint16_t Port() const { return port_; }
    const std::string& HostAddress() const { return hostAddress_; }

    // A socket is held (from Open until Close).
    bool Connected() const { return handle_ != nullptr; }

    // Dials, resolves the server and its port and creates the socket.
    virtual void Open();
    // Connects the socket that Open created.
    void Connect();
    // Opens and begins connecting without waiting for the server, when that
    // can neither fail nor wait: a dotted address, a valid port, sockets
    // loaded and no dial-up to make. Connect then waits for the server and
    // reports a refusal as it always does. False when nothing was begun.
    bool OpenAhead();
    // A connection begun by OpenAhead that Connect has not finished yet.
    bool ConnectionBegun() const { return connectBegun_; }
    // Reads one line into line (line ends removed); the reply code of the
    // line, or -1 when no whole line came (peer closed, program ending).
    int ReadLine(std::string& line);
    // Reads a reply, following "-" continuation lines; LastReply holds the
    // last line read, the result is the first line's code.
    int ReadReply();
    // Sends the text and CR LF. A text holding CR, LF or NUL is refused:
    // it would smuggle a second command onto the wire.
    void SendLine(std::string_view text);
    // Receives a data block ending in a lone "." line into the stream, with
    // the transparency dots removed; expectedSize (bytes, -1 unknown) serves
    // the progress percentage and the bound below.
    void ReceiveData(std::ostream& stream, long long expectedSize);
    // The most a data block may bring when the server announced
    // expectedSize bytes (0 or -1 = not announced): a server that sends without
    // end is an error before it fills the memory; a real message never is.
    static long long MaxDataBytes(long long expectedSize);
    // Sends the whole stream from its start.
    void SendStream(std::istream& stream);

    virtual void Close();
    virtual void Cancel();
    virtual void Reset();
    virtual int GetReplyCode(std::string_view line);

    // Reports a failure with the table text of the number: OnError, then
    // ESocketError. The number 0 reports nothing. A socket failure's text
    // goes on with " -- " and FailureContext() when that says where.
    void RaiseError(int number);

    TNotifyEvent OnOpen, OnClosing, OnClosed, OnCancel;
    TmsProgressEvent OnProgress;
    TmsErrorEvent OnError;

protected:
    using BlockCoder = std::function<void(std::string_view block, std::string& out)>;
    // Sends the stream from its start, each block passed through the coder
    // first, and then `trailer` with the last of it; progress counts the
    // stream's own bytes.
    void SendStreamWith(std::istream& stream, const BlockCoder& coder, std::string_view trailer = {});
    // Reads one line; false when none was completed.
    bool ReadLineRaw(std::string& line);
    // After a read that completed no line: reports the closed connection
    // (or the program ending) instead of an empty reply.
    void RaiseIfNoLine();

    // Refuses an operation that arrives while this component is already
    // waiting in one (from code that the event pump runs).
    void CheckNotBusy();
    // Where a time-out or a socket failure met the connection, for its
    // text (a protocol names the server and its step); empty: nowhere said.
    virtual std::string FailureContext() const { return {}; }
    // A reply line longer than this is an error, not a buffer overrun.
    static constexpr std::size_t kMaxReplyBytes = 64 * 1024;

    std::string serviceName_;
    std::string lastReply_;
    TTimeCounter counter_;

private:
    friend class TagRas;
    enum class WaitEnd { Ready, Canceled, Expired, Gone };

    void ResolveHost(const std::string& host);
    void ResolvePort();
    // Polls the socket for the events in slices, pumping between them.
    WaitEnd WaitSocket(const std::shared_ptr<mail::net::SocketHandle>& handle, short events, short& revents);
    void Pump();
    [[noreturn]] void RaiseTimeOut();
    [[noreturn]] void RaiseCanceled();
    // Raises what ended a wait other than readiness.
    void RaiseWaitEnd(WaitEnd end);
    // Receives what the socket has into the input buffer: bytes read, 0 when
    // the peer has closed, -1 when nothing was there.
    long ReceiveSome(const std::shared_ptr<mail::net::SocketHandle>& handle);
    void SendAll(const std::shared_ptr<mail::net::SocketHandle>& handle, std::string_view bytes, bool restartPerPart);
    std::shared_ptr<mail::net::SocketHandle> RequireHandle();
    void Progress(int perc, long long transferred);
    void RASRemoved() { ras_ = nullptr; }

    TagRas* ras_ = nullptr;
    std::string server_;
    std::uint16_t defaultPort_ = 0;
    std::string localHostName_;
    std::uint32_t address_ = 0;
    std::string hostAddress_;
    std::uint16_t port_ = 0;
    bool canceled_ = false;
    bool peerClosed_ = false;
    bool connectBegun_ = false;
    // What the connect begun ahead met at once (0: nothing), for Connect to report.
    int aheadError_ = 0;
    int waiting_ = 0;
    std::shared_ptr<mail::net::SocketHandle> handle_;
    std::shared_ptr<mail::net::HostLookup> lookup_;
    // Bytes received but not yet handed out.
    std::string input_;
    std::size_t inputPos_ = 0;
};
