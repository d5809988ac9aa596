#!/bin/sh
# Lists the files.
for f in *; do
  echo "$f" # each
done
