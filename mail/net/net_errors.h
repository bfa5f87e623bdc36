#pragma once
// Exceptions of the network half of the mail components. Each carries a text
// a user may read; the programs catch them around every network step.

#include "mail/mail_error.h"

#include <string>

// A socket or name-lookup failure, or a refused use of a component.
class ESocketError : public mail::EMailError {
public:
    using mail::EMailError::EMailError;
};

// The server answered a command with a negative reply; the text is that reply.
class EServerError : public mail::EMailError {
public:
    using mail::EMailError::EMailError;
};

// A wait ran out of time ("Operation timed out", then " -- " and where:
// the server and the step it was waited for in, when known).
class ETimedOutError : public mail::EMailError {
public:
    ETimedOutError();
    explicit ETimedOutError(const std::string& where);
};

// A wait was cancelled ("Operation has been canceled").
class ECanceledError : public mail::EMailError {
public:
    ECanceledError();
};

// The shared socket binding is not loaded.
class EWinsockDLLError : public mail::EMailError {
public:
    using mail::EMailError::EMailError;
};

// A dial-up failure; the text is the dial-up layer's own for the number.
class ERASError : public mail::EMailError {
public:
    ERASError(int number, const std::string& text) : mail::EMailError(text), number_(number) {}
    int Number() const { return number_; }

private:
    int number_;
};
