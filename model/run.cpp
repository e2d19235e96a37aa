#include "model/run.h"

#include <exception>

namespace murinex {

namespace stat {
const char* const ColumnNames[Count] = {
#define MURINEX_STAT_NAME(name) #name,
    MURINEX_STAT_COLUMNS(MURINEX_STAT_NAME)
#undef MURINEX_STAT_NAME
};
}  // namespace stat

void Run::SelectMaus(MouseHandle mouse) {
  SelectedMaus = mouse;
  SelectionChanges += 1;
}

bool Run::Audible(const TMaus& m) const {
  return AllMiceAudible || Selected() == &m;
}

void Run::PlayWave(const TMaus& m, const std::string& name) {
  if (Sound && Audible(m)) Sound->PlayWave(name);
}

void Run::FlushProtocols() {
  for (OutFile* f : {&StatProto, &KofiProt, &Behaviour, &BirthLog, &AggProt, &BirthsTable,
                     &DeathsTable, &TraitsTable, &MiceTable})
    f->Flush();
}

void Run::CloseProtocols() {
  // Close every file even when one of them fails; report the first failure.
  std::exception_ptr first;
  for (OutFile* f : {&StatProto, &KofiProt, &Behaviour, &BirthLog, &AggProt, &BirthsTable,
                     &DeathsTable, &TraitsTable, &MiceTable}) {
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
