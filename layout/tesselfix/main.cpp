#include "tesselfix_program.h"

int main(int argc, char **argv)
{
    return layout::tesselfix::tesselfixMain(argc, argv);
}
