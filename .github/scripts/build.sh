#!/bin/sh
# Builds both programs and every test program with the project's own make
# target, which first installs whatever Debian packages are missing.
set -eu
cd "$(dirname "$0")/../.."
make build
