#!/usr/bin/env bash
# Starts the simulated BitScope on a pseudo-terminal, points COM1 of the settings file at it,
# runs Tracely, and stops the simulator when Tracely exits.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
prog="$build/tracely"
sim="$build/tracely-sim"
link="$build/sim-port"

# The settings file lives beside the program, or in the user's config folder when the
# program's folder is not writable.
if [ -w "$build" ]; then
  ini="$build/TRACELY.INI"
else
  ini="${XDG_CONFIG_HOME:-$HOME/.config}/tracely/TRACELY.INI"
  mkdir -p "$(dirname "$ini")"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "demo: no display to show Tracely on (DISPLAY and WAYLAND_DISPLAY are unset);" >&2
  echo "      run it in a desktop session, or under a virtual one: xvfb-run -a make demo" >&2
  exit 1
fi

# A first run starts from a panel that shows the demo signal well: 10 kSa/s, 1 ms a
# division, 0.5 V a division without the x10 probe, a rising-edge trigger, repeat mode.
# Later runs keep whatever the user left.
if [ ! -e "$ini" ]; then
  cat >"$ini" <<'INI'
[OPTIONS]
Samplerate=10KSa/s
[SETTINGS]
Chalevel=1
Chblevel=1
Timerange=19
[BUTTONS]
Chax10=False
Chbx10=False
[TRIGGER]
Samplemode=True
Trigedgeup=True
INI
fi

# An earlier run's output must not be taken for this one's.
rm -f "$build/sim.out"
"$sim" --link "$link" --register-port "$ini" --com 1 \
  --cha "sine 1kHz 1.5V" --chb "square 500Hz 1V" --logic "counter 1kHz" \
  >"$build/sim.out" 2>"$build/sim.err" &
simpid=$!
trap 'kill "$simpid" 2>/dev/null || true; wait "$simpid" 2>/dev/null || true' EXIT

# The simulator prints its terminal's path as its first line once the link and the port
# entry are in place; wait for that whole line, not just for the file.
port=
for _ in $(seq 1 200); do
  if [ -f "$build/sim.out" ] && [ "$(wc -l <"$build/sim.out")" -ge 1 ]; then
    port=$(head -n 1 "$build/sim.out")
    break
  fi
  if ! kill -0 "$simpid" 2>/dev/null; then
    echo "demo: the simulator did not start:" >&2
    cat "$build/sim.err" >&2
    exit 1
  fi
  sleep 0.05
done
if [ -z "$port" ]; then
  echo "demo: the simulator did not name its port within 10 s" >&2
  exit 1
fi
echo "demo: simulated BitScope on $port (COM1 in $ini)"
"$prog"
