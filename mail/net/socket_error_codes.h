#pragma once
// Maps the system's error values to the socket error numbers whose texts the
// transport shows, so users see the same wording on every platform.

namespace mail::net {

// A socket-call errno as a socket error number (e.g. ECONNREFUSED -> 10061).
int socketErrorFromErrno(int error);

// A getaddrinfo() result as a host-lookup error number (EAI_NONAME -> 11001).
int lookupErrorFromGai(int gaiError, int savedErrno);

}  // namespace mail::net
