#include "tessel_program.h"

int main(int argc, char **argv)
{
    return layout::tessel::tesselMain(argc, argv);
}
