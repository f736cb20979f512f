#!/bin/bash
# Installs what building and testing need on a Debian machine, only what is missing.
set -eu
need=()
have() { command -v "$1" >/dev/null 2>&1; }
have cmake || need+=(cmake)
have g++ || need+=(g++)
have make || need+=(make)
have x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64-posix)
[ -x /usr/lib/wine/wine64 ] || need+=(wine wine64)
have Xvfb || need+=(xvfb)
have import || need+=(imagemagick)
have xdpyinfo || need+=(x11-utils)
have xdotool || need+=(xdotool)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
have makensis || need+=(nsis)
[ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
have clang++ || need+=(clang)
[ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
have makensis || need+=(nsis)
[ -n "$(ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a 2>/dev/null)" ] || need+=(libclang-rt-dev)
if [ ${#need[@]} -gt 0 ]; then
    echo "installing: ${need[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    # wine64 only: these machines run no 32-bit programs.
    apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
