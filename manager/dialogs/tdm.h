#pragma once
// The manager's data module: created at start-up with the windows, and
// empty (the tables live in the main window).

namespace manager {

class TDM {};

}  // namespace manager
