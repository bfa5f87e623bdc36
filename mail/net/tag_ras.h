#pragma once
// The dial-up component: makes sure a dial-up connection exists before a
// mail component connects, reusing one that is up or dialling the phone-book
// entry Service, and hangs up only a connection it dialled itself. An empty
// Service means a permanent network: Connect succeeds at once.

#include "mail/net/time_counter.h"
#include "platform/dialup_backend.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TagSocket;

class TagRas {
public:
    using TRASNotifyEvent = std::function<void(TagRas& Sender, const std::string& RASStatusStr)>;
    using TNotifyEvent = std::function<void(TagRas& Sender)>;
    using TRASMessageEvent = std::function<void(TagRas& Sender, const std::string& Msg)>;

    // Works with the installed dial-up backend (platform::dialupBackend()).
    TagRas();
    explicit TagRas(std::shared_ptr<platform::DialupBackend> backend);
    ~TagRas();
    TagRas(const TagRas&) = delete;
    TagRas& operator=(const TagRas&) = delete;

    const std::string& Service() const { return service_; }
    // Accepts an entry of the phone book only; otherwise reports through
    // OnError and leaves Service unchanged or empty.
    void SetService(const std::string& value);
    bool ForceService = true;
    // Kept for the programs' settings; there is no dialler window to minimise.
    bool MinimizeAtConnect = false;
    std::string Password;
    bool RemovePassword = true;
    int TimeOut() const { return counter_.TimeOut(); }
    void SetTimeOut(int seconds) { counter_.SetTimeOut(seconds); }

    TRASNotifyEvent OnStatusChange;
    TNotifyEvent OnDisconnected;
    // What would be a message box: the program logs it.
    TRASMessageEvent OnError;

    bool Connected() const { return connected_; }
    int LastError() const { return lastError_; }

    // Returns once a connection exists (or none is needed); raises ERASError,
    // ECanceledError or ETimedOutError otherwise.
    void Connect();
    // Ends the connection when this component dialled it.
    void HangUp();
    // Hangs up and ends a dial in progress.
    void Cancel();
    const std::vector<std::string>& GetEntries();
    bool HasEntries() const { return !entries_.empty(); }

    // The status text of a dialling state.
    static std::string StatusText(int state);

private:
    friend class TagSocket;
    void AddClient(TagSocket* client);
    void RemoveClient(TagSocket* client);

    bool FindConnection();
    void HandleEvent(const platform::DialupEvent& event);
    void Pump();
    void Message(const std::string& text);
    [[noreturn]] void RaiseRASError(int number);

    std::shared_ptr<platform::DialupBackend> backend_;
    std::string service_;
    std::vector<std::string> entries_;
    std::vector<TagSocket*> clients_;
    TTimeCounter counter_;
    bool connected_ = false;
    bool ownDial_ = false;
    bool canceled_ = false;
    long handle_ = -1;
    int lastError_ = 0;
    int waiting_ = 0;
};
