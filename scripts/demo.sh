#!/usr/bin/env bash
# The system's main job on one machine, with no outside server:
#   a local POP3 server (Dovecot) holds a few messages for one account;
#   postp fetches them into the account's pending folder;
#   posta runs the account's agent on each: mail whose Subject contains
#   "order" gets an automatic reply from a template with merge codes and is
#   forwarded; every message is filed into the received folder and table;
#   a local SMTP server (aiosmtpd) receives what posta sends.
# Then it prints the two status logs, the received and history tables and
# the messages the SMTP server received.
#
# Usage: scripts/demo.sh [BUILD_FOLDER]   (default build/release)
# The demo lives in $TARSEL_DEMO_DIR, else ./demo/ (made anew at every run):
#   config/  the settings file tarsel.ini     ($TARSEL_CONFIG_DIR)
#   home/    data/ (tables), messages/, agents/, templates/, the status logs
#            postproc.log and agentproc.log   ($TARSEL_HOME)
#   smtp/    what the SMTP server received
# It is left in place for a look; the servers are stopped at exit.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-build/release}
[[ "$BUILD" = /* ]] || BUILD="$ROOT/$BUILD"
DEMO_DIR=${TARSEL_DEMO_DIR:-$PWD/demo}
PYTHON=/usr/bin/python3   # the interpreter that sees Debian's aiosmtpd and dbfread
STEP_TIMEOUT=180          # seconds any one program may take

say() { printf '\n== %s\n' "$*"; }
die() { printf 'demo: %s\n' "$*" >&2; exit 1; }

find_program() {
  local found
  found=$(find "$BUILD" -name "$1" -type f -perm -u+x ! -path '*/CMakeFiles/*' 2>/dev/null | head -n 1)
  [[ -n "$found" ]] || die "$1 is not built in $BUILD (run scripts/run.sh, or build it first)"
  printf '%s\n' "$found"
}

MKDATA=$(find_program tarsel-mkdata)
SETUP=$(find_program tarsel-demo-setup)
LOGTEXT=$(find_program tarsel-log-text)
POSTP=$(find_program postp)
POSTA=$(find_program posta)
DOVECOT=/usr/sbin/dovecot
[[ -x "$DOVECOT" ]] || die "Dovecot is missing (scripts/install-deps.sh installs dovecot-pop3d)"
"$PYTHON" -c 'import aiosmtpd, dbfread' 2>/dev/null ||
  die "python3-aiosmtpd and python3-dbfread are missing (scripts/install-deps.sh installs them)"

# ---------------------------------------------------------------- clean-up
DOVECOT_PID=""
SMTP_PID=""
DOVECOT_BASE=""
cleanup() {
  local pid
  for pid in $DOVECOT_PID $SMTP_PID; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in $DOVECOT_PID $SMTP_PID; do
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  done
  [[ -n "$DOVECOT_BASE" ]] && rm -rf "$DOVECOT_BASE"
  return 0
}
trap cleanup EXIT
trap 'exit 130' INT TERM

free_port() {
  "$PYTHON" -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
port_open() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

# ------------------------------------------------------------- demo folder
# Only a folder this script made before is replaced.
if [[ -e "$DEMO_DIR" ]]; then
  [[ -f "$DEMO_DIR/.tarsel-demo" ]] || die "$DEMO_DIR exists and was not made by this demo; set TARSEL_DEMO_DIR"
  rm -rf "$DEMO_DIR"
fi
mkdir -p "$DEMO_DIR/config" "$DEMO_DIR/home" "$DEMO_DIR/smtp"
DEMO_DIR=$(cd "$DEMO_DIR" && pwd)
touch "$DEMO_DIR/.tarsel-demo"
export TARSEL_CONFIG_DIR="$DEMO_DIR/config"
export TARSEL_HOME="$DEMO_DIR/home/"
export QT_QPA_PLATFORM=offscreen
export DBUS_SESSION_BUS_ADDRESS=disabled:
export XDG_RUNTIME_DIR="$DEMO_DIR/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
say "Demo folder: $DEMO_DIR"

# ------------------------------------------------------------ POP3 server
# Dovecot with a private configuration on a free loopback port; one user
# "demo" with the password "demo". Its socket paths must stay short, so it
# lives under /tmp. Run as root, the mailbox belongs to the "mail" user
# (Dovecot serves no mailbox of uid 0).
DOVECOT_BASE=$(mktemp -d /tmp/tdemo.XXXXXX)
chmod 755 "$DOVECOT_BASE"
mkdir -p "$DOVECOT_BASE/run" "$DOVECOT_BASE/state" "$DOVECOT_BASE/home/Maildir/"{new,cur,tmp}
chmod 755 "$DOVECOT_BASE/run"
if [[ $(id -u) -eq 0 ]]; then
  MAIL_UID=$(id -u mail); MAIL_GID=$(id -g mail)
  chown -R "$MAIL_UID:$MAIL_GID" "$DOVECOT_BASE/home"
  SERVICE_USERS=""
else
  MAIL_UID=$(id -u); MAIL_GID=$(id -g)
  SERVICE_USERS="default_internal_user = $(id -un)
default_login_user = $(id -un)"
fi
printf 'demo:{PLAIN}demo:%s:%s::%s::\n' "$MAIL_UID" "$MAIL_GID" "$DOVECOT_BASE/home" >"$DOVECOT_BASE/passwd"
chmod 644 "$DOVECOT_BASE/passwd"

date_header=$(LC_ALL=C date -R)
add_message() {  # add_message NUMBER  (message text on standard input, LF line ends)
  local name="$((1000000000 + $1)).M$1.tarsel-demo"
  cat >"$DOVECOT_BASE/home/Maildir/tmp/$name"
  [[ $(id -u) -eq 0 ]] && chown "$MAIL_UID:$MAIL_GID" "$DOVECOT_BASE/home/Maildir/tmp/$name"
  mv "$DOVECOT_BASE/home/Maildir/tmp/$name" "$DOVECOT_BASE/home/Maildir/new/$name"
}
add_message 1 <<EOF
From: Ann Lee <ann@customer.test>
To: Demo Sales <sales@demo.test>
Subject: Order for ten blue widgets
Date: $date_header
Message-ID: <demo-1042@customer.test>

Hello,

please send ten blue widgets to the usual address.
ORDER=1042

Ann
EOF
add_message 2 <<EOF
From: "Bob Stone" <bob@customer.test>
To: sales@demo.test
Subject: Lunch on Friday?
Date: $date_header
Message-ID: <demo-lunch@customer.test>

Are you free for lunch on Friday?
EOF
add_message 3 <<EOF
From: carol@shop.test (Carol King)
To: sales@demo.test
Subject: Re: your order form
Date: $date_header

Here is the form again.
order=77-B
EOF

start_dovecot() {
  POP3_PORT=$(free_port)
  cat >"$DOVECOT_BASE/dovecot.conf" <<EOF
base_dir = $DOVECOT_BASE/run
state_dir = $DOVECOT_BASE/state
log_path = $DOVECOT_BASE/log
protocols = pop3
listen = 127.0.0.1
ssl = no
disable_plaintext_auth = no
auth_mechanisms = plain
first_valid_uid = $MAIL_UID
last_valid_uid = $MAIL_UID
first_valid_gid = $MAIL_GID
$SERVICE_USERS
mail_location = maildir:~/Maildir:INDEX=MEMORY
mail_fsync = never
passdb {
  driver = passwd-file
  args = scheme=PLAIN username_format=%u $DOVECOT_BASE/passwd
}
userdb {
  driver = passwd-file
  args = username_format=%u $DOVECOT_BASE/passwd
}
service pop3-login {
  inet_listener pop3 {
    address = 127.0.0.1
    port = $POP3_PORT
  }
}
service anvil {
  chroot =
}
EOF
  "$DOVECOT" -F -c "$DOVECOT_BASE/dovecot.conf" >"$DOVECOT_BASE/stderr" 2>&1 &
  DOVECOT_PID=$!
  for _ in $(seq 300); do
    port_open "$POP3_PORT" && return 0
    kill -0 "$DOVECOT_PID" 2>/dev/null || break
    sleep 0.1
  done
  kill "$DOVECOT_PID" 2>/dev/null || true
  wait "$DOVECOT_PID" 2>/dev/null || true
  DOVECOT_PID=""
  return 1
}
started=""
for _ in 1 2 3 4 5; do start_dovecot && { started=1; break; }; done
[[ -n "$started" ]] || { cat "$DOVECOT_BASE/log" "$DOVECOT_BASE/stderr" 2>/dev/null >&2; die "Dovecot did not start"; }
say "POP3 server (Dovecot) on 127.0.0.1:$POP3_PORT, user demo, 3 messages waiting"

# ------------------------------------------------------------ SMTP server
"$PYTHON" "$ROOT/tests/support/smtp_sink.py" "$DEMO_DIR/smtp" >"$DEMO_DIR/smtp/port" 2>"$DEMO_DIR/smtp/server.log" &
SMTP_PID=$!
SMTP_PORT=""
for _ in $(seq 300); do
  SMTP_PORT=$(head -n 1 "$DEMO_DIR/smtp/port" 2>/dev/null || true)
  [[ -n "$SMTP_PORT" ]] && port_open "$SMTP_PORT" && break
  kill -0 "$SMTP_PID" 2>/dev/null || break
  SMTP_PORT=""
  sleep 0.1
done
[[ -n "$SMTP_PORT" ]] || { cat "$DEMO_DIR/smtp/server.log" >&2; die "the SMTP server did not start"; }
say "SMTP server (aiosmtpd) on 127.0.0.1:$SMTP_PORT"

# ------------------------------------------------------------- data folder
say "Data folder, account and agent"
"$MKDATA" "${TARSEL_HOME}data"
"$SETUP" --pop "127.0.0.1:$POP3_PORT" --smtp "127.0.0.1:$SMTP_PORT" --login demo --password demo

# ------------------------------------------------------------ the programs
run_step() {  # run_step NAME OUTPUT PROGRAM ARGS...
  local name=$1 output=$2; shift 2
  say "Running $name"
  local status=0
  (cd "$DEMO_DIR" && timeout "$STEP_TIMEOUT" "$@") >"$output" 2>&1 || status=$?
  # The offscreen platform's notes about window features are no news.
  grep -v -e 'does not support propagateSizeHints' -e 'does not support raise' "$output" | sed 's/^/  /' || true
  if [[ $status -eq 124 ]]; then
    echo "$name did not end within $STEP_TIMEOUT seconds (stopped)"
  elif [[ $status -ne 0 ]]; then
    echo "$name ended with status $status"
  else
    echo "$name ended normally"
  fi
}
run_step "postp /SINGLEPASS (fetch the mail)" "$DEMO_DIR/postp.out" "$POSTP" /SINGLEPASS
run_step "posta /SINGLEPASS (run the agents)" "$DEMO_DIR/posta.out" "$POSTA" /SINGLEPASS

# ---------------------------------------------------------------- results
print_log() {  # print_log FILE TITLE
  say "$2 ($1), oldest line first"
  if [[ -f "$1" ]]; then
    "$LOGTEXT" "$1" | tac | sed 's/^/  /'
  else
    echo "  (no log file)"
  fi
}
print_log "${TARSEL_HOME}postproc.log" "Status log of postp"
print_log "${TARSEL_HOME}agentproc.log" "Status log of posta"

say "Tables (read with dbfread)"
"$PYTHON" - "${TARSEL_HOME}data" <<'EOF'
import glob, os, sys
import dbfread

folder = sys.argv[1]

def table(name, fields):
    paths = [p for p in glob.glob(os.path.join(folder, '*')) if os.path.basename(p).lower() == name.lower()]
    print('\n  %s:' % name)
    if not paths:
        print('    (missing)')
        return
    rows = list(dbfread.DBF(paths[0], char_decode_errors='replace'))
    if not rows:
        print('    (no rows)')
    for row in rows:
        print('    ' + ' | '.join('%s=%s' % (f, '' if row.get(f) is None else str(row.get(f)).strip()) for f in fields))

table('received.dbf', ['MESSAGE_ID', 'RECDATE', 'FROM', 'SUBJECT', 'FILENAME'])
table('actions.DBF', ['UNIQUE_ID', 'MESSAGE_ID', 'ACTION', 'CREATEON', 'CREATEAT'])
EOF

say "Message folders"
(cd "${TARSEL_HOME}messages" 2>/dev/null && find . -type f | sort | sed 's/^\./  messages/') || echo "  (none)"
left=$(find "$DOVECOT_BASE/home/Maildir/new" "$DOVECOT_BASE/home/Maildir/cur" -type f | wc -l)
echo "  messages left on the POP3 server: $left"

say "Messages the SMTP server received"
shopt -s nullglob
envelopes=("$DEMO_DIR"/smtp/*.env)
if ((${#envelopes[@]} == 0)); then
  echo "  (none)"
fi
for envelope in "${envelopes[@]}"; do
  mapfile -t lines <"$envelope"
  printf '\n  --- message %s: MAIL FROM:<%s> RCPT TO:%s\n' "$(basename "$envelope" .env)" "${lines[0]}" \
    "$(printf ' <%s>' "${lines[@]:2}")"
  tr -d '\r' <"${envelope%.env}.eml" | sed 's/^/  | /'
done

say "Done. Look around in $DEMO_DIR (settings: config/tarsel.ini; data: home/)."
POST32=$(find "$BUILD" -name post32 -type f -perm -u+x ! -path '*/CMakeFiles/*' 2>/dev/null | head -n 1)
if [[ -n "$POST32" ]]; then
  echo "Open the configuration manager on it (it needs a display):"
  echo "  TARSEL_CONFIG_DIR=$TARSEL_CONFIG_DIR TARSEL_HOME=$TARSEL_HOME $POST32"
fi
