#!/usr/bin/env bash
# Runs a command inside the end-to-end desktop (see harness.sh) and returns
# its exit code; 77 (skipped) when Xvfb is missing.
. "$(dirname "$0")/harness.sh"
e2e_start || exit $?
"$@"
