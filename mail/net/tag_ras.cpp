#include "mail/net/tag_ras.h"

#include "mail/net/net_errors.h"
#include "mail/net/tag_socket.h"
#include "mail/net/transport_texts.h"
#include "platform/event_pump.h"

#include <algorithm>
#include <poll.h>

namespace {
constexpr int kSliceMs = 20;
}

TagRas::TagRas() : TagRas(platform::dialupBackend()) {}

TagRas::TagRas(std::shared_ptr<platform::DialupBackend> backend) : backend_(std::move(backend))
{
    counter_.SetTimeOut(120);
    GetEntries();
}

TagRas::~TagRas()
{
    for (TagSocket* client : clients_)
        client->RASRemoved();
}

void TagRas::AddClient(TagSocket* client) { clients_.push_back(client); }

void TagRas::RemoveClient(TagSocket* client)
{
    clients_.erase(std::remove(clients_.begin(), clients_.end(), client), clients_.end());
}

void TagRas::Message(const std::string& text)
{
    if (OnError)
        OnError(*this, text);
}

void TagRas::SetService(const std::string& value)
{
    if (value.empty()) {
        service_.clear();
        return;
    }
    if (!HasEntries()) {
        Message("TagRas component was unable to detect\nRAS on your system.");
        return;
    }
    if (connected_) {
        Message("This property can be set only before\nestablishing the connection");
        return;
    }
    GetEntries();
    if (std::find(entries_.begin(), entries_.end(), value) == entries_.end()) {
        Message("Invalid service name");
        service_.clear();
        return;
    }
    service_ = value;
}

const std::vector<std::string>& TagRas::GetEntries()
{
    entries_.clear();
    if (!backend_->available())
        return entries_;
    try {
        entries_ = backend_->entries();
    } catch (const platform::DialupError& error) {
        lastError_ = error.number();
        entries_.clear();
    }
    return entries_;
}

void TagRas::RaiseRASError(int number)
{
    std::string text;
    if (backend_->available()) {
        text = backend_->errorText(number);
        if (text.empty())
            text = "RAS error no " + std::to_string(number);
    }
    throw ERASError(number, text);
}

bool TagRas::FindConnection()
{
    if (!backend_->available())
        return false;
    std::vector<platform::DialupConnection> list;
    try {
        list = backend_->connections();
        for (const auto& connection : list) {
            if (connection.entry == service_ && connection.handle != handle_) {
                handle_ = connection.handle;
                return true;
            }
        }
        if (ForceService)
            return false;
        for (const auto& connection : list) {
            if (!backend_->ipAddress(connection.handle).empty()) {
                handle_ = connection.handle;
                return true;
            }
        }
    } catch (const platform::DialupError& error) {
        lastError_ = error.number();
        RaiseRASError(error.number());
    }
    return false;
}

void TagRas::Pump()
{
    ++waiting_;
    try {
        platform::processPendingEvents();
    } catch (...) {
        --waiting_;
        throw;
    }
    --waiting_;
}

void TagRas::HandleEvent(const platform::DialupEvent& event)
{
    if (OnStatusChange)
        OnStatusChange(*this, StatusText(event.state));
    if (!connected_)
        connected_ = event.state == platform::dialstate::Connected;
    // Recorded for the dialling wait only: an error after the link came up
    // must not surface in whatever unrelated wait happens to be pumping.
    if (event.error != 0)
        lastError_ = event.error;
}

void TagRas::Connect()
{
    if (waiting_ > 0)
        throw ERASError(mail::net::kAlreadyInProgress, mail::net::errorText(mail::net::kAlreadyInProgress));
    if (service_.empty() || FindConnection()) {
        connected_ = true;
        ownDial_ = false;
        return;
    }
    if (!backend_->available())
        return;

    ownDial_ = true;
    handle_ = -1;
    connected_ = false;
    canceled_ = false;
    counter_.ClearExpired();
    // A failure left over from an earlier call must not end this dial.
    lastError_ = 0;
    try {
        if (!backend_->passwordSaved(service_))
            backend_->storePassword(service_, Password, RemovePassword);
    } catch (const platform::DialupError& error) {
        lastError_ = error.number();
        RaiseRASError(error.number());
    }
    try {
        handle_ = backend_->dial(service_);
    } catch (const platform::DialupError& error) {
        lastError_ = error.number();
        HangUp();
        RaiseRASError(error.number());
    }

    counter_.Start();
    for (;;) {
        for (const auto& event : backend_->poll(handle_))
            HandleEvent(event);
        if (connected_ || lastError_ != 0 || canceled_ || handle_ == -1 || counter_.Expired())
            break;
        Pump();
        ::poll(nullptr, 0, kSliceMs);
    }
    counter_.Stop();

    if (lastError_ != 0) {
        int number = lastError_;
        HangUp();
        RaiseRASError(number);
    }
    if (canceled_ || handle_ == -1)
        throw ECanceledError();
    if (!connected_) {
        // A dial that neither came up nor failed in time is given up, not left
        // ringing with nobody waiting for it.
        HangUp();
        throw ETimedOutError();
    }
}

void TagRas::HangUp()
{
    if (!backend_->available())
        return;
    if (HasEntries() && ownDial_ && handle_ != -1) {
        backend_->hangUp(handle_);
        handle_ = -1;
        if (OnDisconnected)
            OnDisconnected(*this);
    }
    connected_ = false;
    handle_ = -1;
}

void TagRas::Cancel()
{
    HangUp();
    canceled_ = true;
}

std::string TagRas::StatusText(int state)
{
    namespace ds = platform::dialstate;
    switch (state) {
    case ds::OpenPort: return "Opening the port...";
    case ds::ConnectDevice:
    case ds::DeviceConnected:
    case ds::AllDevicesConnected: return "Connecting the device...";
    case ds::Authenticate:
    case ds::StartAuthentication: return "Verifying the user name and password...";
    case ds::Authenticated: return "Authenticated";
    case ds::LogonNetwork: return "Logging on to the network...";
    case ds::Connected: return "Connected";
    default: return {};
    }
}
