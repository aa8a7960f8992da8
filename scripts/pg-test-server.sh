#!/bin/bash
# A throw-away PostgreSQL server for the tests, on a free loopback port.
#   pg-test-server.sh start <dir>   initdb into <dir>/data, start, write <dir>/connection.txt
#   pg-test-server.sh stop <dir>    stop the server and remove <dir>
# PostgreSQL refuses to run as root: as root the server runs as the "postgres" system user.
set -euo pipefail

usage() {
    echo "usage: $0 start|stop <dir>" >&2
    exit 2
}

[ $# -eq 2 ] || usage
command=$1
dir=$2
mkdir -p "$(dirname "$dir")"
dir="$(cd "$(dirname "$dir")" && pwd)/$(basename "$dir")"

pg_bin_dir() {
    local newest
    newest=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -t/ -k5,5n | tail -n 1)
    if [ -z "$newest" ] || [ ! -x "$newest/initdb" ]; then
        echo "$0: no PostgreSQL server binaries under /usr/lib/postgresql" >&2
        exit 1
    fi
    echo "$newest"
}

# Runs a command as the server's owner.
as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

port_in_use() {
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

free_port() {
    local port tries
    for tries in $(seq 1 200); do
        port=$((20000 + (RANDOM * 32768 + RANDOM) % 40000))
        if ! port_in_use "$port"; then
            echo "$port"
            return 0
        fi
    done
    echo "$0: no free loopback port found" >&2
    return 1
}

# The data directory: <dir>/data, or, when the server's owner cannot reach <dir> (a tree
# below /root), a private directory under /tmp that <dir>/datadir names.
data_dir() {
    if [ -f "$dir/datadir" ]; then
        cat "$dir/datadir"
    else
        echo "$dir/data"
    fi
}

password_user=parvela_password

start() {
    local bin user port data
    bin=$(pg_bin_dir)
    if [ -d "$dir" ]; then
        stop_server "$bin"
        remove_dir
    fi
    mkdir -p "$dir"
    data="$dir/data"
    if [ "$(id -u)" -eq 0 ]; then
        chown postgres: "$dir"
        if ! runuser -u postgres -- test -w "$dir"; then
            data=$(mktemp -d /tmp/parvela-pg-data.XXXXXX)
            chown postgres: "$data"
            rmdir "$data"
            echo "$data" >"$dir/datadir"
        fi
    fi
    user=postgres
    as_owner "$bin/initdb" -D "$data" -U "$user" -A trust -E UTF8 --locale=C \
        >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
    # One role that must give its password, for the tests of the client library's password
    # and service files; the first matching line counts.
    as_owner sed -i "1i host all $password_user 127.0.0.1/32 scram-sha-256" "$data/pg_hba.conf"
    # Another process may take the port between the test and the start: try again then.
    local attempt
    for attempt in 1 2 3 4 5; do
        port=$(free_port)
        if as_owner "$bin/pg_ctl" -D "$data" -l "$data/server.log" -w -t 60 \
            -o "-c listen_addresses=127.0.0.1 -p $port -c unix_socket_directories='' -c fsync=off -c full_page_writes=off -c max_connections=200" \
            start >/dev/null; then
            break
        fi
        port=""
    done
    if [ -z "$port" ]; then
        echo "$0: the server did not start" >&2
        cat "$data/server.log" >&2 || true
        exit 1
    fi
    local ready
    for ready in $(seq 1 100); do
        if "$bin/pg_isready" -q -h 127.0.0.1 -p "$port" -U "$user"; then
            break
        fi
        sleep 0.1
    done
    "$bin/pg_isready" -q -h 127.0.0.1 -p "$port" -U "$user" || {
        echo "$0: the server does not answer on port $port" >&2
        exit 1
    }
    local password
    password=pw-$(od -An -N8 -tx1 /dev/urandom | tr -d ' \n')
    "$bin/psql" -q -h 127.0.0.1 -p "$port" -U "$user" -d postgres \
        -c "CREATE ROLE $password_user LOGIN PASSWORD '$password'" >/dev/null
    cat >"$dir/connection.txt.tmp" <<INFO
port=$port
user=$user
connection=Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=$port;UID=$user;BoolsAsChar=0
password_user=$password_user
password=$password
INFO
    mv "$dir/connection.txt.tmp" "$dir/connection.txt"
    echo "PostgreSQL test server on 127.0.0.1:$port ($data)"
}

remove_dir() {
    local data
    data=$(data_dir)
    case "$data" in
    /tmp/parvela-pg-data.*) rm -rf "$data" ;;
    esac
    rm -rf "$dir"
}

stop_server() {
    local data
    data=$(data_dir)
    if [ -f "$data/postmaster.pid" ]; then
        as_owner "$1/pg_ctl" -D "$data" -m fast -w -t 60 stop >/dev/null 2>&1 || true
    fi
}

stop() {
    local bin
    bin=$(pg_bin_dir)
    stop_server "$bin"
    remove_dir
    echo "PostgreSQL test server stopped ($dir)"
}

# The server's owner may not be allowed into the caller's working directory.
cd /

case "$command" in
start) start ;;
stop) stop ;;
*) usage ;;
esac
