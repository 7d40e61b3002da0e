#!/bin/sh
# Runs every test executable of a build by hand, as a developer would, not through ctest or a
# launcher: with HOME and the XDG folders in an empty folder and a session bus whose keyring is
# unlocked (gnome-keyring). Fails when a test left anything in that folder or changed the
# keyring's items. Whether the tests themselves pass does not matter here (run by hand, the
# keychain cases cannot reach a keychain and fail); their output is in the log named at the end.
#
#   sh tests/support/check_isolation.sh [build folder, default build]
set -eu
build=$(cd "${1:-build}" && pwd)
for tool in dbus-run-session gnome-keyring-daemon dbus-send; do
    command -v "$tool" >/dev/null || { echo "check_isolation: $tool is missing" >&2; exit 2; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/desktop" "$work/keyring"
log="$build/check_isolation.log"
# Windows stay off the screen; the point is where the tests write, not what they show.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
: >"$log"

# The session, the keyring daemon and anything the bus starts keep their files in keyring/,
# apart from the folder under watch.
# shellcheck disable=SC2016
HOME="$work/keyring" XDG_DATA_HOME="$work/keyring/data" XDG_CONFIG_HOME="$work/keyring/config" \
XDG_CACHE_HOME="$work/keyring/cache" XDG_RUNTIME_DIR="$work/keyring" \
dbus-run-session -- sh -c '
    work=$1 build=$2 log=$3
    (echo -n unlock | gnome-keyring-daemon --unlock --components=secrets) >/dev/null 2>&1
    # The daemon takes its name on the bus after it has gone to the background.
    tries=0
    until dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null |
            grep -q "boolean true"; do
        tries=$((tries + 1))
        [ "$tries" -lt 50 ] || { echo "check_isolation: no keyring on the bus" >&2; exit 2; }
        sleep 0.1
    done
    # The item paths of the login collection, without the reply header (time, serial).
    items() {
        dbus-send --session --print-reply --dest=org.freedesktop.secrets \
            /org/freedesktop/secrets/collection/login org.freedesktop.DBus.Properties.Get \
            string:org.freedesktop.Secret.Collection string:Items | sed 1d
    }
    items >"$work/items-before"
    export HOME="$work/desktop" XDG_CONFIG_HOME="$work/desktop/config" \
        XDG_DATA_HOME="$work/desktop/data" XDG_CACHE_HOME="$work/desktop/cache" \
        XDG_STATE_HOME="$work/desktop/state" XDG_RUNTIME_DIR="$work/desktop/runtime"
    for test in "$build"/tests/tst_*; do
        [ -x "$test" ] && [ -f "$test" ] || continue
        status=0
        "$test" >>"$log" 2>&1 || status=$?
        echo "ran $(basename "$test") (exit $status)"
    done
    items >"$work/items-after"
' check "$work" "$build" "$log" 2>>"$log"

failed=0
if [ -n "$(find "$work/desktop" -mindepth 1 -print -quit)" ]; then
    echo "check_isolation: FAILED, the tests wrote into HOME or the XDG folders:"
    find "$work/desktop" -mindepth 1 | sed "s|$work/desktop|  HOME|"
    failed=1
fi
if ! grep -q 'array \[' "$work/items-before"; then
    echo "check_isolation: FAILED, the keyring could not be read"
    failed=1
elif ! cmp -s "$work/items-before" "$work/items-after"; then
    echo "check_isolation: FAILED, the keyring's items changed:"
    diff "$work/items-before" "$work/items-after" || true
    failed=1
fi
[ "$failed" -eq 0 ] && echo "check_isolation: the folder and the keyring are untouched (test output: $log)"
exit "$failed"
