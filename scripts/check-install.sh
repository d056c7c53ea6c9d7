#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks what a desktop needs from it: the four
# programs, valid launchers and store metadata, hicolor icons, readable manual pages.
# usage: scripts/check-install.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: check-install.sh BUILD_DIR}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail=0
check() { if ! "$@"; then echo "FAILED: $*" >&2; fail=1; fi; }
for program in quarx32 lumex quarxtool mkdisc; do
  check test -x "$prefix/bin/$program"
  check test -s "$prefix/share/man/man1/$program.1"
  # Every manual page formats without a warning (where a man reader is installed).
  if command -v man >/dev/null; then
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l --warnings "$prefix/share/man/man1/$program.1" 2>&1 >/dev/null || true)
    check test -z "$warnings"
  fi
done
for id in org.quarx.quarx32 org.quarx.lumex; do
  check desktop-file-validate "$prefix/share/applications/$id.desktop"
  check appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$id.metainfo.xml"
  check test -s "$prefix/share/icons/hicolor/scalable/apps/$id.svg"
  for size in 16 32 48 64 128 256; do
    check test -s "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
  done
done
# The installed programs start from the prefix (without a display: they only answer).
check "$prefix/bin/quarx32" --version
check "$prefix/bin/lumex" --version
exit $fail
