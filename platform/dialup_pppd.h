#pragma once
// Dial-up through pppd: the peers folder is the phone book, "pppd call NAME"
// dials an entry, an up ppp* interface is a connection, and only links this
// backend started are ever hung up.

#include "platform/dialup_backend.h"

#include <map>
#include <sys/types.h>

namespace platform {

class PppdDialupBackend : public DialupBackend {
public:
    // Where the backend looks; tests point these at folders of their own.
    struct Paths {
        std::string peersDir = "/etc/ppp/peers";
        std::string pppd = "/usr/sbin/pppd";
        std::string runDir = "/run";            // pppd's "<interface>.pid" files
        std::string netDir = "/sys/class/net";  // the interfaces
    };

    // Error numbers of the backend besides pppd's own exit statuses (1-19).
    static constexpr int kEndedBeforeLink = 1000;
    static constexpr int kCannotStart = 1001;

    PppdDialupBackend();
    explicit PppdDialupBackend(Paths paths);
    ~PppdDialupBackend() override;

    bool available() const override;
    std::vector<std::string> entries() override;
    std::vector<DialupConnection> connections() override;
    std::string ipAddress(long handle) override;
    // pppd keeps secrets in its own files: an entry always has what it needs.
    bool passwordSaved(const std::string& entry) override;
    void storePassword(const std::string& entry, const std::string& password, bool removePassword) override;
    long dial(const std::string& entry) override;
    std::vector<DialupEvent> poll(long handle) override;
    void hangUp(long handle) override;
    std::string errorText(int number) override;

private:
    struct Dial {
        pid_t pid = -1;
        std::string entry;
        std::string interface;
        int state = -1;  // the last state reported
        bool ended = false;
    };

    struct Interface {
        std::string name;
        long index = -1;
        bool up = false;
    };

    std::vector<Interface> pppInterfaces() const;
    std::string interfaceOfPid(pid_t pid) const;
    std::string entryOfInterface(const std::string& name) const;
    std::string interfaceOfHandle(long handle) const;
    // Collects an ended pppd; true when it has ended (exit status in error).
    bool reap(Dial& dial, int& error);

    Paths paths_;
    std::map<long, Dial> dials_;
    long nextHandle_ = 1000000;
};

}  // namespace platform
