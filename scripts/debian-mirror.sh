#!/usr/bin/env bash
# Prints the Debian mirror that the machine's own apt sources name (with --security, its security
# mirror), so that no host is written into the repository. Prints nothing when the sources name none.
set -euo pipefail
uris() {
    grep -hs '^URIs:' /etc/apt/sources.list.d/*.sources | awk '{print $2}'
    grep -hs '^deb ' /etc/apt/sources.list | awk '{print $2}'
}
if [ "${1:-}" = --security ]; then
    uris | grep security | head -1 || true
else
    uris | grep -v security | head -1 || true
fi
