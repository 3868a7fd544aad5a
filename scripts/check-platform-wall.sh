#!/usr/bin/env bash
# The platform line is a wall: SDL, socket and thread calls live in platform/
# (SDL audio and SDL_mixer in client/assets/ too); everything else sees our own
# types. Prints every stray and fails if there is one.
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
       "sockets" '^$'
report '#include *<(thread|pthread\.h)>|std::thread|pthread_create' "threads" '^$'
report '#include *<(windows|winsock2|ws2tcpip|unistd|fcntl)\.h>|\b(_WIN32|__linux__|__MINGW32__)\b' \
       "system checks" '^tools/(assetgen|mapc|loadgen)/'

if [ $status -eq 0 ]; then echo "platform wall: no strays"; fi
exit $status
