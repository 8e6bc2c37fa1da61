// Makes the installation the hive tests use (tests/platform/hive_test_support.h) for the shell
// check of the test stage: make_test_installation DIR USER...
#include <cstdio>

#include "tests/platform/hive_test_support.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_test_installation DIR USER...\n");
        return 2;
    }
    const std::vector<std::string> users(argv + 2, argv + argc);
    return hivora::test::makeTestInstallation(argv[1], users) ? 0 : 1;
}
