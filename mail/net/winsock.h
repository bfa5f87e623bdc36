#pragma once
// The program-wide socket binding. POSIX sockets need no library, but the
// binding keeps the programs' switch: socket calls work only while it is
// loaded, and creating a socket component unloads it until a program loads
// it again (the programs load it once their windows exist).

class TagWinsock {
public:
    static TagWinsock& Instance();

    void Load() { loaded_ = true; }
    void Unload() { loaded_ = false; }
    bool Loaded() const { return loaded_; }

    // Raises EWinsockDLLError "Winsock is not loaded" unless loaded; every
    // socket call of the transport goes through it.
    void RequireLoaded() const;

private:
    TagWinsock() = default;
    bool loaded_ = false;
};
