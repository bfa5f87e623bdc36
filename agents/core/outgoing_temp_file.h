#pragma once
// The SMTP client keeps the outgoing mail in a named temporary file ("ms"
// and six characters, in the temporary folder) while it sends. posta takes
// the name away as soon as the file is open, so the file goes with the
// process however it ends, a kill included.

namespace agents {

// Unlinks every file this process holds open under the temporary folder
// whose name is "ms" and six letters or digits. Gives the number unlinked.
int UnlinkOpenMailTempFiles();

}  // namespace agents
