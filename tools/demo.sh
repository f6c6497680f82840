#!/usr/bin/env bash
# Runs Skylane the way a host would: starts skylane-relay with its demo tone
# and a loopback device, plays Skylane.so in skylane-host for about ten
# seconds at 48000 Hz (so the 44100 Hz stream is resampled), writes demo.wav
# and the editor's picture at the end of the run (demo-editor.png), and tells
# when audio first arrived, its level and whether the run was clean.
#
# usage: tools/demo.sh [BUILD_DIR] (default: build)
# Environment: DEMO_SECONDS (default 10), DEMO_OUTPUT (default demo.wav),
# DEMO_EDITOR (default demo-editor.png).
# Exit status: 0 when audio arrived, 1 when none did, 2 when something is missing.
set -euo pipefail

build=${1:-build}
seconds=${DEMO_SECONDS:-10}
output=${DEMO_OUTPUT:-demo.wav}
editor_png=${DEMO_EDITOR:-demo-editor.png}
relay=$build/relay/skylane-relay
host=$build/host/skylane-host
plugin=$build/plugin/Skylane.so
scan=$build/tools/skylane-wavscan
product_port=53669

for program in "$relay" "$host" "$plugin" "$scan"; do
  if [ ! -e "$program" ]; then
    echo "demo: $program is missing; make demo builds it" >&2
    exit 2
  fi
done

work=$(mktemp -d)
relay_pid=
# The relay never outlives the demo, whichever way it ends.
stop_relay() {
  if [ -n "$relay_pid" ] && kill -0 "$relay_pid" 2>/dev/null; then
    kill -TERM "$relay_pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$relay_pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$relay_pid" 2>/dev/null || true
    wait "$relay_pid" 2>/dev/null || true
  fi
  relay_pid=
}
cleanup() {
  stop_relay
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Starts the relay on port $1 (0: any free port) and sets relay_port to the
# port it listens on; leaves relay_port empty when it could not start.
start_relay() {
  relay_port=
  "$relay" --port "$1" --tone "Skylane Demo Tone" --loopback "Skylane Loopback" \
    >"$work/relay.log" 2>&1 &
  relay_pid=$!
  for _ in $(seq 50); do
    relay_port=$(sed -n 's/^skylane-relay listening on 127\.0\.0\.1:\([0-9]*\) .*/\1/p' "$work/relay.log")
    [ -n "$relay_port" ] && return
    kill -0 "$relay_pid" 2>/dev/null || break
    sleep 0.1
  done
  stop_relay
}

echo "== Starting skylane-relay"
start_relay "$product_port"
if [ -z "$relay_port" ]; then
  echo "   port $product_port is taken; using a free port instead"
  start_relay 0
fi
if [ -z "$relay_port" ]; then
  echo "demo: the relay did not start:" >&2
  cat "$work/relay.log" >&2
  exit 2
fi
sed 's/^/   relay: /' "$work/relay.log"

echo "== Running Skylane.so in skylane-host: $seconds s at 48000 Hz, 512-frame blocks"
echo "   (the plug-in tries its first connection about five seconds after it is created)"
rm -f "$editor_png"
set +e
SKYLANE_RELAY_PORT=$relay_port "$host" --plugin "$plugin" --rate 48000 --block 512 \
  --seconds "$seconds" --output "$output" --render-editor "$editor_png" | sed 's/^/   /'
host_status=${PIPESTATUS[0]}
set -e

echo "== Stopping the relay"
stop_relay
sed -n 's/^client /   relay: client /p' "$work/relay.log"

echo "== Summary ($output)"
set +e
"$scan" "$output" | sed 's/^/   /'
scan_status=${PIPESTATUS[0]}
set -e
dropped=$(sed -n 's/.* \([0-9]*\) packets dropped)$/\1/p' "$work/relay.log" | awk '{s += $1} END {print s + 0}')
echo "   relay packets dropped: $dropped"
if [ -s "$editor_png" ]; then
  echo "   editor picture: $(cd "$(dirname "$editor_png")" && pwd)/$(basename "$editor_png")"
else
  echo "   editor picture: not written"
fi
if [ "$host_status" -ne 0 ]; then
  echo "   result: skylane-host failed (exit $host_status)"
  exit 1
fi
case $scan_status in
  0) if [ "$dropped" -eq 0 ]; then echo "   result: audio arrived, clean run"; else echo "   result: audio arrived, the relay dropped packets"; fi ;;
  4) echo "   result: audio arrived, but the run was not clean" ;;
  1) echo "   result: no audio arrived"; exit 1 ;;
  *) echo "   result: $output could not be read"; exit 1 ;;
esac
