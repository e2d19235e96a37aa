#include "app/runner_options.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cstdlib>
#include <iostream>
#include <limits>

#include "model/run.h"
#include "sim/persistence/mouse_table.h"
#include "world/error.h"

namespace murinex {

namespace {

// Every option; the synopsis of docs/guide.md is this text without "usage: " (a test keeps
// them equal).
const char* const UsageLine =
    "usage: murinex-run --dir DIR --ticks N [--task NAME] [--seed S] [--set NAME=VALUE]...\n"
    "                   [--out DIR] [--select ID] [--check-id ID]\n"
    "                   [--checkpoint-every K] [--resume] [--stop-after K]\n"
    "                   [--stop-when-extinct] [--observe-every K [--observe NAME,NAME]]\n"
    "       murinex-run --list-set-names\n"
    "       murinex-run --list-observe-names\n";

const char* const Description =
    "Runs the simulation of the run folder DIR (with DIR/data/inimaus.ini) for N ticks\n"
    "without windows, then writes the final population and genome dumps and the\n"
    "manifest run.json (what was run, on which inputs, and how it ended).\n";

const char* const Examples =
    "Examples:\n"
    "  murinex-run --dir runs/r1 --ticks 20000\n"
    "  murinex-run --dir default-run --out results/a/seed-3 --ticks 20000 --seed 3 \\\n"
    "              --set world.Food.Growth=0.005 --set mice.Carefactor=0.8\n"
    "  murinex-run --dir r1 --ticks 20000 --checkpoint-every 5000 --resume\n"
    "  cp -r r1 r1-fork  # a copy of the stopped run, continued under a new value:\n"
    "  murinex-run --dir r1-fork --ticks 20000 --resume --set MutationRate=0.2\n"
    "\n"
    "Exit status: 0 done, 1 input or output error (the message names file and line),\n"
    "2 bad usage (a resume of another run's checkpoint too), 75 stopped at a checkpoint\n"
    "(by a signal or --stop-after).\n";

// CLI11's help, under the usage line and description of this program.
class HelpFormatter : public CLI::Formatter {
 public:
  std::string make_usage(const CLI::App*, std::string) const override {
    return std::string(UsageLine) + "\n" + Description;
  }
};

[[noreturn]] void BadUsage(const std::string& message) {
  std::cerr << "murinex-run: " << message << "\n" << UsageLine << "Try murinex-run --help.\n";
  std::exit(2);
}

// A whole number in decimal, nothing before or after it.
long long WholeNumber(const std::string& option, const std::string& text, long long min,
                      long long max) {
  long long value = 0;
  const char* first = text.data() + (!text.empty() && text[0] == '+' ? 1 : 0);
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(first, last, value);
  if (text.empty() || error != std::errc() || end != last || value < min || value > max)
    BadUsage(option + " expects a whole number from " + std::to_string(min) + " to " +
             std::to_string(max) + ", got \"" + text + "\"");
  return value;
}

int Id(const std::string& option, const std::string& text) {
  return static_cast<int>(WholeNumber(option, text, std::numeric_limits<std::int32_t>::min(),
                                      std::numeric_limits<std::int32_t>::max()));
}

struct RawOptions {
  std::string ticks, select, checkId, seed, checkpointEvery, stopAfter, observeEvery;
  std::vector<std::string> sets, observe;
  bool listNames = false, listObserveNames = false;
};

void DefineOptions(CLI::App& app, RunnerOptions& o, RawOptions& raw) {
  app.add_option("--dir", o.dir,
                 "the run folder, holding data/inimaus.ini and the files it names\n"
                 "(example: --dir runs/r1)")
      ->type_name("DIR");
  app.add_option("--ticks", raw.ticks, "number of ticks to run, 0 or more (example: --ticks 20000)")
      ->type_name("N");
  app.add_option("--task", o.task,
                 "the task name, part of every output file name; default NN\n"
                 "(example: --task A1 writes Proto/ProtoA1.prt)")
      ->type_name("NAME");
  app.add_option("--seed", raw.seed,
                 "the random generator's seed at population set-up, 0 to 4294967295;\n"
                 "default 1 (example: --seed 7)")
      ->type_name("S");
  app.add_option("--set", raw.sets,
                 "change a value of the inputs before dump 0 (with --resume: at the\n"
                 "checkpoint's tick), repeatable: a settings entry, a value of every\n"
                 "mouse or of every patch of a kind, or one of the model's own values\n"
                 "(model.MatingAge, model.DumpInterval, ...; see docs/model.md)\n"
                 "(example: --set MutationRate=0.05 --set mice.Carefactor=0.8\n"
                 "--set world.Food.Growth=0.01 --set PersonRanges.Carefactor.max=0.9;\n"
                 "--list-set-names shows them all)")
      ->type_name("NAME=VALUE")
      ->take_all()
      ->expected(1);
  app.add_option("--out", o.out,
                 "write protocols, dumps and run.json below DIR instead of the run\n"
                 "folder, which is then only read (example: --out results/r1)")
      ->type_name("DIR");
  app.add_option("--select", raw.select,
                 "pick the mouse with this ID, as a click on it would: its decisions\n"
                 "go to the behaviour and competence protocols (example: --select 35)")
      ->type_name("ID");
  app.add_option("--check-id", raw.checkId,
                 "the check mouse ID; default 35 (example: --check-id 12)")
      ->type_name("ID");
  app.add_option("--checkpoint-every", raw.checkpointEvery,
                 "after every K-th tick write the checkpoint data/checkpoint-TASK.mxc\n"
                 "in the output folder (example: --checkpoint-every 1000)")
      ->type_name("K");
  app.add_flag("--resume", o.checkpoint.resume,
               "continue from the checkpoint in the output folder until --ticks ticks\n"
               "are done in all; without a checkpoint start from the beginning. --set\n"
               "values the checkpoint holds are not applied again; any other is applied\n"
               "at the checkpoint's tick, a fork. The checkpoint of another run (other\n"
               "inputs, --task, --seed, --select or --check-id, fewer --ticks) is refused\n"
               "with exit status 2 (example: --resume --set mice.Carefactor=0.9)");
  app.add_option("--stop-after", raw.stopAfter,
                 "stop as on SIGTERM once K ticks are done: checkpoint, exit 75\n"
                 "(example: --stop-after 5000)")
      ->type_name("K");
  app.add_flag("--stop-when-extinct", o.stopWhenExtinct,
               "end the run after the tick in which the last mouse died: final dumps,\n"
               "run.json with \"status\": \"extinct\" (example: --stop-when-extinct)");
  app.add_flag("--list-set-names", raw.listNames,
               "print every name --set accepts, one a line, and stop");
  app.add_option("--observe-every", raw.observeEvery,
                 "at the start and after every K-th tick one row per living mouse in\n"
                 "Proto/Mice-TASK.csv.gz; default 0, no table (example: --observe-every 100)")
      ->type_name("K");
  app.add_option("--observe", raw.observe,
                 "the columns of that table after tick and id, comma-separated; default\n"
                 "all (example: --observe Age,x,y,Carefactor; --list-observe-names shows them)")
      ->type_name("NAME,NAME")
      ->delimiter(',');
  app.add_flag("--list-observe-names", raw.listObserveNames,
               "print every column --observe accepts, one a line, and stop");
}

void ListSetNames() {
  for (const std::string& name : Overrides::AllNames())
    std::cout << name << "\n";
  std::exit(0);
}

}  // namespace

RunnerOptions ParseRunnerOptions(int argc, char** argv) {
  RunnerOptions o;
  RawOptions raw;
  o.commandLine.assign(argv, argv + argc);
  CLI::App app("", "murinex-run");
  app.formatter(std::make_shared<HelpFormatter>());
  app.get_formatter()->column_width(26);
  app.footer(Examples);
  DefineOptions(app, o, raw);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    std::cout << app.help();
    std::exit(0);
  } catch (const CLI::ParseError& error) {
    BadUsage(error.what());
  }
  if (raw.listNames) ListSetNames();
  if (raw.listObserveNames) {
    for (const std::string& name : ObservableNames())
      std::cout << name << "\n";
    std::exit(0);
  }
  if (o.dir.empty()) BadUsage("--dir is required");
  if (raw.ticks.empty()) BadUsage("--ticks is required");
  if (!ValidTaskName(o.task))
    BadUsage("--task \"" + o.task + "\" cannot be part of a file name: it must have 1 to " +
             std::to_string(MaxTaskNameLength) +
             " characters, not be \".\" or \"..\", and hold no \"/\", \"\\\" or control "
             "character");
  o.ticks = WholeNumber("--ticks", raw.ticks, 0, std::numeric_limits<long long>::max());
  if (!raw.seed.empty())
    o.seed = static_cast<std::uint32_t>(
        WholeNumber("--seed", raw.seed, 0, std::numeric_limits<std::uint32_t>::max()));
  if (!raw.select.empty()) o.select = Id("--select", raw.select);
  if (!raw.checkId.empty()) o.checkId = Id("--check-id", raw.checkId);
  const long long most = std::numeric_limits<long long>::max();
  if (!raw.checkpointEvery.empty())
    o.checkpoint.every = WholeNumber("--checkpoint-every", raw.checkpointEvery, 1, most);
  if (!raw.stopAfter.empty())
    o.checkpoint.stopAfter = WholeNumber("--stop-after", raw.stopAfter, 1, most);
  if (!raw.observeEvery.empty())
    o.observeEvery = WholeNumber("--observe-every", raw.observeEvery, 0, most);
  o.observe = raw.observe;
  if (const std::vector<std::string> unknown = UnknownObservableNames(o.observe); !unknown.empty())
    BadUsage("--observe: no column \"" + unknown.front() +
             "\" (--list-observe-names shows them all)");
  if (!o.observe.empty() && o.observeEvery == 0)
    BadUsage("--observe names the columns of the table that --observe-every K writes");
  try {
    for (const std::string& assignment : raw.sets)
      o.overrides.Add(assignment);
  } catch (const InputError& error) {
    BadUsage(error.what());
  }
  return o;
}

}  // namespace murinex
