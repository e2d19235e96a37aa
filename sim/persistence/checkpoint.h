#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace murinex {

class Run;

// A checkpoint holds what the run is (Run::Identity, first, so a resume can
// refuse another run before reading on) and everything of it between two ticks
// that a later output byte can depend on: counters, generator, settings, world,
// every mouse with its links, the summary lines, the --set values applied so
// far, and how far each protocol file had got. A run continued from it writes
// the same bytes as one that never stopped.
inline constexpr std::string_view CheckpointFormat = "murinex-checkpoint";
inline constexpr int CheckpointVersion = 3;

// "data/checkpoint-<task>.mxc", relative to the run folder.
std::string CheckpointName(const std::string& taskName);
std::filesystem::path CheckpointPath(const std::filesystem::path& workDir,
                                     const std::string& taskName);

// How far one protocol file had got when the checkpoint was taken.
struct SavedOutput {
  std::string name;  // relative to the run folder
  std::uint64_t length = 0;
  bool open = false;
};
// In the order birth log, statistics, competence, behaviour, aggression protocol.
// The protocols, then the life records, then the table of every mouse.
inline constexpr std::size_t SavedOutputCount = 9;
using SavedOutputs = std::array<SavedOutput, SavedOutputCount>;

// The state of the run as checkpoint text. Only between ticks.
std::string CheckpointText(const Run& run);

// Reads checkpoint text into a run that has no state yet (a fresh Run): every
// field the text holds, the terrain lookup rebuilt. The protocol files are not
// touched; their saved names and lengths are returned. A text that is cut
// short, damaged, of another version or no checkpoint at all is refused with
// an InputError.
SavedOutputs ReadCheckpointText(Run& fresh, const std::string& text,
                                const std::string& displayName);

// Puts the protocols on the disk and writes the run's checkpoint atomically.
void WriteCheckpoint(Run& run);

// Whether the run folder holds a checkpoint of the task.
bool HasCheckpoint(const std::filesystem::path& workDir, const std::string& taskName);

// Continues the run `run` (created, with nothing started) from the checkpoint of
// the task in its folder: reads it, cuts every protocol file back to the length
// it had then, and opens it for appending. When the checkpoint is refused, or
// belongs to another task, or a protocol file is shorter than recorded, an
// InputError is raised and neither the run nor any file has changed. `accept`
// sees the saved state first and may refuse it the same way, by raising.
void ResumeFromCheckpoint(Run& run, const std::string& taskName,
                          const std::function<void(const Run& saved)>& accept = {});
// The same from checkpoint text held in memory (CheckpointText of another run
// of the same run folder): a fork that never touches the disk for its state.
void ResumeFromCheckpointText(Run& run, const std::string& taskName, const std::string& text,
                              const std::function<void(const Run& saved)>& accept = {});

}  // namespace murinex
