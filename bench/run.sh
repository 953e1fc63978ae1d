#!/usr/bin/env bash
# The whole benchmark in one run: the bench host (the real server host, optimised, no
# sanitizers) and nginx (one worker, no keep-alive, no access log) serve the same bytes on
# the same paths, and wrk loads them in interleaved rounds with a new connection for every
# request. Then command datagrams, memory, and the start-up time of the Windows program
# under Wine. Prints one Markdown table.
#
#   bench/run.sh
#
# For a quicker look: ROUNDS (3), SECONDS_PER_RUN (3), PATHS and CONNECTIONS (lists),
# SKIP_WINE=1.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

rounds=${ROUNDS:-3}
seconds=${SECONDS_PER_RUN:-3}
read -r -a paths <<<"${PATHS:-/about/ /playlist/ /tvguide/}"
read -r -a connections <<<"${CONNECTIONS:-1 50 200}"
idle_connections=1000
peak_clients=50
startup_runs=5

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
bash scripts/install-deps.sh >&2
cmake --preset bench >/dev/null
cmake --build --preset bench >&2
bin=$root/build/bench/bench

work=$(mktemp -d /tmp/kelvo-bench-run.XXXXXX)
chmod 755 "$work"
cleanup() {
    exec 3>&- 2>/dev/null || true
    [ -f "$work/nginx.pid" ] && kill "$(cat "$work/nginx.pid")" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Polls until the command succeeds, for at most 60 seconds.
wait_for() {
    for _ in $(seq 600); do
        "$@" && return 0
        sleep 0.1
    done
    echo "timed out: $*" >&2
    return 1
}

status_kib() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }
descriptors() { ls "/proc/$1/fd" | wc -l; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
tick_us=$((1000000 / $(getconf CLK_TCK)))

# Requests that wrk left behind when its time was up are still answered (into closed
# sockets); the next run starts once the host has released every connection.
released() { test "$(descriptors "$host_pid")" -le "$base_fds"; }
settle() { wait_for released; }

# --- our host, held open through descriptor 3 ---------------------------------------
mkfifo "$work/host.in"
"$bin/kelvo_bench_host" <"$work/host.in" >"$work/host.out" &
host_pid=$!
exec 3>"$work/host.in"
wait_for grep -q '^folder ' "$work/host.out"
port=$(awk '$1 == "port" { print $2 }' "$work/host.out")
folder=$(awk '$1 == "folder" { print $2 }' "$work/host.out")
tvguide_bytes=$(stat -c %s "$folder/guide.zip")

# --- nginx with the same bytes on the same paths --------------------------------------
docroot=$work/docroot
mkdir -p "$docroot/about" "$docroot/playlist" "$docroot/tvguide" "$work/nginx-temp"
curl -s "http://127.0.0.1:$port/about/" >"$docroot/about/index.html"
ln "$folder/KelvoPlayer.m3u" "$docroot/playlist/index.html"
ln "$folder/guide.zip" "$docroot/tvguide/index.html"
chmod -R a+rX "$docroot" "$folder"
for _ in $(seq 10); do
    nginx_port=$((20000 + RANDOM % 20000))
    cat >"$work/nginx.conf" <<EOF
worker_processes 1;
pid $work/nginx.pid;
error_log $work/nginx-error.log;
events { worker_connections 4096; }
http {
    access_log off;
    keepalive_timeout 0;
    sendfile on;
    client_body_temp_path $work/nginx-temp;
    proxy_temp_path $work/nginx-temp;
    fastcgi_temp_path $work/nginx-temp;
    uwsgi_temp_path $work/nginx-temp;
    scgi_temp_path $work/nginx-temp;
    server {
        listen 127.0.0.1:$nginx_port;
        root $docroot;
        index index.html;
    }
}
EOF
    # Not holding descriptor 3: the host ends when the last writer of its input closes.
    nginx -c "$work/nginx.conf" -e "$work/nginx-error.log" 2>/dev/null 3>&- && break
done
wait_for curl -sf -o /dev/null "http://127.0.0.1:$nginx_port/about/"
nginx_worker=$(pgrep -P "$(cat "$work/nginx.pid")")
cmp <(curl -s "http://127.0.0.1:$port/playlist/") "$docroot/playlist/index.html"

# --- memory at rest and with idle connections (before any load) -----------------------
rest_kib=$(status_kib "$host_pid" VmRSS)
base_fds=$(descriptors "$host_pid")
mkfifo "$work/idle.in"
"$bin/kelvo_bench_client" idle "$port" "$idle_connections" <"$work/idle.in" >"$work/idle.out" &
idle_pid=$!
exec 4>"$work/idle.in"
wait_for grep -q '^open ' "$work/idle.out"
all_idle_accepted() { test "$(descriptors "$host_pid")" -ge $((base_fds + idle_connections)); }
wait_for all_idle_accepted
idle_kib=$(status_kib "$host_pid" VmRSS)
exec 4>&-
wait "$idle_pid"
per_connection_kib=$(awk -v a="$idle_kib" -v b="$rest_kib" -v n="$idle_connections" \
    'BEGIN { printf "%.1f", (a - b) / n }')

# --- peak memory while clients fetch the TV guide at once ------------------------------
peak_base_kib=$(status_kib "$host_pid" VmRSS)
echo 5 >"/proc/$host_pid/clear_refs"
wrk -t2 -c"$peak_clients" -d5s --timeout 60s -H 'Connection: close' \
    "http://127.0.0.1:$port/tvguide/" >/dev/null
settle
peak_kib=$(status_kib "$host_pid" VmHWM)
peak_ratio=$(awk -v p="$peak_kib" -v b="$peak_base_kib" -v n="$peak_clients" -v s="$tvguide_bytes" \
    'BEGIN { printf "%.2f", (p - b) * 1024 / (n * s) }')

# --- HTTP: interleaved rounds ---------------------------------------------------------
# Prints "requests_per_second p99_ms errors requests server_cpu_ticks" for one wrk run
# against the server whose (single) serving process is given.
wrk_run() {
    local url=$1 count=$2 server=$3 threads=2 ticks
    [ "$count" -lt 2 ] && threads=1
    ticks=$(cpu_ticks "$server")
    wrk -t"$threads" -c"$count" -d"${seconds}s" --timeout 60s --latency \
        -H 'Connection: close' "$url" |
        awk '
            function ms(text) {
                if (text ~ /us$/) return substr(text, 1, length(text) - 2) / 1000
                if (text ~ /ms$/) return substr(text, 1, length(text) - 2)
                if (text ~ /s$/) return substr(text, 1, length(text) - 1) * 1000
                return text
            }
            $1 == "99%" { p99 = ms($2) }
            $1 == "Requests/sec:" { rate = $2 }
            / requests in / { requests = $1 }
            /Non-2xx/ { errors += $NF }
            /Socket errors/ { gsub(/,/, ""); errors += $4 + $6 + $8 + $10 }
            END { printf "%s %s %d %d ", rate, p99, errors, requests }'
    echo $(($(cpu_ticks "$server") - ticks))
}

# Server CPU time per request over all rounds of a row, in microseconds.
cpu_per_request() { awk -v us="$tick_us" '{ r += $4; t += $5 } END { printf "%.0f", r ? t * us / r : 0 }' "$1"; }

# Requests that wrk left behind when its time was up are still answered (into closed
# sockets); the next run starts once the host has released every connection.

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

declare -A ours_rate ours_p99 nginx_rate nginx_p99 errors ours_cpu nginx_cpu
for path in "${paths[@]}"; do
    for count in "${connections[@]}"; do
        key="$path $count"
        : >"$work/ours" && : >"$work/nginx"
        for _ in $(seq "$rounds"); do
            wrk_run "http://127.0.0.1:$port$path" "$count" "$host_pid" >>"$work/ours"
            settle
            wrk_run "http://127.0.0.1:$nginx_port$path" "$count" "$nginx_worker" >>"$work/nginx"
        done
        ours_rate[$key]=$(cut -d' ' -f1 "$work/ours" | median)
        ours_p99[$key]=$(cut -d' ' -f2 "$work/ours" | median)
        nginx_rate[$key]=$(cut -d' ' -f1 "$work/nginx" | median)
        nginx_p99[$key]=$(cut -d' ' -f2 "$work/nginx" | median)
        errors[$key]=$(awk '{ s += $3 } END { print s + 0 }' "$work/ours")
        ours_cpu[$key]=$(cpu_per_request "$work/ours")
        nginx_cpu[$key]=$(cpu_per_request "$work/nginx")
        echo "done $key" >&2
    done
done

after_load_kib=$(status_kib "$host_pid" VmRSS)
exec 3>&-
wait "$host_pid"

# --- command datagrams -----------------------------------------------------------------
"$bin/kelvo_datagram_bench" >"$work/datagrams"
datagram() { awk -v key="$1" '$1 == key { print $2 }' "$work/datagrams"; }

# --- start-up of the Windows program under Wine ---------------------------------------
startup_program=app/KelvoRemoteServer.exe
startup_ms=n/a
if [ -z "${SKIP_WINE:-}" ]; then
    cmake --preset windows >/dev/null
    cmake --build --preset windows --target KelvoRemoteServer >&2
    startup_ms=$(xvfb-run -a bash bench/wine-startup.sh "$root" "$startup_program" \
        "$startup_runs" "$bin/kelvo_bench_client") || startup_ms=n/a
fi

# --- the table ------------------------------------------------------------------------
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
echo
echo "Machine: $(nproc) cores ($(sed -n "s/^model name[^:]*: //p" /proc/cpuinfo | head -1)), $(free -g | awk "/Mem:/ { print \$2 }") GiB, Linux $(uname -r); load before the run: $load_before"
echo
echo "| Path | Connections | Kelvo req/s | nginx req/s | Ratio | Kelvo p99 ms | nginx p99 ms | Kelvo CPU µs/req | nginx CPU µs/req | Kelvo errors |"
echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
for path in "${paths[@]}"; do
    for count in "${connections[@]}"; do
        key="$path $count"
        echo "| $path | $count | ${ours_rate[$key]} | ${nginx_rate[$key]} | $(ratio "${ours_rate[$key]}" "${nginx_rate[$key]}") | ${ours_p99[$key]} | ${nginx_p99[$key]} | ${ours_cpu[$key]} | ${nginx_cpu[$key]} | ${errors[$key]} |"
    done
done
echo
echo "| Measure | Result |"
echo "|---|---:|"
echo "| Command datagrams decoded and dispatched per second | $(datagram datagrams_per_second) |"
echo "| Datagram send to player window, median / p99 µs | $(datagram latency_median_us) / $(datagram latency_p99_us) |"
echo "| Datagrams lost | $(datagram lost) |"
echo "| Resident memory at rest, KiB | $rest_kib |"
echo "| Per idle connection ($idle_connections open), KiB | $per_connection_kib |"
echo "| Peak with $peak_clients clients on /tvguide/ ($tvguide_bytes bytes), KiB above rest | $((peak_kib - peak_base_kib)) |"
echo "| Peak / ($peak_clients × file size) | $peak_ratio |"
echo "| Resident memory after all HTTP rounds, KiB | $after_load_kib |"
echo "| Start-up to port answering under Wine, median of $startup_runs, ms ($startup_program) | $startup_ms |"
