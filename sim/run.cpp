#include "sim/run.h"

#include <algorithm>
#include <limits>

#include "agent/maus.h"
#include "sim/charts.h"
#include "world/error.h"

namespace murinex {

Run::Run(std::filesystem::path workDir) : WorkDir(std::move(workDir)) {}

Run::~Run() = default;

std::unique_ptr<TMaus> Run::NewMaus() {
  if (IdCounter == std::numeric_limits<std::int32_t>::max())
    throw InputError("", 0,
                     "tick " + std::to_string(TickCount) +
                         ": no ID is left for a new mouse (the largest integer is taken)");
  IdCounter += 1;
  auto mouse = std::make_unique<TMaus>(IdCounter);
  BindLines(*this, *mouse);
  return mouse;
}

TMaus* Run::MausById(std::int32_t id) const {
  for (const auto& m : Mice)
    if (m->ID == id) return m.get();
  return nullptr;
}

void Run::SelectMaus(TMaus* mouse) {
  SelectedMaus = mouse;
  if (Observer) Observer->MausSelected(mouse);
}

namespace {

void Forget(TMausRefs& list, const TMaus* gone) {
  list.erase(std::remove(list.begin(), list.end(), gone), list.end());
}

}  // namespace

void Run::RemoveMaus(std::size_t index) {
  TMaus* gone = Mice.at(index).get();
  for (auto& m : Mice) {
    auto& rel = m->Relations;
    rel.erase(std::remove_if(rel.begin(), rel.end(),
                             [gone](const TFrinEn& e) { return e.OtherMaus == gone; }),
              rel.end());
    if (m->Partner == gone) m->Partner = nullptr;
    if (m->Competitor == gone) m->Competitor = nullptr;
    if (m->Miserablemaus == gone) m->Miserablemaus = nullptr;
    // The seen lists are refilled by each look-around, but a mouse that skips
    // its look-around would keep the dead one there.
    Forget(m->SeenMice, gone);
    Forget(m->SeenFriends, gone);
    Forget(m->SeenEnemies, gone);
    Forget(m->SeenStrangers, gone);
  }
  if (SelectedMaus == gone) SelectMaus(nullptr);
  Mice.erase(Mice.begin() + static_cast<std::ptrdiff_t>(index));
}

bool Run::Audible(const TMaus& m) const {
  return SoundForAll || SelectedMaus == &m;
}

void Run::PlayWave(const TMaus& m, const std::string& name) {
  if (Sound && Audible(m)) Sound->PlayWave(name);
}

void Run::FlushProtocols() {
  for (OutFile* f : {&StatProto, &KofiProt, &Behaviour, &BirthLog, &AggProt})
    f->Flush();
}

void Run::CloseProtocols() {
  // Close every file even when one of them fails; report the first failure.
  std::exception_ptr first;
  for (OutFile* f : {&StatProto, &KofiProt, &Behaviour, &BirthLog, &AggProt}) {
    try {
      f->Close();
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  }
  if (first) std::rethrow_exception(first);
}

bool ValidTaskName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  // Output names add at most 30 characters; every file system takes 255.
  if (name.size() > MaxTaskNameLength) return false;
  for (unsigned char c : name)
    if (c == '/' || c == '\\' || c < 32 || c == 127) return false;
  return true;
}

}  // namespace murinex
