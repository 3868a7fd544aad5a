// The server with one send per relay instead of one batch per datagram, to
// measure what the batch buys.
#include "server/server.h"

int main(int argc, char** argv) { return serverMain(argc, argv, SendMode::OneByOne); }
