// number: asks for a file name and prints the file with line numbers.
#include <iostream>

#include "utilities.h"

int main()
{
    pipeline::setUpOutput();
    pipeline::InputBuffer typed;
    typed.readStandardInput();
    return pipeline::finish("number", pipeline::runNumber(typed, std::cout));
}
