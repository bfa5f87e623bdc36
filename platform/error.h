#pragma once
// Errors raised by the platform layer. Every one carries a text a user may
// read; callers that care about the kind catch the derived class.

#include <stdexcept>
#include <string>

namespace platform {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file or folder could not be created, read, written, moved or removed.
class FileError : public Error {
public:
    using Error::Error;
};

// A settings or agent file could not be written.
class IniFileError : public Error {
public:
    using Error::Error;
};

// A command line could not be split or its program could not be started.
class ProcessError : public Error {
public:
    using Error::Error;
};

}  // namespace platform
