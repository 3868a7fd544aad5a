#!/usr/bin/env bash
# The platform line is a wall: SDL, socket and thread calls live in platform/
# (SDL audio and SDL_mixer in client/assets/ too); everything else sees our own
# types. The client's rooms stand on each other, includes pointing down only:
# shell on everything, the rooms between on client/core, and client/core on
# nothing of the client above it. Prints every stray and fails if there is one.
set -uo pipefail
cd "$(dirname "$0")/.."

status=0
report() {  # pattern, description, allowed-path regex
  local hits
  hits=$(grep -rnE "$1" client server protocol tools --include='*.cpp' --include='*.h' \
         | grep -vE "$3" || true)
  if [ -n "$hits" ]; then
    echo "Outside the platform layer ($2):"
    echo "$hits"
    status=1
  fi
}

report '\bSDL_[A-Za-z]+\(|#include *<SDL' "SDL" '^(client/assets/sound\.cpp|tools/assetgen/)'
report '\bMix_[A-Za-z]+\(|#include *<SDL_mixer' "SDL_mixer" '^client/assets/sound\.cpp'
report '#include *<(sys/socket|netinet/[a-z_]+|arpa/inet|netdb)\.h>|[^_a-zA-Z](sendto|recvfrom|sendmmsg|setsockopt)\(' \
       "sockets" '^tools/netfault/'
report '#include *<(thread|pthread\.h)>|std::thread|pthread_create' "threads" '^tools/netfault/'
report '#include *<(windows|winsock2|ws2tcpip|unistd|fcntl)\.h>|\b(_WIN32|__linux__|__MINGW32__)\b' \
       "system checks" '^tools/(assetgen|mapc|loadgen|netfault)/'

# rooms, description, pattern of includes they must not have
house() {
  local hits
  hits=$(grep -rnE "#include *\"($3)" $1 --include='*.cpp' --include='*.h' || true)
  if [ -n "$hits" ]; then
    echo "Up through the house ($2):"
    echo "$hits"
    status=1
  fi
}
house "client/match client/ui client/map client/net client/assets client/core client/geometry" \
      "a client room includes the shell" 'client/shell/'
house "client/core" "the bottom room includes a room above it" \
      'client/(shell|match|ui|map|net|assets)/'

if [ $status -eq 0 ]; then echo "platform wall: no strays"; fi
exit $status
