#include "cli/CommandLine.h"

int main(int argc, char** argv) {
    return quorvale::cli::RunCommandLine({argv + 1, argv + argc});
}
