#!/usr/bin/env bash
# The window takes no arguments: given some that Qt itself would act on (a platform that does not
# exist), it still starts and stays up until it is closed, here by the time limit.
#   bash tests/start_ignores_arguments.sh path/to/quorrel
set -uo pipefail
QT_QPA_PLATFORM=offscreen timeout 3 "$1" -platform no-such-platform --width=5 extra words
status=$?
if [ "$status" -ne 124 ]; then
  echo "quorrel ended with status $status instead of running on"
  exit 1
fi
echo "quorrel ignored its arguments and ran until stopped"
