#!/usr/bin/env bash
# Starts a throwaway PostgreSQL server in a temporary folder (a Unix socket
# there, no TCP port), runs the given command with TARNE_TEST_PG naming it,
# and stops the server again, whatever the command's outcome.  As root the
# server runs as the user nobody, since initdb refuses to run as root.
#
#   scripts/test_server.sh ctest --test-dir build -R 'Server'
#   TARNE_PG_SETTINGS="-c ..."   the server's settings (default "-c fsync=off";
#                                empty for a server at its defaults)
set -euo pipefail
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
  echo "test_server: no PostgreSQL server binaries (apt-get install postgresql)" >&2
  exit 1
fi
folder=$(mktemp -d /tmp/tarne-pg.XXXXXX)
chmod 755 "$folder"
as=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody "$folder"
  as=(runuser -u nobody --)
fi
stop() {
  "${as[@]}" "$bin/pg_ctl" -D "$folder/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$folder"
}
trap stop EXIT
# SQL_ASCII keeps essays' bytes as they are, whatever their encoding; the C
# locale sorts texts by their bytes.
"${as[@]}" "$bin/initdb" -D "$folder/data" -U tarne -A trust -E SQL_ASCII --locale=C >/dev/null
port=54329
"${as[@]}" "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w \
  -o "-k $folder -c listen_addresses= -p $port ${TARNE_PG_SETTINGS--c fsync=off}" start >/dev/null
"${as[@]}" "$bin/createdb" -h "$folder" -p "$port" -U tarne tarne
export TARNE_TEST_PG="host=$folder port=$port dbname=tarne user=tarne"
"$@"
