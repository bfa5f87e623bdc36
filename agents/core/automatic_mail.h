#pragma once
// Mail that a program sent rather than a person: automatic replies,
// notices and bounces. Answering it automatically makes mail loops (an
// auto-responder answering another, a bounce answered by a bounce), so no
// automatic reply goes to it (RFC 3834).

#include <string>

#include "mail/message.h"

namespace agents {

// The header field that shows the message is automatic, as "Name: value"
// for the log and the history; empty for mail a person sent. Automatic
// are: "Auto-Submitted" with any keyword but "no"; "X-TarselAuto-Reply:
// True"; a null return path ("Return-Path: <>") or a sender with no
// address ("From: <>"); and mail from "MAILER-DAEMON" or "postmaster",
// by its From or its Return-Path.
std::string AutomaticMailMark(const TmsMessage& message);

}  // namespace agents
