// `server MAP MAXPLAYERS FRAGLIMIT`: hosts one match until it is killed.
#include "server/server.h"

int main(int argc, char** argv) { return serverMain(argc, argv, SendMode::Batched); }
