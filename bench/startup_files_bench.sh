#!/usr/bin/env bash
# Start-up and shutdown of the built program with a large log and with a large settings
# file, each side by side with the same run on an empty log and a small settings file.
# The large log runs twice: as a user with an ASCII name, and as "--user Bjørn", whose
# new log lines hold text outside ASCII (each against an empty log with the same user).
# The program runs as its user runs it: on an X display (a private Xvfb), against a
# private MariaDB server holding the demo products, its files under a private APPDATA.
#
#   bench_startup_files [program] [runs]     (default: prisliste beside this script, 5 runs)
#
# Start-up: from starting the program until its main window is mapped (polled with
# xwininfo every few milliseconds, so figures carry a few ms of polling). Shutdown: from
# SIGTERM (which closes the main window as the user would) until the process has ended:
# the settings write-back, the log and the database's quit. Memory: peak resident size
# (GNU time). Left out: the server's own start, the X server, a cold page cache (every
# file has just been written, as after a previous run).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
program="$(realpath "${1:-$here/prisliste}")"
runs="${2:-5}"
source_dir="@PROJECT_SOURCE_DIR@"
work="$(mktemp -d /tmp/bench-startup-files.XXXXXX)"
title="Brisvald Blomster Søm & Shop"

cleanup() {
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  "$source_dir/scripts/mariadb-private" stop "$work/db" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

# --- a private server with the demo products, and a private X display ---
"$source_dir/scripts/mariadb-private" start "$work/db" --fresh >/dev/null
"$source_dir/scripts/mariadb-private" sql "$work/db" --default-character-set=utf8mb4 brisvald \
  <"$source_dir/scripts/demo-data.sql"
export PRISLISTE_DB_HOST=127.0.0.1 PRISLISTE_DB_PORT="$(cat "$work/db/port")"
# A display number of its own. Another server may hold a number without a file in /tmp
# (a private /tmp shares the abstract socket names): then this Xvfb ends at once while
# the display answers, so the number counts only while this server still runs after it.
number=
for n in $(seq $((100 + $$ % 400)) 600); do
  { [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; } && continue
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 200); do
    kill -0 "$xvfb_pid" 2>/dev/null || break
    if xwininfo -display ":$n" -root >/dev/null 2>&1; then
      sleep 0.3
      kill -0 "$xvfb_pid" 2>/dev/null && number=$n
      break
    fi
    sleep 0.05
  done
  [ -n "$number" ] && break
  kill "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=
done
[ -n "$number" ] || { echo "bench_startup_files: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number" QT_QPA_PLATFORM=xcb

# --- the files: the settings of every side, the logs ---
export APPDATA="$work/appdata"
etc="$APPDATA/Kvarnelo/etc" logdir="$APPDATA/Kvarnelo/log"
mkdir -p "$work/cwd" "$etc" "$logdir"
printf '[STANDARD]\r\nLogToFile=1\r\n\r\n' >"$work/small.ini"
# 40,000 sections, about 1 MB.
awk 'BEGIN { printf "[STANDARD]\r\nLogToFile=1\r\n\r\n";
             for (i = 0; i < 40000; i++) printf "[VINDU-%05d]\r\nLeft=%d\r\n\r\n", i, i }' >"$work/large.ini"
# 3 million lines of about 65 bytes, about 200 MB.
awk 'BEGIN { for (i = 0; i < 3000000; i++)
               printf "01.02.2026 10:%02d:%02d Sletter /home/kari/Kvarnelo/tmp/%07d.tmp\r\n",
                      (i / 60) % 60, i % 60, i }' >"$work/large.log"
echo "settings: small $(stat -c %s "$work/small.ini") bytes, large $(stat -c %s "$work/large.ini") bytes;" \
     "log: large $(stat -c %s "$work/large.log") bytes"

# One run: prints "startup_ms shutdown_ms peak_kb". Further arguments go to the program.
run_once() {
  local ini="$1" log="$2"
  shift 2
  cp "$ini" "$etc/kvarnelo.ini"
  if [ -n "$log" ]; then cp "$log" "$logdir/prisliste.log"; else : >"$logdir/prisliste.log"; fi
  rm -f "$etc"/*.INI
  sync
  local start stop mapped pid
  start=$(date +%s%N)
  (cd "$work/cwd" && exec /usr/bin/time -f %M -o "$work/peak" "$program" "$@") &
  local wrapper=$!
  until xwininfo -name "$title" 2>/dev/null | grep -q IsViewable; do
    kill -0 "$wrapper" 2>/dev/null || { echo "the program ended before its window showed ($*, log ${log:-empty})" >&2; exit 1; }
    sleep 0.002
  done
  mapped=$(date +%s%N)
  pid=$(pgrep -P "$wrapper" -x prisliste || pgrep -P "$wrapper")
  stop=$(date +%s%N)
  kill -TERM "$pid"
  wait "$wrapper"
  local ended
  ended=$(date +%s%N)
  echo "$(( (mapped - start) / 1000000 )) $(( (ended - stop) / 1000000 )) $(cat "$work/peak")"
}

# A first run builds the folder tree and warms the caches; it is not counted.
run_once "$work/small.ini" "" >/dev/null

declare -A results
for i in $(seq "$runs"); do
  results[base]+="$(run_once "$work/small.ini" "")"$'\n'
  results[log]+="$(run_once "$work/small.ini" "$work/large.log")"$'\n'
  results[ini]+="$(run_once "$work/large.ini" "")"$'\n'
  results[ubase]+="$(run_once "$work/small.ini" "" --user Bjørn)"$'\n'
  results[ulog]+="$(run_once "$work/small.ini" "$work/large.log" --user Bjørn)"$'\n'
done

# min/median/max of column $2 of the lines in $1
stats() { printf '%s' "$1" | awk -v c="$2" 'NF { print $c }' | sort -n |
          awk '{ v[NR] = $1 } END { printf "%d %d %d", v[1], v[int((NR + 1) / 2)], v[NR] }'; }
report() {
  local name="$1" key="$2" column="$3" unit="$4" base="${5:-base}"
  read -r bmin bmed bmax <<<"$(stats "${results[$base]}" "$column")"
  read -r min med max <<<"$(stats "${results[$key]}" "$column")"
  awk -v n="$name" -v u="$unit" -v bmin="$bmin" -v bmed="$bmed" -v bmax="$bmax" \
      -v min="$min" -v med="$med" -v max="$max" 'BEGIN {
        printf "  %-22s empty/small %6d %6d %6d %s | large %6d %6d %6d %s | ratio %.2f\n",
               n, bmin, bmed, bmax, u, min, med, max, u, (bmed ? med / bmed : 0) }'
}
echo "min median max over $runs runs each, interleaved ($program)"
echo "200 MB log (3,000,000 lines) against an empty log:"
report "start-up" log 1 ms
report "shutdown" log 2 ms
report "peak memory" log 3 KB
echo "200 MB log against an empty log, both with --user Bjørn (new lines outside ASCII):"
report "start-up" ulog 1 ms ubase
report "shutdown" ulog 2 ms ubase
report "peak memory" ulog 3 KB ubase
echo "1 MB settings (40,000 sections) against a small settings file:"
report "start-up" ini 1 ms
report "shutdown" ini 2 ms
report "peak memory" ini 3 KB
