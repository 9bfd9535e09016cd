// joinwide: links prepared TA files through the stages of joinwide.pip into
// out.ln.ta.
#include <cstdlib>
#include <iostream>

#include "linking.h"

int main(int argc, char **argv)
{
    pipeline::setUpOutput();
    std::vector<std::string> arguments = pipeline::argumentsOf(argc, argv);
    return pipeline::finish(
        "joinwide", pipeline::runLinker(pipeline::Linker::joinwide, arguments,
                                        pipeline::quillonPathOf(std::getenv("QUILLON_PATH")), std::cout));
}
