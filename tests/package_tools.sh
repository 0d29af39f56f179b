# Sourced by the package tests: skips the test (status 77) with its reason
# when the build cannot make a Debian package, given as WHY_SKIPPED, or when
# the tools that compute the package's dependencies are missing; then gives
# it a work folder that goes when it ends.
# Usage: skip_unless_packaging [WHY_SKIPPED]
skip_unless_packaging() {
  if [ $# -gt 0 ]; then
    echo "skipped: $1"
    exit 77
  fi
  # The package's dependencies are computed by dpkg-shlibdeps, which needs
  # file; without them the package is not made at all.
  for tool in dpkg-deb dpkg-shlibdeps file; do
    if ! command -v "$tool" >/dev/null; then
      echo "skipped: $tool is missing (apt-get install dpkg-dev file)"
      exit 77
    fi
  done
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
}
