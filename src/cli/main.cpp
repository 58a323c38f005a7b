#include "cli/Cli.h"

int main(int intArgc, char **charArgv) {
    return Cli::main(intArgc, charArgv);
}
