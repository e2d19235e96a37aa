// The compiled core of the Python module murinex: a run of the simulation driven
// tick by tick from Python. It starts, resumes, forks and finishes a run with the
// headless runner's own pieces (app/runner_start.h, app/runner_checkpoint.h,
// app/run_manifest.h), so a run from Python writes the runner's bytes.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "agent/maus.h"
#include "agent/mouse_values.h"
#include "agent/names.h"
#include "app/run_manifest.h"
#include "app/runner_checkpoint.h"
#include "app/runner_options.h"
#include "app/runner_start.h"
#include "model/run.h"
#include "sim/overrides.h"
#include "sim/persistence/checkpoint.h"
#include "sim/startup.h"
#include "sim/tick/tick.h"
#include "world/error.h"

namespace py = pybind11;

namespace murinex {
namespace {

// A checkpoint that cannot be written, read or taken up; Python sees murinex.CheckpointError.
class CheckpointFailure : public InputError {
 public:
  explicit CheckpointFailure(const InputError& e) : InputError(e.file(), e.line(), e.message()) {}
  CheckpointFailure(const std::string& file, const std::string& message)
      : InputError(file, 0, message) {}
};

// A bad --set name or value; Python sees ValueError with the runner's message.
class BadValue : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class SilentSound : public SoundSink {
 public:
  void PlayWave(const std::string&) override {}
};

// The identity's tick count a checkpoint of this run records: the ticks done when
// it was written, so the runner can resume it with that many --ticks or more.
constexpr const char* TicksRecord = "--ticks";
// Asked at a resume from Python, where the end of the run is not known in advance.
constexpr long long OpenEnd = LLONG_MAX;

// The runner's command line that asks for the same run, for run.json.
std::vector<std::string> CommandLine(const RunnerOptions& o) {
  std::vector<std::string> words{"murinex.Run",         "--dir", o.dir, "--task", o.task, "--seed",
                                 std::to_string(o.seed)};
  if (!o.out.empty()) words.insert(words.end(), {"--out", o.out});
  if (o.select) words.insert(words.end(), {"--select", std::to_string(*o.select)});
  if (o.checkId) words.insert(words.end(), {"--check-id", std::to_string(*o.checkId)});
  for (const Override& v : o.overrides.Items())
    words.insert(words.end(), {"--set", v.name + "=" + v.text});
  if (o.checkpoint.resume) words.push_back("--resume");
  return words;
}

Overrides ReadOverrides(const std::vector<std::pair<std::string, std::string>>& values) {
  Overrides overrides;
  try {
    for (const auto& [name, text] : values)
      overrides.Add(name + "=" + text);
  } catch (const InputError& e) {
    throw BadValue(e.what());
  }
  return overrides;
}

// One run with the options it was asked with and its manifest; the manifest
// holds a reference to the options, so the three never move.
struct RunState {
  explicit RunState(RunnerOptions o) : options(std::move(o)), run(options.dir), manifest(options) {
    run.OutDir = options.OutputFolder();
    run.Sound = &sound;
    run.RecordLines = false;  // no chart records anything here
  }
  RunnerOptions options;
  SilentSound sound;
  Run run;
  RunManifest manifest;
  bool closed = false;
  // While a step runs without the GIL, another thread must not touch the run.
  bool stepping = false;
};

// A column of the mice table: numbers of one type, or texts.
using Column = std::variant<std::vector<double>, std::vector<std::int64_t>, std::vector<bool>,
                            std::vector<std::string>>;

template <class T>
Column EmptyColumnFor() {
  if constexpr (std::is_same_v<T, bool>)
    return std::vector<bool>{};
  else if constexpr (std::is_floating_point_v<T>)
    return std::vector<double>{};
  else if constexpr (std::is_arithmetic_v<T>)
    return std::vector<std::int64_t>{};
  else
    return std::vector<std::string>{};
}

template <class T>
void Append(Column& column, const T& value) {
  if constexpr (std::is_same_v<T, bool>)
    std::get<std::vector<bool>>(column).push_back(value);
  else if constexpr (std::is_floating_point_v<T>)
    std::get<std::vector<double>>(column).push_back(static_cast<double>(value));
  else if constexpr (std::is_arithmetic_v<T>)
    std::get<std::vector<std::int64_t>>(column).push_back(static_cast<std::int64_t>(value));
  else
    std::get<std::vector<std::string>>(column).push_back(std::string(value));
}

py::object ToPython(const Column& column) {
  return std::visit(
      [](const auto& values) -> py::object {
        using V = typename std::decay_t<decltype(values)>::value_type;
        if constexpr (std::is_same_v<V, std::string>) {
          py::list list(values.size());
          for (std::size_t i = 0; i < values.size(); ++i)
            list[i] = py::str(values[i]);
          return list;
        } else if constexpr (std::is_same_v<V, bool>) {
          py::array_t<bool> array(static_cast<py::ssize_t>(values.size()));
          bool* out = array.mutable_data();
          for (std::size_t i = 0; i < values.size(); ++i)
            out[i] = values[i];
          return array;
        } else {
          py::array_t<V> array(static_cast<py::ssize_t>(values.size()));
          std::copy(values.begin(), values.end(), array.mutable_data());
          return array;
        }
      },
      column);
}

class PyRun {
 public:
  explicit PyRun(std::unique_ptr<RunState> state) : s_(std::move(state)) {}

  static std::unique_ptr<PyRun> Start(const RunnerOptions& asked) {
    auto state = std::make_unique<RunState>(asked);
    // The identity records the ticks asked; a run from Python has asked for none yet.
    state->options.ticks = 0;
    try {
      StartFromPopulation(state->run, state->options, state->manifest);
    } catch (const std::exception& e) {
      // As the runner: a failed start leaves its manifest (run-failed.json) and says why.
      state->manifest.Finish(state->run, e.what());
      WriteManifestQuietly(*state);
      throw;
    }
    return std::make_unique<PyRun>(std::move(state));
  }

  static std::unique_ptr<PyRun> Resume(const RunnerOptions& asked) {
    auto state = std::make_unique<RunState>(asked);
    state->options.ticks = OpenEnd;
    state->options.checkpoint.resume = true;
    const std::string name = CheckpointName(asked.task);
    try {
      if (!ResumeIfAsked(state->run, state->options))
        throw CheckpointFailure(name, "no checkpoint of the task \"" + asked.task + "\" in " +
                                          state->run.OutputDir().string());
    } catch (const ResumeRefused& e) {
      throw CheckpointFailure(name, e.what());
    } catch (const CheckpointFailure&) {
      throw;
    } catch (const InputError& e) {
      throw CheckpointFailure(e);
    }
    ContinueFromCheckpoint(state->run, state->options, state->manifest);
    return std::make_unique<PyRun>(std::move(state));
  }

  // Ticks with the GIL released, taken back about every 20 ms to hand a pending
  // signal (Ctrl-C) to Python between two ticks: the run stops at a tick
  // boundary, and a busy Python thread does not make every tick wait for the GIL.
  void Step(long long ticks) {
    Open();
    if (ticks < 0)
      throw BadValue("step: the number of ticks must be 0 or more, not " + std::to_string(ticks));
    s_->stepping = true;
    struct Done {
      bool& stepping;
      ~Done() { stepping = false; }
    } done{s_->stepping};
    constexpr auto SignalCheck = std::chrono::milliseconds(20);
    long long left = ticks;
    while (left > 0) {
      {
        py::gil_scoped_release release;
        const auto until = std::chrono::steady_clock::now() + SignalCheck;
        do {
          Tick(s_->run);
          s_->manifest.TickDone();
          --left;
        } while (left > 0 && std::chrono::steady_clock::now() < until);
      }
      if (PyErr_CheckSignals() != 0) throw py::error_already_set();
    }
  }

  long long TickCount() const { return s_->run.TickCount; }
  long long TicksDoneSinceStart() const { return TicksDone(s_->run); }

  py::dict Mice() const {
    Idle();
    std::vector<std::string> names;
    std::vector<Column> columns;
    bool first = true;
    for (const auto& m : s_->run.Mice) {
      std::size_t i = 0;
      MouseValues(*m, [&](const std::string& name, const auto& value) {
        using T = std::decay_t<decltype(value)>;
        if (first) {
          names.push_back(name);
          columns.push_back(EmptyColumnFor<T>());
        }
        Append(columns[i++], value);
      });
      first = false;
    }
    py::dict table;
    if (first) {
      for (const std::string& name : MouseValueNames())
        table[py::str(name)] = py::list();
      return table;
    }
    for (std::size_t i = 0; i < names.size(); ++i)
      table[py::str(names[i])] = ToPython(columns[i]);
    return table;
  }

  py::dict Patches() const {
    Idle();
    std::vector<std::string> name, kind;
    std::vector<double> level, amount, x, y;
    if (s_->run.World)
      for (const auto& t : s_->run.World->TerraList) {
        name.push_back(t->Name);
        kind.push_back(t->Kind < goal::Count ? GoalNames[t->Kind] : std::to_string(t->Kind));
        level.push_back(t->Level);
        amount.push_back(t->Amount);
        x.push_back(t->Centre.x);
        y.push_back(t->Centre.y);
      }
    py::dict table;
    table["name"] = ToPython(name);
    table["kind"] = ToPython(kind);
    table["level"] = ToPython(level);
    table["amount"] = ToPython(amount);
    table["centre_x"] = ToPython(x);
    table["centre_y"] = ToPython(y);
    return table;
  }

  // The runner's fork at a resume: the values the run does not hold yet apply now.
  void Set(const std::vector<std::pair<std::string, std::string>>& values) {
    Open();
    ReadOverrides(values).ApplyAtFork(s_->run);
  }

  void Checkpoint() {
    Open();
    MarkTicksAsked();
    try {
      WriteCheckpoint(s_->run);
    } catch (const InputError& e) {
      throw CheckpointFailure(e);
    }
  }

  // A copy of the run in memory continuing into `out`: the output files so far
  // are copied there and cut back to the checkpoint's lengths, the state comes
  // from checkpoint text, and the values of `values` are applied as at a resume.
  std::unique_ptr<PyRun> Fork(const std::string& out,
                              const std::vector<std::pair<std::string, std::string>>& values) {
    Open();
    RunnerOptions options = s_->options;
    options.out = out;
    options.overrides = ReadOverrides(values);
    // Its run.json tells the runner's way to the same files: resume a copy of the folder.
    options.checkpoint.resume = true;
    options.commandLine = CommandLine(options);
    namespace fs = std::filesystem;
    const fs::path from = s_->run.OutputDir();
    std::error_code same;
    if (fs::exists(out) && fs::equivalent(from, out, same))
      throw BadValue("fork: out must be another folder than the run's output folder " +
                     from.string());
    MarkTicksAsked();
    s_->run.FlushProtocols();
    const std::string text = CheckpointText(s_->run);
    try {
      CopyOutputs(from, out);
    } catch (const fs::filesystem_error& e) {
      throw InputError(out, 0, std::string("cannot copy the run's files: ") + e.what());
    }
    auto state = std::make_unique<RunState>(options);
    state->options.ticks = s_->options.ticks;
    try {
      ResumeFromCheckpointText(state->run, options.task, text);
    } catch (const InputError& e) {
      throw CheckpointFailure(e);
    }
    state->manifest.RecordInputs(state->run);
    state->manifest.RecordResume(state->run);
    state->options.overrides.ApplyAtFork(state->run);
    return std::make_unique<PyRun>(std::move(state));
  }

  // Final dumps, every file closed and run.json written; a second call does nothing.
  void Close() {
    Idle();
    if (s_->closed) return;
    s_->closed = true;
    s_->options.ticks = TicksDone(s_->run);
    std::string error;
    try {
      FinishRun(s_->run);
    } catch (const std::exception& e) {
      error = e.what();
    }
    s_->manifest.Finish(s_->run, error);
    s_->manifest.Write();
    if (!error.empty()) throw InputError("", 0, error);
  }

  // Puts what the protocols hold so far on the disk, for the tables read from them.
  void Flush() {
    Idle();
    if (!s_->closed) s_->run.FlushProtocols();
  }

  bool Closed() const { return s_->closed; }
  std::string OutputDir() const { return s_->run.OutputDir().string(); }
  std::string Task() const { return s_->run.TaskName; }
  std::size_t Population() const { return s_->run.Mice.size(); }
  std::vector<std::pair<std::string, std::string>> OverridesInEffect() const {
    std::vector<std::pair<std::string, std::string>> list;
    for (const AppliedOverride& o : Overrides::InEffect(s_->run.AppliedOverrides))
      list.emplace_back(o.name, o.value);
    return list;
  }

 private:
  void Open() const {
    if (s_->closed) throw std::logic_error("the run is closed");
    Idle();
  }
  void Idle() const {
    if (s_->stepping) throw std::logic_error("the run is stepping in another thread");
  }

  void MarkTicksAsked() {
    for (IdentityRecord& r : s_->run.Identity)
      if (r.name == TicksRecord) r.value = std::to_string(TicksDone(s_->run));
  }

  // The protocols and the task's dumps, as copying the output folder would give them.
  void CopyOutputs(const std::filesystem::path& from, const std::filesystem::path& to) const {
    namespace fs = std::filesystem;
    const Run& run = s_->run;
    for (const OutFile* f : {&run.BirthLog, &run.StatProto, &run.KofiProt, &run.Behaviour,
                             &run.AggProt, &run.BirthsTable, &run.DeathsTable, &run.TraitsTable}) {
      if (f->Name().empty() || !fs::exists(from / f->Name())) continue;
      fs::create_directories((to / f->Name()).parent_path());
      fs::copy_file(from / f->Name(), to / f->Name(), fs::copy_options::overwrite_existing);
    }
    fs::create_directories(to / "data");
    for (std::int32_t k = 0; k < run.DumpNumber; ++k)
      for (const std::string kind : {"Maeuse-", "Genom-"}) {
        const std::string name = "data/" + kind + run.TaskName + "-" + std::to_string(k) + ".dat";
        if (fs::exists(from / name))
          fs::copy_file(from / name, to / name, fs::copy_options::overwrite_existing);
      }
  }

  static void WriteManifestQuietly(RunState& state) {
    try {
      state.manifest.Write();
    } catch (const std::exception&) {
      // The start's own error is the one to report.
    }
  }

  std::unique_ptr<RunState> s_;
};

RunnerOptions Options(const std::string& dir, const std::string& task, std::uint32_t seed,
                      const std::vector<std::pair<std::string, std::string>>& set,
                      const std::optional<std::string>& out, std::optional<int> select,
                      std::optional<int> checkId) {
  RunnerOptions o;
  o.dir = dir;
  o.out = out.value_or("");
  o.task = task;
  o.seed = seed;
  o.select = select;
  o.checkId = checkId;
  o.overrides = ReadOverrides(set);
  o.commandLine = CommandLine(o);
  return o;
}

}  // namespace
}  // namespace murinex

PYBIND11_MODULE(_core, m) {
  using namespace murinex;
  m.doc() = "The compiled core of murinex; use the murinex package.";

  // Kept for the life of the process: the interpreter owns the types.
  static const py::handle inputError =
      py::exception<InputError>(m, "InputError", PyExc_Exception).release();
  static const py::handle checkpointError =
      py::exception<CheckpointFailure>(m, "CheckpointError", inputError.ptr()).release();
  py::register_exception_translator([](std::exception_ptr p) {
    const auto raise = [](py::handle type, const InputError& e) {
      py::object error = py::reinterpret_borrow<py::object>(type)(py::str(e.what()));
      error.attr("file") = e.file();
      error.attr("line") = e.line();
      error.attr("what") = e.message();
      PyErr_SetObject(type.ptr(), error.ptr());
    };
    try {
      if (p) std::rethrow_exception(p);
    } catch (const CheckpointFailure& e) {
      raise(checkpointError, e);
    } catch (const ResumeRefused& e) {
      raise(checkpointError, CheckpointFailure("", e.what()));
    } catch (const InputError& e) {
      raise(inputError, e);
    } catch (const BadValue& e) {
      PyErr_SetString(PyExc_ValueError, e.what());
    }
  });

  py::class_<PyRun>(m, "Run")
      .def_static("start",
                  [](const std::string& dir, const std::string& task, std::uint32_t seed,
                     const std::vector<std::pair<std::string, std::string>>& set,
                     const std::optional<std::string>& out, std::optional<int> select,
                     std::optional<int> checkId) {
                    return PyRun::Start(Options(dir, task, seed, set, out, select, checkId));
                  })
      .def_static("resume",
                  [](const std::string& dir, const std::string& task, std::uint32_t seed,
                     const std::vector<std::pair<std::string, std::string>>& set,
                     const std::optional<std::string>& out, std::optional<int> select,
                     std::optional<int> checkId) {
                    RunnerOptions o = Options(dir, task, seed, set, out, select, checkId);
                    o.checkpoint.resume = true;
                    o.commandLine = CommandLine(o);
                    return PyRun::Resume(o);
                  })
      .def("step", &PyRun::Step)
      .def_property_readonly("tick", &PyRun::TickCount)
      .def_property_readonly("ticks_done", &PyRun::TicksDoneSinceStart)
      .def_property_readonly("closed", &PyRun::Closed)
      .def_property_readonly("output_dir", &PyRun::OutputDir)
      .def_property_readonly("task", &PyRun::Task)
      .def_property_readonly("population", &PyRun::Population)
      .def_property_readonly("overrides", &PyRun::OverridesInEffect)
      .def("mice", &PyRun::Mice)
      .def("patches", &PyRun::Patches)
      .def("set", &PyRun::Set)
      .def("checkpoint", &PyRun::Checkpoint)
      .def("fork", &PyRun::Fork)
      .def("flush", &PyRun::Flush)
      .def("close", &PyRun::Close);
  m.def("set_names", &Overrides::AllNames);
  m.def("mouse_value_names", &MouseValueNames);
}
