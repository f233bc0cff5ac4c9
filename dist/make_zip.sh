#!/usr/bin/env bash
# Packs the distributable: the program and its readme, which Windows'
# Notepad of a Russian system reads as code page 1251 with CRLF line ends.
#
#   make_zip.sh PROGRAM.exe README.txt OUT.zip
set -euo pipefail
program=$1 readme=$2 out=$(realpath -m "$3")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$program" "$stage/Rovelog.exe"
iconv -f UTF-8 -t CP1251 "$readme" | sed 's/$/\r/' >"$stage/readme.txt"
rm -f "$out"
(cd "$stage" && zip -q -X "$out" Rovelog.exe readme.txt)
