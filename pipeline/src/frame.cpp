#include "frame.hpp"

#include <cstdio>
#include <iostream>

namespace pipeline {

void setUpOutput() { std::cout << std::unitbuf; }

std::vector<std::string> argumentsOf(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  return arguments;
}

const char* stopReason(Outcome outcome) {
  switch (outcome) {
    case Outcome::done:
      return "";
    case Outcome::quit:
      return "Quit #1";
    case Outcome::violatedLimit:
      return "Assert condition is false";
  }
  return "";
}

int finish(const char* programName, Outcome outcome) {
  if (outcome == Outcome::done) return 0;
  std::cout.flush();
  std::fprintf(stderr, "%s stopped: %s\n", programName, stopReason(outcome));
  return stopStatus;
}

bool isUsageRequest(const std::vector<std::string>& arguments) {
  return arguments.empty() || (arguments.size() == 1 && arguments[0] == "-h");
}

}  // namespace pipeline
