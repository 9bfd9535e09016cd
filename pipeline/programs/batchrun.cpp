// batchrun: runs prep over the table of example sources in the test
// directory (QUILLON_BATCHRUN_DIR, else the directory built in). Arguments
// are ignored.
#include <cstdlib>
#include <iostream>

#include "utilities.h"

int main()
{
    pipeline::setUpOutput();
    std::string testDirectory =
        pipeline::batchTestDirectory(std::getenv("QUILLON_BATCHRUN_DIR"), QUILLON_BATCHRUN_DEFAULT_DIR);
    return pipeline::finish("batchrun", pipeline::runBatch(testDirectory, std::cout));
}
