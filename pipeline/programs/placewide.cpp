// placewide: runs the layout stages of placewide.pip over one linked TA file.
#include <cstdlib>
#include <iostream>

#include "linking.h"

int main(int argc, char **argv)
{
    pipeline::setUpOutput();
    std::vector<std::string> arguments = pipeline::argumentsOf(argc, argv);
    return pipeline::finish(
        "placewide",
        pipeline::runPlacewide(arguments, pipeline::quillonPathOf(std::getenv("QUILLON_PATH")), std::cout));
}
