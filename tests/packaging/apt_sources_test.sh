#!/usr/bin/env bash
# The Windows builds fetch Debian sources from the entries apt already has: both file formats,
# disabled and source-only entries left out, options such as the signing key kept.
set -euo pipefail
script="$1"
etc=$(mktemp -d)
trap 'rm -rf "$etc"' EXIT
mkdir -p "$etc/sources.list.d"
cat >"$etc/sources.list" <<'LIST'
# deb http://commented.invalid/debian bookworm main
deb [arch=amd64] http://one.invalid/debian bookworm main contrib  # trailing note
deb-src http://already-source.invalid/debian bookworm main
LIST
cat >"$etc/sources.list.d/mirror.sources" <<'DEB822'
Types: deb deb-src
URIs: http://two.invalid/debian http://three.invalid/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/key.gpg

Types: deb
Enabled: no
URIs: http://disabled.invalid/debian
Suites: bookworm
Components: main

Types: deb-src
URIs: http://source-only.invalid/debian
Suites: bookworm
Components: main
DEB822
echo "deb http://ignored.invalid/debian bookworm main" >"$etc/sources.list.d/other.list.disabled"
expected='deb-src [arch=amd64] http://one.invalid/debian bookworm main contrib
deb-src [signed-by=/usr/share/keyrings/key.gpg] http://two.invalid/debian bookworm main
deb-src [signed-by=/usr/share/keyrings/key.gpg] http://two.invalid/debian bookworm-updates main
deb-src [signed-by=/usr/share/keyrings/key.gpg] http://three.invalid/debian bookworm main
deb-src [signed-by=/usr/share/keyrings/key.gpg] http://three.invalid/debian bookworm-updates main'
actual=$("$script" "$etc")
if [ "$actual" != "$expected" ]; then
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
# No script names an archive's host of its own.
if grep -rlE '(deb|deb-src) +https?://' "$(dirname "$script")"; then exit 1; fi
echo "apt-sources: ok"
