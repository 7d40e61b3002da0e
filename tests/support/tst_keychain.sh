#!/bin/sh
# Runs the keychain tests in $1, each case on a session bus of its own, never the user's, with
# HOME and the XDG folders in a temporary folder:
#   no bus at all                  -> the settings file is the fallback
#   a bus whose Secret Service     -> activation stalls (as on a desktop whose keyring waits for
#   never starts                      a prompt); the start-up read is capped
#   gnome-keyring, unlocked,       -> the keychain path and the move out of the settings file
#   secrets only
# Exits 77 (skipped) only when the programs for a session bus are missing. Every test executable
# replaces the session bus with one where nothing answers (TestIsolation.cpp) unless
# NOTES_TEST_OWN_BUS names the bus it was given: set here, inside each dbus-run-session, to the
# bus that session made.
set -eu
test_exe=$1
for tool in dbus-run-session gnome-keyring-daemon; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (bash scripts/setup)"; exit 77; }
done
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache"
unset DISPLAY WAYLAND_DISPLAY

DBUS_SESSION_BUS_ADDRESS="unix:path=$home/no-bus" "$test_exe" noKeychainKeepsThePasswordInTheFile

mkdir "$home/services"
# Detached from the test's output, so ctest does not wait for it.
printf '#!/bin/sh\nexec sleep 30 </dev/null >/dev/null 2>&1\n' >"$home/never-starts"
chmod +x "$home/never-starts"
printf '[D-BUS Service]\nName=org.freedesktop.secrets\nExec=%s\n' "$home/never-starts" \
    >"$home/services/org.freedesktop.secrets.service"
cat >"$home/stalled-bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=$home</listen>
  <servicedir>$home/services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/>
  </policy>
</busconfig>
CONF
dbus-run-session --config-file="$home/stalled-bus.conf" -- sh -c \
    'NOTES_TEST_OWN_BUS="$DBUS_SESSION_BUS_ADDRESS" exec "$0" stalledKeychainIsCapped' "$test_exe"

# An unlock password creates the default ("login") collection that passwords are stored in.
dbus-run-session -- sh -c 'echo -n unlock | gnome-keyring-daemon --unlock --components=secrets \
    >/dev/null 2>&1 && NOTES_TEST_OWN_BUS="$DBUS_SESSION_BUS_ADDRESS" \
    exec "$0" keychainHoldsThePassword' "$test_exe"
