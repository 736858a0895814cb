#!/bin/sh
# Checks every workflow in .github/workflows against GitHub's workflow schema
# with npm's @action-validator/cli, installed into build/ from the pinned
# lockfile in .github/action-validator (again only when that changes).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
pinned="$root/.github/action-validator"
tool="$root/build/action-validator"
validator="$tool/node_modules/.bin/action-validator"

if ! command -v npm >/dev/null 2>&1; then
    echo "npm is missing: run scripts/setup/setup.sh" >&2
    exit 1
fi
# npm trusts the CAs Node.js was built with; let it trust the system's as well,
# as apt and git do (a proxy's own CA, say).
if [ -z "${NODE_EXTRA_CA_CERTS:-}" ] && [ -f /etc/ssl/certs/ca-certificates.crt ]; then
    export NODE_EXTRA_CA_CERTS=/etc/ssl/certs/ca-certificates.crt
fi
if [ ! -x "$validator" ] || ! cmp -s "$pinned/package-lock.json" "$tool/package-lock.json"; then
    rm -rf "$tool"
    mkdir -p "$tool"
    cp "$pinned/package.json" "$pinned/package-lock.json" "$pinned/.npmrc" "$tool/"
    (cd "$tool" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
fi

status=0
for workflow in "$root"/.github/workflows/*.yml; do
    if "$validator" "$workflow"; then
        echo "valid: ${workflow#"$root"/}"
    else
        echo "INVALID: ${workflow#"$root"/}"
        status=1
    fi
done
exit $status
