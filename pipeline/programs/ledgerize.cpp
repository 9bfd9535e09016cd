// ledgerize: writes an RSF fact file as a table-of-contents listing.
#include "ledgerize.h"

#include <cstdlib>
#include <iostream>

int main(int argc, char **argv)
{
    pipeline::setUpOutput();
    std::vector<std::string> arguments = pipeline::argumentsOf(argc, argv);
    return pipeline::finish("ledgerize", pipeline::runLedgerize(arguments, std::cout));
}
