// tabula: has listwright write a TA file as a table-of-contents listing.
#include <cstdlib>
#include <iostream>

#include "utilities.h"

int main(int argc, char **argv)
{
    pipeline::setUpOutput();
    std::vector<std::string> arguments = pipeline::argumentsOf(argc, argv);
    return pipeline::finish("tabula", pipeline::runTabula(arguments, std::cout));
}
