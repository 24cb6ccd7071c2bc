#!/bin/sh
# Runs every test of a GoogleTest program in a process of its own, so that each
# starts SDL afresh; fails when one fails.
program="$1"
suite=""
"$program" --gtest_list_tests | while IFS= read -r line; do
  case "$line" in
    "  "*) name=$(echo "$line" | sed 's/^ *//; s/ .*//')
           "$program" --gtest_filter="$suite$name" || exit 1 ;;
    *) suite="$line" ;;
  esac
done
