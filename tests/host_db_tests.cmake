# The stand-in host's data services over a SQLite production database, and
# the zelba-hostdb command.
zelba_add_test(host_database_test host_database_test.cpp)
target_link_libraries(host_database_test PRIVATE zelba_host zelba_host_store)
target_compile_definitions(host_database_test PRIVATE
  ZELBA_HOSTDB_PATH="$<TARGET_FILE:zelba-hostdb>")
add_dependencies(host_database_test zelba-hostdb)

# zelba-hostdb end to end: the demo database lists its variables and
# categories; a second demo on the same file, an unknown command and a file
# that is not a database fail with a message and a non-zero status.
add_test(NAME hostdb_command
  COMMAND bash -c [[
    set -u
    tool=$0
    dir=$(mktemp -d) || exit 1
    trap 'rm -rf "$dir"' EXIT
    "$tool" --help | grep -q '^Usage: zelba-hostdb COMMAND FILE' || { echo "no usage"; exit 1; }
    "$tool" demo "$dir/demo.db" || { echo "demo failed"; exit 1; }
    "$tool" list "$dir/demo.db" > "$dir/list.txt" || { echo "list failed"; exit 1; }
    # 6 data tables: 8 + 7 + 1 + 2 + 11 + 7 value columns
    grep -q '^Variables (36):$' "$dir/list.txt" || { echo "variable count"; cat "$dir/list.txt"; exit 1; }
    head -2 "$dir/list.txt" | tail -1 | grep -qx '  ALLOCATED.GAS' || { echo "first variable"; exit 1; }
    grep -qx '  MEASURED.OIL' "$dir/list.txt" || { echo "MEASURED.OIL"; exit 1; }
    grep -qx 'Categories (4):' "$dir/list.txt" || { echo "category count"; exit 1; }
    grep -qx '  SEPARATOR: PAD-A, PAD-B, PAD-C, PAD-C-LP' "$dir/list.txt" || { echo "separators"; exit 1; }
    grep -qx '  BATTERY: BAT-A, BAT-B, BAT-C' "$dir/list.txt" || { echo "batteries"; exit 1; }
    if "$tool" demo "$dir/demo.db" 2> "$dir/err.txt"; then echo "demo over a file"; exit 1; fi
    grep -q 'already exists' "$dir/err.txt" || { echo "no message for an existing file"; exit 1; }
    if "$tool" frobnicate "$dir/x.db" 2> /dev/null; then echo "unknown command"; exit 1; fi
    echo "not a database at all, just text that is long enough to fill a header" > "$dir/text.db"
    if "$tool" list "$dir/text.db" 2> "$dir/err.txt"; then echo "list of a text file"; exit 1; fi
    grep -q "cannot read the database" "$dir/err.txt" || { echo "no message"; cat "$dir/err.txt"; exit 1; }
    exit 0
  ]] $<TARGET_FILE:zelba-hostdb>)
