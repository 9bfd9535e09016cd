// libFuzzer target over the token input and the pipeline file reader: any
// text is read as a pipeline file (with and without prep's comments), its
// stage names are planned into commands, and the same text is read as
// tokens and as whole lines.  Reading always reaches the end of the input,
// the lines give back the text, and every plan has one command per stage
// and the final copy.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "stages.h"
#include "tokens.h"

namespace {

std::stringbuf source(std::string_view text) {
  return std::stringbuf(std::string(text), std::ios::in);
}

void check(bool condition) {
  if (!condition) std::abort();
}

void readAsPipeline(std::string_view text, bool dropComments) {
  std::stringbuf file = source(text);
  pipeline::TokenInput in{&file};
  std::vector<std::string> stages;
  bool withinLimit = pipeline::readStageNames(in, dropComments, stages);
  check(stages.size() <= pipeline::maxStages);
  if (!withinLimit) return;
  check(pipeline::atEnd(in));
  pipeline::StageProfile profile;
  profile.prefix = "out";
  profile.chainInput = "in.ta";
  profile.finalFile = "final.ta";
  profile.switches = {{"liftobj", false}, {"addschema", true}};
  profile.knownStages = {"unique", "addcontain"};
  profile.announcesNewStages = !dropComments;
  profile.takesExtraFiles = !dropComments;
  profile.uniqueSuffix = dropComments ? std::optional<std::string>("u") : std::nullopt;
  profile.fileToRemove = "set";
  std::vector<pipeline::PlannedCommand> plan = pipeline::planStages(profile, stages);
  check(plan.size() == stages.size() + 2);
  for (const pipeline::PlannedCommand& planned : plan) check(!planned.command.arguments.empty());
}

void readAsTokens(std::string_view text) {
  std::stringbuf file = source(text);
  pipeline::TokenInput in{&file};
  size_t tokens = 0;
  while (pipeline::skipWhiteSpace(in)) {
    pipeline::readToken(in);
    check(++tokens <= text.size());
  }
  check(pipeline::atEnd(in));
  check(pipeline::readToken(in).empty());
}

void readAsLines(std::string_view text) {
  std::stringbuf file = source(text);
  pipeline::TokenInput in{&file};
  std::string line;
  std::string joined;
  while (pipeline::readLine(in, line)) joined += line + '\n';
  // A last line without its newline is a line too.
  check(joined == text || (!text.empty() && text.back() != '\n' && joined == std::string(text) + '\n'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  readAsPipeline(text, false);
  readAsPipeline(text, true);
  readAsTokens(text);
  readAsLines(text);
  return 0;
}
