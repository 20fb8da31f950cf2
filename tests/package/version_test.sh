#!/bin/sh
# The Debian package's version (the newest entry of debian/changelog) is the project's version.
set -u
changelog=$1 expected=$2
first=$(head -n 1 "$changelog")
found=$(printf '%s\n' "$first" | sed -n 's/^quillmarsh (\([^)]*\)) .*/\1/p')
if [ "$found" != "$expected" ]; then
    echo "FAIL: debian/changelog says '${found:-nothing}' ($first), CMakeLists.txt says $expected"
    exit 1
fi
echo "package version $found, the project's"
