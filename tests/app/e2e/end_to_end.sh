#!/usr/bin/env bash
# kelmora as a person uses it: the installed program under Xvfb, the workbook
# chosen in the file dialog by typing its path, the report checked with
# pdftotext, the Help shortcut and the load-error alert tried, and every
# request to open a file or an address caught by a stand-in xdg-open.
#
# usage: end_to_end.sh <build directory> <make_client_workbook program>
set -euo pipefail

fail() {
  echo "FAIL: $*" >&2
  for log in stdout stderr opened; do
    if [ -s "$work/$log" ]; then
      echo "--- $log" >&2
      tail -n 40 "$work/$log" >&2
    fi
  done
  exit 1
}

# wait_for <seconds> <command...>: until the command succeeds or time is up.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

visible_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
window_gone() { [ -z "$(visible_window "$1")" ]; }
has_window() { [ -n "$(visible_window "$1")" ]; }

# The first visible window of that title, waiting for it to appear.
find_window() {
  wait_for 30 has_window "$1" || fail "no window \"$1\" appeared"
  visible_window "$1"
}

# Without a window manager nothing gives the focus back after a dialog
# closes, so every key goes to a window focused just before.
keys_to() {
  local window=$1
  shift
  xdotool windowfocus --sync "$window"
  xdotool "$@"
}

# Opens the chooser from the main window and chooses the file by its path.
choose_workbook() {
  local main=$1 file=$2
  keys_to "$main" key space
  local dialog
  dialog=$(find_window "Les inn Excel-dokument")
  keys_to "$dialog" type --delay 20 "$file"
  # The first Return may only close the name completer's list.
  for _ in 1 2 3; do
    # The dialog may close between the look and the key; then no key is sent.
    if xdotool windowfocus --sync "$dialog" 2>/dev/null; then xdotool key Return; fi
    if wait_for 5 window_gone "Les inn Excel-dokument"; then return 0; fi
  done
  fail "the file dialog did not take $file"
}

percent_decoded() { printf '%b' "${1//%/\\x}"; }

session() {
  cd "$run"
  "$prefix/bin/kelmora" >"$work/stdout" 2>"$work/stderr" &
  app=$!

  local main
  main=$(find_window kelmora)

  # A good workbook: the report is written here and handed to the viewer.
  choose_workbook "$main" "$input/klient.xlsx"
  wait_for 60 grep -q 'test\.pdf' "$work/opened" || fail "the report was not handed to the viewer"
  local asked
  asked=$(grep 'test\.pdf' "$work/opened" | head -n 1)
  [ "$(percent_decoded "$asked")" = "file://$run/test.pdf" ] || fail "the viewer was asked to open $asked"
  [ -s "$run/test.pdf" ] || fail "no test.pdf in $run"
  pdftotext "$run/test.pdf" "$work/report.txt"
  for value in "Ingrid Bakken" 46 25 72 2024 1990; do
    grep -q -- "$value" "$work/report.txt" || fail "the report lacks \"$value\""
  done
  grep -q "^filePath:  file://${input// /%20}/klient.xlsx\$" "$work/stdout" || fail "no percent-encoded filePath line for the workbook"

  # Help, with the Ctrl and "+" that a US keyboard types with Shift.
  keys_to "$main" key ctrl+plus
  wait_for 20 grep -q 'help/index\.html' "$work/opened" || fail "Ctrl and + did not open the help page"
  [ -f "$(percent_decoded "$(grep 'help/index\.html' "$work/opened" | head -n 1 | sed 's|^file://||')")" ] \
    || fail "the help address names no file"

  # A file that is no workbook: the load-error alert, dismissed with Return.
  choose_workbook "$main" "$input/ugyldig.xlsx"
  local alert
  alert=$(find_window Feil)
  keys_to "$alert" key Return
  wait_for 10 window_gone Feil || fail "the load-error alert did not go away"
  [ "$(grep -c 'test\.pdf' "$work/opened")" -eq 1 ] || fail "the failed load opened a report"
  [ ! -e "$run/test.pdf" ] || fail "the earlier report stayed after the failed load"

  # Quit from the keyboard; the program must end by itself.
  keys_to "$main" key ctrl+q
  wait_for 20 sh -c "! kill -0 $app 2>/dev/null" || fail "kelmora did not quit"
  wait "$app" || fail "kelmora ended with status $?"

  # The file dialog kept its history in the test's own settings.
  grep -qF "$run" "$XDG_CONFIG_HOME/QtProject.conf" || fail "no dialog history in the test's own QtProject.conf"
}

if [ "${1:-}" = "--session" ]; then
  work=$2
  prefix=$work/prefix
  run="$work/rapport bø"
  input="$work/arbeids bok"
  session
  exit 0
fi

build=$1
make_workbook=$2
for tool in xvfb-run xauth xdotool pdftotext cmake; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/install-deps.sh --test)" >&2; exit 1; }
done

work=$(mktemp -d)
# E2E_KEEP=1 keeps the folder, E2E_TRACE=1 traces the session.
[ -n "${E2E_KEEP:-}" ] || trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/rapport bø" "$work/arbeids bok"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
for installed in bin/kelmora share/applications/kelmora.desktop share/kelmora/resources/help/index.html; do
  [ -e "$work/prefix/$installed" ] || { echo "FAIL: cmake --install put no $installed" >&2; exit 1; }
done
grep -q '^Exec=kelmora$' "$work/prefix/share/applications/kelmora.desktop" \
  || { echo "FAIL: the desktop entry does not start kelmora" >&2; exit 1; }
"$make_workbook" "$work/arbeids bok/klient.xlsx"
printf 'Navn;Tm\nKari;30\n' >"$work/arbeids bok/ugyldig.xlsx"

# The viewer and the browser: only record what kelmora asks them to open.
cat >"$work/bin/xdg-open" <<STUB
#!/bin/sh
printf '%s\n' "\$*" >>"$work/opened"
STUB
chmod +x "$work/bin/xdg-open"
touch "$work/opened"

# In a sanitizer build: leak checking is the Qt tests' business, and the X
# libraries' own leaks would drown the result; libxkbcommon-x11 hands strndup
# a bounded buffer without a terminator, which is allowed but which strict
# string checks report.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0:strict_string_checks=0"
export PATH="$work/bin:$PATH"
# A home of its own in the build tree: the program's settings (the file
# dialog's history) and caches never reach the user's.
home="$build/tests/app/home/end_to_end"
rm -rf "$home"
mkdir -p "$home"
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
  XDG_CACHE_HOME="$home/.cache" XDG_STATE_HOME="$home/.local/state"
export QT_QPA_PLATFORM=xcb
unset DISPLAY WAYLAND_DISPLAY
xvfb-run -a -s "-screen 0 1280x1024x24" bash ${E2E_TRACE:+-x} "$0" --session "$work"
