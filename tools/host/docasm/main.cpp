#include <iostream>
#include <string>
#include <vector>

#include "DocasmCommand.h"

int main(int argc, char** argv)
{
    return RunDocasm(std::vector<std::string>(argv + 1, argv + argc), std::cerr);
}
