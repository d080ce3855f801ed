#!/bin/sh
# The Debian package of what a build folder made, judged the way a distribution judges one:
# lintian, the AppStream and desktop entry validators, and man on the manual page, plus the
# packed launcher's own answers. Everything is written under one temporary folder (the install
# step also leaves its usual install_manifest.txt in the build folder).
# Usage: debian_package_test.sh <build folder>
set -eu

build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# The installation cpack makes (a staging root under the prefix /usr, stripped), packed with the
# project's own package settings. cpack is not left to install by itself, because it would
# first run make over the whole build folder.
DESTDIR=$scratch/root cmake --install "$build" --prefix /usr --strip >/dev/null
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/package" \
  -D CPACK_INSTALL_CMAKE_PROJECTS= -D "CPACK_INSTALLED_DIRECTORIES=$scratch/root;." >/dev/null
deb=$(echo "$scratch"/package/vexadrome_*.deb)
[ -f "$deb" ] || fail "cpack made no package"

# Any error, warning or informational tag fails, except these informational ones:
# - binary-has-unneeded-section: CMake strips with plain `strip`, which keeps the .comment
#   section naming the compiler (Debian's own packaging tools remove it; it costs a few bytes).
# - hardening-no-fortify-functions: checked string and memory calls need an optimised build,
#   and the test build is unoptimised, with sanitizers instead; release builds have them.
# - arch-dep-package-has-big-usr-share: the assets are most of a release package (here the
#   sanitized program outweighs them). A separate architecture-independent data package pays
#   off only for an archive that carries many architectures.
# The test build's package depends on the sanitizer runtimes (libasan8, libubsan1), which it
# really needs; a release build's package does not.
allowed=binary-has-unneeded-section,hardening-no-fortify-functions,arch-dep-package-has-big-usr-share
lintian --display-info --fail-on error,warning,info --suppress-tags "$allowed" "$deb" ||
  fail "lintian"

dpkg-deb -x "$deb" "$scratch/unpacked"
usr=$scratch/unpacked/usr
appstreamcli validate --no-net "$usr"/share/metainfo/*.metainfo.xml >/dev/null ||
  fail "appstreamcli validate"
# desktop-file-validate prints warnings but fails only on errors.
report=$(desktop-file-validate "$usr"/share/applications/*.desktop 2>&1) || true
[ -z "$report" ] || fail "desktop-file-validate: $report"
report=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$usr/share/man/man6/vexadrome.6.gz" 2>&1 >/dev/null)
[ -z "$report" ] || fail "man: $report"

# One version throughout: the package, the launcher's answer and the changelog's latest entry.
version=$(dpkg-deb -f "$deb" Version)
[ "$("$usr/games/vexadrome" --version)" = "vexadrome $version" ] || fail "launcher --version"
gzip -dc "$usr/share/doc/vexadrome/changelog.gz" | head -n 1 | grep -qF "vexadrome ($version)" ||
  fail "changelog does not start with version $version"

# A home prefix gets the command in bin/, which is on the user's PATH, and no games/.
cmake --install "$build" --prefix "$scratch/home" >/dev/null
if [ ! -x "$scratch/home/bin/vexadrome" ] || [ -e "$scratch/home/games" ]; then
  fail "a home installation's command is not in bin/"
fi
