#pragma once
#include "scriptfile/ScriptReader.h"
#include "scriptfile/ScriptWriter.h"

#include <string>
#include <vector>

namespace orv::script {

// Writes down every control write in order: "Tone", "fEdit=1000",
// "mono=1", "WaveForm#0".
class RecordingSink : public ControlSink {
 public:
  void SelectCommand(Command command) override;
  void SetText(Edit edit, const std::string& text) override;
  void SetChecked(Check box, bool checked) override;
  void SelectIndex(List list, int32_t index) override;

  std::vector<std::string> writes;
};

// Holds the writes in an editor record, as the editor's controls would.
class RecordSink : public ControlSink {
 public:
  explicit RecordSink(MemoryRecord& record) : record_(record) {}

  void SelectCommand(Command command) override;
  void SetText(Edit edit, const std::string& text) override;
  void SetChecked(Check box, bool checked) override;
  void SelectIndex(List list, int32_t index) override;

 private:
  MemoryRecord& record_;
};

}  // namespace orv::script
