#!/usr/bin/env bash
# Requests per second of the plugin's HTTP server beside civetweb's, measured with wrk on
# loopback: GET /api with 16 and with 64 instances, and a 10 KiB static file. Builds nothing:
# run it after `make linux`. The two servers are measured in turns, ROUNDS times, and each figure is the
# best of its rounds, so a busy machine costs both alike.
#
#   bench/http_wrk.sh [build folder]      (default build/linux)
#   environment: DURATION (10s) CONNECTIONS (16) ROUNDS (3) CIVETWEB_THREADS (1)
set -euo pipefail

build=${1:-build/linux}
duration=${DURATION:-10s}
connections=${CONNECTIONS:-16}
rounds=${ROUNDS:-3}
civetweb_threads=${CIVETWEB_THREADS:-1}
driver="$build/bench/voxtrane_http_driver"
plugin_folder="$build/stage/Plugins/Fruity/Generators/KRYL Voxtrane"

command -v wrk >/dev/null || { echo "wrk is not installed" >&2; exit 1; }
[ -x "$driver" ] || { echo "$driver: not built (is libcivetweb-dev installed?)" >&2; exit 1; }
[ -d "$plugin_folder" ] || { echo "$plugin_folder: not staged" >&2; exit 1; }

# The plugin finds its html folder beside the host program, so the driver runs from a copy of
# the stage with the test file added, and the build's own stage is left as it is.
work=$(mktemp -d)
pids=()
stop() {
    for pid in "${pids[@]}"; do
        kill -CONT "$pid" 2>/dev/null || true
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap stop EXIT
mkdir -p "$work/Plugins/Fruity/Generators"
cp "$driver" "$work/"
cp -R "$plugin_folder" "$work/Plugins/Fruity/Generators/"
html="$work/Plugins/Fruity/Generators/KRYL Voxtrane/html"
awk 'BEGIN {
    s = "<!DOCTYPE html>\n<html><head><title>10 KiB</title></head><body><pre>\n"
    while (length(s) < 10240) s = s "The quick brown fox jumps over the lazy dog, 0123456789.\n"
    printf "%s", substr(s, 1, 10240)
}' >"$html/bench-10k.html"

# Starts a driver in the background; `port` is where it listens and `pid` its process.
start() {
    local log="$work/$1.out"
    "$work/voxtrane_http_driver" "$@" >"$log" 2>"$work/$1.err" &
    pid=$!
    pids+=("$pid")
    for _ in $(seq 100); do
        port=$(sed -n 's/^port //p' "$log")
        [ -n "$port" ] && return
        sleep 0.1
    done
    echo "the $1 server did not start:" >&2
    cat "$work/$1.err" >&2
    exit 1
}

# The body of one GET, over bash's own TCP: the plugin's /api as it is with 16 instances.
fetch_body() {
    exec 3<>"/dev/tcp/127.0.0.1/$1"
    printf 'GET %s HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n' "$2" >&3
    sed '1,/^\r$/d' <&3
    exec 3<&-
}

# Requests per second of one wrk run, or "error: ..." when a request failed. wrk counts a
# response whose end is the connection's close, as all of the plugin's are, as a read error
# after counting it as done, so only read errors beyond the completed requests are failures.
# That error also makes wrk open a second connection and drop it unused, which the server
# accepts and closes.
measure() {
    wrk -t1 -c"$connections" -d"$duration" "http://127.0.0.1:$1$2" | awk '
        / requests in / { done = $1 }
        /Socket errors:/ { gsub(",", ""); bad += $4 + $8 + $10; read = $6 }
        /Non-2xx/ { bad += $NF }
        /^Requests\/sec:/ { rate = $2 }
        END {
            if (bad > 0 || read > done || rate == "") print "error: " bad " failed, " read " read errors, " done " done"
            else print rate
        }'
}

# The measured pairs: "label|our path|civetweb's path". Our server is measured against civetweb
# sending the very same bytes (head and body, ended by the close) and, for reference, against
# civetweb framing the body itself with a Content-Length, which spares wrk the second connection
# described above.
measure_pairs() {
    local pair label ours_path theirs_path
    for pair in "$@"; do
        IFS='|' read -r label ours_path theirs_path <<<"$pair"
        for _ in $(seq "$rounds"); do
            for side in ours theirs; do
                # The plugin's driver polls every few microseconds, so it is stopped while civetweb is measured.
                if [ "$side" = ours ]; then
                    kill -CONT "$ours_pid"
                    value=$(measure "$ours" "$ours_path")
                else
                    kill -STOP "$ours_pid"
                    value=$(measure "$theirs" "$theirs_path")
                fi
                case $value in
                error*) echo "$side $label: $value" >&2 ;;
                *) results[$side$label]+="$value"$'\n' ;;
                esac
            done
        done
        labels+=("$label")
    done
}

stop_servers() {
    kill -CONT "$ours_pid"
    kill "$ours_pid" "$theirs_pid"
    wait "$ours_pid" "$theirs_pid" 2>/dev/null || true
    pids=()
}

size() { wc -c <"$1" | tr -d ' '; }

declare -A results
labels=()
static_label="/bench-10k.html ($(size "$html/bench-10k.html") B)"
for instances in 16 64; do
    start plugin --instances "$instances"
    ours=$port
    ours_pid=$pid
    fetch_body "$ours" /api >"$work/api$instances.json"
    [ -s "$work/api$instances.json" ] || { echo "the plugin's /api answered nothing" >&2; exit 1; }
    start civetweb --root "$html" --api "$work/api$instances.json" --threads "$civetweb_threads"
    theirs=$port
    theirs_pid=$pid
    api_label="/api ($(size "$work/api$instances.json") B, $instances instances)"
    pairs=("$api_label|/api|/api" "$api_label, civetweb framed|/api|/api-framed")
    [ "$instances" = 16 ] && pairs+=("$static_label|/bench-10k.html|/bench-10k.html")
    measure_pairs "${pairs[@]}"
    stop_servers
done

best() { sort -g | tail -1; }
echo
echo "wrk -t1 -c$connections -d$duration, best of $rounds; civetweb with $civetweb_threads worker thread(s)"
printf '%-50s %12s %14s %14s\n' "GET" "ours req/s" "civetweb req/s" "ours/civetweb"
for label in "${labels[@]}"; do
    a=$(printf '%s' "${results[ours$label]:-}" | best)
    b=$(printf '%s' "${results[theirs$label]:-}" | best)
    ratio=$(awk -v a="${a:-0}" -v b="${b:-0}" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }')
    printf '%-50s %12s %14s %14s\n' "$label" "${a:--}" "${b:--}" "$ratio"
done
