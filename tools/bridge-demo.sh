#!/usr/bin/env bash
# The bridge demo: a simulated controller with moving inputs, Debian's
# mosquitto broker and quelnet-bridge, all on 127.0.0.1 with free ports; then
# shows what arrives on the broker (mosquitto_sub) until Ctrl+C. Try a command
# from another shell with the mosquitto_pub line printed at the start.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh

bin=build/bin
work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

# The simulator picks its own free port and names it on its first line.
"$bin/quelnet-sim" --port 0 --http-port 0 --demo 2>"$work/sim.log" &
pids+=($!)
sim_port=
for _ in $(seq 100); do
    sim_port=$(sed -n 's/.*control protocol on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/sim.log")
    [[ -n $sim_port ]] && break
    sleep 0.1
done
[[ -n $sim_port ]] || { echo "The simulator did not start:" >&2; cat "$work/sim.log" >&2; exit 1; }

# mosquitto on a free port: a port that turns out taken makes it exit, and another is tried.
broker_port=
for _ in $(seq 20); do
    port=$((20000 + RANDOM % 40000))
    listening "$port" && continue
    printf 'listener %s 127.0.0.1\nallow_anonymous true\npersistence false\n' "$port" >"$work/mosquitto.conf"
    mosquitto -c "$work/mosquitto.conf" 2>"$work/mosquitto.log" &
    pid=$!
    for _ in $(seq 100); do
        if listening "$port"; then broker_port=$port; break; fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    if [[ -n $broker_port ]]; then pids+=("$pid"); break; fi
    kill "$pid" 2>/dev/null || true
done
[[ -n $broker_port ]] || { echo "mosquitto did not start:" >&2; cat "$work/mosquitto.log" >&2; exit 1; }

cat >"$work/bridge.conf" <<CONF
[broker]
host = 127.0.0.1
port = $broker_port
client_id = quelnet-bridge-demo

[bridge]
state_file = $work/entities

[controller demo]
address = 127.0.0.1
port = $sim_port
password = 3958
circuit = IN1 digital input 500
circuit = IN2 digital input 500
circuit = OUT1 digital output 500
circuit = AN1 analog input 1000
circuit = AOUT1 analog output 1000 min=0 max=10 step=0.5
CONF
"$bin/quelnet-bridge" --config "$work/bridge.conf" &
pids+=($!)

echo "Simulator 127.0.0.1:$sim_port, broker 127.0.0.1:$broker_port. Switch an output with:"
echo "  mosquitto_pub -h 127.0.0.1 -p $broker_port -t quelnet/demo/OUT1/set -m TOGGLE"
echo "Ctrl+C ends the demo."
mosquitto_sub -h 127.0.0.1 -p "$broker_port" -v -t 'quelnet/#' -t 'homeassistant/#'
