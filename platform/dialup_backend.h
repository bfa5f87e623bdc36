#pragma once
// The dial-up services the mail components use: a phone book of entries,
// the established connections, dialling with state notifications, and
// hanging up. The default backend works with pppd; tests install a scripted
// one. Calls that fail throw DialupError with the backend's error number.

#include "platform/error.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {

class DialupError : public Error {
public:
    DialupError(int number, const std::string& text) : Error(text), number_(number) {}
    int number() const { return number_; }

private:
    int number_;
};

// Dialling states, numbered as the programs' status texts expect them.
namespace dialstate {
inline constexpr int OpenPort = 0;
inline constexpr int ConnectDevice = 2;
inline constexpr int DeviceConnected = 3;
inline constexpr int AllDevicesConnected = 4;
inline constexpr int Authenticate = 5;
inline constexpr int Authenticated = 14;
inline constexpr int StartAuthentication = 19;
inline constexpr int LogonNetwork = 21;
inline constexpr int Connected = 8192;
}  // namespace dialstate

struct DialupConnection {
    long handle = -1;
    std::string entry;  // the phone-book entry it was dialled from ("" unknown)
};

// One notification of a dial in progress: a new state, or an error number.
struct DialupEvent {
    int state = 0;
    int error = 0;
};

class DialupBackend {
public:
    virtual ~DialupBackend() = default;

    // False when the system has no dial-up support: callers then do nothing.
    virtual bool available() const = 0;
    virtual std::vector<std::string> entries() = 0;
    virtual std::vector<DialupConnection> connections() = 0;
    // The IPv4 address of a connection, "" while it has none.
    virtual std::string ipAddress(long handle) = 0;
    // Whether the entry keeps a password of its own for dialling.
    virtual bool passwordSaved(const std::string& entry) = 0;
    virtual void storePassword(const std::string& entry, const std::string& password, bool removePassword) = 0;
    // Starts dialling the entry; the result is the new connection's handle.
    virtual long dial(const std::string& entry) = 0;
    // The notifications of a dial since the last call (never blocks).
    virtual std::vector<DialupEvent> poll(long handle) = 0;
    // Ends a connection this backend dialled; any other handle is left alone.
    virtual void hangUp(long handle) = 0;
    // The text of an error number, "" when the backend has none.
    virtual std::string errorText(int number) = 0;
};

// The backend dial-up components use: the installed one, else pppd's.
std::shared_ptr<DialupBackend> dialupBackend();
// Installs a backend (nullptr restores the default).
void setDialupBackend(std::shared_ptr<DialupBackend> backend);

}  // namespace platform
