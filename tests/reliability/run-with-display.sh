#!/usr/bin/env bash
# ctest's runner for the reliability suites: cmake/wine-run.sh inside a virtual X display of
# its own, so that message boxes and windows really appear (and are closed by the tests).
# Usage as wine-run.sh: run-with-display.sh BITS PREFIX_ROOT PROGRAM [ARGS...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$here/../../cmake/wine-run.sh" "$@"
