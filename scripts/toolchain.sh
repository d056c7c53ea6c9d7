# shellcheck shell=bash
# Sourced by the build scripts. clang when it is installed (scripts/deps.sh installs it): it
# builds this project in well under half of GCC's time; CC and CXX, when set, win. Ninja when
# installed, for its scheduling of two cores. A build folder keeps the compiler and generator
# it was first configured with.
if [ -z "${CXX:-}" ] && command -v clang++ >/dev/null 2>&1; then
  export CC=clang CXX=clang++
fi

# qx_configure BUILD [CMAKE ARGS...]
qx_configure() {
  local build=$1 generator="Unix Makefiles"
  shift
  if [ -f "$build/CMakeCache.txt" ]; then
    generator=$(sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' "$build/CMakeCache.txt")
  elif command -v ninja >/dev/null 2>&1; then
    generator=Ninja
  fi
  cmake -S . -B "$build" -G "$generator" "$@" >/dev/null
}
