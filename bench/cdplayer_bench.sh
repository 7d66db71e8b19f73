#!/usr/bin/env bash
# The CD player's figures, with a PulseAudio server of its own (a null sink, as the tests use):
# play to first samples, CPU while a virtual disc plays (beside paplay), work per 500 ms tick.
# Usage: bench/cdplayer_bench.sh [build folder]   (builds nothing; run after a build)
set -euo pipefail
build="${1:-$(dirname "$0")/../build}"
build=$(cd "$build" && pwd)
work=$(mktemp -d)
export XDG_RUNTIME_DIR="$work"
unset VARDEL_AUDIO_DRIVER
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit -L module-null-sink \
  -L "module-native-protocol-unix auth-anonymous=1" >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 1 200); do [ -S "$work/pulse/native" ] && break; sleep 0.05; done
sleep 0.3
nice "$build/bench/cdplayer_bench" "$server"
