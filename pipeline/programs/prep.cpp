// prep: makes one extractor TA file linkable through the stages of prep.pip.
#include "prep.h"

#include <cstdlib>
#include <iostream>

#include "stages.h"

int main(int argc, char **argv)
{
    pipeline::setUpOutput();
    std::vector<std::string> arguments = pipeline::argumentsOf(argc, argv);
    return pipeline::finish(
        "prep",
        pipeline::runPrep(arguments, pipeline::quillonPathOf(std::getenv("QUILLON_PATH")), std::cout));
}
