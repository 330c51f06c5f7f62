// valdrin-cli entry: hands the command line to run_cli.
#include <cstdio>

#include "cli/commands.h"

int main(int argc, char** argv) { return valdrin::run_cli(argc, argv, stdout, stderr); }
