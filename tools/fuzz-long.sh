#!/bin/bash
# The long fuzz run: every target for an hour (or SECONDS_PER_TARGET), one after another, one worker each.
# Usage: tools/fuzz-long.sh [SECONDS_PER_TARGET] [TARGET...]. See tools/fuzz-run.sh for where results go.
exec "$(dirname "${BASH_SOURCE[0]}")/fuzz-run.sh" "${1:-3600}" "${@:2}"
