#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine with apt-get and
# checks it as a user would meet it: tarne-cli --version, tarne-cli demo as
# root and as an unprivileged user (nobody), the desktop program's --help,
# the manual pages and the bash completion.  Then purges the package and
# checks that none of its files, and no trace in the desktop's file-type and
# icon caches, is left.  Any failure exits non-zero.
#
# Needs root (or sudo).  The package is never left installed: it is purged
# on every way out, and a tarne package found installed at the start (left
# by an interrupted run) is purged first, so the script may be run again.
set -euo pipefail
cd "$(dirname "$0")/.."
sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
apt_get() {
  # Another apt-get on the machine holds the lock for a while, not forever.
  # Without fsync the file-type database is rewritten in a tenth of the time
  # (the package's file type triggers it on install and on purge).
  $sudo_cmd env DEBIAN_FRONTEND=noninteractive PKGSYSTEM_ENABLE_FSYNC=0 \
    apt-get -qq -o DPkg::Lock::Timeout=300 "$@"
}
known() { dpkg-query -W tarne >/dev/null 2>&1; }
fail() {
  echo "package_test: FAILED: $*" >&2
  exit 1
}

start=$SECONDS
deb=$(scripts/package.sh)
# The client library for projects on a server is loaded at run time, so
# nothing but this line makes the package bring it.
dpkg-deb -f "$deb" Depends | grep -q 'libpq5' || fail "the package does not depend on libpq5"
work=$(mktemp -d "${TMPDIR:-/tmp}/tarne-package-test-XXXXXX")
cleanup() {
  if known; then apt_get purge -y tarne >/dev/null || true; fi
  $sudo_cmd rm -rf "$work"
}
trap cleanup EXIT
if known; then
  echo "package_test: purging the tarne package found installed" >&2
  apt_get purge -y tarne >/dev/null
fi

# apt's download user must be able to read the file.
chmod 755 "$work"
cp "$deb" "$work/"
apt_get install -y "$work/$(basename "$deb")" >/dev/null
version=$(dpkg-query -W -f='${Version}' tarne)
echo "package_test: installed $(basename "$deb") ($(($(stat -c %s "$deb") / 1024)) KB)"

cli=/usr/bin/tarne-cli
[ -x "$cli" ] || fail "$cli is not installed"
"$cli" --version | grep -qF "$version" || fail "tarne-cli --version does not say $version"

# The demo as root, into a folder given, with the per-user files in $work.
mkdir -p "$work/root"
HOME="$work/root" XDG_CONFIG_HOME="" "$cli" demo "$work/root/demo" >"$work/root/report.txt" ||
  fail "tarne-cli demo as root: $(tail -3 "$work/root/report.txt")"
grep -q "Accuracy" "$work/root/report.txt" || fail "the demo's report has no accuracy"
[ -f "$work/root/demo/demo.db" ] || fail "the demo wrote no database"

# The demo as a user who may write only their own folders: into a new
# folder under their temporary folder.
nobody="$work/nobody"
mkdir -p "$nobody/tmp"
$sudo_cmd chown -R nobody "$nobody"
(cd "$nobody" && $sudo_cmd runuser -u nobody -- env HOME="$nobody" TMPDIR="$nobody/tmp" \
  XDG_CONFIG_HOME="" "$cli" demo >"$work/nobody-report.txt" 2>&1) ||
  fail "tarne-cli demo as nobody: $(tail -3 "$work/nobody-report.txt")"
ls "$nobody"/tmp/tarne-demo-*/demo.db >/dev/null 2>&1 || fail "the demo as nobody wrote no database"

if [ -x /usr/bin/tarne ]; then
  /usr/bin/tarne --help | grep -q "usage: tarne" || fail "tarne --help"
fi

# The manual pages: through man when man-db is there, else the files.
for page in tarne-cli $([ -x /usr/bin/tarne ] && echo tarne); do
  file=/usr/share/man/man1/$page.1.gz
  if [ ! -f "$file" ] && grep -qs "path-exclude.*/usr/share/man" /etc/dpkg/dpkg.cfg.d/*; then
    echo "package_test: dpkg leaves manual pages out on this machine; not checking $page(1)"
    continue
  fi
  [ -f "$file" ] || fail "$file is not installed"
  if command -v man >/dev/null; then
    [ "$(man -w "$page")" = "$file" ] || fail "man -w $page does not find $file"
    text=$(MANWIDTH=80 man "$page" 2>/dev/null)
  else
    text=$(zcat "$file")
  fi
  grep -q "SYNOPSIS" <<<"$text" || fail "$page(1) has no synopsis"
done
if command -v man >/dev/null; then
  MANWIDTH=80 man tarne-cli 2>/dev/null | grep -q "tarne-cli train PROJECT.trn" ||
    fail "man tarne-cli does not describe train"
fi

# The completion: where bash-completion loads it from, registered, and
# offering the token kinds after a project.
completion=/usr/share/bash-completion/completions/tarne-cli
[ -f "$completion" ] || fail "$completion is not installed"
offered=$(bash -c 'source "$0"; complete -p tarne-cli >/dev/null || exit 1
  COMP_WORDS=(tarne-cli train x.trn ""); COMP_CWORD=3; _tarne_cli; echo "${COMPREPLY[*]}"' "$completion")
[ "$offered" = "words pairs arguments" ] || fail "completion after 'train x.trn' offers '$offered'"

# Purge, and check that nothing of the package is left.
dpkg -L tarne >"$work/files"
apt_get purge -y tarne >/dev/null
known && fail "tarne is still known to dpkg after purge"
while read -r path; do
  [ -e "$path" ] || continue
  if [ -d "$path" ] && { [ -n "$(ls -A "$path")" ] || dpkg -S "$path" >/dev/null 2>&1; }; then
    continue # a folder other packages use
  fi
  fail "$path is left after purge"
done <"$work/files"
left=$(find /usr/bin /usr/share -name '*tarne*' 2>/dev/null; grep -rls tarne /usr/share/mime /usr/share/applications/mimeinfo.cache 2>/dev/null || true)
[ -z "$left" ] || fail "left after purge: $left"
echo "package_test: passed in $((SECONDS - start)) s (installed, demo as root and nobody, man, completion, purged)"
