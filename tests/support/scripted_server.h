#pragma once
// A TCP server on a loopback port that plays a script, for what real servers
// will not do: replies split at odd places, silence, an early close, hostile
// bytes. The script is built first, then start() plays it on a thread of its
// own against the first client that connects. Every step gives up after ten
// seconds, so a broken client cannot hang a test.

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace test_support {

class ScriptedServer {
public:
    ScriptedServer();
    // Stops the script wherever it is and closes everything.
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    std::uint16_t port() const { return port_; }
    // "127.0.0.1:<port>", as a Server setting.
    std::string address() const;

    // Script steps, played in order.
    ScriptedServer& send(std::string bytes);
    // Sends the parts one by one with a pause between them.
    ScriptedServer& sendParts(std::vector<std::string> parts,
                              std::chrono::milliseconds gap = std::chrono::milliseconds(40));
    // Waits for one line from the client and records it.
    ScriptedServer& expectLine();
    // expectLine(), then sends the line with CR LF.
    ScriptedServer& reply(const std::string& line);
    // Receives a data block up to its lone "." line and records it.
    ScriptedServer& readData();
    ScriptedServer& pause(std::chrono::milliseconds time);
    ScriptedServer& closeConnection();
    // Says nothing until the client closes (lines it sends are recorded).
    ScriptedServer& waitForClientClose();
    // Closes the connection and takes the next client.
    ScriptedServer& acceptNext();

    void start();
    // Waits until the script has ended; false when it is still running.
    bool waitDone(std::chrono::milliseconds limit = std::chrono::seconds(10));

    // Lines the client sent, without their line ends (data blocks excluded).
    std::vector<std::string> lines() const;
    // Received data blocks: the bytes before the "." line, as they came.
    std::vector<std::string> blocks() const;
    // Why the script stopped early ("" when it ran to its end).
    std::string error() const;
    bool clientClosed() const;

private:
    struct Step {
        enum class Kind { Send, SendParts, ExpectLine, ReadData, Pause, Close, WaitClose, AcceptNext } kind;
        std::string bytes;
        std::vector<std::string> parts;
        std::chrono::milliseconds time{0};
    };

    void run();
    bool play(const Step& step);
    bool acceptClient();
    bool sendBytes(const std::string& bytes);
    // Waits for more bytes from the client into input_; false at its close,
    // at a stop or after the step limit.
    bool receiveMore(std::chrono::steady_clock::time_point deadline);
    // Moves one whole line (without its CR LF) from input_ to the lines
    // received; false when input_ holds no whole line.
    bool takeLine();
    bool sleepFor(std::chrono::milliseconds time);
    void fail(const std::string& why);

    int listener_ = -1;
    int client_ = -1;
    int stopRead_ = -1;
    int stopWrite_ = -1;
    std::uint16_t port_ = 0;
    std::vector<Step> steps_;
    std::thread thread_;
    std::string input_;

    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
    std::vector<std::string> blocks_;
    std::string error_;
    bool clientClosed_ = false;
    bool done_ = false;
};

}  // namespace test_support
