// link: links prepared TA files through the stages of link.pip into out.ls.ta.
#include <cstdlib>
#include <iostream>

#include "linking.h"

int main(int argc, char **argv)
{
    pipeline::setUpOutput();
    std::vector<std::string> arguments = pipeline::argumentsOf(argc, argv);
    return pipeline::finish("link", pipeline::runLinker(pipeline::Linker::link, arguments,
                                                        pipeline::quillonPathOf(std::getenv("QUILLON_PATH")),
                                                        std::cout));
}
