#pragma once
#include <string>
#include <string_view>

namespace orv::script {

// Runs arbitrary bytes through the line reader, the splitter and both line
// readers, and a record made from them through a write and read round trip.
// Returns what went wrong, or an empty text.
std::string ExerciseScriptInput(std::string_view data);

}  // namespace orv::script
