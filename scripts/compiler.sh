# Sourced by the build scripts: clang when it is installed (scripts/deps.sh installs it), as it
# builds this project in well under half of GCC's time; CC and CXX, when set, win. A build
# folder keeps the compiler it was first configured with.
if [ -z "${CXX:-}" ] && command -v clang++ >/dev/null 2>&1; then
  export CC=clang CXX=clang++
fi
