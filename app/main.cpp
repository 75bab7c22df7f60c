// The program corvex.
#include "shell/program.h"

int main(int argc, char** argv) {
    return corvex::runCorvex(argc, argv);
}
