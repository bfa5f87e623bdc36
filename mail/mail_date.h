#pragma once
// Reading a message's Date field for the date part of message keys.

#include <string>
#include <string_view>

#include "platform/datetime.h"

// 'Tue, 08 Dec 1998 09:30:00 +0100' -> 8 Dec 1998 09:30:00 (the clock time as
// written, not moved by the zone) and rest '+0100'. Any failure gives 0 and an
// empty rest; never throws.
TDateTime MailDateToDateTime(std::string_view text, std::string& rest);
TDateTime MailDateToDateTime(std::string_view text);
