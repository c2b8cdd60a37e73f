#!/usr/bin/env bash
# The engine's layers depend only downwards, and the batch engine runs on a
# machine without Qt or SQLite.
#   layer_check.sh SOURCE_DIR BA_ENGINE
set -u
src=$1
engine=$2
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
model=$(ls engine/*.h engine/*.cpp | grep -vE 'engine/(driver|ba_engine)\.')
check "the run data model" 'input|allocation|output|host|hostmodel|setup' $model
check "the input layer" 'allocation|output|host|hostmodel|setup' input/*.h input/*.cpp
check "the allocation layer" 'input|output|hostmodel|setup' allocation/*.h allocation/*.cpp
check "the output writers" 'input|allocation|host|hostmodel|setup' output/*.h output/*.cpp

needed=$(readelf -d "$engine" | grep NEEDED)
if echo "$needed" | grep -qiE 'qt|sqlite'; then
  echo "ba-engine links a user-interface or database library:"
  echo "$needed"
  status=1
fi
exit $status
