#include <string>
#include <vector>

#include "arrange/run.h"

int main(int argc, char** argv) {
  return RunArrange(std::vector<std::string>(argv + 1, argv + argc));
}
