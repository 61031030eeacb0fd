// The stand-in touch driver program, QUILBEX_Driver.exe. See driver/Driver.h.
#include "driver/Driver.h"

int main(int argc, char** argv) {
    return Driver::Run(argc, argv);
}
