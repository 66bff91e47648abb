#!/usr/bin/env bash
# Runs a command in a throw-away PostgreSQL cluster of its own: pg_virtualenv -t keeps the cluster in a
# temporary folder, even as root, and the cluster listens on a port no other server holds, so runs side
# by side, and a run after a killed one, never meet.
set -euo pipefail
# Each run starts looking at a port of its own (below the range the system gives out for connections).
port=$((20000 + $$ % 12000))
while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do
    port=$((port + 1))
done
PGPORT=$port exec pg_virtualenv -t "$@"
