#!/usr/bin/env bash
# Makes a card's root as Windows leaves it, holding only a hidden, system
# "System Volume Information" (with a file inside), its DOS attributes given
# the way Wine reads them: the extended attribute user.DOSATTRIB, "0x6". Then
# runs the GUI case that copies onto it under Wine.
#
#   card_root.sh GUI_TESTS.exe WORK_DIR
set -euo pipefail
tests=$1
work=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

rm -rf "$work"
card="$work/card"
mkdir -p "$card/System Volume Information"
printf '{card-guid}' >"$card/System Volume Information/IndexerVolumeGuid"
setfattr -n user.DOSATTRIB -v '"0x6"' "$card/System Volume Information"
[ "$(getfattr --only-values -n user.DOSATTRIB "$card/System Volume Information")" = 0x6 ]

status=0
out=$(CHRONOSEQ_CARD_ROOT=$card "$here/../../scripts/wine-run.sh" "$tests" \
  --gtest_filter='CardRootCopyTest.*' 2>&1) || status=$?
printf '%s\n' "$out"
# This gtest has no flag that fails a filter matching nothing: the case must
# have run and passed.
grep -q '^\[  PASSED  \] 1 test' <<<"$out" || status=1
# The folder kept its attribute on disk too.
[ "$(getfattr --only-values -n user.DOSATTRIB "$card/System Volume Information")" = 0x6 ] || {
  echo "user.DOSATTRIB of System Volume Information changed" >&2
  status=1
}
rm -rf "$work"
exit $status
