#include <iostream>
#include <string>
#include <vector>

#include "cli/calc.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return velmora::RunCalc(args, std::cout, std::cerr);
}
