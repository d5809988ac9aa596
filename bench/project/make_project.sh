#!/bin/sh
# Makes a tree of FILES empty files, 100 to a folder, and a project file
# listing every file and every folder (with patterns):
#
#   bench/project/make_project.sh [FILES] [FOLDER]   (default 50000, /tmp/qel-bench-project)
#
# Prints the path of the project file. The same layout every time.
set -eu
files=${1:-50000}
root=${2:-/tmp/qel-bench-project}
tree="$root/tree"
prj="$root/p$files.prj"
if [ ! -d "$tree" ] || [ "$(find "$tree" -type f | wc -l)" -ne "$files" ]; then
  rm -rf "$tree"
  mkdir -p "$tree"
  folders=$(( (files + 99) / 100 ))
  i=0
  while [ "$i" -lt "$folders" ]; do
    mkdir "$tree/d$i"
    n=$(( files - i * 100 )); [ "$n" -gt 100 ] && n=100
    (cd "$tree/d$i" && seq -f "f%.0f.c" 0 $(( n - 1 )) | xargs touch)
    i=$(( i + 1 ))
  done
fi
{
  echo '<?xml version="1.0" encoding="UTF-8"?>'
  echo '<files>'
  echo '  <!--bench project-->'
  find "$tree" -mindepth 1 -maxdepth 1 -type d | sort | sed 's|.*|  <folder extensions="*.c;*.h">&</folder>|'
  find "$tree" -type f | sort | sed 's|.*|  <file>&</file>|'
  echo '</files>'
} >"$prj"
echo "$prj"
