#!/usr/bin/env bash
# The engine's layers depend only downwards, and the batch engine runs on a
# machine without Qt or SQLite.
#   layer_check.sh SOURCE_DIR BA_ENGINE [MORE BINARIES...]
set -u
src=$1
engine=$2
shift 2
more=("$@")
status=0

# Lists the includes of FILES... that name one of the folders in $forbidden.
check() {
  local what=$1 forbidden=$2
  shift 2
  local found
  found=$(grep -HnE "#include \"($forbidden)/" "$@" 2>/dev/null)
  if [ -n "$found" ]; then
    echo "$what includes a layer above or beside it:"
    echo "$found"
    status=1
  fi
}

cd "$src"
# The top of engine/: the run driver and the module's entries (module_ui.cpp
# is the user-interface side of InitBaDLL, over the viewer).
model=$(ls engine/*.h engine/*.cpp | grep -vE 'engine/(driver|ba_engine|module_[a-z]+)\.')
check "the run data model" 'input|allocation|output|host|hostmodel|setup' $model
check "the input layer" 'allocation|output|host|hostmodel|setup' input/*.h input/*.cpp
check "the allocation layer" 'input|output|hostmodel|setup' allocation/*.h allocation/*.cpp
# The report viewer lives in output/ but in a user-interface target of its
# own, which shows pages in the host's rich-edit control.
writers=$(ls output/*.h output/*.cpp | grep -v 'output/report_viewer')
check "the output writers" 'input|allocation|host|hostmodel|setup' $writers

for binary in "$engine" "${more[@]}"; do
  needed=$(readelf -d "$binary" | grep NEEDED)
  if echo "$needed" | grep -qiE 'qt|sqlite'; then
    echo "$binary links a user-interface or database library:"
    echo "$needed"
    status=1
  fi
done
exit $status
